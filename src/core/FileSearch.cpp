#include "core/FileSearch.h"

#include <algorithm>
#include <string_view>
#include <type_traits>

#include <boost/make_shared.hpp>

#include "core/FileSet.h"
#include "pattern/CharTyped.h"
#include "pattern/SearchFileText.h"
#include "pattern/Utf8PlainSearch.h"
#include "platform/FileInfo.h"
#include "platform/OrderedWork.h"
#include "platform/ProcessorCount.h"
#include "shared/StoppedException.h"
#include "text/File.h"

namespace {

// Files in flight per worker: enough that a worker never waits for the run's thread
// to take a result, few enough that a search's memory stays that of a handful of files.
constexpr int kFilesAheadPerThread = 2;
// Places a file searched ahead may hold. A file with more goes back to the run's
// thread, which searches it again handing each place on as it comes, so a search of
// a few dense files needs no more memory than on one thread.
constexpr int kMaxPlacesAhead = 4096;

// Raised from a worker's list when its file has more places than it may hold.
struct TTooManyPlaces {};

}  // namespace

TFileSearch::TFileSearch(TFileSet& set) : set_(set) {}

TFileSearch::~TFileSearch() = default;

TFileSetOutcome TFileSearch::Search(const TAbstractSearchedPattern& pattern, TAbstractPlaceList& list) {
  if (set_.Files.empty()) return TFileSetOutcome::NoFiles;
  own_.Pattern = &pattern;
  own_.Direct = pattern.MakeByteSearch();
  mayBorrow_ = list.MayBorrow();
  WithCharType(set_.CharCode != TCharCode::ASCII, pattern, list,
               [this](const auto& typedPattern, auto& typedList) { SearchAll(typedPattern, typedList); });
  return TFileSetOutcome::Completed;
}

int TFileSearch::ThreadCount(bool searching) const {
  if (searching && !set_.PatternMaker) return 1;
  const int wanted = set_.Threads > 0 ? set_.Threads : hovrak::ProcessorCount();
  return std::max(1, std::min(wanted, static_cast<int>(set_.Files.size())));
}

template <class C>
void TFileSearch::SearchAll(const TSearchedPattern<C>&, TPlaceList<C>& list) {
  const int threads = ThreadCount(true);
  if (threads > 1) return SearchOnPool(threads, list);
  // One thread reads every file into the same room: its places are handed on, or
  // hold their own texts, before the next file is read.
  std::unique_ptr<std::string> room;
  const int n = static_cast<int>(set_.Files.size());
  for (int i = 0; i < n; ++i) {
    const std::string& path = set_.Files[static_cast<std::size_t>(i)];
    if (set_.OnProcess) set_.OnProcess(TProcessType::Searching, path, i, n);
    TSearchedFile<C> file = Load<C>(path, std::move(room));
    Deliver(path, file, list);
    room = std::move(file.Bytes);
  }
}

template <class C>
void TFileSearch::SearchOnPool(int threads, TPlaceList<C>& list) {
  // Each worker compiles the pattern for itself, and the calling thread (the pool's
  // last) uses the run's: no compiled pattern, byte search or place list is ever
  // touched by two threads.
  std::vector<TTools> tools(static_cast<std::size_t>(threads - 1));
  for (TTools& t : tools) {
    t.Own = set_.PatternMaker();
    t.Pattern = t.Own.get();
    t.Direct = t.Own->MakeByteSearch();
  }
  const int n = static_cast<int>(set_.Files.size());
  hovrak::TOrderedWork<TSearchedFile<C>> work(
      n, threads, threads * kFilesAheadPerThread, [this, &tools](int index, int worker) {
        const auto w = static_cast<std::size_t>(worker);
        return SearchAhead<C>(set_.Files[static_cast<std::size_t>(index)], w < tools.size() ? tools[w] : own_);
      });
  for (int i = 0; i < n; ++i) {
    const std::string& path = set_.Files[static_cast<std::size_t>(i)];
    // Repeated while the file is still being read, so that the window stays live and
    // a stop raised there ends the run at once; the destructor of work then cancels
    // the files not started and waits for those under way.
    const auto report = [this, &path, i, n] {
      if (set_.OnProcess) set_.OnProcess(TProcessType::Searching, path, i, n);
    };
    report();
    TSearchedFile<C> file = work.Take(i, report);
    Deliver(path, file, list);
  }
}

template <class C>
TSearchedFile<C> TFileSearch::Load(const std::string& path, std::unique_ptr<std::string> room) const {
  TSearchedFile<C> file;
  if (room) file.Bytes = std::move(room);
  // The state of the file opened, taken before its bytes are read, so a change made
  // while the file is read counts as a change.
  file.Stamped = set_.CheckTime;
  file.Read = TFileBase<char>::ReadRawBytes(path, set_.MaxFileSize, *file.Bytes, set_.CheckTime ? &file.State : nullptr,
                                            &file.Error);
  // A narrow search reads bytes as they are; Detect, wide, names the code of any run.
  if (file.Read == TFileOperationResult::Success && std::is_same_v<C, wchar_t>)
    file.Code = set_.ReadCode(*file.Bytes, &file.WellFormed);
  return file;
}

template <class C>
TSearchedFile<C> TFileSearch::SearchAhead(const std::string& path, const TTools& tools) const {
  TSearchedFile<C> file = Load<C>(path);
  if (file.Read != TFileOperationResult::Success) return file;
  TPlaceList<C>& places = file.Places;
  places.HandsOn = mayBorrow_;
  places.OnAdd = [&places](TAbstractPlace*) {
    if (places.Added > kMaxPlacesAhead) throw TTooManyPlaces();
  };
  try {
    SearchRead(path, tools, file, places, true);
    file.Searched = true;
  } catch (const TTooManyPlaces&) {
    places.Places.clear();
    file.Hit = false;
  }
  places.OnAdd.clear();
  return file;
}

template <class C>
bool TFileSearch::Settle(const std::string& path, TSearchedFile<C>& file) {
  while (file.Read == TFileOperationResult::OpenFailed) {
    const TDecision decision = set_.AskFileError(path, file.Read, file.Error);
    if (decision == TDecision::Skip) return false;
    if (decision == TDecision::Abort) throw EStoppedException();
    file = Load<C>(path);
  }
  if (file.Read == TFileOperationResult::Success) return true;
  // Too large: passed over, no question.
  if (set_.OnSkipped) set_.OnSkipped(path, TSkipReason::TooLarge);
  return false;
}

template <class C>
void TFileSearch::Deliver(const std::string& path, TSearchedFile<C>& file, TPlaceList<C>& list) {
  if (!Settle(path, file)) return;
  if (set_.OnFileRead) set_.OnFileRead(path, file.Code, file.ReadBytes());
  if (file.Searched) {
    for (auto& place : file.Places.Places) list.Add(std::move(place));
  } else {
    SearchRead(path, own_, file, list, false);
  }
  // A file whose time could not be read gets no entry and is never reported as changed.
  if (file.Hit && file.Stamped && file.State.Known()) {
    set_.TimeStamps[path] = boost::make_shared<boost::posix_time::ptime>(
        hovrak::TimeFromUnix(file.State.ModifiedSeconds, file.State.ModifiedNanoseconds));
    set_.FileStates[path] = file.State;
  }
}

TFileSetOutcome TFileSearch::Detect() {
  if (set_.Files.empty()) return TFileSetOutcome::NoFiles;
  // Reading and detecting need no pattern: every file is read ahead on the pool.
  const int n = static_cast<int>(set_.Files.size());
  const int threads = ThreadCount(false);
  hovrak::TOrderedWork<TSearchedFile<wchar_t>> work(n, threads, threads * kFilesAheadPerThread, [this](int index, int) {
    return Load<wchar_t>(set_.Files[static_cast<std::size_t>(index)]);
  });
  for (int i = 0; i < n; ++i) {
    const std::string& path = set_.Files[static_cast<std::size_t>(i)];
    const auto report = [this, &path, i, n] {
      if (set_.OnProcess) set_.OnProcess(TProcessType::Searching, path, i, n);
    };
    report();
    TSearchedFile<wchar_t> file = work.Take(i, report);
    if (Settle(path, file) && set_.OnFileRead) set_.OnFileRead(path, file.Code, *file.Bytes);
  }
  return TFileSetOutcome::Completed;
}

void TFileSearch::SearchRead(const std::string& path, const TTools& tools, TSearchedFile<char>& file,
                             TPlaceList<char>& places, bool keepRaw) const {
  std::string& bytes = *file.Bytes;
  if (keepRaw && set_.OnFileRead && bytes.find('\r') != std::string::npos)
    file.RawBytes = std::make_unique<std::string>(bytes);
  TFileBase<char>::NormalizeNewLines(bytes);
  const auto& pattern = static_cast<const TSearchedPattern<char>&>(*tools.Pattern);
  file.Hit = SearchFileText<char>(pattern, std::string_view(bytes), places, path);
}

void TFileSearch::SearchRead(const std::string& path, const TTools& tools, TSearchedFile<wchar_t>& file,
                             TPlaceList<wchar_t>& places, bool) const {
  const auto& pattern = static_cast<const TSearchedPattern<wchar_t>&>(*tools.Pattern);
  if (tools.Direct) {
    if (const std::optional<bool> found = SearchBytes(path, tools, file, places)) {
      file.Hit = *found;
      return;
    }
  }
  file.Decoded = std::make_unique<TFile<wchar_t>>(path, set_.CharCode);
  TFile<wchar_t>& decoded = *file.Decoded;
  decoded.CharCode = file.Code;
  TFileReadOptions options;
  options.checkCharCode = false;
  options.maxSize = set_.MaxFileSize;
  // Only a missing BOM the code asks for fails here; such a file is skipped.
  file.Hit = false;
  if (decoded.LoadBytes(*file.Bytes, options) != TFileOperationResult::Success) return;
  file.Hit = SearchFileText<wchar_t>(pattern, std::wstring_view(decoded.Text), places, path);
}

std::optional<bool> TFileSearch::SearchBytes(const std::string& path, const TTools& tools,
                                             const TSearchedFile<wchar_t>& file, TPlaceList<wchar_t>& places) const {
  // UTF-8 text, and ASCII-only text in a code that reads ASCII as itself, is
  // searched in its bytes; the text these decode to is the same.
  const auto& pattern = static_cast<const TSearchedPattern<wchar_t>&>(*tools.Pattern);
  TUtf8PlainSearch& direct = *tools.Direct;
  const TCharCode code = file.Code;
  std::string_view text(*file.Bytes);
  const bool hasBom = text.substr(0, 3) == "\xEF\xBB\xBF";
  if (code == TCharCode::UTF8 && hasBom) text.remove_prefix(3);
  const bool utf8 = code == TCharCode::UTF8N || (code == TCharCode::UTF8 && hasBom);
  const bool sjis = code == TCharCode::SJIS;
  TNewLineKind kind;
  if (!(utf8 || sjis) || !TUtf8PlainSearch::CanSearch(text, !utf8, kind, file.WellFormed)) return std::nullopt;
  if (!direct.PrefilterOnly()) return direct.Search(text, kind, pattern.ByLine, pattern.ShowLine, places, path);
  // A file without the string every hit contains is not decoded at all. Line by
  // line only the lines holding it are decoded, unless the places are kept: those
  // share the file's decoded text when they are many.
  if (pattern.ByLine && places.MayBorrow()) return direct.SearchLines(text, kind, pattern, places, path);
  if (!direct.Occurs(text)) return false;
  return std::nullopt;
}
