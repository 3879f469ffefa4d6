#pragma once
// The search loop of a file set: reads each of its files in the code the run's
// options give and searches it, in its bytes where the pattern offers a byte search
// and the file allows one, otherwise in its decoded text.

#include <memory>
#include <optional>
#include <string>

#include "core/FileSetOutcome.h"
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
  template <class C>
  void SearchAll(const TSearchedPattern<C>& pattern, TPlaceList<C>& list);
  // Reads path into bytes_; false when the file is skipped (too large, or an open
  // failure answered Skip). Abort raises EStoppedException.
  bool Read(const std::string& path);
  // Reads and searches one file; true when a place was added.
  template <class C>
  bool SearchFile(const std::string& path, const TSearchedPattern<C>& pattern, TPlaceList<C>& list);
  // The bytes as they are, line ends normalised as a narrow load does.
  bool SearchRead(const std::string& path, const TSearchedPattern<char>& pattern, TPlaceList<char>& list);
  // Decoded in the code the file is read in, unless the byte search settles it.
  bool SearchRead(const std::string& path, const TSearchedPattern<wchar_t>& pattern, TPlaceList<wchar_t>& list);
  // Whether there is a hit, when the byte search can settle it for bytes_ read in
  // code; nullopt when the text must be decoded and searched.
  std::optional<bool> SearchBytes(const std::string& path, TCharCode code, bool wellFormed,
                                  const TSearchedPattern<wchar_t>& pattern, TPlaceList<wchar_t>& list) const;

  TFileSet& set_;
  std::unique_ptr<TUtf8PlainSearch> direct_;  // the pattern's byte search; may be null
  std::string bytes_;                         // each file's bytes, in room reused from file to file
};
