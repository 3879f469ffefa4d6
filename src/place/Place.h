#pragma once
// A hit built from the searched text: its line, column and length, and its texts
// (the hit, up to 100 units of context on each side, the submatches). The texts are
// either copied into the place or cut, when asked for, from the searched text of
// its file that the file's places share.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "place/PlaceBase.h"
#include "place/SharedPlaceText.h"

template <class C>
class TPlace : public TPlaceBase<C> {
 public:
  using TString = std::basic_string<C>;

  // text: the searched text (a whole file or one line); lineEnds: offsets of every
  // line feed in text, ascending (empty when no line numbers are wanted).
  TPlace(const std::string& fileName, unsigned lineBase, std::basic_string_view<C> text, std::size_t position,
         std::size_t length, std::vector<TString> subMatches, const std::vector<int>& lineEnds);
  // A place whose line, column and texts are already known; a plain hit, so no
  // submatches.
  TPlace(const std::string& fileName, std::int32_t line, std::int32_t column, TString text, TString prevText,
         TString nextText);
  // The same with the file's shared name and the submatches; hitIsSubMatch: the
  // only submatch is the hit itself (not held twice).
  TPlace(std::shared_ptr<const TPlaceFile> file, std::int32_t line, std::int32_t column, std::basic_string_view<C> text,
         std::basic_string_view<C> prevText, std::basic_string_view<C> nextText, std::vector<TString> subMatches,
         bool hitIsSubMatch);
  // A place whose texts are cut from shared when asked for: the hit is [at, end) and
  // the searched text (the line, in a search by line) [low, high), in units of
  // shared's text or bytes of its UTF-8 bytes. length: the hit's units.
  TPlace(std::shared_ptr<const TSharedPlaceText<C>> shared, std::int32_t line, std::int32_t column, std::int32_t length,
         std::size_t at, std::size_t end, std::size_t low, std::size_t high, std::vector<TString> subMatches,
         bool hitIsSubMatch);

  // A copy of a place whose texts are borrowed (see TSharedPlaceText) holds copies.
  TPlace(const TPlace& other);
  TPlace& operator=(const TPlace&) = delete;

  TString Text() const override;
  TString PrevText() const override;
  TString NextText() const override;
  std::vector<TString> SubMatches() const override;

  // Whether the texts are cut from the file's shared text rather than copied.
  bool SharesText() const { return (flags_ & kShared) != 0; }

  std::string GetText() const override;
  std::string GetPrevText() const override;
  std::string GetNextText() const override;
  std::string GetPrevLineText() const override;
  std::string GetNextLineText() const override;

  // Line (lineBase plus the line feeds before position) and column of a hit at
  // position in a text with the given line feeds.
  static void LineAndColumn(unsigned lineBase, std::size_t position, const std::vector<int>& lineEnds,
                            std::int32_t& line, std::int32_t& column);

  // Whether a text of size units (or bytes) can be shared: its offsets fit the place.
  static bool CanShare(std::size_t size) { return size < UINT32_MAX; }

  static constexpr std::size_t ContextLength = 100;

 private:
  enum : std::uint8_t { kShared = 1, kHitIsSubMatch = 2 };

  const TSharedPlaceText<C>& Shared() const { return static_cast<const TSharedPlaceText<C>&>(*this->file_); }
  bool SharesUtf8() const { return (flags_ & kShared) && Shared().Utf8; }
  // The context texts where they are held as units (not for SharesUtf8).
  std::basic_string_view<C> PrevView() const;
  std::basic_string_view<C> NextView() const;
  void Copy(std::basic_string_view<C> prevText, std::basic_string_view<C> text, std::basic_string_view<C> nextText);
  TString CopiedPart(std::size_t from, std::size_t count) const {
    return count == 0 ? TString() : TString(copy_.get() + from, count);
  }

  // Kept small: a search may keep millions of places. The three bytes first fill
  // the room the base leaves at its end.
  std::uint8_t prevLength_ = 0;  // copied: units before the hit
  std::uint8_t nextLength_ = 0;  // copied: units after the hit
  std::uint8_t flags_ = 0;
  std::unique_ptr<C[]> copy_;                         // copied texts: before, hit, after, one after another
  std::unique_ptr<std::vector<TString>> subMatches_;  // null when kHitIsSubMatch or a plain hit
  std::uint32_t at_ = 0, end_ = 0;                    // shared: the hit
  std::uint32_t low_ = 0, high_ = 0;                  // shared: the searched text
};

extern template class TPlace<char>;
extern template class TPlace<wchar_t>;
