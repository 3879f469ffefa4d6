#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "../cli/CodedText.h"
#include "TestSupport.h"
#include "core/MirunApp.h"
#include "place/AbstractPlace.h"
#include "settings/Option.h"
#include "shared/StoppedException.h"

namespace {

// What a search run told its caller, in order: places with their texts, questions,
// skips, reads and progress (a report repeated while a file is still being read
// counts once).
struct TRunLog {
  int Outcome = 0;
  std::vector<std::string> Events;
};

class ParallelSearch : public ::testing::Test {
 protected:
  // Files in every code and line-end style, with hits at their starts, ends and
  // across many lines, one whose link leads nowhere (it does not open) and one
  // larger than the run's limit.
  ParallelSearch() {
    const std::string body = "会議は十時から。\n第二会議室にて会議録を読む。\nkaigi KAIGI 会議\n";
    const TCharCode codes[] = {TCharCode::UTF8N, TCharCode::UTF8, TCharCode::SJIS,
                               TCharCode::EUC,   TCharCode::JIS,  TCharCode::UTF16};
    const char* ends[] = {"\n", "\r\n", "\r"};
    int n = 0;
    for (const TCharCode code : codes) {
      for (const char* end : ends) {
        std::string text;
        for (int line = 0; line < 1 + n % 5; ++line) {
          for (char c : body) {
            if (c == '\n') text += end;
            else text += c;
          }
        }
        if (n % 4 == 0) text += "会議";  // a hit right at the end, with no line end
        WriteWholeFile(dir / Name(n++), Encode(text, code));
      }
    }
    WriteWholeFile(dir / Name(n++), "no hit here\n");
    WriteWholeFile(dir / Name(n++), "");
    symlink((dir.Path() + "/nowhere").c_str(), (dir / Name(n++)).c_str());
    WriteWholeFile(dir / Name(n++), std::string(70000, 'x') + "会議");
    for (int i = 0; i < 12; ++i) WriteWholeFile(dir / Name(n++), "ascii kaigi line\n会議\n");
  }

  static std::string Name(int n) { return "f" + std::to_string(100 + n) + ".txt"; }

  std::string Short(const std::string& path) const { return path.substr(dir.Path().size() + 1); }

  // A search with threads; the file that does not open is retried once, then skipped.
  // stopAtPlace / stopAtFile (>= 0): a stop raised from the place or report callback.
  TRunLog Run(int threads, TSearchMode mode, bool caseSensitive, TCharCode code, bool byLine, bool keepPlaces,
              int stopAtPlace = -1, int stopAtFile = -1) const {
    TRunLog log;
    TMirunApp app;
    app.Option->Threads = threads;
    app.Option->Mode = mode;
    app.Option->CaseSensitive = caseSensitive;
    app.Option->CharCode = code;
    app.Option->ByLine = byLine;
    app.Option->MaxFileSize = 65536;
    app.KeepPlaces = keepPlaces;
    int places = 0;
    std::string lastReport;
    app.OnPlaceAdded = [&](TAbstractPlace* p) {
      if (places++ == stopAtPlace) throw EStoppedException();
      log.Events.push_back("place " + Short(p->FileName()) + " " + std::to_string(p->Line) + ":" +
                           std::to_string(p->Column) + "+" + std::to_string(p->Length) + " " + p->GetPrevText() + "[" +
                           p->GetText() + "]" + p->GetNextText());
    };
    app.OnProcess = [&](TProcessType kind, const std::string& path, int i, int n) {
      if (kind != TProcessType::Searching || path == dir.Path()) return;
      const std::string report = Short(path) + " " + std::to_string(i) + "/" + std::to_string(n);
      if (report == lastReport) return;
      lastReport = report;
      if (i == stopAtFile) throw EStoppedException();
      log.Events.push_back("searching " + report);
    };
    int asked = 0;
    app.OnFileError = [&](const std::string& path, TFileOperationResult result, int error) {
      log.Events.push_back("question " + Short(path) + " " + std::to_string(static_cast<int>(result)) + " " +
                           std::to_string(error));
      return ++asked == 1 ? TDecision::Retry : TDecision::Skip;
    };
    app.OnSkipped = [&](const std::string& path, TSkipReason reason) {
      log.Events.push_back("skipped " + Short(path) + " " + std::to_string(static_cast<int>(reason)));
    };
    app.OnFileRead = [&](const std::string& path, TCharCode read, std::string_view bytes) {
      log.Events.push_back("read " + Short(path) + " " + std::to_string(static_cast<int>(read)) + " " +
                           std::to_string(bytes.size()));
    };
    const std::string pattern = mode == TSearchMode::Regex  ? "会[議合]\\w*|kai(gi)"
                                : mode == TSearchMode::Word ? "kaigi"
                                                            : "会議";
    log.Outcome = app.Search({dir.Path()}, {"*.txt"}, pattern);
    return log;
  }

  TTempDir dir;
};

}  // namespace

TEST_F(ParallelSearch, EveryModeCodeAndListGivesTheSameRunOnOneTwoAndEightThreads) {
  const struct {
    TSearchMode Mode;
    bool CaseSensitive;
  } modes[] = {{TSearchMode::Normal, true},
               {TSearchMode::Normal, false},
               {TSearchMode::Word, false},
               {TSearchMode::Regex, true}};
  for (const auto& mode : modes) {
    for (const TCharCode code : {TCharCode::Auto, TCharCode::SJIS, TCharCode::UTF8N, TCharCode::ASCII}) {
      for (const bool byLine : {false, true}) {
        for (const bool keep : {true, false}) {
          SCOPED_TRACE(testing::Message()
                       << "mode " << static_cast<int>(mode.Mode) << " case " << mode.CaseSensitive << " code "
                       << static_cast<int>(code) << " by line " << byLine << " keep " << keep);
          const TRunLog one = Run(1, mode.Mode, mode.CaseSensitive, code, byLine, keep);
          ASSERT_EQ(one.Outcome, SearchCompleted);
          ASSERT_GT(one.Events.size(), 40u);
          for (const int threads : {2, 8}) {
            const TRunLog many = Run(threads, mode.Mode, mode.CaseSensitive, code, byLine, keep);
            EXPECT_EQ(many.Outcome, one.Outcome);
            ASSERT_EQ(many.Events, one.Events) << threads << " threads";
          }
        }
      }
    }
  }
}

// A stop from a place or from a file's report, at moments drawn at random, ends the
// run with exactly what a one-thread run had told by then.
TEST_F(ParallelSearch, AStopAtAnyMomentLeavesWhatOneThreadHadToldByThen) {
  const TRunLog all = Run(1, TSearchMode::Normal, true, TCharCode::Auto, false, false);
  const auto places = std::count_if(all.Events.begin(), all.Events.end(),
                                    [](const std::string& e) { return e.rfind("place ", 0) == 0; });
  const auto files = std::count_if(all.Events.begin(), all.Events.end(),
                                   [](const std::string& e) { return e.rfind("searching ", 0) == 0; });
  std::mt19937 random(20261209);
  for (int round = 0; round < 12; ++round) {
    const bool atPlace = round % 2 == 0;
    const int at = static_cast<int>(random() % static_cast<unsigned>(atPlace ? places : files));
    const TRunLog one =
        Run(1, TSearchMode::Normal, true, TCharCode::Auto, false, round % 3 == 0, atPlace ? at : -1, atPlace ? -1 : at);
    const TRunLog many =
        Run(4, TSearchMode::Normal, true, TCharCode::Auto, false, round % 3 == 0, atPlace ? at : -1, atPlace ? -1 : at);
    ASSERT_EQ(one.Outcome, SearchStopped) << at;
    EXPECT_EQ(many.Outcome, SearchStopped) << at;
    ASSERT_EQ(many.Events, one.Events) << (atPlace ? "place " : "file ") << at;
    ASSERT_LE(one.Events.size(), all.Events.size());
    EXPECT_TRUE(std::equal(one.Events.begin(), one.Events.end(), all.Events.begin()));
  }
}

// Files with more places than a worker may hold go back to the run's thread, which
// searches them again: the run is still that of one thread.
TEST_F(ParallelSearch, FilesDenseWithPlacesGiveTheSameRun) {
  std::string dense;
  for (int line = 0; line < 1500; ++line) dense += "会議 会議 会議 kaigi " + std::to_string(line) + "\r\n";
  WriteWholeFile(dir / "f000.txt", Encode(dense, TCharCode::UTF8N));
  WriteWholeFile(dir / "f001.txt", Encode(dense, TCharCode::SJIS));
  WriteWholeFile(dir / "f002.txt", dense);
  for (const TSearchMode mode : {TSearchMode::Normal, TSearchMode::Regex}) {
    for (const TCharCode code : {TCharCode::Auto, TCharCode::ASCII}) {
      for (const bool keep : {true, false}) {
        const TRunLog one = Run(1, mode, true, code, false, keep);
        const TRunLog many = Run(4, mode, true, code, false, keep);
        ASSERT_GT(one.Events.size(), 2 * 4096u);
        EXPECT_TRUE(many.Events == one.Events)
            << "mode " << static_cast<int>(mode) << " code " << static_cast<int>(code) << " keep " << keep;
      }
    }
  }
}
