#pragma once
// The normal cursor while a question is up: the busy cursor of a run would say the
// program is not waiting for the user. The run's cursor comes back when it ends.

#include <QApplication>

class TQuestionCursor {
 public:
  TQuestionCursor() : overridden_(QApplication::overrideCursor() != nullptr) {
    if (overridden_) QApplication::setOverrideCursor(Qt::ArrowCursor);
  }
  ~TQuestionCursor() {
    if (overridden_) QApplication::restoreOverrideCursor();
  }
  TQuestionCursor(const TQuestionCursor&) = delete;
  TQuestionCursor& operator=(const TQuestionCursor&) = delete;

 private:
  bool overridden_;
};
