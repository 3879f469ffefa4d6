// End-to-end output forms of the built mirun-cli: colours on a terminal and none in
// a pipe or with NO_COLOR, JSON lines checked by a real JSON parser, counts and
// file names per file.
#include <cstdlib>
#include <regex>

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "cli/CliProcess.h"
#include "cli/CodedText.h"

namespace {

const std::string kPath = "\x1b[35m";
const std::string kLine = "\x1b[32m";
const std::string kColumn = "\x1b[33m";
const std::string kHit = "\x1b[1;31m";
const std::string kReset = "\x1b[0m";

// out without the colour sequences mirun-cli writes.
std::string WithoutColours(const std::string& out) {
  return std::regex_replace(out, std::regex("\x1b\\[[0-9;]*m"), "");
}

TEST(CliColor, HitsArePaintedOnATerminalAndNowhereElse) {
  TTempDir dir;
  const std::string file = dir / "a\x1b[2J.txt";
  WriteWholeFile(file, "東京 \x1b]0;owned\x07 the word\tend\n");
  const std::string shownPath = dir / "a^[[2J.txt";
  const std::string plain = shownPath + ":1:19:東京 ^[]0;owned^G the word\tend\n";

  TCliOptions terminal;
  terminal.OutOnTerminal = true;
  const TCliResult colored = RunCli({"-s", "word", file}, terminal);
  EXPECT_EQ(colored.Status, 0) << colored.Err;
  EXPECT_EQ(colored.Out, kPath + shownPath + kReset + ":" + kLine + "1" + kReset + ":" + kColumn + "19" + kReset +
                             ":東京 ^[]0;owned^G the " + kHit + "word" + kReset + "\tend\n");
  // The file's own escape sequences stay escaped between the colours.
  EXPECT_EQ(WithoutColours(colored.Out), plain);
  EXPECT_EQ(WithoutColours(colored.Out).find('\x1b'), std::string::npos);

  for (const std::vector<std::string>& env : {std::vector<std::string>{"NO_COLOR=1"}, {"TERM=dumb"}}) {
    TCliOptions quiet = terminal;
    quiet.Environment = env;
    EXPECT_EQ(RunCli({"-s", "word", file}, quiet).Out, plain) << env[0];
  }
  EXPECT_EQ(RunCli({"--color", "never", "-s", "word", file}, terminal).Out, plain);
  // An empty NO_COLOR is no request, and --color always wins over it.
  TCliOptions empty = terminal;
  empty.Environment = {"NO_COLOR="};
  EXPECT_EQ(RunCli({"-s", "word", file}, empty).Out, colored.Out);
  TCliOptions noColor = terminal;
  noColor.Environment = {"NO_COLOR=1"};
  EXPECT_EQ(RunCli({"--color=always", "-s", "word", file}, noColor).Out, colored.Out);

  // Piped: the bytes as they are, unless colours are asked for, which escape too.
  const TCliResult piped = RunCli({"-s", "word", file});
  EXPECT_EQ(piped.Out, file + ":1:19:東京 \x1b]0;owned\x07 the word\tend\n");
  EXPECT_EQ(RunCli({"--color", "always", "-s", "word", file}).Out, colored.Out);
  EXPECT_EQ(RunCli({"--color", "sometimes", "-s", "word", file}).Status, 2);
}

TEST(CliColor, TheDiffMarksRemovedAndAddedHits) {
  TTempDir dir, home;
  WriteWholeFile(dir / "a.txt", "keep\nold one\n");
  TCliOptions terminal;
  terminal.OutOnTerminal = true;
  terminal.Home = home.Path();
  const TCliResult r = RunCli({"-s", "old", "--replace", "new", "--dry-run", dir / "a.txt"}, terminal);
  EXPECT_EQ(r.Status, 0) << r.Err;
  EXPECT_NE(r.Out.find("\x1b[31m-\x1b[1;7;31mold\x1b[0m\x1b[31m one\x1b[0m\n"), std::string::npos) << r.Out;
  EXPECT_NE(r.Out.find("\x1b[32m+\x1b[1;7;32mnew\x1b[0m\x1b[32m one\x1b[0m\n"), std::string::npos) << r.Out;
  EXPECT_EQ(WithoutColours(r.Out), "# Shift-JIS, LF\n--- a/" + dir / "a.txt" + "\n+++ b/" + dir / "a.txt" +
                                       "\n@@ -1,2 +1,2 @@\n keep\n-old one\n+new one\n");
  TCliOptions piped;
  piped.Home = home.Path();
  EXPECT_EQ(RunCli({"-s", "old", "--replace", "new", "--dry-run", dir / "a.txt"}, piped).Out, WithoutColours(r.Out));
}

// Checks JSON lines with Python's json module: the event order, that every
// submatch's offsets cut exactly its text out of "lines", and the counts of "end"
// and "summary". Prints one line per event for the test to compare.
const char* const kJsonChecker = R"PY(
import base64, json, sys
def data(d):
    return d["text"].encode("utf-8") if "text" in d else base64.b64decode(d["bytes"])
def shown(b):
    return b.decode("utf-8", "backslashreplace")
out, path, matches, total = [], None, 0, 0
events = [json.loads(line) for line in open(sys.argv[1], encoding="utf-8")]
for i, e in enumerate(events):
    t, d = e["type"], e["data"]
    if t == "begin":
        assert path is None
        path, matches = data(d["path"]), 0
        out.append("begin %s %s %s" % (shown(path), d["encoding"], d["line_end"]))
    elif t == "match":
        assert data(d["path"]) == path
        lines = data(d["lines"])
        for s in d["submatches"]:
            assert lines[s["start"]:s["end"]] == data(s["match"]), (lines, s)
            matches += 1
            out.append("match %s %d-%d %s" % (d["line_number"], s["start"], s["end"], shown(data(s["match"]))))
    elif t == "end":
        assert data(d["path"]) == path and d["stats"]["matches"] == matches
        total += matches
        path = None
        out.append("end")
    else:
        assert t == "summary" and i == len(events) - 1 and d["stats"]["matches"] == total
        out.append("summary %d %d" % (d["stats"]["searches"], d["stats"]["searches_with_match"]))
sys.stdout.buffer.write(("\n".join(out) + "\n").encode("utf-8"))
)PY";

std::string CheckJson(const std::string& json) {
  TTempDir work;
  WriteWholeFile(work / "check.py", kJsonChecker);
  WriteWholeFile(work / "out.json", json);
  const std::string command =
      "python3 " + work / "check.py" + " " + work / "out.json" + " > " + work / "result.txt" + " 2>&1";
  const int status = std::system(command.c_str());
  const std::string result = ReadWholeFile(work / "result.txt");
  EXPECT_EQ(status, 0) << "python3 could not check the JSON: " << result << "\n" << json;
  return result;
}

TEST(CliJson, EditorsReadTheLinesAndTheOffsetsCutTheHits) {
  TTempDir dir;
  WriteWholeFile(dir / "a.txt", "東京と東京\n大阪\n");
  WriteWholeFile(dir / "b.txt", Encode("前置きの東京\r\n", TCharCode::SJIS));
  WriteWholeFile(dir / "c\x93\xfa.txt",
                 Encode("ここは東京\n", TCharCode::EUC) + Encode("東京タワー\n", TCharCode::EUC));
  const std::string longLine(150, 'x');
  WriteWholeFile(dir / "d.txt", longLine + "東京\"\\\x01\x7f" + longLine + "\n");
  WriteWholeFile(dir / "e.txt", "nothing\n");
  const TCliResult r = RunCli({"--json", "-s", "東京", dir.Path()});
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(CheckJson(r.Out), "begin " + dir / "a.txt" +
                                  " UTF-8 LF\n"
                                  "match 1 0-6 東京\nmatch 1 9-15 東京\nend\n"
                                  "begin " +
                                  dir / "b.txt" +
                                  " Shift-JIS CR LF\nmatch 1 12-18 東京\nend\n"
                                  "begin " +
                                  dir / "c\\x93\\xfa.txt" +
                                  " EUC_JP LF\nmatch 1 9-15 東京\nmatch 2 0-6 東京\nend\n"
                                  "begin " +
                                  dir / "d.txt" +
                                  " UTF-8 LF\nmatch 1 100-106 東京\nend\n"
                                  "summary 5 4\n");
  EXPECT_NE(r.Out.find("\"path\":{\"bytes\":"), std::string::npos);
  EXPECT_NE(r.Out.find("\"lines\":{\"text\":\"前置きの東京\\n\"}"), std::string::npos) << r.Out;

  // Bytes read as they are go out as bytes; without line numbers the number is null.
  const TCliResult raw = RunCli({"--json", "-K", "n", "-L", "--no-line-numbers", "-s", "\x8B\x9E", dir / "b.txt"});
  ASSERT_EQ(raw.Status, 0) << raw.Err;
  EXPECT_EQ(CheckJson(raw.Out),
            "begin " + dir / "b.txt" + " ASCII CR LF\nmatch None 10-12 \\x8b\\x9e\nend\nsummary 1 1\n");
  EXPECT_NE(raw.Out.find("\"lines\":{\"bytes\":"), std::string::npos) << raw.Out;

  // No place: the summary alone.
  EXPECT_EQ(CheckJson(RunCli({"--json", "-s", "absent", dir / "e.txt"}).Out), "summary 1 0\n");
}

TEST(CliCount, CountsAndNamesPerFile) {
  TTempDir dir;
  WriteWholeFile(dir / "a.txt", "hit hit\nhit\n");
  WriteWholeFile(dir / "b.txt", "none\n");
  WriteWholeFile(dir / "sub/c.txt", "a hit\n");
  const TCliResult count = RunCli({"-r", "--count", "-s", "hit", dir.Path()});
  EXPECT_EQ(count.Status, 0) << count.Err;
  EXPECT_EQ(count.Out, dir / "a.txt:3\n" + dir / "sub/c.txt:1\n");
  const TCliResult names = RunCli({"-r", "--files-with-matches", "-s", "hit", dir.Path()});
  EXPECT_EQ(names.Out, dir / "a.txt\n" + dir / "sub/c.txt\n");
  EXPECT_EQ(RunCli({"--count", "-s", "absent", dir.Path()}).Status, 1);
  const TCliResult both = RunCli({"--count", "--json", "-s", "hit", dir.Path()});
  EXPECT_EQ(both.Status, 2);
  EXPECT_NE(both.Err.find("cannot be given together"), std::string::npos) << both.Err;
}

}  // namespace
