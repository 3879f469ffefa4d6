#pragma once
// The progress dialog: what a run is doing, how far it is, and the stop button
// (Esc presses it). Its stop check lets the windows handle pending events and
// raises EStoppedException once stop was pressed.

#include <QDialog>
#include <QElapsedTimer>

class QLabel;
class QProgressBar;
class QPushButton;

class TfrmProcess : public QDialog {
  Q_OBJECT
 public:
  explicit TfrmProcess(QWidget* parent = nullptr);

  // Main text, sub text (skipped when unchanged), "index/count" and the bar.
  void Update(const QString& main, const QString& sub, int index, int count);
  // Handles pending events (at most every few milliseconds, so a run with many
  // reports is not slowed), then raises EStoppedException when stop was pressed.
  void StopCheck();
  bool StopRequested() const { return stop_; }

  // Shortest time between two event pumps of StopCheck.
  static constexpr int kPumpIntervalMs = 8;

  QLabel* lblMsg = nullptr;
  QLabel* lblN = nullptr;
  QLabel* lblSubMsg = nullptr;
  QProgressBar* pgbProg = nullptr;
  QPushButton* btnStop = nullptr;

 protected:
  void showEvent(QShowEvent* event) override;
  void reject() override;  // Esc and the close box stop the run instead of closing

 private:
  bool stop_ = false;
  QString lastMain_;
  QString lastSub_;
  QElapsedTimer sincePump_;
};
