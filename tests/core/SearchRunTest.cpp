#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <stdexcept>

#include "TestSupport.h"
#include "core/MirunApp.h"
#include "place/PlaceList.h"
#include "settings/Option.h"
#include "shared/StoppedException.h"
#include "text/Conversions.h"
#include "text/FileOperationResult.h"

namespace {

struct TRecorder {
  std::vector<std::string> places;  // "file:line:column"
  std::vector<std::string> progress;
  std::vector<std::string> errors;
};

class SearchRun : public ::testing::Test {
 protected:
  SearchRun() {
    app.OnPlaceAdded = [this](TAbstractPlace* p) {
      rec.places.push_back(Name(p->FileName()) + ":" + std::to_string(p->Line) + ":" + std::to_string(p->Column));
    };
    app.OnProcess = [this](TProcessType kind, const std::string& path, int i, int n) {
      rec.progress.push_back(std::to_string(static_cast<int>(kind)) + " " + Name(path) + " " + std::to_string(i) + "/" +
                             std::to_string(n));
      if (stopAt >= 0 && static_cast<int>(rec.progress.size()) > stopAt) throw EStoppedException();
    };
    app.Option->CharCode = TCharCode::Auto;
  }

  std::string Name(const std::string& path) const {
    return path.rfind(dir.Path() + "/", 0) == 0 ? path.substr(dir.Path().size() + 1) : path;
  }
  std::string P(const std::string& name) const { return dir / name; }
  int Search(const std::vector<std::string>& names, const std::string& text, TStringVector filters = {"*"}) {
    TStringVector paths;
    for (const auto& n : names) paths.push_back(n.empty() ? dir.Path() : P(n));
    return app.Search(paths, filters, text);
  }

  TTempDir dir;
  TMirunApp app;
  TRecorder rec;
  int stopAt = -1;
};

}  // namespace

TEST_F(SearchRun, FolderFilesInOrderThenSubfoldersDepthFirst) {
  WriteWholeFile(P("b.txt"), "hit\n");
  WriteWholeFile(P("a.txt"), "x hit\nhit");
  WriteWholeFile(P("c.log"), "hit");
  WriteWholeFile(P("sub/d.txt"), "hit");
  WriteWholeFile(P("sub/deeper/e.txt"), "hit");
  app.Option->SubDir = true;
  EXPECT_EQ(Search({""}, "hit", {"*.txt"}), SearchCompleted);
  EXPECT_EQ(rec.places,
            (std::vector<std::string>{"a.txt:0:2", "a.txt:1:0", "b.txt:0:0", "sub/d.txt:0:0", "sub/deeper/e.txt:0:0"}));
  ASSERT_NE(app.PlaceList, nullptr);
  EXPECT_EQ(app.PlaceList->Count(), 5);
  EXPECT_EQ(app.FileSet->Files.size(), 4u);
  // Listing reports each folder, then each file is reported before it is searched.
  EXPECT_EQ(rec.progress.front(), "0 " + dir.Path() + " 0/0");
  EXPECT_EQ(rec.progress[3], "1 a.txt 0/4");

  app.Option->SubDir = false;
  rec = {};
  EXPECT_EQ(Search({""}, "hit", {"*.log", "c.*"}), SearchCompleted);
  EXPECT_EQ(rec.places, (std::vector<std::string>{"c.log:0:0"}));
}

TEST_F(SearchRun, ASearchThatKeepsNoPlacesStillReportsAndCountsEach) {
  WriteWholeFile(P("a.txt"), "hit hit\nhit");
  WriteWholeFile(P("b.txt"), "\xE3\x81\x82hit");
  app.KeepPlaces = false;
  EXPECT_EQ(Search({""}, "hit"), SearchCompleted);
  EXPECT_EQ(rec.places, (std::vector<std::string>{"a.txt:0:0", "a.txt:0:4", "a.txt:1:0", "b.txt:0:1"}));
  EXPECT_EQ(app.PlaceList->Count(), 0);
  EXPECT_EQ(app.PlaceList->Added, 4);
  // The next search keeps its places again when asked to.
  app.KeepPlaces = true;
  EXPECT_EQ(Search({""}, "hit"), SearchCompleted);
  EXPECT_EQ(app.PlaceList->Count(), 4);
  EXPECT_EQ(app.PlaceList->Added, 4);
}

TEST_F(SearchRun, OutcomesForNoFilesAndInvalidPatterns) {
  EXPECT_EQ(app.Search({}, {"*"}, "x"), SearchNoTargetFiles);
  WriteWholeFile(P("a.txt"), "text");
  EXPECT_EQ(Search({""}, "x", {"*.htm"}), SearchNoTargetFiles);
  // No files wins over a bad pattern: the pattern is compiled after the listing.
  app.Option->Mode = TSearchMode::Regex;
  EXPECT_EQ(Search({""}, "(", {"*.htm"}), SearchNoTargetFiles);
  EXPECT_EQ(Search({""}, "(", {"*"}), SearchInvalidPattern);
  // A matching error is not caught: the caller reports it as a failure.
  WriteWholeFile(P("long.txt"), std::string(5000, 'x') + " y");
  EXPECT_THROW(Search({"long.txt"}, "(x+x+)+y"), std::runtime_error);
}

TEST_F(SearchRun, FileNamedDirectlyIgnoresFiltersAndMissingFilesAsk) {
  WriteWholeFile(P("a.dat"), "hit");
  int asked = 0;
  app.OnFileError = [&](const std::string& path, TFileOperationResult r, int) {
    rec.errors.push_back(Name(path));
    EXPECT_EQ(r, TFileOperationResult::OpenFailed);
    ++asked;
    if (asked == 1) {
      WriteWholeFile(path, "hit again");  // the user fixes it, then retries
      return TDecision::Retry;
    }
    return TDecision::Skip;
  };
  EXPECT_EQ(Search({"a.dat", "missing.txt", "gone.txt"}, "hit", {"*.txt"}), SearchCompleted);
  EXPECT_EQ(rec.places, (std::vector<std::string>{"a.dat:0:0", "missing.txt:0:0"}));
  EXPECT_EQ(rec.errors, (std::vector<std::string>{"missing.txt", "gone.txt"}));
}

TEST_F(SearchRun, AbortAndStopsKeepWhatWasFound) {
  WriteWholeFile(P("a.txt"), "hit hit");
  WriteWholeFile(P("b.txt"), "hit");
  app.OnFileError = [](const std::string&, TFileOperationResult, int) { return TDecision::Abort; };
  EXPECT_EQ(Search({"a.txt", "missing", "b.txt"}, "hit"), SearchStopped);
  ASSERT_NE(app.PlaceList, nullptr);
  EXPECT_EQ(app.PlaceList->Count(), 2);

  // A stop while listing leaves no place list at all.
  stopAt = 0;
  rec = {};
  EXPECT_EQ(Search({""}, "hit"), SearchStopped);
  EXPECT_EQ(app.PlaceList, nullptr);

  // A stop raised while a place is added ends the run between two places.
  stopAt = -1;
  app.OnPlaceAdded = [](TAbstractPlace*) { throw EStoppedException(); };
  EXPECT_EQ(Search({"a.txt", "b.txt"}, "hit"), SearchStopped);
  EXPECT_EQ(app.PlaceList->Count(), 1);
}

TEST_F(SearchRun, SizeLimitIsInclusive) {
  WriteWholeFile(P("exact.txt"), std::string(99, 'a') + "z");
  WriteWholeFile(P("over.txt"), std::string(100, 'a') + "z");
  app.Option->MaxFileSize = 100;
  bool asked = false;
  app.OnFileError = [&](const std::string&, TFileOperationResult, int) {
    asked = true;
    return TDecision::Skip;
  };
  EXPECT_EQ(Search({""}, "z"), SearchCompleted);
  EXPECT_EQ(rec.places, (std::vector<std::string>{"exact.txt:0:99"}));
  EXPECT_FALSE(asked);  // too large is skipped silently
}

TEST_F(SearchRun, EveryCharacterCodeIsDecodedAndAsciiSearchesBytes) {
  const std::wstring text = L"一行目\r\n二行目の検索文字\r\n";
  WriteWholeFile(P("sjis.txt"), hovrak::unicode_to_sjis_cp932(text));
  WriteWholeFile(P("euc.txt"), hovrak::unicode_to_euc(text));
  WriteWholeFile(P("jis.txt"), hovrak::euc_to_jis(hovrak::unicode_to_euc(text)));
  WriteWholeFile(P("utf8.txt"), hovrak::unicode_to_utf8(text));
  WriteWholeFile(P("utf8bom.txt"), "\xEF\xBB\xBF" + hovrak::unicode_to_utf8(text));
  std::string utf16 = "\xFF\xFE";
  for (wchar_t c : text) {
    utf16.push_back(static_cast<char>(c & 0xFF));
    utf16.push_back(static_cast<char>(c >> 8));
  }
  WriteWholeFile(P("utf16.txt"), utf16);
  EXPECT_EQ(Search({""}, "検索"), SearchCompleted);
  EXPECT_EQ(rec.places, (std::vector<std::string>{"euc.txt:1:4", "jis.txt:1:4", "sjis.txt:1:4", "utf16.txt:1:4",
                                                  "utf8.txt:1:4", "utf8bom.txt:1:4"}));
  EXPECT_NE(dynamic_cast<TPlaceList<wchar_t>*>(app.PlaceList.get()), nullptr);

  app.Option->CharCode = TCharCode::ASCII;
  rec = {};
  EXPECT_EQ(Search({"utf8.txt", "sjis.txt"}, "検索"), SearchCompleted);
  EXPECT_EQ(rec.places, (std::vector<std::string>{"utf8.txt:1:12"}));  // bytes, not characters
  EXPECT_NE(dynamic_cast<TPlaceList<char>*>(app.PlaceList.get()), nullptr);
}

TEST_F(SearchRun, TimeStampsOnlyForFilesWithHits) {
  WriteWholeFile(P("hit.txt"), "hit");
  WriteWholeFile(P("none.txt"), "nothing");
  EXPECT_EQ(Search({""}, "hit"), SearchCompleted);
  ASSERT_EQ(app.FileSet->TimeStamps.size(), 1u);
  EXPECT_EQ(*app.FileSet->TimeStamps.at(P("hit.txt")), TFileSet::GetLastWriteTime(P("hit.txt")));
  EXPECT_FALSE(app.FileSet->IsModifiedSinceSearch(P("hit.txt")));

  app.Option->CheckTime = false;
  EXPECT_EQ(Search({""}, "hit"), SearchCompleted);
  EXPECT_TRUE(app.FileSet->TimeStamps.empty());
}

TEST_F(SearchRun, UnreadableFilesAndFoldersNeverAbortTheListing) {
  WriteWholeFile(P("ok/a.txt"), "hit");
  WriteWholeFile(P("locked/b.txt"), "hit");
  ASSERT_EQ(mkfifo(P("ok/fifo.txt").c_str(), 0600), 0);
  chmod(P("locked").c_str(), 0);
  app.Option->SubDir = true;
  EXPECT_EQ(Search({""}, "hit"), SearchCompleted);
  // As root the locked folder is still readable; either way a.txt is found and the
  // FIFO is neither listed nor read.
  EXPECT_EQ(rec.places.back(), "ok/a.txt:0:0");
  for (const auto& f : app.FileSet->Files) EXPECT_EQ(f.find("fifo"), std::string::npos);
  chmod(P("locked").c_str(), 0700);
}

TEST_F(SearchRun, NothingStaysOpenBetweenFiles) {
  for (int i = 0; i < 300; ++i) WriteWholeFile(P("f" + std::to_string(i) + ".txt"), "hit");
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    // Far fewer descriptors than files: a leak would make later files fail to open.
    struct rlimit limit = {48, 48};
    setrlimit(RLIMIT_NOFILE, &limit);
    app.OnFileError = [](const std::string&, TFileOperationResult, int) -> TDecision { _exit(3); };
    const int outcome = Search({""}, "hit");
    _exit(outcome == SearchCompleted && app.PlaceList->Count() == 300 ? 0 : 4);
  }
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
}
