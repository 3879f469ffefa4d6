// A replace with backup of 1,000 small UTF-8 files and its undo, through the main
// window (the result window's 置換 and ツール → 置換を元に戻す, answered as a user would)
// and with mirun-cli (-b --replace, --restore) on the same tree. The windows' share is
// the ratio of the two times (target: at most 1.1).
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <string>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QTreeWidget>

#include "backup/Backup.h"
#include "core/MirunApp.h"
#include "settings/Option.h"
#include "ui/Dialogs.h"
#include "ui/frmMain.h"
#include "ui/frmRestoreDialog.h"
#include "ui/frmResult.h"

namespace {

constexpr int kFiles = 1000;

// Every question answered yes, the restore dialog's newest unit chosen.
class TYesDialogs : public TDialogs {
 public:
  TYesDialogs() { TDialogs::SetCurrent(this); }
  ~TYesDialogs() override { TDialogs::SetCurrent(nullptr); }
  QMessageBox::StandardButton Message(QWidget*, const QString&, const QString&, TIcon,
                                      QMessageBox::StandardButtons buttons, QMessageBox::StandardButton) override {
    return buttons.testFlag(QMessageBox::Yes) ? QMessageBox::Yes : QMessageBox::Ok;
  }
  int Exec(QDialog& dialog) override {
    if (auto* restore = dynamic_cast<TfrmRestoreDialog*>(&dialog)) {
      restore->lsvUnits->setCurrentItem(restore->lsvUnits->topLevelItem(0));
      restore->btnRestore->click();
      return restore->result();
    }
    return QDialog::Accepted;
  }
};

// A fresh tree of kFiles files of about 3.5 KB, each with a few 会議, under root.
// Nothing is deleted before the timed runs: ext4 passes over the inodes freed in the
// last half minute when it makes a file, so a tree deleted just before would make
// every new file of the run slow to create.
void WriteTree(const std::string& root) {
  std::string text;
  for (int line = 0; line < 40; ++line)
    text += line % 7 == 0 ? "午後の会議は十時から始まる予定です。\n" : "東京の空は青く、風は静かに吹いている。\n";
  std::system(("mkdir -p '" + root + "'").c_str());
  for (int i = 0; i < kFiles; ++i) {
    const std::string path = root + "/f" + std::to_string(10000 + i) + ".txt";
    FILE* file = std::fopen(path.c_str(), "wb");
    std::fwrite(text.data(), 1, text.size(), file);
    std::fclose(file);
  }
  // On disk before the timed part, whose flushes would otherwise write the tree too.
  ::sync();
}

// A tree and a settings folder of their own for each run; all of them are deleted
// when the program ends.
struct TBenchFolders {
  explicit TBenchFolders(int run)
      : Tree(Root() + "/tree" + std::to_string(run)), Home(Root() + "/home" + std::to_string(run)) {
    std::system(("mkdir -p '" + Home + "'").c_str());
  }
  static const std::string& Root() {
    // Never destroyed: the handler that deletes the folders runs after the statics go.
    static const std::string* const root = [] {
      const char* tmp = std::getenv("TMPDIR");
      auto* path = new std::string(std::string(tmp ? tmp : "/tmp") + "/mirun-replace-window-bench." +
                                   std::to_string(::getpid()));
      std::atexit([] { std::system(("rm -rf '" + Root() + "'").c_str()); });
      return path;
    }();
    return *root;
  }
  std::string Tree;
  std::string Home;
};

int NextRun() {
  static int run = 0;
  return run++;
}

std::string Cli(const TBenchFolders& f, const std::string& args) {
  return "MIRUN_HOME='" + f.Home + "' '" MIRUN_CLI_PATH "' " + args + " >/dev/null 2>&1";
}

void ReplaceAndUndoWithCli(benchmark::State& state) {
  const bool undo = state.range(0) != 0;
  for (auto _ : state) {
    state.PauseTiming();
    const TBenchFolders f(NextRun());
    WriteTree(f.Tree);
    const std::string replace = Cli(f, "-r -f '*.txt' -b -K a -s 会議 --replace 会合 --quiet '" + f.Tree + "'");
    if (undo) {
      std::system(replace.c_str());
      ::sync();
      state.ResumeTiming();
      std::system(
          Cli(f, "--restore \"$(MIRUN_HOME='" + f.Home + "' '" MIRUN_CLI_PATH "' --list-backups | head -1 | cut -f1)\"")
              .c_str());
    } else {
      state.ResumeTiming();
      std::system(replace.c_str());
    }
  }
}

void ReplaceAndUndoThroughWindows(benchmark::State& state) {
  const bool undo = state.range(0) != 0;
  TYesDialogs dialogs;
  for (auto _ : state) {
    state.PauseTiming();
    const TBenchFolders f(NextRun());
    WriteTree(f.Tree);
    TfrmMain main(f.Home + "/Mirun.kel");
    main.StartUp({});
    main.show();
    main.App().Backup->BackupDir = f.Home + "/Backup";
    main.App().Option->Backup = true;
    main.App().Option->CharCode = TCharCode::Auto;
    main.chkSubDir->setChecked(true);
    main.cmbPath->setEditText(QString::fromStdString(f.Tree));
    main.cmbFilter->setEditText(QStringLiteral("*.txt"));
    main.cmbSearched->setEditText(QStringLiteral("会議"));
    main.btnSearchClick();
    if (main.State() != TUiState::Found) state.SkipWithError("search failed");
    main.frmResult()->cmbReplacing->setEditText(QStringLiteral("会合"));
    QApplication::processEvents();
    if (undo) {
      main.frmResult()->btnReplace->click();
      QApplication::processEvents();
      ::sync();
      state.ResumeTiming();
      main.mniRestore->trigger();
    } else {
      state.ResumeTiming();
      main.frmResult()->btnReplace->click();
    }
    QApplication::processEvents();
    state.PauseTiming();
    main.hide();
    state.ResumeTiming();
  }
}

}  // namespace

// Arg 0: the replace; 1: the undo of a replace made beforehand.
BENCHMARK(ReplaceAndUndoWithCli)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(ReplaceAndUndoThroughWindows)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
