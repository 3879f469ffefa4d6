#pragma once
// The searched text of one file, kept once for the places of that file when they
// are many: each place cuts its hit and context from it when asked instead of
// holding copies. Either the decoded text, or for text searched in its UTF-8 bytes,
// those bytes with their line-end convention (decoded on demand).

#include <string>
#include <string_view>
#include <utility>

#include "core/PlaceFile.h"
#include "text/NewLineKind.h"

template <class C>
class TSharedPlaceText : public TPlaceFile {
 public:
  // The decoded searched text.
  TSharedPlaceText(std::string name, std::basic_string<C> text)
      : TPlaceFile(std::move(name)), Text(std::move(text)) {}
  // Well-formed UTF-8 bytes that decode to the searched text with kind's line ends.
  TSharedPlaceText(std::string name, std::string bytes, TNewLineKind kind)
      : TPlaceFile(std::move(name)), storage_(std::move(bytes)), Bytes(storage_), Kind(kind), Utf8(true) {}
  // The same bytes borrowed: only for places that are dropped while the bytes live
  // (a search that hands each place on as it is found and keeps none).
  struct TBorrowed {};
  TSharedPlaceText(std::string name, std::string_view bytes, TNewLineKind kind, TBorrowed)
      : TPlaceFile(std::move(name)), Bytes(bytes), Kind(kind), Utf8(true) {}

 private:
  const std::string storage_;  // the bytes, unless borrowed

 public:
  const std::basic_string<C> Text;
  const std::string_view Bytes;
  const TNewLineKind Kind = TNewLineKind::Lf;
  const bool Utf8 = false;
};
