#include "core/FileSearch.h"

#include <string_view>

#include <boost/make_shared.hpp>

#include "core/FileSet.h"
#include "pattern/CharTyped.h"
#include "pattern/SearchFileText.h"
#include "pattern/Utf8PlainSearch.h"
#include "platform/FileInfo.h"
#include "shared/StoppedException.h"
#include "text/File.h"

TFileSearch::TFileSearch(TFileSet& set) : set_(set) {}

TFileSearch::~TFileSearch() = default;

TFileSetOutcome TFileSearch::Search(const TAbstractSearchedPattern& pattern, TAbstractPlaceList& list) {
  if (set_.Files.empty()) return TFileSetOutcome::NoFiles;
  direct_ = pattern.MakeByteSearch();
  WithCharType(set_.CharCode != TCharCode::ASCII, pattern, list,
               [this](const auto& typedPattern, auto& typedList) { SearchAll(typedPattern, typedList); });
  return TFileSetOutcome::Completed;
}

template <class C>
void TFileSearch::SearchAll(const TSearchedPattern<C>& pattern, TPlaceList<C>& list) {
  const int n = static_cast<int>(set_.Files.size());
  for (int i = 0; i < n; ++i) {
    const std::string& path = set_.Files[static_cast<std::size_t>(i)];
    if (set_.OnProcess) set_.OnProcess(TProcessType::Searching, path, i, n);
    // Taken before the load, so a change made while the file is read counts as a change.
    TPosixTimePtr stamp;
    hovrak::TFileIdentity state;
    if (set_.CheckTime) {
      state = hovrak::TFileIdentity::OfPath(path);
      stamp = boost::make_shared<boost::posix_time::ptime>(
          state.Known() ? hovrak::TimeFromUnix(state.ModifiedSeconds, state.ModifiedNanoseconds)
                        : boost::posix_time::ptime(boost::posix_time::not_a_date_time));
    }
    const bool hit = SearchFile(path, pattern, list);
    // A file whose time could not be read gets no entry and is never reported as changed.
    if (hit && stamp && !stamp->is_special()) {
      set_.TimeStamps[path] = stamp;
      set_.FileStates[path] = state;
    }
  }
}

TFileSetOutcome TFileSearch::Detect() {
  if (set_.Files.empty()) return TFileSetOutcome::NoFiles;
  const int n = static_cast<int>(set_.Files.size());
  for (int i = 0; i < n; ++i) {
    const std::string& path = set_.Files[static_cast<std::size_t>(i)];
    if (set_.OnProcess) set_.OnProcess(TProcessType::Searching, path, i, n);
    if (!Read(path)) continue;
    if (set_.OnFileRead) set_.OnFileRead(path, set_.ReadCode(bytes_), bytes_);
  }
  return TFileSetOutcome::Completed;
}

bool TFileSearch::Read(const std::string& path) {
  for (;;) {
    int error = 0;
    const TFileOperationResult read = TFileBase<char>::ReadRawBytes(path, set_.MaxFileSize, bytes_, nullptr, &error);
    if (read == TFileOperationResult::Success) return true;
    if (read != TFileOperationResult::OpenFailed) {  // too large: passed over, no question
      if (set_.OnSkipped) set_.OnSkipped(path, TSkipReason::TooLarge);
      return false;
    }
    const TDecision decision = set_.AskFileError(path, read, error);
    if (decision == TDecision::Skip) return false;
    if (decision == TDecision::Abort) throw EStoppedException();
  }
}

template <class C>
bool TFileSearch::SearchFile(const std::string& path, const TSearchedPattern<C>& pattern, TPlaceList<C>& list) {
  if (!Read(path)) return false;
  return SearchRead(path, pattern, list);
}

bool TFileSearch::SearchRead(const std::string& path, const TSearchedPattern<char>& pattern, TPlaceList<char>& list) {
  if (set_.OnFileRead) set_.OnFileRead(path, TCharCode::ASCII, bytes_);
  TFileBase<char>::NormalizeNewLines(bytes_);
  return SearchFileText<char>(pattern, std::string_view(bytes_), list, path);
}

bool TFileSearch::SearchRead(const std::string& path, const TSearchedPattern<wchar_t>& pattern,
                             TPlaceList<wchar_t>& list) {
  TFile<wchar_t> file(path, set_.CharCode);
  bool wellFormed = false;  // detection found every byte well-formed UTF-8
  file.CharCode = set_.ReadCode(bytes_, &wellFormed);
  if (set_.OnFileRead) set_.OnFileRead(path, file.CharCode, bytes_);
  if (direct_) {
    if (const std::optional<bool> found = SearchBytes(path, file.CharCode, wellFormed, pattern, list)) return *found;
  }
  TFileReadOptions options;
  options.checkCharCode = false;
  options.maxSize = set_.MaxFileSize;
  // Only a missing BOM the code asks for fails here; such a file is skipped.
  if (file.LoadBytes(bytes_, options) != TFileOperationResult::Success) return false;
  return SearchFileText<wchar_t>(pattern, std::wstring_view(file.Text), list, path);
}

std::optional<bool> TFileSearch::SearchBytes(const std::string& path, TCharCode code, bool wellFormed,
                                             const TSearchedPattern<wchar_t>& pattern,
                                             TPlaceList<wchar_t>& list) const {
  // UTF-8 text, and ASCII-only text in a code that reads ASCII as itself, is
  // searched in its bytes; the text these decode to is the same.
  std::string_view text(bytes_);
  const bool hasBom = text.substr(0, 3) == "\xEF\xBB\xBF";
  if (code == TCharCode::UTF8 && hasBom) text.remove_prefix(3);
  const bool utf8 = code == TCharCode::UTF8N || (code == TCharCode::UTF8 && hasBom);
  const bool sjis = code == TCharCode::SJIS;
  TNewLineKind kind;
  if (!(utf8 || sjis) || !TUtf8PlainSearch::CanSearch(text, !utf8, kind, wellFormed)) return std::nullopt;
  if (!direct_->PrefilterOnly()) return direct_->Search(text, kind, pattern.ByLine, pattern.ShowLine, list, path);
  // A file without the string every hit contains is not decoded at all. Line by
  // line only the lines holding it are decoded, unless the places are kept: those
  // share the file's decoded text when they are many.
  if (pattern.ByLine && !list.KeepPlaces) return direct_->SearchLines(text, kind, pattern, list, path);
  if (!direct_->Occurs(text)) return false;
  return std::nullopt;
}
