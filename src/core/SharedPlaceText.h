#pragma once
// The searched text of one file, kept once for the places of that file when they
// are many: each place cuts its hit and context from it when asked instead of
// holding copies. Either the decoded text, or for text searched in its UTF-8 bytes,
// those bytes with their line-end convention (decoded on demand).

#include <string>
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
      : TPlaceFile(std::move(name)), Bytes(std::move(bytes)), Kind(kind), Utf8(true) {}

  const std::basic_string<C> Text;
  const std::string Bytes;
  const TNewLineKind Kind = TNewLineKind::Lf;
  const bool Utf8 = false;
};
