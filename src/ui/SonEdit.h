#pragma once
// The view window's text editor: a plain-text editor addressed by logical line and
// column (UTF-16 units of its text), with undo, the clipboard, wrapping at the
// window edge and the change and selection signals the window listens to.

#include <QPlainTextEdit>
#include <QString>

class TSonEdit : public QPlainTextEdit {
  Q_OBJECT
 public:
  explicit TSonEdit(QWidget* parent = nullptr);

  // The whole text, lines separated by LF alone; every character as it was put in
  // (no-break spaces and line separators included).
  QString Text() const;
  // Replaces the whole text (LF-separated lines); the caret goes to the start.
  void SetText(const QString& text);
  // Logical lines (an empty text has one) and the text of one of them.
  int LineCount() const;
  QString LineText(int line) const;
  // Length of one logical line in UTF-16 units (0 for a line that does not exist).
  int LineLength(int line) const;

  // Caret at (line, column), selecting length units forward (a line break counts
  // one); the caret stays at the start so the place's own line is the current one.
  // Positions past the end of the text are cut back to it.
  void SetSelection(int line, int column, int length);
  int SelLength() const;
  // The caret's logical line and column (0-based).
  int CaretLine() const;
  int CaretColumn() const;

  void ClearUndo();
  bool CanUndo() const;
  void Undo();

  // Wrapping at the window edge on or off.
  void SetWrap(bool wrap);
  bool Wrap() const;

 signals:
  // The text changed (typing, cut, paste, undo, SetText).
  void Changed();
  // The caret or the selection moved.
  void SelectionMoved();
};
