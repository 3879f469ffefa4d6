#pragma once
// A compiled search string for one character type: finds every hit in a text and
// appends it to a place list.

#include <string>
#include <string_view>
#include <vector>

#include "core/PlaceList.h"
#include "pattern/AbstractSearchedPattern.h"

template <class C>
class TSearchedPattern : public TAbstractSearchedPattern {
 public:
  using TString = std::basic_string<C>;
  using TView = std::basic_string_view<C>;

  // Where the places of one searched text go and how their lines are counted.
  struct TPlaceAddingInfo {
    TPlaceList<C>* PlaceList = nullptr;  // not owned
    std::string FileName;
    unsigned LineBase = 0;               // line index at which the text starts
    // Offsets of every line feed; empty: no line numbers. Mutable with the two below:
    // when LineEndsPending is set, it is filled from LineEndsText as the first place
    // is added, so that a text without hits is never scanned for line feeds.
    mutable std::vector<int> LineEnds;
    mutable TView LineEndsText;
    mutable bool LineEndsPending = false;

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
  virtual std::size_t FindRequired(TView text, std::size_t from) const { (void)text; return from; }

  const bool ByLine;
  const bool ShowLine;
};

// Builds a place from one hit and appends it to info's list (which notifies OnAdd).
template <class C>
void AddPlace(const typename TSearchedPattern<C>::TPlaceAddingInfo& info,
              std::basic_string_view<C> text, std::size_t position, std::size_t length,
              std::vector<std::basic_string<C>> subMatches) {
  info.FillPendingLineEnds();
  info.PlaceList->Add(std::make_shared<TPlace<C>>(info.FileName, info.LineBase, text, position,
                                                  length, std::move(subMatches), info.LineEnds));
}
