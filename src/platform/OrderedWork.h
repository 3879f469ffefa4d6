#pragma once
// Runs a numbered list of jobs on a few worker threads and hands their results to
// the calling thread strictly in job order. At most `window` results are ahead of
// the caller at any time, so memory stays bounded however fast the workers are.

#include <chrono>
#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace hovrak {

template <class R>
class TOrderedWork {
 public:
  // Runs work(index, worker) for index 0..count-1 on `threads` threads in all: the
  // caller's, inside Take, and threads - 1 workers (worker is 0..threads-1, the last
  // the caller's, so a job may use that thread's own tools). A job that throws hands
  // its exception to Take instead of a result.
  using TJob = std::function<R(int index, int worker)>;

  TOrderedWork(int count, int threads, int window, TJob work)
      : count_(count),
        window_(window < 1 ? 1 : window),
        callerWorker_(threads < 1 ? 0 : threads - 1),
        work_(std::move(work)),
        slots_(static_cast<std::size_t>(window_)) {
    workers_.reserve(static_cast<std::size_t>(callerWorker_));
    for (int w = 0; w < callerWorker_; ++w) workers_.emplace_back([this, w] { Work(w); });
  }

  // Cancels what is not yet started and waits for the jobs under way.
  ~TOrderedWork() {
    Cancel();
    for (std::thread& worker : workers_) worker.join();
  }

  TOrderedWork(const TOrderedWork&) = delete;
  TOrderedWork& operator=(const TOrderedWork&) = delete;

  // The result of job index, which must be the one after the last taken. While it is
  // not ready the caller's thread runs the next job not yet started, if the window
  // has room, rather than wait idle; otherwise it waits. Either way waiting() is
  // called every `slice` so the caller may report or stop (an exception from it
  // passes on; the destructor then ends the work).
  R Take(int index, const std::function<void()>& waiting = {},
         std::chrono::milliseconds slice = std::chrono::milliseconds(100)) {
    std::unique_lock<std::mutex> lock(mutex_);
    TSlot& slot = slots_[static_cast<std::size_t>(index % window_)];
    auto reported = std::chrono::steady_clock::now();
    const auto report = [&] {
      if (!waiting || std::chrono::steady_clock::now() - reported < slice) return;
      lock.unlock();
      waiting();
      lock.lock();
      reported = std::chrono::steady_clock::now();
    };
    waitingFor_ = index;
    while (!slot.Ready) {
      if (!cancelled_ && next_ < count_ && Free() > 0) {
        const int job = next_++;
        lock.unlock();
        TSlot done = Run(job, callerWorker_);
        lock.lock();
        slots_[static_cast<std::size_t>(job % window_)] = std::move(done);
        report();
        continue;
      }
      if (!waiting) ready_.wait(lock);
      else if (ready_.wait_for(lock, slice) == std::cv_status::timeout && !slot.Ready) report();
    }
    waitingFor_ = -1;
    slot.Ready = false;
    taken_ = index + 1;
    std::optional<R> result = std::move(slot.Result);
    const std::exception_ptr error = slot.Error;
    slot.Result.reset();
    slot.Error = nullptr;
    // A worker that found the window full goes on once half of it is free again, so
    // that it is not woken for every result taken.
    const bool wake = idle_ > 0 && Free() >= (window_ + 1) / 2;
    lock.unlock();
    if (wake) space_.notify_all();
    if (error) std::rethrow_exception(error);
    return std::move(*result);
  }

  // No job starts after this; the workers end once their jobs under way are done.
  void Cancel() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      cancelled_ = true;
    }
    space_.notify_all();
  }

 private:
  struct TSlot {
    bool Ready = false;
    std::optional<R> Result;
    std::exception_ptr Error;
  };

  // Jobs that may start before the window is full: a job may start once the result
  // window_ places back has been taken, its slot being free then.
  int Free() const { return taken_ + window_ - next_; }

  TSlot Run(int index, int worker) {
    TSlot done;
    try {
      done.Result.emplace(work_(index, worker));
    } catch (...) {
      done.Error = std::current_exception();
    }
    done.Ready = true;
    return done;
  }

  void Work(int worker) {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
      if (!cancelled_ && next_ < count_ && Free() <= 0) {
        ++idle_;
        space_.wait(lock, [this] { return cancelled_ || next_ >= count_ || Free() >= (window_ + 1) / 2; });
        --idle_;
      }
      if (cancelled_ || next_ >= count_) return;
      const int index = next_++;
      lock.unlock();
      TSlot done = Run(index, worker);
      lock.lock();
      slots_[static_cast<std::size_t>(index % window_)] = std::move(done);
      if (waitingFor_ == index) ready_.notify_one();
    }
  }

  const int count_;
  const int window_;
  const int callerWorker_;
  const TJob work_;
  std::mutex mutex_;
  std::condition_variable ready_;  // the caller waits for its result here
  std::condition_variable space_;  // workers wait for room in the window here
  std::vector<TSlot> slots_;
  int next_ = 0;         // the next job to start
  int taken_ = 0;        // the jobs taken so far
  int waitingFor_ = -1;  // the job the caller waits for; -1: none
  int idle_ = 0;         // workers waiting for room
  bool cancelled_ = false;
  std::vector<std::thread> workers_;  // last: started once everything above is set
};

}  // namespace hovrak
