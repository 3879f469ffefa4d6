#include "ui/PlaceRowTexts.h"

#include <algorithm>

#include "front/DisplayBase.h"
#include "place/AbstractPlace.h"
#include "platform/Utf8Sequence.h"
#include "shared/MessageTable.h"
#include "text/DisplayBytes.h"
#include "text/Utf8Scan.h"

namespace {

bool IsContinuation(char c) { return hovrak::IsUtf8Continuation(static_cast<unsigned char>(c)); }

bool ReadsAsUtf8(const std::string& bytes, std::size_t first, std::size_t last) {
  return hovrak::IsUtf8(std::string_view(bytes).substr(first, last - first));
}

std::string TabsToSpaces(std::string text) {
  std::replace(text.begin(), text.end(), '\t', ' ');
  return text;
}

}  // namespace

std::string TPlaceRowTexts::DisplayNarrow(const std::string& bytes) {
  std::size_t first = 0;
  std::size_t last = bytes.size();
  if (!ReadsAsUtf8(bytes, first, last)) {
    // Up to three continuation bytes at the front belong to a character cut off.
    while (first < last && first < 3 && IsContinuation(bytes[first])) ++first;
    // A lead byte near the end whose sequence the end cuts short.
    std::size_t lead = last;
    while (lead > first && last - lead < 3 && IsContinuation(bytes[lead - 1])) --lead;
    if (lead > first) {
      const std::size_t length = hovrak::Utf8LeadLength(static_cast<unsigned char>(bytes[lead - 1]));
      if (length > last - (lead - 1)) last = lead - 1;
    }
    if ((first == 0 && last == bytes.size()) || !ReadsAsUtf8(bytes, first, last)) {
      return hovrak::DisplayBytes(bytes);
    }
  }
  return bytes.substr(first, last - first);
}

std::string TPlaceRowTexts::ShownHit(const std::string& text, bool narrow) {
  static const std::string lineFeedMark = MessageTable(TMsg::LineFeedMark);
  const std::string hit = TabsToSpaces(narrow ? DisplayNarrow(text) : text);
  std::string shown;
  shown.reserve(hit.size());
  for (const char c : hit) {
    if (c == '\n') {
      shown += lineFeedMark;
    } else {
      shown += c;
    }
  }
  return shown;
}

TPlaceRowTexts TPlaceRowTexts::Make(const TAbstractPlace& place, bool narrow, const std::string& displayBase,
                                    bool showLine) {
  const auto shown = [narrow](const std::string& text) { return narrow ? DisplayNarrow(text) : text; };
  TPlaceRowTexts row;
  row.Hit = ShownHit(place.GetText(), narrow);

  // Cut at the line feeds first: a line feed byte is one in every code a narrow
  // text may be in, and the cut leaves less to guess the code from.
  std::string prev = place.GetPrevText();
  const std::size_t lastFeed = prev.rfind('\n');
  if (lastFeed != std::string::npos) prev.erase(0, lastFeed + 1);
  row.Prev = TabsToSpaces(shown(prev));

  std::string next = place.GetNextText();
  const std::size_t firstFeed = next.find('\n');
  if (firstFeed != std::string::npos) next.erase(firstFeed);
  row.Next = TabsToSpaces(shown(next));

  row.File = hovrak::ShortenPath(place.FileName(), displayBase);
  if (showLine) row.Line = std::to_string(static_cast<long long>(place.Line) + 1);
  return row;
}
