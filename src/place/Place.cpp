#include "place/Place.h"

#include <algorithm>
#include <utility>

#include "place/Utf16Cut.h"
#include "platform/AnsiCodePage.h"
#include "text/Utf8Context.h"

namespace {

std::string ToAnsi(std::string_view s) { return std::string(s); }
std::string ToAnsi(std::wstring_view s) { return hovrak::WideToAnsi(s.data(), s.size()); }
// Well-formed UTF-8 as the system code page shows its units: the same bytes, up to a
// NUL, where the wide conversion stops.
std::string ShownUtf8(std::string_view bytes) { return std::string(bytes.substr(0, bytes.find('\0'))); }

// The UTF-8 bytes of a shared text are only ever kept for wide places.
std::wstring FromBytes(const TSharedPlaceText<wchar_t>& shared, std::size_t from, std::size_t to) {
  return hovrak::DecodeUtf8Units(std::string_view(shared.Bytes).substr(from, to - from), shared.Kind);
}
std::string FromBytes(const TSharedPlaceText<char>&, std::size_t, std::size_t) { return {}; }
std::wstring BytesBefore(const TSharedPlaceText<wchar_t>& shared, std::size_t low, std::size_t at, std::size_t units) {
  return hovrak::Utf8ContextBefore(shared.Bytes, low, at, shared.Kind, units);
}
std::string BytesBefore(const TSharedPlaceText<char>&, std::size_t, std::size_t, std::size_t) { return {}; }
std::wstring BytesAfter(const TSharedPlaceText<wchar_t>& shared, std::size_t from, std::size_t high,
                        std::size_t units) {
  return hovrak::Utf8ContextAfter(shared.Bytes, from, high, shared.Kind, units);
}
std::string BytesAfter(const TSharedPlaceText<char>&, std::size_t, std::size_t, std::size_t) { return {}; }

}  // namespace

template <class C>
void TPlace<C>::LineAndColumn(unsigned lineBase, std::size_t position, const std::vector<int>& lineEnds,
                              std::int32_t& line, std::int32_t& column) {
  // Line feeds strictly before the hit; a hit that starts at a line feed belongs to
  // the line that line feed ends.
  const auto k =
      static_cast<std::size_t>(std::lower_bound(lineEnds.begin(), lineEnds.end(), static_cast<long long>(position),
                                                [](int end, long long p) { return end < p; }) -
                               lineEnds.begin());
  const std::size_t lineStart = k == 0 ? 0 : static_cast<std::size_t>(lineEnds[k - 1]) + 1;
  line = static_cast<std::int32_t>(lineBase + k);
  column = static_cast<std::int32_t>(position - lineStart);
}

template <class C>
TPlace<C>::TPlace(const std::string& fileName, unsigned lineBase, std::basic_string_view<C> text, std::size_t position,
                  std::size_t length, std::vector<TString> subMatches, const std::vector<int>& lineEnds) {
  this->SetFileName(fileName);
  LineAndColumn(lineBase, position, lineEnds, this->Line, this->Column);
  this->Length = static_cast<std::int32_t>(length);
  const std::size_t prevStart = position > ContextLength ? position - ContextLength : 0;
  const std::size_t after = position + length;
  const std::size_t nextCount = std::min(text.size() - after, ContextLength);
  Copy(text.substr(prevStart, position - prevStart), text.substr(position, length), text.substr(after, nextCount));
  if (!subMatches.empty()) subMatches_ = std::make_unique<std::vector<TString>>(std::move(subMatches));
}

template <class C>
TPlace<C>::TPlace(const TPlace& other)
    : TPlaceBase<C>(other),
      prevLength_(other.prevLength_),
      nextLength_(other.nextLength_),
      flags_(other.flags_),
      at_(other.at_),
      end_(other.end_),
      low_(other.low_),
      high_(other.high_) {
  if (other.copy_) {
    const std::size_t n = prevLength_ + static_cast<std::size_t>(this->Length) + nextLength_;
    copy_ = std::make_unique<C[]>(n);
    std::copy(other.copy_.get(), other.copy_.get() + n, copy_.get());
  }
  if (other.subMatches_) subMatches_ = std::make_unique<std::vector<TString>>(*other.subMatches_);
  // A copy may be kept: texts borrowed from a search that is ending are copied.
  if (other.SharesText() && other.Shared().Borrowed) {
    this->file_ = std::make_shared<const TPlaceFile>(other.FileName());
    flags_ &= static_cast<std::uint8_t>(~kShared);
    Copy(other.PrevText(), other.Text(), other.NextText());
  }
}

template <class C>
void TPlace<C>::Copy(std::basic_string_view<C> prevText, std::basic_string_view<C> text,
                     std::basic_string_view<C> nextText) {
  this->Length = static_cast<std::int32_t>(text.size());
  prevLength_ = static_cast<std::uint8_t>(prevText.size());
  nextLength_ = static_cast<std::uint8_t>(nextText.size());
  const std::size_t n = prevText.size() + text.size() + nextText.size();
  if (n == 0) return;
  copy_ = std::unique_ptr<C[]>(new C[n]);
  C* out = std::copy(prevText.begin(), prevText.end(), copy_.get());
  out = std::copy(text.begin(), text.end(), out);
  std::copy(nextText.begin(), nextText.end(), out);
}

template <class C>
TPlace<C>::TPlace(const std::string& fileName, std::int32_t line, std::int32_t column, TString text, TString prevText,
                  TString nextText)
    : TPlace(std::make_shared<const TPlaceFile>(fileName), line, column, std::basic_string_view<C>(text),
             std::basic_string_view<C>(prevText), std::basic_string_view<C>(nextText), {}, false) {}

template <class C>
TPlace<C>::TPlace(std::shared_ptr<const TPlaceFile> file, std::int32_t line, std::int32_t column,
                  std::basic_string_view<C> text, std::basic_string_view<C> prevText,
                  std::basic_string_view<C> nextText, std::vector<TString> subMatches, bool hitIsSubMatch) {
  this->file_ = std::move(file);
  this->Line = line;
  this->Column = column;
  Copy(prevText, text, nextText);
  if (!subMatches.empty()) subMatches_ = std::make_unique<std::vector<TString>>(std::move(subMatches));
  if (hitIsSubMatch) flags_ |= kHitIsSubMatch;
}

template <class C>
TPlace<C>::TPlace(std::shared_ptr<const TSharedPlaceText<C>> shared, std::int32_t line, std::int32_t column,
                  std::int32_t length, std::size_t at, std::size_t end, std::size_t low, std::size_t high,
                  std::vector<TString> subMatches, bool hitIsSubMatch) {
  this->file_ = std::move(shared);
  this->Line = line;
  this->Column = column;
  this->Length = length;
  at_ = static_cast<std::uint32_t>(at);
  end_ = static_cast<std::uint32_t>(end);
  low_ = static_cast<std::uint32_t>(low);
  high_ = static_cast<std::uint32_t>(high);
  flags_ = kShared;
  if (!subMatches.empty()) subMatches_ = std::make_unique<std::vector<TString>>(std::move(subMatches));
  if (hitIsSubMatch) flags_ |= kHitIsSubMatch;
}

template <class C>
typename TPlace<C>::TString TPlace<C>::Text() const {
  if (!(flags_ & kShared)) return CopiedPart(prevLength_, static_cast<std::size_t>(this->Length));
  const TSharedPlaceText<C>& shared = Shared();
  if (shared.Utf8) return FromBytes(shared, at_, end_);
  return TString(shared.Text.substr(at_, end_ - at_));
}

// The context never reaches past the searched text: the line, in a search by line.
template <class C>
std::basic_string_view<C> TPlace<C>::PrevView() const {
  if (!(flags_ & kShared)) return {copy_.get(), prevLength_};
  const std::size_t from = at_ - low_ > ContextLength ? at_ - ContextLength : low_;
  return Shared().Text.substr(from, at_ - from);
}

template <class C>
std::basic_string_view<C> TPlace<C>::NextView() const {
  if (!(flags_ & kShared)) return {copy_.get() + prevLength_ + static_cast<std::size_t>(this->Length), nextLength_};
  return Shared().Text.substr(end_, std::min<std::size_t>(high_ - end_, ContextLength));
}

template <class C>
typename TPlace<C>::TString TPlace<C>::PrevText() const {
  if (SharesUtf8()) return BytesBefore(Shared(), low_, at_, ContextLength);
  return TString(PrevView());
}

template <class C>
typename TPlace<C>::TString TPlace<C>::NextText() const {
  if (SharesUtf8()) return BytesAfter(Shared(), end_, high_, ContextLength);
  return TString(NextView());
}

template <class C>
std::vector<typename TPlace<C>::TString> TPlace<C>::SubMatches() const {
  if (flags_ & kHitIsSubMatch) return {Text()};
  if (subMatches_) return *subMatches_;
  return {};
}

template <class C>
std::string TPlace<C>::GetText() const {
  if (SharesUtf8()) return ShownUtf8(hovrak::Utf8WithLineEnds(Shared().Bytes.substr(at_, end_ - at_), Shared().Kind));
  return ToAnsi(Text());
}

// The context may begin or end with half of a pair that the 100-unit cut split;
// the narrow texts leave that half out.
template <class C>
std::string TPlace<C>::GetPrevText() const {
  TString text = PrevText();
  DropCutHalfAtFront(text);
  return ToAnsi(text);
}

template <class C>
std::string TPlace<C>::GetNextText() const {
  TString text = NextText();
  DropCutHalfAtBack(text);
  return ToAnsi(text);
}

// Printed for every place of a search, so cut from the held text without copies;
// text kept as UTF-8 bytes is shown as it stands.
template <class C>
std::string TPlace<C>::GetPrevLineText() const {
  if (SharesUtf8()) return ShownUtf8(hovrak::Utf8LineBefore(Shared().Bytes, low_, at_, Shared().Kind, ContextLength));
  std::basic_string_view<C> text = PrevView();
  const std::size_t lastBreak = text.rfind(static_cast<C>('\n'));
  if (lastBreak != std::basic_string_view<C>::npos) text.remove_prefix(lastBreak + 1);
  DropCutHalfAtFront(text);
  return ToAnsi(text);
}

template <class C>
std::string TPlace<C>::GetNextLineText() const {
  if (SharesUtf8()) return ShownUtf8(hovrak::Utf8LineAfter(Shared().Bytes, end_, high_, Shared().Kind, ContextLength));
  std::basic_string_view<C> text = NextView();
  text = text.substr(0, text.find(static_cast<C>('\n')));
  DropCutHalfAtBack(text);
  return ToAnsi(text);
}

template class TPlace<char>;
template class TPlace<wchar_t>;
