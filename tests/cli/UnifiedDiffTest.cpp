#include <gtest/gtest.h>

#include "cli/UnifiedDiff.h"

namespace {

TTextChange Change(std::string before, std::string after, std::vector<TTextChange::TSpan> spans) {
  TTextChange change;
  change.Before = std::move(before);
  change.After = std::move(after);
  change.Spans = std::move(spans);
  return change;
}

// The hunks as diff prints them, marks in brackets.
std::string Text(const std::vector<TDiffHunk>& hunks) {
  std::string out;
  for (const TDiffHunk& h : hunks) {
    out += "@" + std::to_string(h.BeforeStart) + "," + std::to_string(h.BeforeCount) + " " +
           std::to_string(h.AfterStart) + "," + std::to_string(h.AfterCount) + "\n";
    for (const TDiffLine& line : h.Lines) {
      out += line.Kind;
      std::size_t at = 0;
      for (const auto& [from, to] : line.Marks) {
        out +=
            std::string(line.Text.substr(at, from - at)) + "[" + std::string(line.Text.substr(from, to - from)) + "]";
        at = to;
      }
      out += std::string(line.Text.substr(at)) + (line.NoLineEnd ? "$" : "") + "\n";
    }
  }
  return out;
}

TEST(UnifiedDiff, HitsMarkTheirLinesAndLinesDamagedBesideThemShowToo) {
  // Two hits on one line, and the next line changed by its code alone.
  const TTextChange change = Change("ab ab\ny\nz\n", "X X\ny?\nz\n", {{0, 2, 0, 1}, {3, 5, 2, 3}});
  EXPECT_EQ(Text(TUnifiedDiff::Hunks(change, 1)), "@0,3 0,3\n-[ab] [ab]\n-y\n+[X] [X]\n+y?\n z\n");
}

TEST(UnifiedDiff, JoinedAndAddedLinesAndTheEndOfTheText) {
  // A hit with its line end, replaced by nothing: only that line goes.
  EXPECT_EQ(Text(TUnifiedDiff::Hunks(Change("a\nb\nc\n", "a\nc\n", {{2, 4, 2, 2}}), 0)), "@1,1 1,0\n-[b]\n");
  // Text put after the last line end makes a new last line without one.
  EXPECT_EQ(Text(TUnifiedDiff::Hunks(Change("a\n", "a\nb", {{2, 2, 2, 3}}), 3)), "@0,1 0,2\n a\n+[b]$\n");
  // A CR file's lone CRs end lines; a replacement equal to its hit changes nothing.
  TTextChange cr = Change("a\rhit\rc", "a\rHIT\rc", {{2, 5, 2, 5}});
  cr.CrEndsLines = true;
  EXPECT_EQ(Text(TUnifiedDiff::Hunks(cr, 0)), "@1,1 1,1\n-[hit]\n+[HIT]\n");
  EXPECT_TRUE(TUnifiedDiff::Hunks(Change("same\n", "same\n", {{0, 4, 0, 4}}), 3).empty());
  // Elsewhere a CR ends no line: a last line ending in one is text without a line end.
  EXPECT_EQ(Text(TUnifiedDiff::Hunks(Change("a\r\nb x\r", "a\r\nb y\r", {{5, 6, 5, 6}}), 0)),
            "@1,1 1,1\n-b [x]\r$\n+b [y]\r$\n");
}

TEST(UnifiedDiff, WithoutPlacedHitsTheLinesAreComparedOneByOne) {
  EXPECT_EQ(Text(TUnifiedDiff::Hunks(Change("a\nb\nc\n", "a\nB\nc\n", {}), 0)), "@1,1 1,1\n-b\n+B\n");
  // Line counts that differ: one change between the lines that agree at both ends.
  EXPECT_EQ(Text(TUnifiedDiff::Hunks(Change("a\nb\nz\n", "a\nx\ny\nz\n", {}), 0)), "@1,1 1,2\n-b\n+x\n+y\n");
}

}  // namespace
