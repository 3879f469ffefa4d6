#pragma once
// Edits a one-line search or replacement string, with its escapes, as multi-line
// text. Needs the options Escape on and ByLine off, and offers to set them.

#include <functional>

#include <QDialog>

class QPlainTextEdit;
class TOption;

class TfrmMultiLineEdit : public QDialog {
  Q_OBJECT
 public:
  explicit TfrmMultiLineEdit(QWidget* parent = nullptr);

  // The whole flow: the option question when needed (on Yes the options change and
  // optionsChanged runs), then the dialog on the unescaped text; returns the
  // escaped result, or text unchanged when the question was declined.
  static QString Edit(QWidget* parent, TOption& option, const QString& caption, const QString& text,
                      const std::function<void()>& optionsChanged);

  QPlainTextEdit* memMain = nullptr;
};
