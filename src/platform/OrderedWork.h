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
  // Runs work(index, worker) for index 0..count-1 on `threads` workers (worker is
  // 0..threads-1, so a job may use that worker's own tools). A job that throws hands
  // its exception to Take instead of a result.
  using TJob = std::function<R(int index, int worker)>;

  TOrderedWork(int count, int threads, int window, TJob work)
      : count_(count), window_(window < 1 ? 1 : window), work_(std::move(work)), slots_(window_) {
    workers_.reserve(threads);
    for (int w = 0; w < threads; ++w) workers_.emplace_back([this, w] { Work(w); });
  }

  // Cancels what is not yet started and waits for the jobs under way.
  ~TOrderedWork() {
    Cancel();
    for (std::thread& worker : workers_) worker.join();
  }

  TOrderedWork(const TOrderedWork&) = delete;
  TOrderedWork& operator=(const TOrderedWork&) = delete;

  // The result of job index, which must be the one after the last taken. While it is
  // not ready, waiting() is called every `slice` so the caller may report or stop
  // (an exception from it passes on; the destructor then ends the work).
  R Take(int index, const std::function<void()>& waiting = {},
         std::chrono::milliseconds slice = std::chrono::milliseconds(100)) {
    std::unique_lock<std::mutex> lock(mutex_);
    TSlot& slot = slots_[static_cast<std::size_t>(index % window_)];
    while (!slot.Ready) {
      if (!waiting) {
        changed_.wait(lock);
        continue;
      }
      if (changed_.wait_for(lock, slice) == std::cv_status::timeout && !slot.Ready) {
        lock.unlock();
        waiting();
        lock.lock();
      }
    }
    slot.Ready = false;
    taken_ = index + 1;
    std::optional<R> result = std::move(slot.Result);
    const std::exception_ptr error = slot.Error;
    slot.Result.reset();
    slot.Error = nullptr;
    lock.unlock();
    changed_.notify_all();
    if (error) std::rethrow_exception(error);
    return std::move(*result);
  }

  // No job starts after this; the workers end once their jobs under way are done.
  void Cancel() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      cancelled_ = true;
    }
    changed_.notify_all();
  }

 private:
  struct TSlot {
    bool Ready = false;
    std::optional<R> Result;
    std::exception_ptr Error;
  };

  void Work(int worker) {
    for (;;) {
      int index = 0;
      {
        std::unique_lock<std::mutex> lock(mutex_);
        // A job may start once the result window_ places back has been taken: its
        // slot is free then.
        changed_.wait(lock, [this] { return cancelled_ || next_ >= count_ || next_ < taken_ + window_; });
        if (cancelled_ || next_ >= count_) return;
        index = next_++;
      }
      TSlot done;
      try {
        done.Result.emplace(work_(index, worker));
      } catch (...) {
        done.Error = std::current_exception();
      }
      done.Ready = true;
      {
        std::lock_guard<std::mutex> lock(mutex_);
        slots_[static_cast<std::size_t>(index % window_)] = std::move(done);
      }
      changed_.notify_all();
    }
  }

  const int count_;
  const int window_;
  const TJob work_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<TSlot> slots_;
  int next_ = 0;   // the next job to start
  int taken_ = 0;  // the jobs taken so far
  bool cancelled_ = false;
  std::vector<std::thread> workers_;  // last: started once everything above is set
};

}  // namespace hovrak
