// mirun-cli: command-line front end over the Mirun core.
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include "cli/CliRun.h"
#include "platform/Utf8Locale.h"

namespace {

volatile std::sig_atomic_t gStop = 0;

// The first Ctrl-C asks the run to stop at its next progress report; a second
// one ends the process at once (files are replaced whole, never left torn).
void OnInterrupt(int) {
  if (gStop) ::_exit(TCliRun::kInterrupted);
  gStop = 1;
}

}  // namespace

int main(int argc, char** argv) {
  hovrak::InstallUtf8Locale();
  // A closed output pipe shows up as EPIPE on writing, and the run ends quietly.
  std::signal(SIGPIPE, SIG_IGN);
  // A write past the file-size limit fails with EFBIG and is reported like any other
  // write error, instead of ending the process with temporary files left behind.
  std::signal(SIGXFSZ, SIG_IGN);
  struct sigaction action {};
  action.sa_handler = OnInterrupt;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGINT, &action, nullptr);

  static char outBuffer[1 << 16];
  std::setvbuf(stdout, outBuffer, ::isatty(STDOUT_FILENO) ? _IOLBF : _IOFBF, sizeof outBuffer);

  const std::vector<std::string> args(argv + 1, argv + argc);
  TCliRun run(stdout, stderr, &gStop);
  const int status = run.Run(args);
  // A failed final flush of a closed pipe must not turn into an error message.
  std::fflush(stdout);
  return status;
}
