#include "cli/CliProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <utility>

extern char** environ;

namespace {

void Check(bool ok, const char* what) {
  if (!ok) throw std::runtime_error(std::string(what) + ": " + std::strerror(errno));
}

// A pseudo-terminal: the master for the test, the name for the child, and the
// test's own descriptor of the slave, which keeps the master from reporting a hang-up
// before the child has opened it.
struct TPty {
  int Master = -1;
  int Slave = -1;
  std::string Name;

  void Open(bool raw) {
    Master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    Check(Master >= 0 && ::grantpt(Master) == 0 && ::unlockpt(Master) == 0, "pty");
    Name = ::ptsname(Master);
    Slave = ::open(Name.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    Check(Slave >= 0, "pty slave");
    if (raw) {
      termios mode;
      Check(::tcgetattr(Slave, &mode) == 0, "tcgetattr");
      ::cfmakeraw(&mode);
      Check(::tcsetattr(Slave, TCSANOW, &mode) == 0, "tcsetattr");
    }
  }
  ~TPty() {
    if (Slave >= 0) ::close(Slave);
  }
};

}  // namespace

TCliResult RunCli(const std::vector<std::string>& args, const TCliOptions& options) {
  // Everything the child needs is prepared before fork.
  std::vector<std::string> argStrings{MIRUN_CLI_PATH};
  argStrings.insert(argStrings.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& a : argStrings) argv.push_back(a.data());
  argv.push_back(nullptr);
  std::vector<std::string> envStrings;
  for (char** e = environ; *e; ++e) {
    const std::string entry = *e;
    if (entry.rfind("MIRUN_HOME=", 0) == 0 || entry.rfind("LC_ALL=", 0) == 0 || entry.rfind("NO_COLOR=", 0) == 0 ||
        entry.rfind("TERM=", 0) == 0)
      continue;
    envStrings.push_back(entry);
  }
  const char* home = std::getenv("MIRUN_HOME");
  envStrings.push_back("MIRUN_HOME=" + (options.Home.empty() ? std::string(home ? home : "") : options.Home));
  envStrings.push_back("LC_ALL=C.UTF-8");
  envStrings.insert(envStrings.end(), options.Environment.begin(), options.Environment.end());
  std::vector<char*> envp;
  for (std::string& e : envStrings) envp.push_back(e.data());
  envp.push_back(nullptr);

  int outPipe[2], errPipe[2];
  Check(::pipe2(outPipe, O_CLOEXEC) == 0, "pipe");
  Check(::pipe2(errPipe, O_CLOEXEC) == 0, "pipe");
  if (options.SmallPipes) {
    ::fcntl(outPipe[0], F_SETPIPE_SZ, 4096);
    ::fcntl(errPipe[0], F_SETPIPE_SZ, 4096);
  }
  TPty errPty, outPty;
  if (options.ErrOnTerminal) errPty.Open(false);
  if (options.OutOnTerminal) outPty.Open(true);
  const pid_t pid = ::fork();
  Check(pid >= 0, "fork");
  if (pid == 0) {
    int errFd = errPipe[1];
    if (options.ErrOnTerminal) errFd = ::open(errPty.Name.c_str(), O_RDWR | O_NOCTTY);
    if (!options.WorkDir.empty() && ::chdir(options.WorkDir.c_str()) != 0) ::_exit(127);
    const int nullFd = ::open("/dev/null", O_RDONLY);
    ::dup2(nullFd, 0);
    if (options.OutOnTerminal) {
      const int outTerminal = ::open(outPty.Name.c_str(), O_RDWR | O_NOCTTY);
      if (outTerminal < 0) ::_exit(127);
      ::dup2(outTerminal, 1);
    } else if (!options.OutFile.empty()) {
      const int outFile = ::open(options.OutFile.c_str(), O_WRONLY);
      if (outFile < 0) ::_exit(127);
      ::dup2(outFile, 1);
    } else {
      ::dup2(outPipe[1], 1);
    }
    ::dup2(errFd, 2);
    if (errFd != errPipe[1]) ::close(errFd);
    if (options.FileSizeLimit >= 0) {
      const struct rlimit limit = {static_cast<rlim_t>(options.FileSizeLimit),
                                   static_cast<rlim_t>(options.FileSizeLimit)};
      ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ::execve(argv[0], argv.data(), envp.data());
    ::_exit(127);
  }
  ::close(outPipe[1]);
  ::close(errPipe[1]);

  TCliResult result;
  int outFd = options.OutOnTerminal ? outPty.Master : outPipe[0];
  int errFd = options.ErrOnTerminal ? errPty.Master : errPipe[0];
  if (options.OutOnTerminal) ::close(outPipe[0]);
  if (options.ErrOnTerminal) ::close(errPipe[0]);
  const bool anyTerminal = options.OutOnTerminal || options.ErrOnTerminal;
  bool interrupted = false;
  char buffer[4096];
  while (outFd >= 0 || errFd >= 0) {
    pollfd fds[2];
    int n = 0;
    if (outFd >= 0) fds[n++] = {outFd, POLLIN, 0};
    if (errFd >= 0) fds[n++] = {errFd, POLLIN, 0};
    // A pseudo-terminal never reports end of file while the child lives; the
    // timeout lets the loop notice that the child has gone.
    const int ready = ::poll(fds, static_cast<nfds_t>(n), anyTerminal ? 100 : -1);
    if (ready < 0 && errno == EINTR) continue;
    Check(ready >= 0, "poll");
    if (ready == 0) {
      siginfo_t info{};
      const bool pipesDone = (outFd < 0 || options.OutOnTerminal) && (errFd < 0 || options.ErrOnTerminal);
      if (pipesDone && ::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
          info.si_pid == pid)
        break;
      continue;
    }
    for (int i = 0; i < n; ++i) {
      if (!(fds[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
      const bool isOut = fds[i].fd == outFd;
      const ssize_t got = ::read(fds[i].fd, buffer, sizeof buffer);
      if (got <= 0) {
        ::close(fds[i].fd);
        (isOut ? outFd : errFd) = -1;
        continue;
      }
      std::string& target = isOut ? result.Out : result.Err;
      target.append(buffer, static_cast<std::size_t>(got));
      const long size = static_cast<long>(target.size());
      if (!interrupted && ((isOut && options.InterruptAfterOut >= 0 && size >= options.InterruptAfterOut) ||
                           (!isOut && options.InterruptAfterErr >= 0 && size >= options.InterruptAfterErr))) {
        ::kill(pid, SIGINT);
        interrupted = true;
      }
      if (isOut && options.CloseOutAfter >= 0 && size >= options.CloseOutAfter) {
        ::close(outFd);
        outFd = -1;
      }
    }
  }
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  // Whatever the terminals still hold.
  for (const auto& [fd, target] : {std::make_pair(outFd, &result.Out), std::make_pair(errFd, &result.Err)}) {
    if (fd < 0) continue;
    ::fcntl(fd, F_SETFL, O_NONBLOCK);
    ssize_t got;
    while ((got = ::read(fd, buffer, sizeof buffer)) > 0) target->append(buffer, static_cast<std::size_t>(got));
    ::close(fd);
  }
  result.Status = WIFEXITED(status) ? WEXITSTATUS(status) : 1000 + WTERMSIG(status);
  return result;
}
