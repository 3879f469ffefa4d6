#pragma once
// The searched text of one file, kept once for the places of that file when they
// are many: each place cuts its hit and context from it when asked instead of
// holding copies. Either the decoded text, or for text searched in its UTF-8 bytes,
// those bytes with their line-end convention (decoded on demand).

#include <string>
#include <string_view>
#include <utility>

#include "place/PlaceFile.h"
#include "text/NewLineKind.h"

template <class C>
class TSharedPlaceText : public TPlaceFile {
 public:
  // The decoded searched text.
  TSharedPlaceText(std::string name, std::basic_string<C> text)
      : TPlaceFile(std::move(name)), textStorage_(std::move(text)), Text(textStorage_) {}
  // Well-formed UTF-8 bytes that decode to the searched text with kind's line ends.
  TSharedPlaceText(std::string name, std::string bytes, TNewLineKind kind)
      : TPlaceFile(std::move(name)), bytesStorage_(std::move(bytes)), Bytes(bytesStorage_), Kind(kind), Utf8(true) {}
  // The same texts borrowed: only for places that are dropped while the text lives
  // (a search that hands each place on as it is found and keeps none).
  struct TBorrowed {};
  TSharedPlaceText(std::string name, std::basic_string_view<C> text, TBorrowed)
      : TPlaceFile(std::move(name)), Text(text), Borrowed(true) {}
  TSharedPlaceText(std::string name, std::string_view bytes, TNewLineKind kind, TBorrowed)
      : TPlaceFile(std::move(name)), Bytes(bytes), Kind(kind), Utf8(true), Borrowed(true) {}

 private:
  // The texts, unless borrowed.
  const std::basic_string<C> textStorage_;
  const std::string bytesStorage_;

 public:
  const std::basic_string_view<C> Text;
  const std::string_view Bytes;
  const TNewLineKind Kind = TNewLineKind::Lf;
  const bool Utf8 = false;
  // The texts live only as long as the search that made the places; a copy of such
  // a place copies its texts.
  const bool Borrowed = false;
};
