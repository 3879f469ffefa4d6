#pragma once
// Asks what to do with a file that failed a check during a run: skip, skip all of
// the kind, force (or retry, for a file that cannot be opened or written), abort.

#include <QDialog>

class QLabel;
class QPushButton;

class TfrmFileErrorDialog : public QDialog {
  Q_OBJECT
 public:
  TfrmFileErrorDialog(const QString& message, bool forcible, QWidget* parent = nullptr);

  // Shows the dialog through the dialogs seam after the warning sound and returns
  // its answer (hovrak::TFileErrorAnswer codes; anything else means closed).
  // forceCaption, when not empty, names what forcing does in place of the replace.
  static int ShowFileErrorDialog(QWidget* parent, const QString& message, bool forcible,
                                 const QString& forceCaption = QString());

  QLabel* Image1 = nullptr;
  QLabel* lblMessage = nullptr;
  QPushButton* btnSkip = nullptr;
  QPushButton* btnForceAll = nullptr;  // the skip-all button
  QPushButton* btnForce = nullptr;
  QPushButton* btnRetry = nullptr;
  QPushButton* btnAbort = nullptr;

 protected:
  // No button is the default: Enter presses whichever button has the focus.
  void keyPressEvent(QKeyEvent* event) override;
};
