// A replace changes only the bytes of the hits it replaces, never splices into text
// that changed since the search, and rewrites nothing without its backup copy.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <random>

#include "TestSupport.h"
#include "backup/Backup.h"
#include "core/MirunApp.h"
#include "settings/KELNode.h"
#include "settings/Option.h"
#include "shared/StoppedException.h"
#include "text/File.h"
#include "text/FileOperationResult.h"

namespace {

class ReplaceSafety : public ::testing::Test {
 protected:
  ReplaceSafety() {
    app.Option->CharCode = TCharCode::Auto;
    app.Option->Backup = false;
    app.OnFileError = [this](const std::string& path, TFileOperationResult r, int) {
      asked.push_back(path.substr(path.rfind('/') + 1) + "=" + std::to_string(static_cast<int>(r)));
      return answer;
    };
  }
  std::string P(const std::string& name) const { return dir / name; }
  void Age(const std::string& name) {
    struct timespec times[2] = {{1000000000, 0}, {1000000000, 0}};
    utimensat(AT_FDCWD, P(name).c_str(), times, 0);
  }

  TTempDir dir;
  TMirunApp app;
  std::vector<std::string> asked;
  TDecision answer = TDecision::Skip;
};

std::string Encoded(const std::wstring& text, TCharCode code) {
  std::string bytes;
  EXPECT_TRUE(TFile<wchar_t>::Encode(text, code, bytes));
  return bytes;
}

}  // namespace

TEST_F(ReplaceSafety, MixedLineEndsOfTheIssueStayAsTheyWere) {
  const std::wstring before = L"一行目は会議です。\r\n二行目\n三行目\r四行目も会議\r\n";
  const std::wstring after = L"一行目は会合です。\r\n二行目\n三行目\r四行目も会合\r\n";
  WriteWholeFile(P("a.txt"), Encoded(before, TCharCode::SJIS));
  app.Option->CharCode = TCharCode::SJIS;
  ASSERT_EQ(app.Search({P("a.txt")}, {}, "会議"), SearchCompleted);
  EXPECT_EQ(app.Replace("会合"), ReplaceCompleted);
  EXPECT_EQ(ReadWholeFile(P("a.txt")), Encoded(after, TCharCode::SJIS));

  // The same as bytes, and LFs in a CR file.
  app.Option->CharCode = TCharCode::ASCII;
  WriteWholeFile(P("b.txt"), "ab\r\ncd\nab\rab\r\n");
  WriteWholeFile(P("c.txt"), "ab\rcd\nab\r\nab");
  ASSERT_EQ(app.Search({P("b.txt"), P("c.txt")}, {}, "ab"), SearchCompleted);
  EXPECT_EQ(app.Replace("xyz"), ReplaceCompleted);
  EXPECT_EQ(ReadWholeFile(P("b.txt")), "xyz\r\ncd\nxyz\rxyz\r\n");
  EXPECT_EQ(ReadWholeFile(P("c.txt")), "xyz\rcd\nxyz\r\nxyz");
}

TEST_F(ReplaceSafety, LineEndsInsideHitsAndReplacementsFollowTheFile) {
  app.Option->CharCode = TCharCode::UTF8N;
  app.Option->Mode = TSearchMode::Regex;
  app.Option->ByLine = false;
  app.Option->Escape = true;
  // A hit that takes a line end takes its CR too; the replacement's line feed
  // becomes the file's own line end.
  WriteWholeFile(P("crlf.txt"), "end\r\nnext\r\nend\nnext\r\n");
  WriteWholeFile(P("cr.txt"), "end\rnext\r\n");
  ASSERT_EQ(app.Search({P("crlf.txt"), P("cr.txt")}, {}, "end\\nnext"), SearchCompleted);
  ASSERT_EQ(app.PlaceList->Count(), 3);
  EXPECT_EQ(app.Replace("A\\nB"), ReplaceCompleted);
  EXPECT_EQ(ReadWholeFile(P("crlf.txt")), "A\r\nB\r\nA\r\nB\r\n");
  EXPECT_EQ(ReadWholeFile(P("cr.txt")), "A\rB\r\n");
}

// Random files in every code with every mixture of line ends: after replacing random
// hits, every byte outside the replaced hits is as it was.
TEST_F(ReplaceSafety, BytesOutsideTheReplacedHitsNeverChange) {
  const std::vector<std::wstring> words = {L"東京", L"会議", L"です。", L"abc", L"　", L"日本語", L"ｶﾅ", L"x"};
  const std::vector<std::wstring> ends = {L"\r\n", L"\n", L"\r"};
  const std::vector<TCharCode> codes = {TCharCode::SJIS,  TCharCode::EUC,   TCharCode::JIS,  TCharCode::UTF8,
                                        TCharCode::UTF8N, TCharCode::UTF16, TCharCode::ASCII};
  std::mt19937 random(20261209);
  for (int round = 0; round < 140; ++round) {
    const TCharCode code = codes[static_cast<std::size_t>(round) % codes.size()];
    // Lines of random words joined by random line ends; the raw text and where each
    // hit stands in it.
    std::wstring raw;
    std::vector<std::size_t> hits;
    const int lines = 1 + static_cast<int>(random() % 12);
    for (int line = 0; line < lines; ++line) {
      const int n = static_cast<int>(random() % 6);
      for (int w = 0; w < n; ++w) {
        const std::wstring& word = words[random() % words.size()];
        if (word == L"会議") hits.push_back(raw.size());
        raw += word;
      }
      if (line + 1 < lines || random() % 2) raw += ends[random() % ends.size()];
    }
    if (hits.empty()) {
      hits.push_back(raw.size());
      raw += L"会議";
    }
    const std::string name = "f" + std::to_string(round) + ".txt";
    const bool narrow = code == TCharCode::ASCII;
    WriteWholeFile(P(name), Encoded(raw, narrow ? TCharCode::UTF8N : code));

    app.Option->CharCode = code;
    app.Option->ByLine = round % 3 != 0;
    app.Option->ShowLine = round % 4 != 1;
    ASSERT_EQ(app.Search({P(name)}, {}, "会議"), SearchCompleted) << name;
    ASSERT_EQ(app.PlaceList->Count(), static_cast<int>(hits.size())) << name;
    std::vector<bool> ticked(hits.size());
    for (std::size_t i = 0; i < hits.size(); ++i) {
      ticked[i] = random() % 3 != 0;
      app.PlaceList->Item(static_cast<int>(i))->Checked = ticked[i];
    }
    ASSERT_EQ(app.Replace("会合する"), ReplaceCompleted) << name;

    std::wstring expected;
    std::size_t copied = 0;
    for (std::size_t i = 0; i < hits.size(); ++i) {
      if (!ticked[i]) continue;
      expected.append(raw, copied, hits[i] - copied);
      expected += L"会合する";
      copied = hits[i] + 2;
    }
    expected.append(raw, copied, std::wstring::npos);
    EXPECT_EQ(ReadWholeFile(P(name)), Encoded(expected, narrow ? TCharCode::UTF8N : code))
        << name << " code " << static_cast<int>(code);
  }
}

TEST_F(ReplaceSafety, StalePlacesAreNeverSplicedInto) {
  WriteWholeFile(P("a.txt"), "東京都千代田区会議室\n会議\n");
  app.Option->CharCode = TCharCode::UTF8N;
  ASSERT_EQ(app.Search({P("a.txt")}, {}, "会議"), SearchCompleted);
  // Changed with its time kept (as cp -p does): the change time still tells.
  struct stat st;
  ASSERT_EQ(stat(P("a.txt").c_str(), &st), 0);
  WriteWholeFile(P("a.txt"), "東京都千会議代田区室\n会議\n");
  const struct timespec times[2] = {st.st_atim, st.st_mtim};
  ASSERT_EQ(utimensat(AT_FDCWD, P("a.txt").c_str(), times, 0), 0);
  answer = TDecision::Skip;
  EXPECT_EQ(app.Replace("会合"), ReplaceCompleted);
  EXPECT_EQ(asked, std::vector<std::string>{"a.txt=4"});
  EXPECT_EQ(ReadWholeFile(P("a.txt")), "東京都千会議代田区室\n会議\n");
  ASSERT_EQ(app.FileSet->Failures.size(), 1u);
  EXPECT_FALSE(app.FileSet->Failures[0].IsError());

  // Forced, only the hit that still stands where it was found is replaced.
  answer = TDecision::Force;
  asked.clear();
  EXPECT_EQ(app.Replace("会合"), ReplaceCompleted);
  EXPECT_EQ(asked, std::vector<std::string>{"a.txt=4"});
  EXPECT_EQ(ReadWholeFile(P("a.txt")), "東京都千会議代田区室\n会合\n");
}

TEST_F(ReplaceSafety, StaleHitsAreFoundWithoutTimeStampsToo) {
  app.Option->CheckTime = false;
  app.Option->CharCode = TCharCode::ASCII;
  WriteWholeFile(P("a.txt"), "one two\n");
  ASSERT_EQ(app.Search({P("a.txt")}, {}, "two"), SearchCompleted);
  WriteWholeFile(P("a.txt"), "one TWO\n");
  answer = TDecision::Skip;
  EXPECT_EQ(app.Replace("2"), ReplaceCompleted);
  EXPECT_EQ(asked, std::vector<std::string>{"a.txt=4"});
  EXPECT_EQ(ReadWholeFile(P("a.txt")), "one TWO\n");
}

TEST_F(ReplaceSafety, ForceAfterTooLargeSkipsTheFile) {
  app.Option->CharCode = TCharCode::ASCII;
  WriteWholeFile(P("big.txt"), "abcd");
  ASSERT_EQ(app.Search({P("big.txt")}, {}, "abcd"), SearchCompleted);
  // Grown past the largest file Mirun reads (sparse, so it costs no disk).
  ASSERT_EQ(truncate(P("big.txt").c_str(), 2147483648LL), 0);
  answer = TDecision::Force;
  EXPECT_EQ(app.Replace("x"), ReplaceCompleted);
  EXPECT_EQ(asked, (std::vector<std::string>{"big.txt=4", "big.txt=5"}));
  struct stat st;
  ASSERT_EQ(stat(P("big.txt").c_str(), &st), 0);
  EXPECT_EQ(st.st_size, 2147483648LL);
  ASSERT_EQ(app.FileSet->Failures.size(), 1u);
  EXPECT_TRUE(app.FileSet->Failures[0].IsError());
}

// A backup store that keeps the index in a node, as the settings file would.
class TNodeIndexStore : public TBackupIndexStore {
 public:
  int Update(TBackup& backup, const std::function<void()>& change) override {
    if (Fail) return Fail;
    if (Stored) backup.ReadUnits(*Stored);
    change();
    Stored = std::make_unique<hovrak::TKELNode>();
    backup.Write(*Stored);
    ++Writes;
    Snapshots.push_back(Units());
    return 0;
  }
  std::size_t Units() const { return Stored ? Stored->CountChildren("Unit") : 0; }
  std::unique_ptr<hovrak::TKELNode> Stored;
  int Fail = 0;
  int Writes = 0;
  std::vector<std::size_t> Snapshots;
};

class ReplaceBackup : public ReplaceSafety {
 protected:
  ReplaceBackup() {
    app.Option->Backup = true;
    app.Option->CharCode = TCharCode::ASCII;
    app.Backup->BackupDir = home / "Backup";
    app.Backup->IndexStore = &store;
    for (const char* name : {"a.txt", "b.txt", "c.txt"}) WriteWholeFile(P(name), "hit\n");
  }
  TTempDir home;
  TNodeIndexStore store;
};

TEST_F(ReplaceBackup, NothingIsRewrittenWhenACopyCannotBeMade) {
  // The backup folder cannot be made: a file stands in its way.
  WriteWholeFile(home / "Backup", "not a folder");
  ASSERT_EQ(app.Search({P("a.txt"), P("b.txt")}, {}, "hit"), SearchCompleted);
  std::vector<TBackupFailure> reported;
  app.OnBackupFailed = [&](const TBackupReport& report) {
    reported = report.Failures;
    return false;
  };
  EXPECT_EQ(app.Replace("done"), ReplaceBackupFailed);
  ASSERT_EQ(reported.size(), 2u);
  EXPECT_EQ(reported[0].Error, ENOTDIR);
  EXPECT_EQ(ReadWholeFile(P("a.txt")), "hit\n");
  EXPECT_EQ(ReadWholeFile(P("b.txt")), "hit\n");
  EXPECT_EQ(app.PlaceList->Count(), 2);
  EXPECT_TRUE(app.Backup->Units.empty());

  // Without the question installed the answer is no as well.
  app.OnBackupFailed.clear();
  EXPECT_EQ(app.Replace("done"), ReplaceBackupFailed);
  EXPECT_EQ(ReadWholeFile(P("a.txt")), "hit\n");
}

TEST_F(ReplaceBackup, OneFailedCopyStopsEveryWriteUnlessTheUserGoesOn) {
  ASSERT_EQ(app.Search({P("a.txt"), P("b.txt"), P("c.txt")}, {}, "hit"), SearchCompleted);
  // b.txt vanishes after the search: its copy cannot be made.
  ASSERT_EQ(unlink(P("b.txt").c_str()), 0);
  app.OnBackupFailed = [](const TBackupReport&) { return false; };
  EXPECT_EQ(app.Replace("done"), ReplaceBackupFailed);
  EXPECT_EQ(ReadWholeFile(P("a.txt")), "hit\n");
  // The incomplete unit is gone from the index and from the disk.
  EXPECT_TRUE(app.Backup->Units.empty());
  EXPECT_EQ(store.Units(), 0u);

  app.OnBackupFailed = [](const TBackupReport& report) { return report.Failures.size() == 1; };
  EXPECT_EQ(app.Replace("done"), ReplaceCompleted);
  EXPECT_EQ(ReadWholeFile(P("a.txt")), "done\n");
  EXPECT_EQ(ReadWholeFile(P("c.txt")), "done\n");
  // The index lists only the copies that exist, with absolute base folder.
  ASSERT_EQ(app.Backup->Units.size(), 1u);
  const TBackupUnit& unit = *app.Backup->Units[0];
  EXPECT_EQ(unit.Files, (TStringVector{"a.txt", "c.txt"}));
  EXPECT_EQ(unit.BaseDir, dir.Path());
  EXPECT_EQ(ReadWholeFile(unit.Folder() + "/a.txt"), "hit\n");
}

TEST_F(ReplaceBackup, TheIndexIsSavedBeforeTheFirstCopyAndAfterTheLast) {
  ASSERT_EQ(app.Search({P("a.txt"), P("b.txt")}, {}, "hit"), SearchCompleted);
  EXPECT_EQ(app.Replace("done"), ReplaceCompleted);
  // Once with the copies to come, once with the copies made, once with the state
  // the rewritten files were left in.
  EXPECT_EQ(store.Snapshots, (std::vector<std::size_t>{1, 1, 1}));
  ASSERT_EQ(app.Backup->Units.size(), 1u);
  const TBackupUnit& unit = *app.Backup->Units[0];
  ASSERT_EQ(unit.Written.size(), 2u);
  EXPECT_EQ(unit.Written[0], TWrittenState::OfPath(P("a.txt")));
  EXPECT_EQ(unit.Written[1], TWrittenState::OfPath(P("b.txt")));
  EXPECT_EQ(unit.Sources, (TStringVector{P("a.txt"), P("b.txt")}));

  // An index that cannot be kept is a failed backup: a unit it does not list could
  // never be pruned.
  for (const char* name : {"a.txt", "b.txt"}) WriteWholeFile(P(name), "hit\n");
  ASSERT_EQ(app.Search({P("a.txt"), P("b.txt")}, {}, "hit"), SearchCompleted);
  store.Fail = EROFS;
  int indexError = 0;
  app.OnBackupFailed = [&](const TBackupReport& report) {
    indexError = report.IndexError;
    return false;
  };
  EXPECT_EQ(app.Replace("done"), ReplaceBackupFailed);
  EXPECT_EQ(indexError, EROFS);
  EXPECT_EQ(ReadWholeFile(P("a.txt")), "hit\n");
}

TEST_F(ReplaceBackup, AStopDuringTheBackupRewritesNothingAndIndexesTheCopiesMade) {
  ASSERT_EQ(app.Search({P("a.txt"), P("b.txt"), P("c.txt")}, {}, "hit"), SearchCompleted);
  app.FileSet->OnProcess = [](TProcessType kind, const std::string&, int index, int) {
    if (kind == TProcessType::BackingUp && index == 2) throw EStoppedException();
  };
  EXPECT_EQ(app.Replace("done"), ReplaceStopped);
  for (const char* name : {"a.txt", "b.txt", "c.txt"}) EXPECT_EQ(ReadWholeFile(P(name)), "hit\n");
  ASSERT_EQ(app.Backup->Units.size(), 1u);
  EXPECT_EQ(app.Backup->Units[0]->Files, (TStringVector{"a.txt", "b.txt"}));
  EXPECT_EQ(store.Units(), 1u);
}

TEST_F(ReplaceBackup, AStopInsideALongCopyComesWithinAFewMegabytes) {
  app.Backup->MaxSize = 0xFFFFFFFFu;
  WriteWholeFile(P("big.txt"), std::string(12 << 20, 'x') + "hit");
  ASSERT_EQ(app.Search({P("big.txt")}, {}, "hit"), SearchCompleted);
  int reports = 0;
  app.FileSet->OnProcess = [&](TProcessType kind, const std::string&, int, int) {
    if (kind == TProcessType::BackingUp && ++reports == 3) throw EStoppedException();
  };
  EXPECT_EQ(app.Replace("done"), ReplaceStopped);
  // Stopped inside the copy: no partial copy and no temporary file stays.
  ASSERT_EQ(app.Backup->Units.size(), 1u);
  EXPECT_TRUE(app.Backup->Units[0]->Files.empty());
  const std::string folder = app.Backup->Units[0]->Folder();
  EXPECT_EQ(unlink((folder + "/.mirun-unit").c_str()), 0) << "the unit's mark";
  EXPECT_EQ(rmdir(folder.c_str()), 0) << "the unit folder should hold nothing else";
}
