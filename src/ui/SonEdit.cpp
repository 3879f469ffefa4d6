#include "ui/SonEdit.h"

#include <algorithm>

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include "ui/UiText.h"

namespace {

constexpr int kTabColumns = 8;

}  // namespace

TSonEdit::TSonEdit(QWidget* parent) : QPlainTextEdit(parent) {
  setFont(hovrak::JapaneseFont(true, 12));
  setTabStopDistance(kTabColumns * fontMetrics().horizontalAdvance(QLatin1Char(' ')));
  setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  SetWrap(false);
  // The editor works on plain text only.
  setBackgroundVisible(false);
  connect(this, &QPlainTextEdit::textChanged, this, &TSonEdit::Changed);
  connect(this, &QPlainTextEdit::cursorPositionChanged, this, &TSonEdit::SelectionMoved);
  connect(this, &QPlainTextEdit::selectionChanged, this, &TSonEdit::SelectionMoved);
}

QString TSonEdit::Text() const {
  // toPlainText would turn no-break spaces into spaces and line separators into
  // line feeds; the raw text keeps them and parts blocks with the paragraph
  // separator.
  QString text = document()->toRawText();
  text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
  return text;
}

void TSonEdit::SetText(const QString& text) { setPlainText(text); }

int TSonEdit::LineCount() const { return document()->blockCount(); }

QString TSonEdit::LineText(int line) const {
  const QTextBlock block = document()->findBlockByNumber(line);
  return block.isValid() ? block.text() : QString();
}

int TSonEdit::LineLength(int line) const {
  const QTextBlock block = document()->findBlockByNumber(line);
  return block.isValid() ? block.length() - 1 : 0;
}

void TSonEdit::SetSelection(int line, int column, int length) {
  const QTextBlock block = document()->findBlockByNumber(std::max(line, 0));
  const int last = document()->characterCount() - 1;  // the position after the last character
  const int start = std::clamp((block.isValid() ? block.position() : last) + std::max(column, 0), 0, last);
  const int end = std::clamp(start + std::max(length, 0), start, last);
  QTextCursor cursor(document());
  cursor.setPosition(end);
  cursor.setPosition(start, QTextCursor::KeepAnchor);
  setTextCursor(cursor);
  centerCursor();
}

int TSonEdit::SelLength() const {
  const QTextCursor cursor = textCursor();
  return std::abs(cursor.position() - cursor.anchor());
}

int TSonEdit::CaretLine() const { return textCursor().blockNumber(); }

int TSonEdit::CaretColumn() const { return textCursor().positionInBlock(); }

void TSonEdit::ClearUndo() { document()->clearUndoRedoStacks(); }

bool TSonEdit::CanUndo() const { return document()->isUndoAvailable(); }

void TSonEdit::Undo() {
  if (CanUndo()) undo();
}

void TSonEdit::SetWrap(bool wrap) { setLineWrapMode(wrap ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap); }

bool TSonEdit::Wrap() const { return lineWrapMode() != QPlainTextEdit::NoWrap; }
