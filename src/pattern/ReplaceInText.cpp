#include "pattern/ReplaceInText.h"

#include <algorithm>

#include "place/PlaceBase.h"

namespace {

// Finds places, given by the line and column of the text as the search saw it (every
// line end one '\n'), in a text that has the file's own line ends. It keeps the start
// of the current line and the furthest column reached on it, so a run over the
// places of a file, which come in text order, stays linear.
template <class C>
class TPlaceLocator {
 public:
  using TString = std::basic_string<C>;

  TPlaceLocator(const TString& text, TNewLineKind kind) : text_(text), kind_(kind) {}

  // The position of the given line and column (columns may run on over line ends, as
  // in a whole-text search without line numbers); false when the text ends first.
  bool Find(long long line, std::size_t column, std::size_t& pos) {
    if (line < line_) return false;
    while (line_ < line) {
      const std::size_t end = NextLineEnd(lineStart_);
      if (end == TString::npos) return false;
      lineStart_ = end + 1;
      ++line_;
      colPos_ = lineStart_;
      col_ = 0;
    }
    if (column < col_) {
      colPos_ = lineStart_;
      col_ = 0;
    }
    if (!Advance(colPos_, column - col_)) return false;
    col_ = column;
    pos = colPos_;
    return true;
  }

  // Moves pos on by count units of the searched text; false when the text ends first.
  bool Advance(std::size_t& pos, std::size_t count) const {
    if (kind_ != TNewLineKind::CrLf) {
      if (count > text_.size() - pos) return false;
      pos += count;
      return true;
    }
    // Every CR was dropped for the search: step over them without counting them.
    while (count > 0) {
      const std::size_t cr = NextCr(pos);
      const std::size_t run = cr - pos;
      if (run >= count) {
        pos += count;
        return true;
      }
      if (cr == text_.size()) return false;
      count -= run;
      pos = cr + 1;
    }
    return true;
  }

  long long Line() const { return line_; }

  // Records that the walk has reached pos, column units into the current line.
  void Reached(std::size_t pos, std::size_t column) {
    colPos_ = pos;
    col_ = column;
  }

  // In a CrLf text, the next position the search saw (CRs skipped).
  std::size_t SkipCrs(std::size_t pos) const {
    if (kind_ != TNewLineKind::CrLf) return pos;
    while (pos < text_.size() && text_[pos] == C('\r')) ++pos;
    return pos;
  }

  // Whether the units from..to are, as the search saw them, the given text.
  bool Shows(std::size_t from, std::size_t to, const TString& expected) const {
    std::size_t k = 0;
    for (std::size_t i = from; i < to; ++i) {
      C c = text_[i];
      if (c == C('\r')) {
        if (kind_ == TNewLineKind::CrLf) continue;
        if (kind_ == TNewLineKind::Cr) c = C('\n');
      }
      if (k == expected.size() || expected[k] != c) return false;
      ++k;
    }
    return k == expected.size();
  }

  // A replacement with each '\n' turned into the file's line end.
  TString WithLineEnds(TString replacement) const {
    if (kind_ == TNewLineKind::Lf || replacement.find(C('\n')) == TString::npos) return replacement;
    TString out;
    out.reserve(replacement.size() + 8);
    for (const C c : replacement) {
      if (c != C('\n')) {
        out.push_back(c);
        continue;
      }
      out.push_back(C('\r'));
      if (kind_ == TNewLineKind::CrLf) out.push_back(C('\n'));
    }
    return out;
  }

 private:
  std::size_t NextLineEnd(std::size_t from) const {
    if (kind_ == TNewLineKind::Cr) {
      static const C kEnds[] = {C('\r'), C('\n')};
      return text_.find_first_of(kEnds, from, 2);
    }
    return text_.find(C('\n'), from);
  }

  const TString& text_;
  const TNewLineKind kind_;
  long long line_ = 0;
  std::size_t lineStart_ = 0;
  std::size_t colPos_ = 0;
  std::size_t col_ = 0;
  // The first CR at or after crFrom_ (the text's size when there is none): many hits
  // on one long line of a CrLf file must not each search to the line's end again.
  mutable std::size_t crFrom_ = 1;
  mutable std::size_t nextCr_ = 0;

  std::size_t NextCr(std::size_t pos) const {
    if (pos < crFrom_ || pos > nextCr_) {
      crFrom_ = pos;
      nextCr_ = std::min(text_.find(C('\r'), pos), text_.size());
    }
    return nextCr_;
  }
};

}  // namespace

template <class C>
TSpliceResult SpliceReplacements(const TReplacingPattern<C>& pattern, std::basic_string<C>& text, TNewLineKind lineEnds,
                                 const TAbstractPlaceList& list, const std::string& fileName,
                                 const std::vector<int>* indices, std::vector<TSplicedHit>* hits) {
  using TString = std::basic_string<C>;
  TSpliceResult result;
  TPlaceLocator<C> locator(text, lineEnds);
  TString out;
  std::size_t copied = 0;
  const int count = indices ? static_cast<int>(indices->size()) : list.Count();
  for (int k = 0; k < count; ++k) {
    const int i = indices ? (*indices)[static_cast<std::size_t>(k)] : k;
    const TAbstractPlace* place = list.Item(i);
    if (!place->Checked || place->FileName() != fileName) continue;
    const auto* typed = dynamic_cast<const TPlaceBase<C>*>(place);
    const std::size_t column = place->Column > 0 ? static_cast<std::size_t>(place->Column) : 0;
    const std::size_t length = place->Length > 0 ? static_cast<std::size_t>(place->Length) : 0;

    if (place->Line < locator.Line()) {
      ++result.Overlapping;  // out of order: its line was passed already
      continue;
    }
    std::size_t start = 0;
    if (!locator.Find(place->Line, column, start)) {
      ++result.Stale;  // past the end of the text
      continue;
    }
    // A hit that begins with a line end takes the CRs of that line end with it; CRs in
    // front of any other hit are not part of it.
    const TString hit = typed ? typed->Text() : TString();
    const bool startsWithLineEnd = !hit.empty() && hit[0] == C('\n');
    if (startsWithLineEnd) {
      if (lineEnds == TNewLineKind::CrLf)
        while (start > copied && start > 0 && text[start - 1] == C('\r')) --start;
    } else if (length > 0) {
      start = locator.SkipCrs(start);
    }
    if (start < copied) {
      ++result.Overlapping;
      continue;
    }
    std::size_t end = start;
    if (!locator.Advance(end, length) || (typed && !locator.Shows(start, end, hit))) {
      // The hit is no longer what the search found there.
      ++result.Stale;
      continue;
    }
    if (result.Replaced == 0) out.reserve(text.size());
    out.append(text, copied, start - copied);
    const std::size_t replacementStart = out.size();
    out += locator.WithLineEnds(pattern.GetReplacement(list, i));
    if (hits) hits->push_back(TSplicedHit{start, end, replacementStart, out.size()});
    copied = end;
    locator.Reached(end, column + length);
    ++result.Replaced;
  }
  if (result.Replaced == 0) return result;
  out.append(text, copied, TString::npos);
  text.swap(out);
  return result;
}

template <class C>
bool ReplaceInText(const TReplacingPattern<C>& pattern, std::basic_string<C>& text, const TAbstractPlaceList& list,
                   const std::string& fileName) {
  return SpliceReplacements<C>(pattern, text, TNewLineKind::Lf, list, fileName, nullptr).Replaced > 0;
}

template <class C>
bool ReplaceInText(const TReplacingPattern<C>& pattern, std::basic_string<C>& text, const TAbstractPlaceList& list,
                   const std::string& fileName, const std::vector<int>& indices) {
  return SpliceReplacements<C>(pattern, text, TNewLineKind::Lf, list, fileName, &indices).Replaced > 0;
}

template TSpliceResult SpliceReplacements<char>(const TReplacingPattern<char>&, std::string&, TNewLineKind,
                                                const TAbstractPlaceList&, const std::string&, const std::vector<int>*,
                                                std::vector<TSplicedHit>*);
template TSpliceResult SpliceReplacements<wchar_t>(const TReplacingPattern<wchar_t>&, std::wstring&, TNewLineKind,
                                                   const TAbstractPlaceList&, const std::string&,
                                                   const std::vector<int>*, std::vector<TSplicedHit>*);
template bool ReplaceInText<char>(const TReplacingPattern<char>&, std::string&, const TAbstractPlaceList&,
                                  const std::string&);
template bool ReplaceInText<wchar_t>(const TReplacingPattern<wchar_t>&, std::wstring&, const TAbstractPlaceList&,
                                     const std::string&);
template bool ReplaceInText<char>(const TReplacingPattern<char>&, std::string&, const TAbstractPlaceList&,
                                  const std::string&, const std::vector<int>&);
template bool ReplaceInText<wchar_t>(const TReplacingPattern<wchar_t>&, std::wstring&, const TAbstractPlaceList&,
                                     const std::string&, const std::vector<int>&);
