// One instance per program file: the request and its acknowledgement, a stale
// socket, the hand-over into the main window (also while a run is active), and real
// processes of the built program handing over to each other.

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPlainTextEdit>
#include <QProcess>
#include <QProcessEnvironment>
#include <QtTest/QTest>

#include "MainWindowSupport.h"
#include "ScriptedDialogs.h"
#include "TestSupport.h"
#include "place/PlaceList.h"
#include "platform/InstanceLock.h"
#include "platform/InstanceName.h"
#include "platform/SideFile.h"
#include "ui/SingleInstance.h"
#include "ui/SonEdit.h"
#include "ui/UiText.h"
#include "ui/frmMain.h"
#include "ui/frmResult.h"
#include "ui/frmView.h"

namespace {

using hovrak::FromNarrow;
using TArgs = std::vector<std::string>;

// Leaves a socket file that nobody listens on, as a crashed instance does.
void MakeStaleSocket(const std::string& path) {
  const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
  ASSERT_GE(fd, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
  ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  ::close(fd);
  ASSERT_TRUE(QFileInfo::exists(QString::fromStdString(path)));
}

// A later start, run on a thread of its own so that this thread's event loop can
// serve the running instance. Returns Check's answer.
bool LaterStart(const std::string& socket, const std::string& sideFile, const TArgs& args, int timeoutMs,
                qint64* elapsed = nullptr) {
  std::atomic<bool> finished{false};
  bool first = true;
  QElapsedTimer clock;
  clock.start();
  std::thread thread([&]() {
    TSingleInstance later(socket, sideFile);
    first = later.Check(args, timeoutMs);
    finished = true;
  });
  (void)QTest::qWaitFor([&]() { return finished.load(); }, timeoutMs + 5000);
  thread.join();
  if (elapsed) *elapsed = clock.elapsed();
  return first;
}

class SingleInstanceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    QGuiApplication::clipboard()->clear();
    socket_ = run_ / "mirun-test.sock";
    side_ = home_ / "mirun.cmdparam";
  }

  // The places of 東京 in a small tree, found through the window.
  void SearchTree(TfrmMain& main) {
    main.cmbPath->setEditText(FromNarrow(MakeTree()));
    main.cmbFilter->setEditText(QStringLiteral("*.txt"));
    main.cmbSearched->setEditText(QStringLiteral("東京"));
    main.btnSearchClick();
    ASSERT_EQ(main.State(), TUiState::Found);
  }

  TfrmMain& StartMain() {
    main_ = StartShownMain(home_ / "Mirun.kel");
    return *main_;
  }

  // Two UTF-8 files with 東京 once each.
  std::string MakeTree() {
    WriteWholeFile(data_ / "tree/a.txt", "東京へ行く\n");
    WriteWholeFile(data_ / "tree/b.txt", "大阪と東京\n");
    return data_ / "tree";
  }

  TScriptedDialogs dialogs_;
  TTempDir home_;
  TTempDir data_;
  TTempDir run_;
  std::string socket_;
  std::string side_;
  std::unique_ptr<TfrmMain> main_;
};

}  // namespace

// ---------------------------------------------------------------------------------
// The check itself

TEST_F(SingleInstanceTest, FirstListensLaterHandsOverAndIsAcknowledged) {
  TSingleInstance first(socket_, side_);
  ASSERT_TRUE(first.Check({"ignored"}));
  EXPECT_TRUE(first.Listening());
  std::vector<TArgs> received;
  first.OnHandOver = [&](const TArgs& args) { received.push_back(args); };

  qint64 elapsed = 0;
  EXPECT_FALSE(LaterStart(socket_, side_, {"-s", "two\nlines", "/x y"}, 5000, &elapsed));
  ASSERT_EQ(received.size(), 1u);
  EXPECT_EQ(received[0], (TArgs{"-s", "two", "lines", "/x y"}));
  EXPECT_EQ(ReadWholeFile(side_), "-s\ntwo\nlines\n/x y\n");
  EXPECT_LT(elapsed, 3000);  // acknowledged, not timed out

  // No arguments: an empty side file, an empty list.
  EXPECT_FALSE(LaterStart(socket_, side_, {}, 5000));
  ASSERT_EQ(received.size(), 2u);
  EXPECT_TRUE(received[1].empty());
}

TEST_F(SingleInstanceTest, AnInstanceThatNeverAnswersTimesOutAndStillEndsTheLaterStart) {
  // A hung instance: it holds the lock and takes connections, and never replies.
  hovrak::TInstanceLock lock;
  ASSERT_TRUE(lock.TryAcquire(socket_ + ".lock"));
  QLocalServer hung;
  ASSERT_TRUE(hung.listen(QString::fromStdString(socket_)));
  qint64 elapsed = 0;
  EXPECT_FALSE(LaterStart(socket_, side_, {"-n"}, 700, &elapsed));
  EXPECT_GE(elapsed, 600);
}

TEST_F(SingleInstanceTest, TheRequestIsAcknowledgedBeforeItIsApplied) {
  // The running instance holds the request back (a run, a question): the later
  // start still ends at once.
  TSingleInstance first(socket_, side_);
  ASSERT_TRUE(first.Check({}));
  TfrmMain& main = StartMain();
  main.SetState(TUiState::InSearch);
  first.OnHandOver = [&](const TArgs& args) { main.HandOver(args); };
  qint64 elapsed = 0;
  EXPECT_FALSE(LaterStart(socket_, side_, {"-s", "後で"}, 5000, &elapsed));
  EXPECT_LT(elapsed, 2500);
  EXPECT_EQ(main.PendingHandOvers(), 1u);
  main.SetState(TUiState::Ready);
  ASSERT_TRUE(QTest::qWaitFor([&]() { return main.PendingHandOvers() == 0; }, 3000));
  EXPECT_EQ(main.cmbSearched->currentText(), QStringLiteral("後で"));
}

TEST_F(SingleInstanceTest, SideFileThatCannotBeWrittenStillSendsTheRequest) {
  const std::string unwritable = home_ / "missing/mirun.cmdparam";
  TSingleInstance first(socket_, unwritable);
  ASSERT_TRUE(first.Check({}));
  int requests = 0;
  TArgs received{"unchanged"};
  first.OnHandOver = [&](const TArgs& args) {
    ++requests;
    received = args;
  };
  EXPECT_FALSE(LaterStart(socket_, unwritable, {"-s", "x"}, 5000));
  EXPECT_EQ(requests, 1);
  EXPECT_TRUE(received.empty());  // read what the file holds: nothing
}

TEST_F(SingleInstanceTest, StaleSocketDoesNotBlockANewFirstStart) {
  MakeStaleSocket(socket_);
  TSingleInstance first(socket_, side_);
  ASSERT_TRUE(first.Check({}));
  EXPECT_TRUE(first.Listening());
  QLocalSocket client;
  client.connectToServer(QString::fromStdString(socket_));
  EXPECT_TRUE(client.waitForConnected(2000));
}

TEST_F(SingleInstanceTest, InstancesOfOtherSocketsRunIndependently) {
  TSingleInstance one(socket_, side_);
  TSingleInstance other(run_ / "other.sock", home_ / "other.cmdparam");
  EXPECT_TRUE(one.Check({}));
  EXPECT_TRUE(other.Check({}));
  // A foreign line is no request: dropped without calling the handler.
  int requests = 0;
  one.OnHandOver = [&](const TArgs&) { ++requests; };
  QLocalSocket client;
  client.connectToServer(QString::fromStdString(socket_));
  ASSERT_TRUE(client.waitForConnected(2000));
  client.write("hello\n");
  client.flush();
  EXPECT_TRUE(QTest::qWaitFor([&]() { return client.state() == QLocalSocket::UnconnectedState; }, 3000));
  EXPECT_EQ(requests, 0);
}

// ---------------------------------------------------------------------------------
// The main window's side

TEST_F(SingleInstanceTest, HandOverRestoresAppliesAndDiscardsTheResults) {
  TfrmMain& main = StartMain();
  ASSERT_NO_FATAL_FAILURE(SearchTree(main));
  main.showMinimized();

  int acknowledged = 0;
  main.HandOver({"-s", "大阪", "-m", "w", "/a b/c.txt"}, [&]() { ++acknowledged; });
  EXPECT_EQ(acknowledged, 1);
  EXPECT_EQ(main.State(), TUiState::Ready);
  EXPECT_EQ(main.App().PlaceList, nullptr);
  EXPECT_FALSE(main.windowState() & Qt::WindowMinimized);
  EXPECT_EQ(main.cmbSearched->currentText(), QStringLiteral("大阪"));
  // One path as it stands, as the user types it and the history keeps it.
  EXPECT_EQ(main.cmbPath->currentText(), QStringLiteral("/a b/c.txt"));
  EXPECT_EQ(main.cmbMode->currentIndex(), 1);  // -m acts at a hand-over

  // No arguments: only restore and discard; the boxes keep their texts.
  main.HandOver({}, {});
  EXPECT_EQ(main.cmbSearched->currentText(), QStringLiteral("大阪"));
  EXPECT_EQ(main.State(), TUiState::Ready);
}

TEST_F(SingleInstanceTest, HandOverDuringARunWaitsForItsEndAndKeepsItsResults) {
  TfrmMain& main = StartMain();
  const std::string tree = MakeTree();
  WriteWholeFile(data_ / "other/x.txt", "名古屋\n");
  main.cmbPath->setEditText(FromNarrow(tree));
  main.cmbFilter->setEditText(QStringLiteral("*.txt"));
  main.cmbSearched->setEditText(QStringLiteral("東京"));

  // Two later starts arrive while the search adds its first place: the first asks
  // for a search of its own, the second only sets the search box.
  std::vector<int> acknowledged;
  int duringRun = -1;
  auto placeAdded = main.App().OnPlaceAdded;
  main.App().OnPlaceAdded = [&](TAbstractPlace* place) {
    if (duringRun < 0) {
      main.HandOver({"-s", "名古屋", "-n", (data_ / "other/x.txt")}, [&]() { acknowledged.push_back(1); });
      main.HandOver({"-s", "札幌"}, [&]() { acknowledged.push_back(2); });
      duringRun = static_cast<int>(acknowledged.size());
    }
    placeAdded(place);
  };
  main.btnSearchClick();
  EXPECT_EQ(duringRun, 0);
  // The run ended with its own results; nothing was applied inside it.
  EXPECT_EQ(main.State(), TUiState::Found);
  ASSERT_NE(main.App().PlaceList, nullptr);
  EXPECT_EQ(main.App().PlaceList->Count(), 2);
  EXPECT_EQ(main.PendingHandOvers(), 2u);
  EXPECT_TRUE(acknowledged.empty());

  // Then, in order: the first hand-over and its search, then the second.
  ASSERT_TRUE(QTest::qWaitFor([&]() { return acknowledged.size() == 2; }, 5000));
  EXPECT_EQ(acknowledged, (std::vector<int>{1, 2}));
  EXPECT_EQ(main.PendingHandOvers(), 0u);
  EXPECT_EQ(main.State(), TUiState::Ready);
  EXPECT_EQ(main.cmbSearched->currentText(), QStringLiteral("札幌"));
  ASSERT_GE(main.cmbSearched->count(), 2);
  EXPECT_EQ(main.cmbSearched->itemText(0), QStringLiteral("名古屋"));  // its search ran
  EXPECT_EQ(main.cmbSearched->itemText(1), QStringLiteral("東京"));
}

TEST_F(SingleInstanceTest, HandOverArrivingDuringAnotherOnesQuestionWaitsForIt) {
  TfrmMain& main = StartMain();
  ASSERT_NO_FATAL_FAILURE(SearchTree(main));
  // An edited view window: leaving the results asks whether to save, and the
  // question's event loop lets the next request in.
  main.frmView()->ShowPlace(0);
  main.frmView()->sedFile->textCursor().insertText(QStringLiteral("x"));
  std::vector<int> acknowledged;
  dialogs_.OnMessage = [&](const TScriptedDialogs::TMessage&) {
    main.HandOver({"-s", "二番目"}, [&]() { acknowledged.push_back(2); });
    return QMessageBox::No;
  };
  main.HandOver({"-s", "一番目"}, [&]() { acknowledged.push_back(1); });
  ASSERT_TRUE(QTest::qWaitFor([&]() { return acknowledged.size() == 2; }, 3000));
  EXPECT_EQ(acknowledged, (std::vector<int>{1, 2}));
  EXPECT_EQ(dialogs_.Messages.size(), 1u);
  EXPECT_EQ(main.cmbSearched->currentText(), QStringLiteral("二番目"));
  EXPECT_EQ(main.State(), TUiState::Ready);
}

TEST_F(SingleInstanceTest, HandOverWaitsWhileAModalDialogIsOpen) {
  TfrmMain& main = StartMain();
  ASSERT_NO_FATAL_FAILURE(SearchTree(main));
  // The CSV dialog works on the results a hand-over would discard.
  bool appliedWhileOpen = true;
  dialogs_.OnExec = [&](QDialog& dialog) {
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.show();
    main.HandOver({"-s", "後で"});
    QTest::qWait(250);  // the retry timer runs meanwhile
    appliedWhileOpen = main.PendingHandOvers() == 0;
    EXPECT_EQ(main.State(), TUiState::Found);
    dialog.hide();
    return int(QDialog::Rejected);
  };
  main.mniCopyResultClick();
  EXPECT_FALSE(appliedWhileOpen);
  ASSERT_TRUE(QTest::qWaitFor([&]() { return main.PendingHandOvers() == 0; }, 3000));
  EXPECT_EQ(main.cmbSearched->currentText(), QStringLiteral("後で"));
  EXPECT_EQ(main.State(), TUiState::Ready);
}

TEST_F(SingleInstanceTest, AHandedOverTargetAlreadyInTheHistoryIsNotAddedAgain) {
  TfrmMain& main = StartMain();
  ASSERT_NO_FATAL_FAILURE(SearchTree(main));
  const int items = main.cmbPath->count();
  main.HandOver({data_ / "tree", "-f*.txt", "-s東京", "-n"});
  ASSERT_TRUE(QTest::qWaitFor([&]() { return main.State() == TUiState::Found; }, 3000));
  EXPECT_EQ(main.cmbPath->count(), items);
  EXPECT_EQ(main.cmbPath->itemText(0), FromNarrow(data_ / "tree"));
}

TEST_F(SingleInstanceTest, HandOverBeforeTheFirstShowWaitsForIt) {
  main_ = std::make_unique<TfrmMain>(home_ / "Mirun.kel");
  main_->StartUp({});
  bool acknowledged = false;
  main_->HandOver({"-s", "京都"}, [&]() { acknowledged = true; });
  EXPECT_FALSE(acknowledged);
  main_->show();
  ASSERT_TRUE(QTest::qWaitFor([&]() { return acknowledged; }, 3000));
  EXPECT_EQ(main_->cmbSearched->currentText(), QStringLiteral("京都"));
}

// ---------------------------------------------------------------------------------
// Real processes of the built program

namespace {

// Processes of the desktop program with their own settings and runtime folders.
class ProgramProcesses {
 public:
  ProgramProcesses() {
    env_ = QProcessEnvironment::systemEnvironment();
    env_.insert(QStringLiteral("MIRUN_HOME"), QString::fromStdString(home_.Path()));
    env_.insert(QStringLiteral("XDG_RUNTIME_DIR"), QString::fromStdString(run_.Path()));
    env_.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env_.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    ::chmod(run_.Path().c_str(), 0700);  // as a runtime folder is
    socket_ = hovrak::InstanceSocketPath(MIRUN_GUI_PATH, home_.Path(), run_.Path(), static_cast<unsigned>(::getuid()));
  }
  ~ProgramProcesses() {
    if (first_ && first_->state() != QProcess::NotRunning) {
      first_->kill();
      first_->waitForFinished(5000);
    }
  }

  // Starts the first instance and waits until it listens.
  bool StartFirst(const QStringList& args) {
    first_ = std::make_unique<QProcess>();
    first_->setProcessEnvironment(env_);
    first_->start(QStringLiteral(MIRUN_GUI_PATH), args);
    if (!first_->waitForStarted(10000)) return false;
    // Listening, not only a socket file (a stale one may be there from before).
    return QTest::qWaitFor(
        [&]() {
          QLocalSocket probe;
          probe.connectToServer(QString::fromStdString(socket_));
          return probe.waitForConnected(200);
        },
        15000);
  }
  // A later start; its exit code (-1 when it did not end normally).
  int Later(const QStringList& args, qint64* elapsed = nullptr) {
    QProcess later;
    later.setProcessEnvironment(env_);
    QElapsedTimer clock;
    clock.start();
    later.start(QStringLiteral(MIRUN_GUI_PATH), args);
    if (!later.waitForFinished(20000) || later.exitStatus() != QProcess::NormalExit) {
      ADD_FAILURE() << later.readAllStandardError().toStdString();
      return -1;
    }
    if (elapsed) *elapsed = clock.elapsed();
    return later.exitCode();
  }
  // Ends the first instance as a logout does and returns its settings file.
  std::string Terminate() {
    first_->terminate();
    EXPECT_TRUE(first_->waitForFinished(15000));
    EXPECT_EQ(first_->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(first_->exitCode(), 0);
    return ReadWholeFile(home_ / "Mirun.kel");
  }
  std::string SideFile() const { return ReadWholeFile(home_ / "mirun.cmdparam"); }
  const std::string& Socket() const { return socket_; }

 private:
  TTempDir home_;
  TTempDir run_;
  QProcessEnvironment env_;
  std::string socket_;
  std::unique_ptr<QProcess> first_;
};

QString Q(const std::string& text) { return QString::fromStdString(text); }

// Where a whole line of the settings file stands (lines end with LF or CR LF).
std::size_t FindLine(const std::string& text, const std::string& line) {
  for (std::size_t at = text.find(line); at != std::string::npos; at = text.find(line, at + 1)) {
    const std::size_t end = at + line.size();
    if ((at == 0 || text[at - 1] == '\n') && (end == text.size() || text[end] == '\n' || text[end] == '\r')) return at;
  }
  return std::string::npos;
}

}  // namespace

TEST(SingleInstanceProcessTest, LaterStartHandsOverAndTheFirstInstanceSearches) {
  TTempDir data;
  WriteWholeFile(data / "a.txt", "東京へ行く\n");
  ProgramProcesses programs;
  ASSERT_TRUE(programs.StartFirst({}));
  // "-s東京" and "-n" in one argument reach the first instance as two.
  EXPECT_EQ(programs.Later({Q(data / "a.txt"), QStringLiteral("-s東京\n-n")}), 0);
  EXPECT_EQ(programs.SideFile(), data / "a.txt" + "\n-s東京\n-n\n");
  // A start without arguments is applied after the search the last one started.
  EXPECT_EQ(programs.Later({}), 0);
  const std::string settings = programs.Terminate();
  EXPECT_NE(FindLine(settings, "SearchedHistory=東京"), std::string::npos) << settings;
  EXPECT_NE(FindLine(settings, "PathHistory=" + data / "a.txt"), std::string::npos) << settings;
  EXPECT_FALSE(QFileInfo::exists(Q(programs.Socket())));
}

TEST(SingleInstanceProcessTest, LaterStartDuringARunIsAppliedAfterIt) {
  // Enough text that the first instance's own search (a regular expression over
  // decoded text) takes a while; few hits.
  TTempDir data;
  std::string big;
  for (int i = 0; i < 20000; ++i) big += i % 5000 ? "東京と大阪と名古屋と京都と札幌と福岡と仙台と広島\n" : "京都1\n";
  for (int f = 0; f < 4; ++f) WriteWholeFile(data / ("tree/" + std::to_string(f) + ".txt"), big);
  WriteWholeFile(data / "small.txt", "神戸\n");
  ProgramProcesses programs;
  ASSERT_TRUE(programs.StartFirst({Q(data / "tree"), QStringLiteral("-f*.txt"), QStringLiteral("-mr"),
                                   QStringLiteral("-s京都[0-9]"), QStringLiteral("-n")}));
  EXPECT_EQ(programs.Later({Q(data / "small.txt"), QStringLiteral("-s神戸"), QStringLiteral("-n")}), 0);
  EXPECT_EQ(programs.Later({}), 0);
  const std::string settings = programs.Terminate();
  // Newest first: the handed-over search ran after the first instance's own.
  const std::size_t second = FindLine(settings, "SearchedHistory=神戸");
  const std::size_t first = FindLine(settings, "SearchedHistory=京都[0-9]");
  ASSERT_NE(second, std::string::npos) << settings;
  ASSERT_NE(first, std::string::npos) << settings;
  EXPECT_LT(second, first);
}

TEST(SingleInstanceProcessTest, StaleSocketDoesNotBlockAFirstStart) {
  ProgramProcesses programs;
  MakeStaleSocket(programs.Socket());
  ASSERT_TRUE(programs.StartFirst({QStringLiteral("-s"), QStringLiteral("浜松")}));
  // The first start listens again: a later one hands over instead of running too.
  EXPECT_EQ(programs.Later({QStringLiteral("-s"), QStringLiteral("静岡")}), 0);
  const std::string settings = programs.Terminate();
  EXPECT_NE(settings.find("MainLeft="), std::string::npos) << settings;  // written at the end
}

TEST(SingleInstanceProcessTest, LaterStartWhileAQuestionHoldsTheRunEndsAtOnce) {
  TTempDir data;
  WriteWholeFile(data / "a.txt", "東京\n");
  ProgramProcesses programs;
  // The missing file makes the first instance's search ask, and wait for an answer.
  ASSERT_TRUE(programs.StartFirst(
      {Q(data / "a.txt"), Q(data / "missing.txt"), QStringLiteral("-s東京"), QStringLiteral("-n")}));
  qint64 elapsed = 0;
  EXPECT_EQ(programs.Later({QStringLiteral("-s大阪")}, &elapsed), 0);
  // Acknowledged on receipt, not after the run (which never ends here).
  EXPECT_LT(elapsed, 3000);
  programs.Terminate();
}

TEST(SingleInstanceProcessTest, TerminationDuringAQuestionEndsTheRunAndSavesTheSettings) {
  TTempDir data;
  WriteWholeFile(data / "a.txt", "東京\n");
  ProgramProcesses programs;
  // The missing file makes the search ask what to do with it.
  ASSERT_TRUE(programs.StartFirst(
      {Q(data / "a.txt"), Q(data / "missing.txt"), QStringLiteral("-s東京"), QStringLiteral("-n")}));
  QTest::qWait(500);
  const std::string settings = programs.Terminate();
  EXPECT_NE(FindLine(settings, "SearchedHistory=東京"), std::string::npos) << settings;
}
