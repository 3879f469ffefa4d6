#pragma once
// The search loop of a file set: reads each of its files in the code the run's
// options give and searches it, in its bytes where the pattern offers a byte search
// and the file allows one, otherwise in its decoded text. With several threads the
// files are read and searched on a pool of workers, each with its own compiled
// pattern, while the calling thread takes their results in the order of the list and
// runs every callback itself, so what a caller sees does not depend on the threads.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/FileSetOutcome.h"
#include "core/SearchedFile.h"
#include "pattern/SearchedPattern.h"
#include "place/PlaceList.h"
#include "text/CharCode.h"

class TFileSet;
class TUtf8PlainSearch;

class TFileSearch {
 public:
  explicit TFileSearch(TFileSet& set);
  ~TFileSearch();

  // TFileSet::Search and TFileSet::Detect.
  TFileSetOutcome Search(const TAbstractSearchedPattern& pattern, TAbstractPlaceList& list);
  TFileSetOutcome Detect();

 private:
  // What one thread searches with: a pattern (its own or the run's) and its byte
  // search, which may be null.
  struct TTools {
    std::unique_ptr<TAbstractSearchedPattern> Own;
    const TAbstractSearchedPattern* Pattern = nullptr;
    std::unique_ptr<TUtf8PlainSearch> Direct;
  };

  template <class C>
  void SearchAll(const TSearchedPattern<C>& pattern, TPlaceList<C>& list);
  // The pool's loop: workers search ahead, this thread delivers in order.
  template <class C>
  void SearchOnPool(int threads, TPlaceList<C>& list);
  // The threads the run's option asks for, no more than there are files; one for a
  // search without a PatternMaker.
  int ThreadCount(bool searching) const;
  // Takes the file's state (when the run checks times), reads it (into room, when
  // given) and tells the code it is read in; safe on any thread.
  template <class C>
  TSearchedFile<C> Load(const std::string& path, std::unique_ptr<std::string> room = nullptr) const;
  // A worker's job: Load, then SearchRead into the file's own list, unless the file
  // has more places than a result may hold; tells no one.
  template <class C>
  TSearchedFile<C> SearchAhead(const std::string& path, const TTools& tools) const;
  // On the run's thread: the question about a file that did not open (Retry reads it
  // again here) and the skip of a file too large; true when the file was read.
  // Abort raises EStoppedException.
  template <class C>
  bool Settle(const std::string& path, TSearchedFile<C>& file);
  // Hands a file's news to the callbacks on the run's thread: Settle, OnFileRead,
  // then its places (those found ahead, or found here straight
  // into list), the time stamp.
  template <class C>
  void Deliver(const std::string& path, TSearchedFile<C>& file, TPlaceList<C>& list);
  // Searches the file's bytes into places: narrow, the bytes as they are, line ends
  // normalised as a narrow load does (keepRaw: the bytes as read kept for OnFileRead
  // first); wide, decoded in the file's code unless the byte search settles it.
  void SearchRead(const std::string& path, const TTools& tools, TSearchedFile<char>& file, TPlaceList<char>& places,
                  bool keepRaw) const;
  void SearchRead(const std::string& path, const TTools& tools, TSearchedFile<wchar_t>& file,
                  TPlaceList<wchar_t>& places, bool keepRaw) const;
  // Whether there is a hit, when the byte search can settle it for the file's bytes;
  // nullopt when the text must be decoded and searched.
  std::optional<bool> SearchBytes(const std::string& path, const TTools& tools, const TSearchedFile<wchar_t>& file,
                                  TPlaceList<wchar_t>& places) const;

  TFileSet& set_;
  TTools own_;              // the calling thread's: the run's pattern
  bool mayBorrow_ = false;  // the run's list keeps no places: theirs may borrow
};
