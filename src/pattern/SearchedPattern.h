#pragma once
// A compiled search string for one character type: finds every hit in a text and
// appends it to a place list.

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "pattern/AbstractSearchedPattern.h"
#include "pattern/PlaceSharing.h"
#include "place/PlaceList.h"

template <class C>
class TSearchedPattern : public TAbstractSearchedPattern {
 public:
  using TString = std::basic_string<C>;
  using TView = std::basic_string_view<C>;

  // Where the places of one searched text go and how their lines are counted.
  struct TPlaceAddingInfo {
    TPlaceList<C>* PlaceList = nullptr;  // not owned
    std::string FileName;
    unsigned LineBase = 0;  // line index at which the text starts
    // Offsets of every line feed; empty: no line numbers. Mutable with the two below:
    // when LineEndsPending is set, it is filled from LineEndsText as the first place
    // is added, so that a text without hits is never scanned for line feeds.
    mutable std::vector<int> LineEnds;
    mutable TView LineEndsText;
    mutable bool LineEndsPending = false;

    // The whole text of the file that the searched texts are parts of (a line is a
    // part of it); empty when unknown: then every place copies its texts.
    TView WholeText;
    // How the places of the file hold their texts (TPlaceSharing).
    mutable TPlaceSharing<C> Sharing;

    // Whether the next place, which would copy units units, shares the whole text.
    bool ShareNext(std::size_t units) const {
      Sharing.SetText(WholeText);
      return Sharing.ShareNext(FileName, !PlaceList->MayBorrow(), units);
    }

    void FillPendingLineEnds() const {
      if (!LineEndsPending) return;
      LineEndsPending = false;
      const TView text = LineEndsText;
      for (std::size_t p = text.find(C('\n')); p != TView::npos; p = text.find(C('\n'), p + 1))
        LineEnds.push_back(static_cast<int>(p));
    }
  };

  TSearchedPattern(bool byLine, bool showLine) : ByLine(byLine), ShowLine(showLine) {}

  // Appends one place per hit in ascending order; true when any hit was found.
  virtual bool FindPlaces(TView text, const TPlaceAddingInfo& info) const = 0;

  // A string every hit contains lets texts and lines without it be passed over:
  // FindRequired gives its next occurrence at or after from (npos: none). Patterns
  // without such a string (HasRequired false) return from.
  virtual bool HasRequired() const { return false; }
  virtual std::size_t FindRequired(TView text, std::size_t from) const {
    (void)text;
    return from;
  }

  const bool ByLine;
  const bool ShowLine;
};

// Builds a place from one hit and appends it to info's list (which notifies OnAdd).
template <class C>
void AddPlace(const typename TSearchedPattern<C>::TPlaceAddingInfo& info, std::basic_string_view<C> text,
              std::size_t position, std::size_t length, std::vector<std::basic_string<C>> subMatches) {
  constexpr std::size_t context = TPlace<C>::ContextLength;
  info.FillPendingLineEnds();
  std::int32_t line = 0, column = 0;
  TPlace<C>::LineAndColumn(info.LineBase, position, info.LineEnds, line, column);
  const std::basic_string_view<C> hit = text.substr(position, length);
  // Submatch 0 is the hit; a place whose only submatch it is does not hold it twice.
  const bool hitIsSubMatch = subMatches.size() == 1 && subMatches[0] == hit;
  if (hitIsSubMatch) subMatches.clear();
  const std::size_t prevStart = position > context ? position - context : 0;
  const std::size_t after = position + length;
  const std::size_t nextEnd = after + std::min(text.size() - after, context);
  if (info.ShareNext(nextEnd - prevStart)) {
    const auto base = static_cast<std::size_t>(text.data() - info.WholeText.data());
    info.PlaceList->Add(std::make_shared<TPlace<C>>(info.Sharing.Shared(), line, column,
                                                    static_cast<std::int32_t>(length), base + position, base + after,
                                                    base, base + text.size(), std::move(subMatches), hitIsSubMatch));
    return;
  }
  info.PlaceList->Add(std::make_shared<TPlace<C>>(
      info.Sharing.File(info.FileName), line, column, hit, text.substr(prevStart, position - prevStart),
      text.substr(after, nextEnd - after), std::move(subMatches), hitIsSubMatch));
}
