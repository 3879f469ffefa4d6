// Feeds arbitrary bytes to character-code detection, every decoder and encoder, the
// text file's load and save, and the byte-level UTF-8 search, and checks the
// properties they promise: no unit above 0xFFFF, lossless UTF-16 and UTF-8 round
// trips, stable line-end handling, the same places from bytes as from text.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cwctype>
#include <string>

#include <fcntl.h>
#include <unistd.h>

#include "pattern/FoldedSearchedPattern.h"
#include "pattern/NormalSearchedPattern.h"
#include "pattern/RegexQuoting.h"
#include "pattern/RegexSearchedPattern.h"
#include "pattern/SearchFileText.h"
#include "pattern/Utf8PlainSearch.h"
#include "place/PlaceList.h"
#include "platform/AnsiCodePage.h"
#include "text/AnalyzeEncoding.h"
#include "text/Conversions.h"
#include "text/DetectCharCode.h"
#include "text/File.h"
#include "text/ScoredFirst.h"
#include "text/Utf8Scan.h"
#include "text/Utf8ToUnicodeEngine.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

void CheckUnits(const std::wstring& text) {
  for (const wchar_t unit : text) Check(static_cast<std::uint32_t>(unit) <= 0xFFFF);
}

bool HasLoneSurrogate(const std::wstring& text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    const wchar_t u = text[i];
    if (u >= 0xD800 && u <= 0xDBFF) {
      if (i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
        ++i;
        continue;
      }
      return true;
    }
    if (u >= 0xDC00 && u <= 0xDFFF) return true;
  }
  return false;
}

// One scratch file per process, on a memory file system where there is one.
const std::string& ScratchPath() {
  static const std::string path = [] {
    std::string tmpl = access("/dev/shm", W_OK) == 0 ? "/dev/shm/mirun-fuzz-XXXXXX" : "/tmp/mirun-fuzz-XXXXXX";
    const int fd = mkstemp(&tmpl[0]);
    Check(fd >= 0);
    close(fd);
    std::atexit([] { unlink(ScratchPath().c_str()); });
    return tmpl;
  }();
  return path;
}

void WriteScratch(const std::string& bytes) {
  const int fd = open(ScratchPath().c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
  Check(fd >= 0);
  Check(write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size()));
  close(fd);
}

// Searching the bytes of well-formed UTF-8 gives the places of searching its decoded
// text, for a needle taken from the text's middle.
void CheckByteSearch(const std::string& bytes) {
  TNewLineKind kind;
  if (!TUtf8PlainSearch::CanSearch(bytes, false, kind)) return;
  std::wstring text = hovrak::utf8_to_unicode(bytes);
  Check(TFileBase<wchar_t>::NormalizeNewLines(text) == kind);
  if (text.empty()) return;
  const std::wstring needle = text.substr(text.size() / 2, 1 + bytes.size() % 3);
  const TUtf8PlainSearch search(needle);
  if (!search.Usable()) return;
  for (const bool byLine : {false, true}) {
    for (const bool showLine : {false, true}) {
      const TNormalSearchedPattern<wchar_t> pattern(needle, byLine, showLine);
      TPlaceList<wchar_t> expected, actual;
      const bool found = SearchFileText<wchar_t>(pattern, text, expected, "f");
      Check(search.Search(bytes, kind, byLine, showLine, actual, "f") == found);
      Check(actual.Count() == expected.Count());
      for (int i = 0; i < actual.Count(); ++i) {
        const TPlace<wchar_t>& a = *actual.TypedItem(i);
        const TPlace<wchar_t>& e = *expected.TypedItem(i);
        Check(a.Line == e.Line && a.Column == e.Column && a.Length == e.Length && a.Text() == e.Text() &&
              a.PrevText() == e.PrevText() && a.NextText() == e.NextText());
      }
      // Handed on without being kept, the places borrow the bytes and show the same.
      TPlaceList<wchar_t> dropping;
      dropping.KeepPlaces = false;
      int index = 0;
      dropping.OnAdd = [&](TAbstractPlace* place) {
        Check(index < expected.Count());
        const TPlace<wchar_t>& e = *expected.TypedItem(index++);
        Check(place->Line == e.Line && place->Column == e.Column && place->GetText() == e.GetText() &&
              place->GetPrevText() == e.GetPrevText() && place->GetNextText() == e.GetNextText() &&
              place->GetPrevLineText() == e.GetPrevLineText() && place->GetNextLineText() == e.GetNextLineText());
        // The line texts are the context cut at its line feeds.
        const std::string prev = e.GetPrevText(), next = e.GetNextText();
        if (prev.find('\0') == std::string::npos && e.PrevText().find(L'\0') == std::wstring::npos)
          Check(place->GetPrevLineText() == prev.substr(prev.rfind('\n') + 1));
        if (e.NextText().find(L'\0') == std::wstring::npos)
          Check(place->GetNextLineText() == next.substr(0, next.find('\n')));
      };
      search.Search(bytes, kind, byLine, showLine, dropping, "f");
      Check(index == expected.Count());
    }
  }
}

template <class C>
bool SamePlaces(const TPlaceList<C>& actual, const TPlaceList<C>& expected) {
  if (actual.Count() != expected.Count()) return false;
  for (int i = 0; i < actual.Count(); ++i) {
    const TPlace<C>& a = *actual.TypedItem(i);
    const TPlace<C>& e = *expected.TypedItem(i);
    if (!(a.Line == e.Line && a.Column == e.Column && a.Length == e.Length && a.Text() == e.Text() &&
          a.PrevText() == e.PrevText() && a.NextText() == e.NextText() && a.SubMatches() == e.SubMatches()))
      return false;
  }
  return true;
}

// The case-ignoring searches without the engine (units, and UTF-8 bytes), and the
// engine passing over lines without an expression's required string, give the places
// of the engine searching everything. Needles come from the text, case changed.
void CheckFoldedSearch(const std::string& bytes) {
  std::wstring text = hovrak::utf8_to_unicode(bytes);
  TNewLineKind kind = TFileBase<wchar_t>::NormalizeNewLines(text);
  if (text.empty()) return;
  std::wstring needle = text.substr(text.size() / 3, 1 + bytes.size() % 4);
  for (wchar_t& c : needle)
    if (c < 0x80 && (c & 1)) c = static_cast<wchar_t>(std::towupper(c));
  if (needle.find(L'\r') != std::wstring::npos) return;
  const TRegexSearchedPattern<wchar_t> quoted(QuoteRegex(needle), false, false, true);
  if (!quoted.IsValid()) return;
  for (const bool byLine : {false, true}) {
    const TFoldedSearchedPattern<wchar_t> folded(needle, byLine, true);
    const TRegexSearchedPattern<wchar_t> regex(QuoteRegex(needle), false, byLine, true);
    // The engine alone, line by line or over the whole text.
    TPlaceList<wchar_t> expected;
    TSearchedPattern<wchar_t>::TPlaceAddingInfo info;
    info.PlaceList = &expected;
    info.FileName = "f";
    const boost::wregex engine(QuoteRegex(needle), TRegexSearchedPattern<wchar_t>::Flags(false));
    const auto grep = [&](std::wstring_view part) {
      boost::regex_grep(
          [&](const boost::match_results<const wchar_t*>& m) {
            AddPlace<wchar_t>(info, part, static_cast<std::size_t>(m[0].first - part.data()),
                              static_cast<std::size_t>(m[0].second - m[0].first),
                              {std::wstring(m[0].first, m[0].second)});
            return true;
          },
          part.data(), part.data() + part.size(), engine);
    };
    if (byLine) {
      std::size_t start = 0;
      while (true) {
        const std::size_t end = text.find(L'\n', start);
        grep(std::wstring_view(text).substr(start, (end == std::wstring::npos ? text.size() : end) - start));
        if (end == std::wstring::npos) break;
        start = end + 1;
        ++info.LineBase;
      }
    } else {
      info.LineEndsText = text;
      info.LineEndsPending = true;
      grep(text);
    }
    TPlaceList<wchar_t> viaFold, viaFilter;
    SearchFileText<wchar_t>(folded, text, viaFold, "f");
    SearchFileText<wchar_t>(regex, text, viaFilter, "f");
    Check(SamePlaces(viaFold, expected));
    Check(SamePlaces(viaFilter, expected));
    TNewLineKind byteKind;
    if (TUtf8PlainSearch::CanSearch(bytes, false, byteKind)) {
      Check(byteKind == kind);
      const TUtf8PlainSearch search(needle, true);
      if (search.Usable()) {
        TPlaceList<wchar_t> viaBytes;
        search.Search(bytes, byteKind, byLine, true, viaBytes, "f");
        Check(SamePlaces(viaBytes, expected));
      }
    }
  }
}

const TCharCode kCodes[] = {TCharCode::SJIS, TCharCode::UTF16, TCharCode::ASCII, TCharCode::EUC,
                            TCharCode::JIS,  TCharCode::UTF8,  TCharCode::UTF8N};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);

  // Detection never fails, names only codes a file can be read in, and answers as
  // scoring first would.
  bool wellFormed = false;
  const TCharCode detected = DetectCharCode(bytes, &wellFormed);
  Check(detected != TCharCode::Auto && static_cast<unsigned>(detected) <= 8);
  Check(detected == ScoredFirst(bytes));
  if (wellFormed) Check(hovrak::ClassifyUtf8(bytes.data(), size) == hovrak::TUtf8Form::Utf8);
  for (const std::size_t limit : {std::size_t(0), std::size_t(3), std::size_t(2000), size})
    Check(static_cast<unsigned>(hovrak::analyze_encoding(bytes.data(), size, limit)) <=
          static_cast<unsigned>(hovrak::TEncoding::UTF32LE));

  // The vector UTF-8 check agrees with the plain one, and well-formed text decodes
  // to as many units as counted.
  const hovrak::TUtf8Form form = hovrak::ClassifyUtf8(bytes.data(), size);
  Check(form == hovrak::ClassifyUtf8Scalar(bytes.data(), size));
  if (form != hovrak::TUtf8Form::Malformed)
    Check(hovrak::Utf16Length(bytes.data(), size) == hovrak::utf8_to_unicode(bytes).size());
  CheckByteSearch(bytes);
  CheckFoldedSearch(bytes);

  // Decoders.
  CheckUnits(hovrak::cp932_to_unicode(bytes));
  CheckUnits(hovrak::euc_to_unicode(bytes));
  CheckUnits(hovrak::utf8_to_unicode(bytes));
  {
    // Fed a byte at a time, the decoder never takes characters in runs; it must agree.
    hovrak::utf8_to_unicode_engine byteByByte;
    for (const char c : bytes) {
      byteByByte.untranslated_buffer += c;
      byteByByte.translate();
    }
    byteByByte.flush();
    Check(byteByByte.translated_buffer == hovrak::utf8_to_unicode(bytes));
  }
  CheckUnits(hovrak::euc_to_unicode(hovrak::jis_to_euc(bytes)));
  hovrak::euc_to_jis(bytes);
  CheckUnits(hovrak::AnsiToWide(bytes));

  // Encoders, over the bytes taken as UTF-16LE units.
  std::wstring wide;
  std::wstring decoded;
  TFile<wchar_t>::Decode(bytes, TCharCode::UTF16, wide);
  CheckUnits(wide);
  for (const TCharCode code : kCodes) {
    std::string encoded;
    Check(TFile<wchar_t>::Encode(wide, code, encoded));
    if (code == TCharCode::ASCII) continue;
    TFile<wchar_t>::Decode(encoded, code, decoded);
    CheckUnits(decoded);
    // UTF-16 always survives; UTF-8 survives when every surrogate is paired.
    if (code == TCharCode::UTF16 || ((code == TCharCode::UTF8 || code == TCharCode::UTF8N) && !HasLoneSurrogate(wide)))
      Check(decoded == wide);
  }
  // Every decoder on the raw bytes, and re-encoding what it gave.
  for (const TCharCode code : kCodes) {
    TFile<wchar_t>::Decode(bytes, code, decoded);
    CheckUnits(decoded);
    std::string encoded;
    TFile<wchar_t>::Encode(decoded, code, encoded);
  }

  // Line ends: normalising is idempotent and restoring then normalising is lossless.
  std::string text = bytes;
  const TNewLineKind kind = TFileBase<char>::NormalizeNewLines(text);
  Check(text.find('\r') == std::string::npos || kind == TNewLineKind::Lf);
  std::string buffer;
  std::string restored = TFileBase<char>::RestoreNewLines(text, kind, buffer);
  Check(TFileBase<char>::NormalizeNewLines(restored) == kind);
  Check(restored == text);

  // The text file itself, narrow and wide, with and without the check.
  WriteScratch(bytes);
  TFile<char> narrow(ScratchPath());
  Check(narrow.Load(TFileReadOptions{}) == TFileOperationResult::Success);
  Check(narrow.Text == text);
  const std::int32_t limit = size > 0 ? static_cast<std::int32_t>(size - 1) : 0;
  if (size > 0) Check(narrow.Load(TFileReadOptions{false, limit}) == TFileOperationResult::TooLarge);
  for (const bool check : {false, true}) {
    TFile<wchar_t> file(ScratchPath());
    const TFileOperationResult result = file.Load(TFileReadOptions{check, 0x7FFFFFFF});
    Check(result == TFileOperationResult::Success || result == TFileOperationResult::BinaryFile ||
          result == TFileOperationResult::CharCodeMismatch);
    Check(file.CharCode != TCharCode::Auto && file.CharCode != TCharCode::ASCII && file.CharCode != TCharCode::Unknown);
    CheckUnits(file.Text);
    // A load that passed the check, with LF line ends, encodes back to the same bytes.
    if (check && result == TFileOperationResult::Success && file.NewLine == TNewLineKind::Lf) {
      std::string encoded;
      Check(TFile<wchar_t>::Encode(file.Text, file.CharCode, encoded));
      Check(encoded == bytes);
    }
  }
  return 0;
}
