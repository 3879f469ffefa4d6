#pragma once
// How mirun-cli prints the places of a search: one of grep lines, CSV, JSON lines,
// counts per file or file names. A format only turns what it is given into text; it
// knows nothing of how the places were found.

#include <cstdint>
#include <string>

#include "text/FileFacts.h"

class TAbstractPlace;

// What the whole search did, for a format's closing words.
struct TSearchTotals {
  std::int64_t Files = 0;  // files read
  std::int64_t Bytes = 0;  // their bytes
  double Seconds = 0;      // time the search took
};

class TPlaceFormat {
 public:
  virtual ~TPlaceFormat() = default;

  // Whether the format is told where each file's places begin and end
  // (FileBegin, FileEnd); grep lines and CSV are not, which keeps them cheap.
  virtual bool WantsFiles() const { return false; }
  // Whether FileBegin needs the file's facts.
  virtual bool WantsFacts() const { return false; }

  // Each appends its text to out.
  virtual void Begin(std::string& /*out*/) {}
  // The first place of path follows; facts is null unless WantsFacts.
  virtual void FileBegin(const std::string& /*path*/, const TFileFacts* /*facts*/, std::string& /*out*/) {}
  virtual void Place(const TAbstractPlace& place, std::string& out) = 0;
  // The last place of the file begun last has been given.
  virtual void FileEnd(std::string& /*out*/) {}
  virtual void End(const TSearchTotals& /*totals*/, std::string& /*out*/) {}
};
