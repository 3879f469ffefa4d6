// Renders every window of the desktop program in a representative state into PNG
// files: a real search over a small generated tree of Japanese files in several
// character codes, with some places unticked, a file error question, the option
// dialog's two pages, the progress dialog mid-run, the preview, the CSV dialog and
// the small dialogs.

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include <cerrno>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGuiApplication>
#include <QImage>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QWidget>

#include "backup/Backup.h"
#include "backup/BackupUnit.h"
#include "core/FileSet.h"
#include "core/MirunApp.h"
#include "front/FileErrorQuestion.h"
#include "front/ReplaceSummaryText.h"
#include "front/SizeQuestionText.h"
#include "platform/Utf8Locale.h"
#include "settings/Option.h"
#include "text/Conversions.h"
#include "ui/Dialogs.h"
#include "ui/QtTranslations.h"
#include "ui/UiText.h"
#include "ui/frmAbout.h"
#include "ui/frmConfirm.h"
#include "ui/frmCopyResult.h"
#include "ui/frmDeleteBackupDialog.h"
#include "ui/frmFileErrorDialog.h"
#include "ui/frmHelp.h"
#include "ui/frmMain.h"
#include "ui/frmMultiLineEdit.h"
#include "ui/frmOption.h"
#include "ui/frmProcess.h"
#include "ui/frmRestoreDialog.h"
#include "ui/frmResult.h"
#include "ui/frmView.h"

namespace fs = std::filesystem;

namespace {

std::string g_out;

void Settle() {
  for (int i = 0; i < 5; ++i) QApplication::processEvents();
}

void Save(QWidget& widget, const char* name) {
  widget.show();
  Settle();
  const std::string path = g_out + "/" + name + ".png";
  if (!widget.grab().save(QString::fromStdString(path))) std::fprintf(stderr, "cannot write %s\n", path.c_str());
}

void Write(const fs::path& path, const std::string& bytes) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << bytes;
}

std::string Utf16(const std::wstring& text) {
  std::string out = "\xFF\xFE";
  for (wchar_t c : text) {
    out.push_back(static_cast<char>(c & 0xFF));
    out.push_back(static_cast<char>((c >> 8) & 0xFF));
  }
  return out;
}

// A few documents a user keeps: minutes, a web page, a source file, in mixed codes.
void MakeTree(const fs::path& root) {
  const std::wstring minutes =
      L"第12回 定例会議 議事録\r\n日時: 2026年12月8日 14:00～15:30\r\n"
      L"1. 前回の会議の決定事項を確認した。\r\n2. 次回の会議は1月12日に開く。\r\n"
      L"3. 会議室の予約は総務部が行う。\r\n";
  Write(root / "議事録" / "2026-12.txt", hovrak::unicode_to_sjis_cp932(minutes));
  Write(root / "議事録" / "2026-11.txt",
        hovrak::unicode_to_euc(L"第11回 定例会議 議事録\n会議の資料は共有フォルダに置いた。\n"
                               L"\t担当: 山田、佐藤\n"));
  Write(root / "web" / "index.html",
        hovrak::unicode_to_utf8(L"<html><head><title>会議のお知らせ</title></head>\n"
                                L"<body><p>次回の会議は1月12日(火)です。</p></body></html>\n"));
  Write(root / "src" / "meeting.c",
        hovrak::unicode_to_utf8(L"/* 会議室の予約を管理する */\nint reserve_room(int id); /* 会議ID */\n"));
  Write(root / "メモ.txt", Utf16(L"会議の前に資料を印刷する。\r\n会議\t会議\r\n"));
}

}  // namespace

int main(int argc, char** argv) {
  hovrak::InstallUtf8Locale();
  QApplication application(argc, argv);
  hovrak::InstallQtTranslations(application);
  if (argc < 2) {
    std::fprintf(stderr, "usage: mirun_screenshots OUT_DIR\n");
    return 2;
  }
  g_out = argv[1];
  const char* home = std::getenv("MIRUN_HOME");
  const fs::path root = fs::path(home ? home : fs::temp_directory_path().string()) / "文書";
  MakeTree(root);

  // Questions are answered by code; the windows that ask them are drawn below.
  struct TSilentDialogs : TDialogs {
    QMessageBox::StandardButton Message(QWidget*, const QString&, const QString&, TIcon, QMessageBox::StandardButtons,
                                        QMessageBox::StandardButton) override {
      return QMessageBox::Yes;
    }
    int Exec(QDialog& dialog) override {
      dialog.hide();
      return QDialog::Accepted;
    }
  } answers;
  TDialogs::SetCurrent(&answers);

  TfrmMain main(std::string(home ? home : ".") + "/Mirun.kel");
  main.StartUp({root.string(), "-s", "会議", "-f", "*.txt *.html *.c", "-r"});
  main.show();
  Settle();
  Save(main, "01-main");

  main.btnSearchClick();
  Settle();
  TfrmResult& result = *main.frmResult();
  if (main.App().PlaceList && main.App().PlaceList->Count() > 3) {
    main.App().PlaceList->Item(1)->Checked = false;
    main.App().PlaceList->Item(3)->Checked = false;
  }
  result.cmbReplacing->setEditText(QStringLiteral("打ち合わせ"));
  result.RefreshPlaces();
  Save(result, "02-result");
  Save(main, "03-main-found");

  TfrmProcess& process = *main.frmProcess();
  process.show();
  process.Update(hovrak::Msg(TMsg::Searching), QStringLiteral("議事録/2026-12.txt"), 2, 3);
  Save(process, "04-progress");
  process.hide();

  TfrmConfirm& confirm = *main.frmConfirm();
  confirm.SetRows(result.PreviewRows());
  Save(confirm, "05-preview");
  confirm.hide();

  // The current row, clicked, with the list focused.
  result.show();
  result.activateWindow();
  Settle();
  result.edtPlacesDummy->setFocus(Qt::MouseFocusReason);
  result.SetCurrentRow(2);
  Save(result, "18-result-current-row");

  // A question of a run over the progress window, as the user sees the two.
  process.move(400, 300);
  process.show();
  process.Update(hovrak::Msg(TMsg::Replacing), QStringLiteral("議事録/2026-12.txt"), 0, 4);
  Settle();
  const auto asked = hovrak::MakeFileErrorQuestion((root / "議事録" / "2026-12.txt").string(),
                                                   TFileOperationResult::ModifiedSinceSearch, true, TCharCode::Auto);
  TfrmFileErrorDialog over(hovrak::FromNarrow(asked.Text), asked.Forcible, &process);
  over.show();
  Settle();
  // Moved aside a little, so that the progress window shows beneath it.
  over.move(process.geometry().topLeft() + QPoint(90, 80));
  Settle();
  {
    // The two windows as they stack, the question over the progress window, each
    // with a thin frame where the window manager would draw one.
    const QRect both = process.geometry().united(over.geometry()).adjusted(-12, -12, 12, 12);
    QImage shot(both.size(), QImage::Format_RGB32);
    shot.fill(QColor(0x5A, 0x6E, 0x82));
    QPainter painter(&shot);
    for (QWidget* window : {static_cast<QWidget*>(&process), static_cast<QWidget*>(&over)}) {
      const QRect at = window->geometry().translated(-both.topLeft());
      painter.fillRect(at.adjusted(-2, -2, 2, 2), QColor(0x30, 0x30, 0x30));
      painter.drawPixmap(at.topLeft(), window->grab());
    }
    painter.end();
    shot.save(QString::fromStdString(g_out + "/19-progress-with-question.png"));
  }
  over.hide();
  process.hide();

  // Questions and the summary in the program's own message boxes, Qt's buttons in Japanese.
  {
    TBackup::TUnitPointers doomed;
    for (const auto& unit : main.App().Backup->Units) doomed.push_back(unit.get());
    TBackupUnit older(main.App().Backup.get());
    older.Time = boost::posix_time::ptime(boost::gregorian::date(2026, 12, 1), boost::posix_time::hours(9));
    older.BaseDir = root.string();
    doomed.push_back(&older);
    QMessageBox size(QMessageBox::Information, QStringLiteral("Mirun"),
                     hovrak::FromNarrow(hovrak::SizeQuestionText(1288490188, doomed)),
                     QMessageBox::Yes | QMessageBox::No, &main);
    Save(size, "20-size-question");
    size.hide();

    TFileSet run;
    run.ReplacedPlaces = 9;
    run.WrittenFiles = {"議事録/2026-12.txt", "web/index.html", "src/meeting.c"};
    run.Failures.push_back({(root / "メモ.txt").string(), TFileOperationResult::ModifiedSinceSearch, 0, false, ""});
    run.Failures.push_back(
        {(root / "議事録" / "2026-11.txt").string(), TFileOperationResult::OpenFailed, EACCES, true, ""});
    run.LastBackup.UnitName = "20261208_文書_2";
    run.LastBackup.Pruned.push_back({"20261201_文書_1", older.Time, root.string()});
    const hovrak::TReplaceSummary summary = hovrak::ReplaceSummaryText(ReplaceCompleted, run);
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Mirun"), hovrak::FromNarrow(summary.Text), QMessageBox::Ok,
                    &result);
    Save(box, "21-replace-summary");
    box.hide();
    result.SetStatusText(hovrak::FromNarrow(summary.Status));
    Save(result, "22-result-summary-status");
  }

  main.mniHelpCClick();
  if (main.frmHelp()) {
    Save(*main.frmHelp(), "23-help");
    main.frmHelp()->hide();
  }

  const auto changed = hovrak::MakeFileErrorQuestion((root / "議事録" / "2026-12.txt").string(),
                                                     TFileOperationResult::ModifiedSinceSearch, true, TCharCode::Auto);
  TfrmFileErrorDialog changedDialog(hovrak::FromNarrow(changed.Text), changed.Forcible, &main);
  Save(changedDialog, "06-file-error-changed");
  const auto unwritable = hovrak::MakeFileErrorQuestion((root / "メモ.txt").string(), TFileOperationResult::OpenFailed,
                                                        true, TCharCode::Auto);
  TfrmFileErrorDialog unwritableDialog(hovrak::FromNarrow(unwritable.Text), unwritable.Forcible, &main);
  Save(unwritableDialog, "07-file-error-unwritable");

  TfrmOption& option = *main.frmOption();
  Save(option, "08-option-search");
  option.pgcMain->setCurrentIndex(1);
  Save(option, "09-option-backup");
  option.hide();

  TBackup::TUnitList units;
  TBackup::TUnitPointers young;
  for (int i = 0; i < 3; ++i) {
    auto unit = std::make_unique<TBackupUnit>(main.App().Backup.get());
    unit->Name = "20261208_文書_" + std::to_string(i + 1);
    unit->BaseDir = root.string();
    unit->Time = boost::posix_time::ptime(boost::gregorian::date(2026, 12, 8),
                                          boost::posix_time::hours(9 + i) + boost::posix_time::minutes(5));
    young.push_back(unit.get());
    units.push_back(std::move(unit));
  }
  TfrmDeleteBackupDialog deleteDialog(young, &main);
  Save(deleteDialog, "10-delete-backup");

  // The undo dialog over the same units, with files and sizes; the middle one was
  // restored once.
  for (std::size_t i = 0; i < units.size(); ++i) {
    units[i]->Files.assign(3 + 5 * i, "a.txt");
    units[i]->Size = static_cast<std::uint32_t>(1500 + 70000 * i * i);
  }
  units[1]->Restored = units[2]->Time + boost::posix_time::minutes(40);
  TfrmRestoreDialog restoreDialog(young, &main);
  Save(restoreDialog, "15-restore");
  const auto edited =
      hovrak::MakeRestoreQuestion((root / "議事録" / "2026-12.txt").string(), TRestoreProblem::Modified, 0);
  TfrmFileErrorDialog editedDialog(hovrak::FromNarrow(edited.Text), edited.Forcible, &main);
  editedDialog.btnForce->setText(hovrak::Msg(TMsg::ForceRestore));
  Save(editedDialog, "16-restore-file-changed");
  editedDialog.hide();
  // A link where the file was (forcible), and a linked folder on the way (not).
  for (const TRestoreProblem problem : {TRestoreProblem::Link, TRestoreProblem::LinkedFolder}) {
    const auto linked = hovrak::MakeRestoreQuestion((root / "議事録" / "2026-12.txt").string(), problem, 0);
    TfrmFileErrorDialog linkedDialog(hovrak::FromNarrow(linked.Text), linked.Forcible, &main);
    linkedDialog.btnForce->setText(hovrak::Msg(TMsg::ForceRestore));
    Save(linkedDialog, problem == TRestoreProblem::Link ? "16-restore-link" : "16-restore-linked-folder");
    linkedDialog.hide();
  }
  // The Tool menu with the undo item.
  Save(*main.mniTool, "17-tool-menu");
  main.mniTool->hide();

  TfrmMultiLineEdit edit(&main);
  edit.setWindowTitle(hovrak::Msg(TMsg::EditSearchedTitle));
  edit.memMain->setPlainText(QStringLiteral("会議の議事録\n打ち合わせの資料"));
  Save(edit, "11-multi-line-edit");

  Save(*main.frmAbout(), "12-about");

  // The view window on a hit in the middle of the Shift-JIS minutes.
  TfrmView& view = *main.frmView();
  view.resize(640, 300);
  if (TAbstractPlaceList* list = main.App().PlaceList.get()) {
    for (int i = 0; i < list->Count(); ++i) {
      const TAbstractPlace& place = *list->Item(i);
      if (place.FileName().find("2026-12.txt") != std::string::npos && place.Line == 3) {
        view.ShowPlace(i);
        break;
      }
    }
  }
  Save(view, "13-view");

  // The CSV dialog over the results of the search above, the hit column added.
  TfrmCopyResult& copyResult = *main.frmCopyResult();
  copyResult.chkHit->setChecked(true);
  Save(copyResult, "14-copy-result");
  copyResult.hide();
  return 0;
}
