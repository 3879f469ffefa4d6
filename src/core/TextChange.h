#pragma once
// What a replace would write into one file, for a preview that writes nothing: the
// file's text before and after in UTF-8 (the bytes as they are in a run that takes
// them so), every line end as the file has it, and where each replaced hit stands in
// both. The after text is what the file would hold once written in its own code, so
// a character that code cannot hold shows as the "?" it would become.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include <boost/function.hpp>

#include "pattern/SpliceResult.h"
#include "text/FileFacts.h"
#include "text/NewLineKind.h"

struct TTextChange {
  std::string Path;
  // The code the file is read and written in and the line ends of its text before.
  TFileFacts Facts;
  // A lone CR ends a line (the file's first line end is one), as the search counted.
  bool CrEndsLines = false;
  std::string Before;
  std::string After;

  // One replaced hit: [BeforeStart, BeforeEnd) of Before became [AfterStart,
  // AfterEnd) of After, in bytes; ascending, not overlapping.
  struct TSpan {
    std::size_t BeforeStart = 0, BeforeEnd = 0, AfterStart = 0, AfterEnd = 0;
  };
  // Empty when the hits cannot be placed in After: pieces of a text that does not
  // survive its code read back otherwise than the whole.
  std::vector<TSpan> Spans;

  // The change of one file. before and after are the text with the file's own line
  // ends, before and after splicing, and where each hit went (in units). code: the code the file
  // is written in (ASCII: bytes as they are, which only narrow texts are).
  template <class C>
  static TTextChange Make(const std::string& path, TCharCode code, TNewLineKind firstLineEnd,
                          const std::basic_string<C>& before, const std::basic_string<C>& after,
                          const std::vector<TSplicedHit>& hits);
};

template <>
TTextChange TTextChange::Make<char>(const std::string&, TCharCode, TNewLineKind, const std::string&, const std::string&,
                                    const std::vector<TSplicedHit>&);
template <>
TTextChange TTextChange::Make<wchar_t>(const std::string&, TCharCode, TNewLineKind, const std::wstring&,
                                       const std::wstring&, const std::vector<TSplicedHit>&);

// Called with each file a replace preview would change.
using TTextChangeEvent = boost::function<void(const TTextChange&)>;
