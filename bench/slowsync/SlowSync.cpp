// A preloaded shim that makes every flush to disk as slow as on a network share:
// fsync, fdatasync and syncfs sleep a fixed time (MIRUN_SYNC_DELAY_MS, default 5 ms)
// before doing their work. With MIRUN_SYNC_COUNT set to a file name, each process
// appends one line "fsync N fdatasync N syncfs N" there when it ends, so a benchmark
// can count the flushes of a run.
//   LD_PRELOAD=build/bench/libmirun_slowsync.so mirun-cli ...

#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

std::atomic<long> fsyncCalls{0};
std::atomic<long> fdatasyncCalls{0};
std::atomic<long> syncfsCalls{0};

template <class F>
F Next(const char* name) {
  return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

void Delay() {
  static const long ms = [] {
    const char* text = std::getenv("MIRUN_SYNC_DELAY_MS");
    return text ? std::atol(text) : 5L;
  }();
  if (ms <= 0) return;
  timespec t{ms / 1000, (ms % 1000) * 1000000L};
  while (nanosleep(&t, &t) != 0) {
  }
}

struct TCountReport {
  ~TCountReport() {
    const char* path = std::getenv("MIRUN_SYNC_COUNT");
    if (!path || !*path) return;
    int fd = open(path, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0) return;
    char line[128];
    int n = std::snprintf(line, sizeof line, "fsync %ld fdatasync %ld syncfs %ld\n", fsyncCalls.load(),
                          fdatasyncCalls.load(), syncfsCalls.load());
    if (n > 0 && write(fd, line, static_cast<size_t>(n)) < 0) {
    }
    close(fd);
  }
} countReport;

}  // namespace

extern "C" {

int fsync(int fd) {
  static auto real = Next<int (*)(int)>("fsync");
  ++fsyncCalls;
  Delay();
  return real(fd);
}

int fdatasync(int fd) {
  static auto real = Next<int (*)(int)>("fdatasync");
  ++fdatasyncCalls;
  Delay();
  return real(fd);
}

int syncfs(int fd) {
  static auto real = Next<int (*)(int)>("syncfs");
  ++syncfsCalls;
  Delay();
  return real(fd);
}

}  // extern "C"
