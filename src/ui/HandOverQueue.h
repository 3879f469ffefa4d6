#pragma once
// The arguments later starts of the program handed over while the main window could
// not take them (a run active, a modal dialog open, before the first show, a search
// asked for by arguments still pending): kept in the order they came and applied one
// by one once the window allows it, each acknowledged after it was applied.

#include <cstddef>
#include <deque>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include <QObject>

class QTimer;

class THandOverQueue : public QObject {
 public:
  using TArgs = std::vector<std::string>;

  // allowed: whether the window can take a hand-over now; waitsForDialog: whether
  // only a modal dialog holds them up (which closes without telling, so the queue
  // looks again every 100 ms); apply: takes one hand-over's arguments.
  THandOverQueue(QObject* parent, std::function<bool()> allowed, std::function<bool()> waitsForDialog,
                 std::function<void(const TArgs&)> apply);

  // Queues a hand-over and applies it at once when it is the only one and allowed.
  void Add(const TArgs& args, std::function<void()> done);
  // Applies the waiting hand-overs from the event loop (after a state change).
  void Schedule();
  // Applies the waiting hand-overs, oldest first, while the window allows it.
  void ApplyPending();
  std::size_t Size() const { return pending_.size(); }
  // The timer of the 100 ms look while a modal dialog is open.
  QTimer* Timer() const { return timer_; }

 private:
  std::function<bool()> allowed_;
  std::function<bool()> waitsForDialog_;
  std::function<void(const TArgs&)> apply_;
  // Hand-overs that came while they could not be applied, oldest first, each with
  // its acknowledgement.
  std::deque<std::pair<TArgs, std::function<void()>>> pending_;
  // Inside a hand-over nothing else is applied: a question it asks runs an event loop.
  bool applying_ = false;
  QTimer* timer_;
};
