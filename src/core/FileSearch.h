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
  // The pool's loop: workers search, this thread delivers in order.
  template <class C>
  void SearchOnPool(int threads, TPlaceList<C>& list);
  // The threads the run's option asks for, no more than there are files.
  int ThreadCount() const;
  // Reads and searches one file without telling anyone; safe on any thread.
  template <class C>
  TSearchedFile<C> SearchOne(const std::string& path, const TTools& tools) const;
  // Hands a searched file's news to the callbacks and its places to list, on the
  // run's thread: the question about a file that did not open (Retry searches it
  // again here), the skip of a file too large, OnFileRead, the places, the stamp.
  template <class C>
  void Deliver(const std::string& path, TSearchedFile<C> file, TPlaceList<C>& list);
  // The bytes as they are, line ends normalised as a narrow load does.
  void SearchRead(const std::string& path, const TTools& tools, TSearchedFile<char>& file) const;
  // Decoded in the code the file is read in, unless the byte search settles it.
  void SearchRead(const std::string& path, const TTools& tools, TSearchedFile<wchar_t>& file) const;
  // Whether there is a hit, when the byte search can settle it for the bytes read in
  // code; nullopt when the text must be decoded and searched.
  std::optional<bool> SearchBytes(const std::string& path, TCharCode code, bool wellFormed, const TTools& tools,
                                  TSearchedFile<wchar_t>& file) const;
  // Detect's read of one file into bytes_; false when the file is skipped (too large,
  // or an open failure answered Skip). Abort raises EStoppedException.
  bool Read(const std::string& path);

  TFileSet& set_;
  TTools own_;              // the calling thread's: the run's pattern
  bool mayBorrow_ = false;  // the run's list keeps no places: theirs may borrow
  std::string bytes_;       // Detect's bytes, in room reused from file to file
};
