#include "core/TextChange.h"

#include "text/File.h"

namespace {

std::vector<TTextChange::TSpan> SpansOf(const std::vector<TSplicedHit>& hits) {
  std::vector<TTextChange::TSpan> spans;
  spans.reserve(hits.size());
  for (const TSplicedHit& hit : hits) spans.push_back({hit.Start, hit.End, hit.ResultStart, hit.ResultEnd});
  return spans;
}

// UTF-8 of wide text (zero units kept, a lone surrogate as "?"), appended.
void AppendUtf8(std::wstring_view text, std::string& out) {
  std::string bytes;
  TFile<wchar_t>::Encode(std::wstring(text), TCharCode::UTF8N, bytes);
  out += bytes;
}

// The text as it reads back after being written in code.
std::wstring RoundTrip(std::wstring_view text, TCharCode code) {
  std::string bytes;
  std::wstring back;
  TFile<wchar_t>::Encode(std::wstring(text), code, bytes);
  TFile<wchar_t>::Decode(bytes, code, back);
  return back;
}

// Cuts text at the span boundaries (one side of each span), converting each piece
// with convert; offsets become the byte offsets of the result.
template <class TConvert>
std::string Converted(std::wstring_view text, std::vector<TTextChange::TSpan>& spans, bool before, TConvert convert) {
  std::string out;
  out.reserve(text.size() + text.size() / 2);
  std::size_t from = 0;
  for (TTextChange::TSpan& span : spans) {
    std::size_t& start = before ? span.BeforeStart : span.AfterStart;
    std::size_t& end = before ? span.BeforeEnd : span.AfterEnd;
    convert(text.substr(from, start - from), out);
    const std::size_t at = out.size();
    convert(text.substr(start, end - start), out);
    from = end;
    start = at;
    end = out.size();
  }
  convert(text.substr(from), out);
  return out;
}

}  // namespace

template <>
TTextChange TTextChange::Make<char>(const std::string& path, TCharCode, TNewLineKind firstLineEnd,
                                    const std::string& before, const std::string& after,
                                    const std::vector<TSplicedHit>& hits) {
  TTextChange change;
  change.Path = path;
  change.Facts.Code = TCharCode::ASCII;
  change.Facts.LineEnds = FindLineEndStyle(before.data(), before.size());
  change.CrEndsLines = firstLineEnd == TNewLineKind::Cr;
  change.Before = before;
  change.After = after;
  change.Spans = SpansOf(hits);
  return change;
}

template <>
TTextChange TTextChange::Make<wchar_t>(const std::string& path, TCharCode code, TNewLineKind firstLineEnd,
                                       const std::wstring& before, const std::wstring& after,
                                       const std::vector<TSplicedHit>& hits) {
  TTextChange change;
  change.Path = path;
  change.Facts.Code = code;
  change.Facts.LineEnds = FindLineEndStyle(before.data(), before.size());
  change.CrEndsLines = firstLineEnd == TNewLineKind::Cr;
  change.Spans = SpansOf(hits);
  change.Before = Converted(before, change.Spans, true, AppendUtf8);
  const std::wstring written = RoundTrip(after, code);
  if (written == after) {
    change.After = Converted(after, change.Spans, false, AppendUtf8);
    return change;
  }
  // Some character does not survive the code. Cut piece by piece, the hits still
  // stand where they are, unless the pieces read back differently from the whole.
  std::vector<TSpan> cut = SpansOf(hits);
  const std::string pieces = Converted(after, cut, false, [code](std::wstring_view piece, std::string& out) {
    AppendUtf8(RoundTrip(piece, code), out);
  });
  std::string whole;
  AppendUtf8(written, whole);
  change.After = whole;
  if (pieces == whole) {
    for (std::size_t i = 0; i < cut.size(); ++i) {
      change.Spans[i].AfterStart = cut[i].AfterStart;
      change.Spans[i].AfterEnd = cut[i].AfterEnd;
    }
  } else {
    change.Spans.clear();
  }
  return change;
}
