#include "ui/HandOverQueue.h"

#include <QTimer>

THandOverQueue::THandOverQueue(QObject* parent, std::function<bool()> allowed, std::function<bool()> waitsForDialog,
                               std::function<void(const TArgs&)> apply)
    : QObject(parent),
      allowed_(std::move(allowed)),
      waitsForDialog_(std::move(waitsForDialog)),
      apply_(std::move(apply)),
      timer_(new QTimer(this)) {
  timer_->setObjectName(QStringLiteral("tmrHandOver"));
  timer_->setSingleShot(true);
  timer_->setInterval(100);
  connect(timer_, &QTimer::timeout, this, &THandOverQueue::ApplyPending);
}

void THandOverQueue::Add(const TArgs& args, std::function<void()> done) {
  pending_.emplace_back(args, std::move(done));
  if (pending_.size() == 1) ApplyPending();
}

void THandOverQueue::Schedule() {
  if (!pending_.empty()) QTimer::singleShot(0, this, [this]() { ApplyPending(); });
}

void THandOverQueue::ApplyPending() {
  while (!pending_.empty() && !applying_ && allowed_()) {
    auto entry = std::move(pending_.front());
    pending_.pop_front();
    applying_ = true;
    apply_(entry.first);
    applying_ = false;
    if (entry.second) entry.second();
  }
  // A modal dialog closes without a state change: look again until it has.
  if (!pending_.empty() && waitsForDialog_()) timer_->start();
}
