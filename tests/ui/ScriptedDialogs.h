#pragma once
// The dialogs seam for tests: records every question and answers it from a script
// (a function per kind), so windows run without a human.

#include <functional>
#include <vector>

#include <QDialog>
#include <QString>

#include "ui/Dialogs.h"

class TScriptedDialogs : public TDialogs {
 public:
  struct TMessage {
    QString Caption;
    QString Text;
    TIcon Icon;
    QMessageBox::StandardButtons Buttons;
    QMessageBox::StandardButton DefaultButton;
    QWidget* Parent;
  };

  TScriptedDialogs() { TDialogs::SetCurrent(this); }
  ~TScriptedDialogs() override { TDialogs::SetCurrent(nullptr); }

  // Answers; unset ones give the first of Ok/Yes offered, Exec gives Rejected,
  // choosers give nothing.
  std::function<QMessageBox::StandardButton(const TMessage&)> OnMessage;
  std::function<int(QDialog&)> OnExec;
  std::function<QString(const QString& caption, const QString& start)> OnDirectory;
  std::function<QStringList(const QString& caption, const QString& start)> OnFiles;
  std::function<QString(const QString& caption, const QString& start)> OnFile;
  struct TSaveQuestion {
    QString Caption;
    QString Start;
    QString Filter;
    QString DefaultSuffix;
  };
  std::function<QString(const TSaveQuestion&)> OnSaveFile;
  std::vector<TSaveQuestion> SaveQuestions;

  std::vector<TMessage> Messages;
  std::vector<QString> ExecTitles;  // window titles of the dialogs run through Exec
  int Beeps = 0;

  QMessageBox::StandardButton Message(QWidget* parent, const QString& caption, const QString& text, TIcon icon,
                                      QMessageBox::StandardButtons buttons,
                                      QMessageBox::StandardButton defaultButton) override {
    Messages.push_back(TMessage{caption, text, icon, buttons, defaultButton, parent});
    if (OnMessage) return OnMessage(Messages.back());
    if (buttons & QMessageBox::Ok) return QMessageBox::Ok;
    if (buttons & QMessageBox::Yes) return QMessageBox::Yes;
    return QMessageBox::NoButton;
  }
  int Exec(QDialog& dialog) override {
    ExecTitles.push_back(dialog.windowTitle());
    return OnExec ? OnExec(dialog) : int(QDialog::Rejected);
  }
  QString ExistingDirectory(QWidget*, const QString& caption, const QString& start) override {
    return OnDirectory ? OnDirectory(caption, start) : QString();
  }
  QStringList OpenFileNames(QWidget*, const QString& caption, const QString& start, const QString&) override {
    return OnFiles ? OnFiles(caption, start) : QStringList();
  }
  QString OpenFileName(QWidget*, const QString& caption, const QString& start, const QString&) override {
    return OnFile ? OnFile(caption, start) : QString();
  }
  void Beep() override { ++Beeps; }
  QString SaveFileName(QWidget*, const QString& caption, const QString& start, const QString& filter,
                       const QString& defaultSuffix) override {
    SaveQuestions.push_back(TSaveQuestion{caption, start, filter, defaultSuffix});
    return OnSaveFile ? OnSaveFile(SaveQuestions.back()) : QString();
  }
};
