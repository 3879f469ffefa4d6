// mirun-cli: command-line front end over the Mirun core.
#include <cstdio>
#include <cstring>

#include "platform/Utf8Locale.h"

int main(int argc, char** argv) {
  hovrak::InstallUtf8Locale();
  std::puts("usage: mirun-cli [SWITCHES] [LONG OPTIONS] [--] TARGET...");
  for (int i = 1; i < argc; ++i)
    if (std::strcmp(argv[i], "--help") == 0) return 0;
  return argc > 1 ? 2 : 0;
}
