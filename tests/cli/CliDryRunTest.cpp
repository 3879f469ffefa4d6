// End-to-end previews of a replace with the built mirun-cli: the diff --dry-run
// prints is what the real replace then writes, in every character code and line-end
// style, and the preview itself writes nothing.
#include <dirent.h>

#include <map>
#include <sstream>

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "cli/CliProcess.h"
#include "cli/CodedText.h"

namespace {

// A text as lines without their line ends, and whether the last has none.
struct TLines {
  std::vector<std::string> Lines;
  bool LastUnended = false;
  bool operator==(const TLines& other) const { return Lines == other.Lines && LastUnended == other.LastUnended; }
};

std::ostream& operator<<(std::ostream& os, const TLines& lines) {
  for (const std::string& line : lines.Lines) os << "[" << line << "]";
  return os << (lines.LastUnended ? " (unended)" : "");
}

TLines Split(const std::string& text, bool crEndsLines) {
  TLines out;
  std::string line;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    if (c == '\n' || (c == '\r' && crEndsLines)) {
      out.Lines.push_back(line);
      line.clear();
    } else {
      line += c;
    }
  }
  if (!line.empty()) {
    out.Lines.push_back(line);
    out.LastUnended = true;
  }
  return out;
}

// The diffs of a --dry-run by path, each with its "# CODE, LINE ENDS" line.
struct TFileDiff {
  std::string Info;
  std::vector<std::string> Lines;  // from the first @@ on
};

std::map<std::string, TFileDiff> ParseDiffs(const std::string& out) {
  std::map<std::string, TFileDiff> diffs;
  std::istringstream in(out);
  std::string line, info;
  TFileDiff* current = nullptr;
  while (std::getline(in, line)) {
    if (line.rfind("# ", 0) == 0) {
      info = line.substr(2);
    } else if (line.rfind("--- a/", 0) == 0) {
      current = &diffs[line.substr(6)];
      current->Info = info;
    } else if (line.rfind("+++ b/", 0) == 0) {
    } else if (current) {
      current->Lines.push_back(line);
    }
  }
  return diffs;
}

// Applies one file's hunks to before; every context and removed line must be the
// line of before it stands for.
TLines Apply(const TFileDiff& diff, const TLines& before) {
  TLines after;
  std::size_t next = 0;  // next line of before to copy
  char lastKind = 0;
  bool markedAfter = false;  // "\ No newline" followed an added or context line
  for (const std::string& line : diff.Lines) {
    if (line.rfind("@@ -", 0) == 0) {
      std::size_t start = std::stoul(line.substr(4));
      const std::size_t comma = line.find(',');
      const bool empty = comma < line.find(' ', 4) && line.compare(comma, 3, ",0 ") == 0;
      if (!empty) --start;  // an empty range names the line before it
      EXPECT_LE(next, start) << line;
      while (next < start) after.Lines.push_back(before.Lines.at(next++));
      continue;
    }
    if (line == "\\ No newline at end of file") {
      if (lastKind != '-') markedAfter = true;
      continue;
    }
    const char kind = line.empty() ? ' ' : line[0];
    const std::string text = line.empty() ? std::string() : line.substr(1);
    lastKind = kind;
    if (kind == '+') {
      after.Lines.push_back(text);
      continue;
    }
    EXPECT_LT(next, before.Lines.size()) << line;
    if (next >= before.Lines.size()) break;
    EXPECT_EQ(before.Lines[next], text) << "the diff's " << kind << " line is not the file's";
    if (kind == ' ') after.Lines.push_back(text);
    ++next;
  }
  // The lines past the last hunk keep their line ends.
  after.LastUnended = next < before.Lines.size() ? before.LastUnended : markedAfter;
  while (next < before.Lines.size()) after.Lines.push_back(before.Lines[next++]);
  return after;
}

const std::string kText =
    "吾輩は猫である。名前はまだ無い。東京\n"
    "どこで生れたかとんと見当がつかぬ。\n"
    "何でも薄暗いじめじめした所で東京と泣いていた事だけは記憶している。東京、東京\n"
    "吾輩はここで始めて人間というものを見た。\n"
    "しかもあとで聞くとそれは書生という人間中で一番獰悪な種族であったそうだ。\n"
    "この書生というのは時々我々を捕えて煮て食うという話である。\n"
    "しかしその当時は何という考もなかったから別段恐しいとも思わなかった。\n"
    "ただ彼の掌に載せられてスーと持ち上げられた時何だかフワフワした感じがあったばかりである。\n"
    "掌の上で少し落ちついて書生の顔を見たのがいわゆる人間というものの見始であろう。東京";

struct TCodeCase {
  const char* Name;
  TCharCode Code;
  const char* Shown;
};
const TCodeCase kCodes[] = {{"sjis", TCharCode::SJIS, "Shift-JIS"}, {"euc", TCharCode::EUC, "EUC_JP"},
                            {"jis", TCharCode::JIS, "JIS"},         {"u16", TCharCode::UTF16, "UTF-16 (Unicode)"},
                            {"u8", TCharCode::UTF8N, "UTF-8"},      {"u8bom", TCharCode::UTF8, "UTF-8 BOM"}};
struct TEndCase {
  const char* Name;
  const char* Bytes;
  const char* Shown;
};
const TEndCase kEnds[] = {{"lf", "\n", "LF"}, {"crlf", "\r\n", "CR LF"}, {"cr", "\r", "CR"}};

std::string WithLineEnds(const std::string& text, const std::string& end) {
  std::string out;
  for (const char c : text) {
    if (c == '\n') out += end;
    else out += c;
  }
  return out;
}

bool HasEntries(const std::string& folder) {
  DIR* d = ::opendir(folder.c_str());
  if (!d) return false;
  int n = 0;
  while (const dirent* e = ::readdir(d)) n += std::string(e->d_name) != "." && std::string(e->d_name) != "..";
  ::closedir(d);
  return n > 0;
}

// Runs the preview, checks it wrote nothing, then the real replace, and compares
// every file's diff with what the replace wrote.
void CheckPreviewMatchesReplace(const std::vector<std::string>& switches, const TTempDir& dir,
                                const std::map<std::string, TCharCode>& files, bool narrow = false) {
  TTempDir home;
  TCliOptions options;
  options.Home = home.Path();
  std::map<std::string, std::string> original;
  for (const auto& [name, code] : files) original[name] = ReadWholeFile(dir / name);

  std::vector<std::string> preview = switches;
  preview.insert(preview.end(), {"--dry-run", dir.Path()});
  const TCliResult dry = RunCli(preview, options);
  ASSERT_EQ(dry.Status, 0) << dry.Err;
  for (const auto& [name, code] : files) EXPECT_EQ(ReadWholeFile(dir / name), original[name]) << name;
  EXPECT_FALSE(HasEntries(home.Path())) << "the preview wrote into the settings folder";
  const std::map<std::string, TFileDiff> diffs = ParseDiffs(dry.Out);

  std::vector<std::string> replace = switches;
  replace.insert(replace.end(), {"-b", dir.Path()});
  const TCliResult real = RunCli(replace, options);
  ASSERT_EQ(real.Status, 0) << real.Err;
  for (const auto& [name, code] : files) {
    const std::string written = ReadWholeFile(dir / name);
    const auto found = diffs.find(dir / name);
    if (written == original[name]) {
      EXPECT_EQ(found, diffs.end()) << name << " is shown as changed but was not written";
      continue;
    }
    ASSERT_NE(found, diffs.end()) << name << " was written but not shown";
    const bool cr =
        found->second.Info.find(", CR") != std::string::npos && found->second.Info.find("CR LF") == std::string::npos;
    const auto text = [&](const std::string& bytes) { return narrow ? bytes : Decode(bytes, code); };
    EXPECT_EQ(Apply(found->second, Split(text(original[name]), cr)), Split(text(written), cr)) << name;
  }
}

TEST(CliDryRun, TheDiffIsWhatTheReplaceWritesInEveryCodeAndLineEnd) {
  TTempDir dir;
  std::map<std::string, TCharCode> files;
  for (const TCodeCase& code : kCodes)
    for (const TEndCase& end : kEnds) {
      const std::string name = std::string(code.Name) + "-" + end.Name + ".txt";
      WriteWholeFile(dir / name, Encode(WithLineEnds(kText, end.Bytes), code.Code));
      files[name] = code.Code;
    }
  // The diff heads each file with its code and line ends and marks nothing else
  // as changed than the lines of the hits.
  TTempDir home;
  TCliOptions options;
  options.Home = home.Path();
  const TCliResult r = RunCli({"-K", "a", "-s", "東京", "--replace", "大阪", "--dry-run", dir.Path()}, options);
  ASSERT_EQ(r.Status, 0) << r.Err;
  const std::map<std::string, TFileDiff> diffs = ParseDiffs(r.Out);
  ASSERT_EQ(diffs.size(), files.size()) << r.Out;
  for (const TCodeCase& code : kCodes)
    for (const TEndCase& end : kEnds) {
      const TFileDiff& diff = diffs.at(dir / (std::string(code.Name) + "-" + end.Name + ".txt"));
      EXPECT_EQ(diff.Info, std::string(code.Shown) + ", " + end.Shown);
      std::size_t removed = 0;
      for (const std::string& line : diff.Lines) removed += !line.empty() && line[0] == '-';
      EXPECT_EQ(removed, 3u) << code.Name << end.Name;
    }
  EXPECT_NE(r.Err.find("変わるファイル 18、"), std::string::npos) << r.Err;

  CheckPreviewMatchesReplace({"-K", "a", "-s", "東京", "--replace", "大阪"}, dir, files);
}

TEST(CliDryRun, LineEndsInHitsAndReplacementsAndCharactersTheCodeLacks) {
  TTempDir dir;
  std::map<std::string, TCharCode> files;
  for (const TEndCase& end : kEnds) {
    const std::string name = std::string("sjis-") + end.Name + ".txt";
    WriteWholeFile(dir / name, Encode(WithLineEnds(kText, end.Bytes), TCharCode::SJIS));
    files[name] = TCharCode::SJIS;
  }
  // A hit across a line end, replaced by two lines; then a character Shift-JIS
  // cannot hold, which the file receives as "?".
  CheckPreviewMatchesReplace({"-K", "s", "-L", "-e", "-s", "無い。東京\\nどこで", "--replace", "X\\nY\\nZ"}, dir,
                             files);
  CheckPreviewMatchesReplace({"-K", "s", "-s", "猫", "--replace", "😺"}, dir, files);
  EXPECT_NE(ReadWholeFile(dir / "sjis-lf.txt").find("\x8C\xE1\x94\x79\x82\xCD?"), std::string::npos);
}

TEST(CliDryRun, AForcedFileIsShownAsItWillRead) {
  // Bytes that do not survive Shift-JIS: the check asks, --on-error force goes on,
  // and the preview shows the text the forced file will hold.
  TTempDir dir;
  WriteWholeFile(dir / "a.txt", Encode("東京\n", TCharCode::SJIS) + "x\x81\x20y\n" + Encode("end\n", TCharCode::SJIS));
  CheckPreviewMatchesReplace({"-K", "s", "-c", "--on-error", "force", "-s", "東京", "--replace", "大阪"}, dir,
                             {{"a.txt", TCharCode::SJIS}});
}

TEST(CliDryRun, RawBytesAndExitStatusWhenNothingWouldChange) {
  TTempDir dir, home;
  WriteWholeFile(dir / "a.txt", Encode("日本 key です\r\n2 key\r\n", TCharCode::SJIS));
  CheckPreviewMatchesReplace({"-K", "n", "-s", "key", "--replace", "KEY!"}, dir, {{"a.txt", TCharCode::ASCII}}, true);

  TCliOptions options;
  options.Home = home.Path();
  const TCliResult same = RunCli({"-s", "KEY", "--replace", "KEY", "--dry-run", dir / "a.txt"}, options);
  EXPECT_EQ(same.Status, 1) << same.Err;
  EXPECT_EQ(same.Out, "");
  const TCliResult none = RunCli({"-s", "absent", "--replace", "x", "--dry-run", dir / "a.txt"}, options);
  EXPECT_EQ(none.Status, 1) << none.Err;
  const TCliResult alone = RunCli({"-s", "KEY", "--dry-run", dir / "a.txt"}, options);
  EXPECT_EQ(alone.Status, 2);
  EXPECT_NE(alone.Err.find("--replace"), std::string::npos) << alone.Err;
}

TEST(CliDryRun, ContextAndHunks) {
  TTempDir dir, home;
  std::string text;
  for (int i = 1; i <= 20; ++i)
    text += "line " + std::to_string(i) + (i == 4 || i == 11 || i == 19 ? " hit" : "") + "\n";
  WriteWholeFile(dir / "a.txt", text);
  TCliOptions options;
  options.Home = home.Path();
  const TCliResult three = RunCli({"-s", "hit", "--replace", "HIT", "--dry-run", dir / "a.txt"}, options);
  ASSERT_EQ(three.Status, 0) << three.Err;
  // Changes six lines apart share a hunk; the third has its own.
  const std::string head = "# Shift-JIS, LF\n--- a/" + dir / "a.txt" + "\n+++ b/" + dir / "a.txt" + "\n";
  EXPECT_EQ(three.Out, head +
                           "@@ -1,14 +1,14 @@\n line 1\n line 2\n line 3\n-line 4 hit\n+line 4 HIT\n line 5\n line 6\n"
                           " line 7\n line 8\n line 9\n line 10\n-line 11 hit\n+line 11 HIT\n line 12\n line 13\n"
                           " line 14\n@@ -16,5 +16,5 @@\n line 16\n line 17\n line 18\n-line 19 hit\n+line 19 HIT\n"
                           " line 20\n");
  const TCliResult none =
      RunCli({"-s", "hit", "--replace", "HIT", "--dry-run", "--context", "0", dir / "a.txt"}, options);
  EXPECT_EQ(none.Out, head +
                          "@@ -4 +4 @@\n-line 4 hit\n+line 4 HIT\n@@ -11 +11 @@\n-line 11 hit\n+line 11 HIT\n"
                          "@@ -19 +19 @@\n-line 19 hit\n+line 19 HIT\n");
  // Removed lines: an empty range names the line before it.
  const TCliResult gone =
      RunCli({"-m", "r", "-L", "-s", "line 11 hit\\n", "--replace", "", "--dry-run", "--context", "0", dir / "a.txt"},
             options);
  EXPECT_EQ(gone.Out, head + "@@ -11 +10,0 @@\n-line 11 hit\n") << gone.Err;
}

}  // namespace
