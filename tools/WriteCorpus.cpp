// Writes a benchmark corpus of generated Japanese text as UTF-8 files:
//   WriteCorpus FOLDER COUNT UNITS
// makes FOLDER/f0000.txt ... each of about UNITS characters, every file from its
// own seed. Built and run by bench/compare, which converts the files into the
// other character codes.

#include <cstdio>
#include <cstdlib>
#include <string>

#include "JapaneseCorpus.h"

namespace {

std::string ToUtf8(const std::wstring& text) {
  std::string out;
  out.reserve(text.size() * 3);
  for (const wchar_t w : text) {
    const auto c = static_cast<unsigned>(w);
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: WriteCorpus FOLDER COUNT UNITS\n");
    return 2;
  }
  const std::string folder = argv[1];
  const int count = std::atoi(argv[2]);
  const std::size_t units = static_cast<std::size_t>(std::atol(argv[3]));
  for (int i = 0; i < count; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "/f%04d.txt", i);
    std::wstring text = MakeJapaneseText(units, 1000u + static_cast<unsigned>(i));
    // Whole lines only, so that every code ends its last line the same way.
    const std::size_t last = text.rfind(L'\n');
    if (last != std::wstring::npos) text.resize(last + 1);
    const std::string bytes = ToUtf8(text);
    std::FILE* f = std::fopen((folder + name).c_str(), "wb");
    if (!f || std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size() || std::fclose(f) != 0) {
      std::perror(name);
      return 1;
    }
  }
  return 0;
}
