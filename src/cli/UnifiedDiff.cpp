#include "cli/UnifiedDiff.h"

#include <algorithm>

namespace {

// The lines of a text, each with its line end: CR LF and LF end a line, and a lone
// CR does where the file's convention is CR.
class TLines {
 public:
  TLines(std::string_view text, bool crEndsLines) : text_(text), crEndsLines_(crEndsLines) {
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
      const char c = text[i];
      if (c == '\n' || (c == '\r' && crEndsLines && (i + 1 == text.size() || text[i + 1] != '\n'))) {
        starts_.push_back(start);
        start = i + 1;
      }
    }
    if (start < text.size()) starts_.push_back(start);
  }

  std::size_t Count() const { return starts_.size(); }
  std::size_t Start(std::size_t i) const { return starts_[i]; }
  std::size_t End(std::size_t i) const { return i + 1 < starts_.size() ? starts_[i + 1] : text_.size(); }
  std::string_view Line(std::size_t i) const { return text_.substr(Start(i), End(i) - Start(i)); }
  bool HasLineEnd(std::size_t i) const {
    const std::string_view line = Line(i);
    return !line.empty() && (line.back() == '\n' || (crEndsLines_ && line.back() == '\r'));
  }
  // The line without its line end (a CR elsewhere is text).
  std::string_view Shown(std::size_t i) const {
    std::string_view line = Line(i);
    if (!HasLineEnd(i)) return line;
    const bool pair = line.back() == '\n' && line.size() > 1 && line[line.size() - 2] == '\r';
    line.remove_suffix(pair ? 2 : 1);
    return line;
  }
  // The line pos lies in; Count() for the end of a text whose last line is ended
  // (or an empty text).
  std::size_t LineOf(std::size_t pos) const {
    if (starts_.empty() || (pos >= text_.size() && HasLineEnd(starts_.size() - 1))) return starts_.size();
    return static_cast<std::size_t>(std::upper_bound(starts_.begin(), starts_.end(), pos) - starts_.begin()) - 1;
  }

 private:
  std::string_view text_;
  bool crEndsLines_;
  std::vector<std::size_t> starts_;
};

// Lines [B0, B1) before became lines [A0, A1) after.
struct TBlock {
  std::size_t B0, B1, A0, A1;
};

// Marks where the ranges [first, second) of one side meet line i.
template <class TRangeOf>
std::vector<std::pair<std::size_t, std::size_t>> MarksOf(const TLines& lines, std::size_t i,
                                                         const std::vector<TTextChange::TSpan>& spans,
                                                         TRangeOf rangeOf) {
  std::vector<std::pair<std::size_t, std::size_t>> marks;
  const std::size_t start = lines.Start(i);
  const std::size_t end = start + lines.Shown(i).size();
  auto it = std::partition_point(spans.begin(), spans.end(),
                                 [&](const TTextChange::TSpan& s) { return rangeOf(s).second <= start; });
  for (; it != spans.end(); ++it) {
    const auto range = rangeOf(*it);
    if (range.first >= end) break;
    const std::size_t from = std::max(range.first, start), to = std::min(range.second, end);
    if (from < to) marks.emplace_back(from - start, to - start);
  }
  return marks;
}

// The lines each hit touches: from the line it starts in to the line the text goes
// on in after it. Blocks that share a line become one. Between the blocks the texts
// are the same line for line, unless the text did not survive its code; then a
// pairing that does not add up gives one block of the whole file.
std::vector<TBlock> TouchedBlocks(const TLines& before, const TLines& after,
                                  const std::vector<TTextChange::TSpan>& spans) {
  const std::size_t nb = before.Count(), na = after.Count();
  std::vector<TBlock> touched;
  for (const TTextChange::TSpan& span : spans) {
    TBlock block{before.LineOf(span.BeforeStart), std::min(before.LineOf(span.BeforeEnd) + 1, nb),
                 after.LineOf(span.AfterStart), std::min(after.LineOf(span.AfterEnd) + 1, na)};
    block.B1 = std::max(block.B1, block.B0);
    block.A1 = std::max(block.A1, block.A0);
    if (!touched.empty() && (block.B0 < touched.back().B1 || block.A0 < touched.back().A1)) {
      touched.back().B1 = std::max(touched.back().B1, block.B1);
      touched.back().A1 = std::max(touched.back().A1, block.A1);
    } else {
      touched.push_back(block);
    }
  }
  bool paired = true;
  std::size_t b = 0, a = 0;
  for (const TBlock& block : touched) {
    paired = paired && block.B0 - b == block.A0 - a;
    b = block.B1;
    a = block.A1;
  }
  paired = paired && nb - b == na - a;
  if (!paired) touched.assign(1, TBlock{0, nb, 0, na});
  return touched;
}

// Each touched block without the lines that read the same at its two ends, and the
// lines outside the blocks that read differently.
std::vector<TBlock> ChangedBlocks(const TLines& before, const TLines& after, const std::vector<TBlock>& touched) {
  std::vector<TBlock> blocks;
  // Changes on lines next to each other read as one: all removed lines, then all added.
  const auto add = [&blocks](const TBlock& block) {
    if (!blocks.empty() && blocks.back().B1 == block.B0) {
      blocks.back().B1 = block.B1;
      blocks.back().A1 = block.A1;
    } else {
      blocks.push_back(block);
    }
  };
  std::size_t b = 0, a = 0;
  const auto addGap = [&](std::size_t bEnd) {
    for (; b < bEnd; ++b, ++a)
      if (before.Line(b) != after.Line(a)) add(TBlock{b, b + 1, a, a + 1});
  };
  for (const TBlock& whole : touched) {
    addGap(whole.B0);
    TBlock block = whole;
    while (block.B0 < block.B1 && block.A0 < block.A1 && before.Line(block.B0) == after.Line(block.A0))
      ++block.B0, ++block.A0;
    while (block.B0 < block.B1 && block.A0 < block.A1 && before.Line(block.B1 - 1) == after.Line(block.A1 - 1))
      --block.B1, --block.A1;
    if (block.B0 < block.B1 || block.A0 < block.A1) add(block);
    b = whole.B1;
    a = whole.A1;
  }
  addGap(before.Count());
  return blocks;
}

}  // namespace

std::vector<TDiffHunk> TUnifiedDiff::Hunks(const TTextChange& change, std::size_t context) {
  const TLines before(change.Before, change.CrEndsLines);
  const TLines after(change.After, change.CrEndsLines);
  const std::size_t nb = before.Count();
  const std::vector<TBlock> blocks = ChangedBlocks(before, after, TouchedBlocks(before, after, change.Spans));

  const auto beforeRange = [](const TTextChange::TSpan& s) { return std::make_pair(s.BeforeStart, s.BeforeEnd); };
  const auto afterRange = [](const TTextChange::TSpan& s) { return std::make_pair(s.AfterStart, s.AfterEnd); };
  const auto line = [&](char kind, const TLines& lines, std::size_t i, bool marked) {
    TDiffLine out;
    out.Kind = kind;
    out.Text = lines.Shown(i);
    out.NoLineEnd = !lines.HasLineEnd(i);
    if (marked)
      out.Marks =
          kind == '+' ? MarksOf(lines, i, change.Spans, afterRange) : MarksOf(lines, i, change.Spans, beforeRange);
    return out;
  };

  std::vector<TDiffHunk> hunks;
  for (std::size_t k = 0; k < blocks.size();) {
    // Blocks closer than twice the context share a hunk.
    std::size_t last = k;
    while (last + 1 < blocks.size() && blocks[last + 1].B0 - blocks[last].B1 <= 2 * context) ++last;
    TDiffHunk hunk;
    const std::size_t lead = std::min(context, blocks[k].B0);
    const std::size_t trail = std::min(context, nb - blocks[last].B1);
    hunk.BeforeStart = blocks[k].B0 - lead;
    hunk.AfterStart = blocks[k].A0 - lead;
    hunk.BeforeCount = blocks[last].B1 + trail - hunk.BeforeStart;
    hunk.AfterCount = blocks[last].A1 + trail - hunk.AfterStart;
    std::size_t bi = hunk.BeforeStart;
    for (std::size_t j = k; j <= last; ++j) {
      const TBlock& block = blocks[j];
      for (; bi < block.B0; ++bi) hunk.Lines.push_back(line(' ', before, bi, false));
      for (std::size_t i = block.B0; i < block.B1; ++i) hunk.Lines.push_back(line('-', before, i, true));
      for (std::size_t i = block.A0; i < block.A1; ++i) hunk.Lines.push_back(line('+', after, i, true));
      bi = block.B1;
    }
    for (; bi < blocks[last].B1 + trail; ++bi) hunk.Lines.push_back(line(' ', before, bi, false));
    hunks.push_back(std::move(hunk));
    k = last + 1;
  }
  return hunks;
}
