#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <dirent.h>
#include <csignal>
#include <cstring>

#include "TestSupport.h"
#include "backup/Backup.h"
#include "core/MirunApp.h"
#include "platform/SafeSave.h"
#include "platform/SaveGroup.h"
#include "settings/Option.h"
#include "shared/StoppedException.h"
#include "text/Conversions.h"
#include "text/FileOperationResult.h"

namespace {

std::string Utf16Le(const std::wstring& text, bool bom = true) {
  std::string out = bom ? "\xFF\xFE" : "";
  for (wchar_t c : text) {
    out.push_back(static_cast<char>(c & 0xFF));
    out.push_back(static_cast<char>((c >> 8) & 0xFF));
  }
  return out;
}

class ReplaceRun : public ::testing::Test {
 protected:
  ReplaceRun() {
    app.Option->CharCode = TCharCode::Auto;
    app.Option->Backup = false;
    app.OnFileError = [this](const std::string& path, TFileOperationResult r, int) {
      asked.push_back(path.substr(dir.Path().size() + 1) + "=" + std::to_string(static_cast<int>(r)));
      return answer;
    };
  }
  std::string P(const std::string& name) const { return dir / name; }
  int SearchFolder(const std::string& text) { return app.Search({dir.Path()}, {"*"}, text); }
  // Sets a file's time to a fixed past moment so a rewrite is visible.
  void Age(const std::string& name) {
    struct timespec times[2] = {{1000000000, 0}, {1000000000, 0}};
    utimensat(AT_FDCWD, P(name).c_str(), times, 0);
  }

  TTempDir dir;
  TMirunApp app;
  std::vector<std::string> asked;
  TDecision answer = TDecision::Skip;
};

// Lowers the bound of a group for a test, also a failed one.
struct TGroupOf {
  std::size_t kept = hovrak::TSaveGroup::MaxFiles;
  explicit TGroupOf(std::size_t files) { hovrak::TSaveGroup::MaxFiles = files; }
  ~TGroupOf() {
    hovrak::TSaveGroup::MaxFiles = kept;
    hovrak::SetSafeSaveTestHook(nullptr);
  }
};

// When the second file is staged, someone else writes gChanged, whose new bytes wait
// in the same group.
std::string gChanged;
int gStaged = 0;
int ChangeAtStaged(const char* step) {
  if (std::strcmp(step, "staged") == 0 && ++gStaged == 2) WriteWholeFile(gChanged, "会議 changed by someone else");
  return 0;
}

// The copies in every unit folder below backups of the file called name.
std::vector<std::string> CopiesOf(const std::string& backups, const std::string& name) {
  std::vector<std::string> copies;
  if (DIR* d = ::opendir(backups.c_str())) {
    while (dirent* e = ::readdir(d)) {
      const std::string copy = backups + "/" + e->d_name + "/" + name;
      if (e->d_name[0] != '.' && ::access(copy.c_str(), F_OK) == 0) copies.push_back(ReadWholeFile(copy));
    }
    ::closedir(d);
  }
  return copies;
}

}  // namespace

TEST_F(ReplaceRun, EveryCodeKeepsItsBytesBomAndLineEndsOutsideTheHits) {
  const std::wstring before = L"東京の天気\r\n明日も東京\r\n";
  const std::wstring after = L"大阪府の天気\r\n明日も大阪府\r\n";
  struct TCase {
    std::string name;
    std::string (*encode)(const std::wstring&);
  };
  const std::vector<TCase> cases = {
      {"sjis.txt", [](const std::wstring& t) { return hovrak::unicode_to_sjis_cp932(t); }},
      {"euc.txt", [](const std::wstring& t) { return hovrak::unicode_to_euc(t); }},
      {"jis.txt", [](const std::wstring& t) { return hovrak::euc_to_jis(hovrak::unicode_to_euc(t)); }},
      {"utf8.txt", [](const std::wstring& t) { return hovrak::unicode_to_utf8(t); }},
      {"utf8bom.txt", [](const std::wstring& t) { return "\xEF\xBB\xBF" + hovrak::unicode_to_utf8(t); }},
      {"utf16.txt", [](const std::wstring& t) { return Utf16Le(t); }},
  };
  for (const auto& c : cases) WriteWholeFile(P(c.name), c.encode(before));
  WriteWholeFile(P("untouched.txt"), "no hit here\n");
  Age("untouched.txt");
  const auto untouchedTime = TFileSet::GetLastWriteTime(P("untouched.txt"));

  ASSERT_EQ(SearchFolder("東京"), SearchCompleted);
  ASSERT_EQ(app.PlaceList->Count(), 12);
  EXPECT_EQ(app.Replace("大阪府"), ReplaceCompleted);
  for (const auto& c : cases) EXPECT_EQ(ReadWholeFile(P(c.name)), c.encode(after)) << c.name;
  // What the summary tells: every place and file written, in search order.
  EXPECT_EQ(app.FileSet->ReplacedPlaces, 12);
  ASSERT_EQ(app.FileSet->WrittenFiles.size(), cases.size());
  EXPECT_EQ(app.FileSet->WrittenFiles.front(), P("euc.txt"));
  EXPECT_EQ(ReadWholeFile(P("untouched.txt")), "no hit here\n");
  EXPECT_EQ(TFileSet::GetLastWriteTime(P("untouched.txt")), untouchedTime);
  EXPECT_EQ(app.PlaceList->Count(), 0);
  EXPECT_TRUE(asked.empty());
}

TEST_F(ReplaceRun, AsciiModeRewritesRawBytesAndUntickedFilesStayAlone) {
  app.Option->CharCode = TCharCode::ASCII;
  const std::string sjis = hovrak::unicode_to_sjis_cp932(L"表示 value=1\n");  // 表 ends in 0x5C
  WriteWholeFile(P("a.ini"), sjis);
  WriteWholeFile(P("b.ini"), "value=1\r\nvalue=1");
  Age("b.ini");
  ASSERT_EQ(SearchFolder("value=1"), SearchCompleted);
  ASSERT_EQ(app.PlaceList->Count(), 3);
  app.PlaceList->Item(1)->Checked = false;
  app.PlaceList->Item(2)->Checked = false;
  EXPECT_EQ(app.Replace("value=2"), ReplaceCompleted);
  EXPECT_EQ(ReadWholeFile(P("a.ini")), hovrak::unicode_to_sjis_cp932(L"表示 value=2\n"));
  EXPECT_EQ(ReadWholeFile(P("b.ini")), "value=1\r\nvalue=1");
  EXPECT_EQ(TFileSet::GetLastWriteTime(P("b.ini")).date().year(), 2001);
  // The unticked places of the untouched file stay.
  EXPECT_EQ(app.PlaceList->Count(), 2);
}

TEST_F(ReplaceRun, ChangedFileIsReportedAndForceReplacesIt) {
  WriteWholeFile(P("a.txt"), "old old");
  Age("a.txt");
  ASSERT_EQ(SearchFolder("old"), SearchCompleted);
  WriteWholeFile(P("a.txt"), "old old");  // same bytes, new time
  answer = TDecision::Skip;
  EXPECT_EQ(app.Replace("new"), ReplaceCompleted);
  EXPECT_EQ(asked, std::vector<std::string>{"a.txt=4"});
  EXPECT_EQ(ReadWholeFile(P("a.txt")), "old old");
  EXPECT_EQ(app.PlaceList->Count(), 2);
  answer = TDecision::Force;
  EXPECT_EQ(app.Replace("new"), ReplaceCompleted);
  EXPECT_EQ(ReadWholeFile(P("a.txt")), "new new");
}

TEST_F(ReplaceRun, ReadOnlyFileIsReportedAndLeftUnchanged) {
  WriteWholeFile(P("ro.txt"), "keep me");
  chmod(P("ro.txt").c_str(), 0444);
  ASSERT_EQ(SearchFolder("keep"), SearchCompleted);
  answer = TDecision::Abort;  // a write failure never ends the run, Abort included
  EXPECT_EQ(app.Replace("lose"), ReplaceCompleted);
  EXPECT_EQ(asked, std::vector<std::string>{"ro.txt=1"});
  EXPECT_EQ(ReadWholeFile(P("ro.txt")), "keep me");
  EXPECT_EQ(app.PlaceList->Count(), 1);
}

TEST_F(ReplaceRun, DeletedFileIsOpenFailedAndRetryAfterRestoringWorks) {
  WriteWholeFile(P("a.txt"), "alpha");
  Age("a.txt");
  ASSERT_EQ(SearchFolder("alpha"), SearchCompleted);
  unlink(P("a.txt").c_str());
  int calls = 0;
  app.OnFileError = [&](const std::string& path, TFileOperationResult r, int) {
    if (++calls == 1) {
      EXPECT_EQ(r, TFileOperationResult::OpenFailed);
      WriteWholeFile(path, "alpha");  // restored from a copy that kept its time
      Age("a.txt");
      return TDecision::Retry;
    }
    // The time is the same, but it is another file now (inode, change time): asked.
    EXPECT_EQ(r, TFileOperationResult::ModifiedSinceSearch);
    return TDecision::Force;
  };
  // The file set took the callbacks at search time.
  app.FileSet->OnFileError = app.OnFileError;
  EXPECT_EQ(app.Replace("beta"), ReplaceCompleted);
  EXPECT_EQ(calls, 2);
  EXPECT_EQ(ReadWholeFile(P("a.txt")), "beta");
}

TEST_F(ReplaceRun, StopDuringTheThirdOfFiveFiles) {
  for (char c = 'a'; c <= 'e'; ++c) WriteWholeFile(P(std::string(1, c) + ".txt"), "x x");
  ASSERT_EQ(SearchFolder("x"), SearchCompleted);
  app.PlaceList->Item(9)->Checked = false;  // a tick of a later file stays as it was
  app.OnProcess = [](TProcessType kind, const std::string&, int index, int) {
    if (kind == TProcessType::Replacing && index == 2) throw EStoppedException();
  };
  app.FileSet->OnProcess = app.OnProcess;
  EXPECT_EQ(app.Replace("y"), ReplaceStopped);
  EXPECT_EQ(ReadWholeFile(P("a.txt")), "y y");
  EXPECT_EQ(ReadWholeFile(P("b.txt")), "y y");
  for (const char* name : {"c.txt", "d.txt", "e.txt"}) EXPECT_EQ(ReadWholeFile(P(name)), "x x");
  ASSERT_EQ(app.PlaceList->Count(), 6);
  EXPECT_EQ(app.PlaceList->Item(0)->FileName(), P("c.txt"));
  EXPECT_TRUE(app.PlaceList->Item(4)->Checked);
  EXPECT_FALSE(app.PlaceList->Item(5)->Checked);
}

TEST_F(ReplaceRun, CharCodeCheckAsksAndForceWritesBack) {
  // A Shift-JIS file with a user-defined character does not encode back.
  WriteWholeFile(P("gaiji.txt"), std::string("abc \xF0\x40 abc", 10));
  app.Option->CharCode = TCharCode::SJIS;
  ASSERT_EQ(SearchFolder("abc"), SearchCompleted);
  answer = TDecision::Skip;
  EXPECT_EQ(app.Replace("xyz"), ReplaceCompleted);
  EXPECT_EQ(asked, std::vector<std::string>{"gaiji.txt=3"});
  EXPECT_EQ(ReadWholeFile(P("gaiji.txt")), std::string("abc \xF0\x40 abc", 10));
  // With the check off at search time the file is written without a question.
  app.Option->CheckCharCode = false;
  asked.clear();
  ASSERT_EQ(SearchFolder("abc"), SearchCompleted);
  EXPECT_EQ(app.Replace("xyz"), ReplaceCompleted);
  EXPECT_TRUE(asked.empty());
  EXPECT_EQ(ReadWholeFile(P("gaiji.txt")), "xyz ? xyz");
}

TEST_F(ReplaceRun, WriteThatFailsHalfWayKeepsTheOriginalBytes) {
  std::string big;
  for (int i = 0; i < 20000; ++i) big += "line with a hit in it\n";
  WriteWholeFile(P("big.txt"), big);
  ASSERT_EQ(SearchFolder("hit"), SearchCompleted);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    // The new text is larger than the limit: the write fails part-way.
    signal(SIGXFSZ, SIG_IGN);
    struct rlimit limit = {64 * 1024, 64 * 1024};
    setrlimit(RLIMIT_FSIZE, &limit);
    app.FileSet->OnFileError = [](const std::string&, TFileOperationResult r, int) {
      _exit(r == TFileOperationResult::OpenFailed ? 42 : 43);
      return TDecision::Skip;
    };
    app.Replace("a much longer replacement");
    _exit(0);
  }
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 42);
  EXPECT_EQ(ReadWholeFile(P("big.txt")), big);
  // Nothing but the file itself is left in the folder.
  EXPECT_EQ(TFileSet::GetPathKind(P("big.txt")), 1);
  int entries = 0;
  TFileSet::ForEachFile(dir.Path(), "*", [&](const std::string&) { return ++entries, true; });
  EXPECT_EQ(entries, 1);
}

TEST_F(ReplaceRun, PreviewShowsTheReplacementOfOnePlace) {
  WriteWholeFile(P("a.txt"), "2024-01-05");
  app.Option->Mode = TSearchMode::Regex;
  ASSERT_EQ(SearchFolder("(\\d+)-(\\d+)-(\\d+)"), SearchCompleted);
  EXPECT_EQ(app.PreviewReplacement(0, "\\3日\\2月\\1年"), "05日01月2024年");
  EXPECT_EQ(app.PreviewReplacement(5, "x"), "");
}

TEST_F(ReplaceRun, BackupCopiesAreTheFilesAsTheyWereBeforeTheReplace) {
  const std::string sjis = hovrak::unicode_to_sjis_cp932(L"旧い行\r\n旧い\r\n");
  WriteWholeFile(P("src/a.txt"), sjis);
  WriteWholeFile(P("src/sub/b.txt"), "\xEF\xBB\xBF" + hovrak::unicode_to_utf8(L"旧\n"));
  const std::string c = "旧い文字コードの説明です。日本語のテキスト。";
  WriteWholeFile(P("src/c.txt"), c);  // unticked: neither backed up nor visited
  TTempDir backups;
  app.Option->Backup = true;
  app.Option->SubDir = true;
  app.Backup->BackupDir = backups.Path();
  app.Backup->MaxSize = 100000000;
  const std::string before = ReadWholeFile(P("src/sub/b.txt"));
  ASSERT_EQ(app.Search({P("src")}, {"*"}, "旧"), SearchCompleted);
  ASSERT_EQ(app.PlaceList->Count(), 4);
  app.PlaceList->Item(2)->Checked = false;  // c.txt comes third in the folder order
  EXPECT_EQ(app.Replace("新"), ReplaceCompleted);
  ASSERT_EQ(app.Backup->Units.size(), 1u);
  const TBackupUnit& unit = *app.Backup->Units.front();
  EXPECT_EQ(unit.BaseDir, P("src"));
  EXPECT_EQ(unit.Files, (TStringVector{"a.txt", "sub/b.txt"}));
  EXPECT_EQ(ReadWholeFile(unit.Folder() + "/a.txt"), sjis);
  EXPECT_EQ(ReadWholeFile(unit.Folder() + "/sub/b.txt"), before);
  EXPECT_EQ(ReadWholeFile(P("src/a.txt")), hovrak::unicode_to_sjis_cp932(L"新い行\r\n新い\r\n"));
  EXPECT_EQ(ReadWholeFile(P("src/c.txt")), c);
}

// Files are written in groups: a file changed by someone else while its new bytes wait
// in a group is asked about before any later file, in search order, and left alone;
// every other file is written, and only after its backup copy.
TEST_F(ReplaceRun, GroupsKeepTheOrderOfQuestionsAndAChangeBeforeTheSwitchIsRefused) {
  TGroupOf groups(2);
  for (char c = 'a'; c <= 'e'; ++c) WriteWholeFile(P(std::string(1, c) + ".txt"), "会議 " + std::string(1, c));
  WriteWholeFile(P("ro.txt"), "会議 ro");
  chmod(P("ro.txt").c_str(), 0444);
  TTempDir backups;
  app.Option->Backup = true;
  app.Backup->BackupDir = backups.Path();
  app.Backup->MaxSize = 100000000;
  ASSERT_EQ(SearchFolder("会議"), SearchCompleted);
  gChanged = P("a.txt");
  gStaged = 0;
  hovrak::SetSafeSaveTestHook(ChangeAtStaged);
  answer = TDecision::Skip;
  EXPECT_EQ(app.Replace("会合"), ReplaceCompleted);
  // a.txt (changed before its switch) is asked about before ro.txt, which comes later.
  EXPECT_EQ(asked, (std::vector<std::string>{"a.txt=4", "ro.txt=1"}));
  EXPECT_EQ(ReadWholeFile(P("a.txt")), "会議 changed by someone else");
  for (char c = 'b'; c <= 'e'; ++c)
    EXPECT_EQ(ReadWholeFile(P(std::string(1, c) + ".txt")), "会合 " + std::string(1, c));
  EXPECT_EQ(ReadWholeFile(P("ro.txt")), "会議 ro");
  EXPECT_EQ(app.FileSet->WrittenFiles, (TStringVector{P("b.txt"), P("c.txt"), P("d.txt"), P("e.txt")}));
  EXPECT_EQ(app.FileSet->ReplacedPlaces, 4);
  ASSERT_EQ(app.FileSet->Failures.size(), 2u);
  EXPECT_EQ(app.FileSet->Failures[0].Path, P("a.txt"));
  EXPECT_EQ(app.FileSet->Failures[0].Result, TFileOperationResult::ModifiedSinceSearch);
  EXPECT_EQ(app.FileSet->Failures[1].Error, EACCES);
  // The places of the files left alone stay.
  EXPECT_EQ(app.PlaceList->Count(), 2);
  for (char c = 'b'; c <= 'e'; ++c)
    EXPECT_EQ(CopiesOf(backups.Path(), std::string(1, c) + ".txt"), TStringVector{"会議 " + std::string(1, c)});
}

// Killed at every step of a replace with backup made in groups of three: each file
// holds its old or its new bytes, and every new one has its backup copy on disk.
TEST_F(ReplaceRun, AKillAtAnyStepOfAGroupLeavesEachFileOldOrNewWithItsCopy) {
  TGroupOf groups(3);
  constexpr int kFiles = 7;
  const auto name = [](int i) { return "f" + std::to_string(i) + ".txt"; };
  for (gKillAtStep = 1;; ++gKillAtStep) {
    TTempDir backups;
    for (int i = 0; i < kFiles; ++i) WriteWholeFile(P(name(i)), "会議 " + std::to_string(i));
    app.Option->Backup = true;
    app.Backup->BackupDir = backups.Path();
    app.Backup->MaxSize = 100000000;
    ASSERT_EQ(SearchFolder("会議"), SearchCompleted);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      gStepsTaken = 0;
      hovrak::SetSafeSaveTestHook(KillAtStep);
      _exit(app.Replace("会合") == ReplaceCompleted ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    int written = 0;
    for (int i = 0; i < kFiles; ++i) {
      const std::string before = "会議 " + std::to_string(i);
      const std::string now = ReadWholeFile(P(name(i)));
      ASSERT_TRUE(now == before || now == "会合 " + std::to_string(i)) << "step " << gKillAtStep << " " << name(i);
      if (now == before) continue;
      ++written;
      EXPECT_EQ(CopiesOf(backups.Path(), name(i)), TStringVector{before}) << "step " << gKillAtStep << " " << name(i);
    }
    if (WIFEXITED(status)) {
      EXPECT_EQ(WEXITSTATUS(status), 0);
      EXPECT_EQ(written, kFiles);
      EXPECT_GT(gKillAtStep, 2 * kFiles);
      break;
    }
  }
}

// A file of a group that cannot be written (over the size limit) is asked about with
// its reason once the files before it are in place; the files after it are written.
TEST_F(ReplaceRun, AFailureInTheMiddleOfAGroupLeavesTheOthersRight) {
  std::string big;
  for (int i = 0; i < 4000; ++i) big += "a hit in a line\n";
  WriteWholeFile(P("a.txt"), "hit");
  WriteWholeFile(P("b.txt"), big);
  WriteWholeFile(P("c.txt"), "hit");
  ASSERT_EQ(SearchFolder("hit"), SearchCompleted);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    signal(SIGXFSZ, SIG_IGN);
    struct rlimit limit = {96 * 1024, 96 * 1024};
    setrlimit(RLIMIT_FSIZE, &limit);
    bool firstInPlace = false;
    app.FileSet->OnFileError = [&](const std::string& path, TFileOperationResult, int) {
      firstInPlace = ReadWholeFile(P("a.txt")) == "a much longer replacement";
      return path == P("b.txt") ? TDecision::Skip : TDecision::Abort;
    };
    app.Replace("a much longer replacement");
    const auto& failures = app.FileSet->Failures;
    _exit(firstInPlace && failures.size() == 1 && failures[0].Path == P("b.txt") && failures[0].Error == EFBIG &&
                  failures[0].WriteFailed
              ? 0
              : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(ReadWholeFile(P("a.txt")), "a much longer replacement");
  EXPECT_EQ(ReadWholeFile(P("b.txt")), big);
  EXPECT_EQ(ReadWholeFile(P("c.txt")), "a much longer replacement");
}
