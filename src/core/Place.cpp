#include "core/Place.h"

#include <algorithm>
#include <utility>

#include "core/Utf16Cut.h"
#include "platform/AnsiCodePage.h"

namespace {

std::string ToAnsi(const std::string& s) { return s; }
std::string ToAnsi(const std::wstring& s) { return hovrak::WideToAnsi(s); }

}  // namespace

template <class C>
TPlace<C>::TPlace(const std::string& fileName, unsigned lineBase, std::basic_string_view<C> text,
                  std::size_t position, std::size_t length, std::vector<TString> subMatches,
                  const std::vector<int>& lineEnds) {
  this->FileName = fileName;
  this->Checked = true;
  // Line feeds strictly before the hit; a hit that starts at a line feed belongs to
  // the line that line feed ends.
  const auto k = static_cast<std::size_t>(
      std::lower_bound(lineEnds.begin(), lineEnds.end(), static_cast<long long>(position),
                       [](int end, long long p) { return end < p; }) -
      lineEnds.begin());
  const std::size_t lineStart = k == 0 ? 0 : static_cast<std::size_t>(lineEnds[k - 1]) + 1;
  this->Line = static_cast<std::int32_t>(lineBase + k);
  this->Column = static_cast<std::int32_t>(position - lineStart);
  this->Length = static_cast<std::int32_t>(length);
  this->Text.assign(text.data() + position, length);
  const std::size_t prevStart = position > ContextLength ? position - ContextLength : 0;
  this->PrevText.assign(text.data() + prevStart, position - prevStart);
  const std::size_t after = position + length;
  const std::size_t nextCount = std::min(text.size() - after, ContextLength);
  this->NextText.assign(text.data() + after, nextCount);
  this->SubMatches = std::move(subMatches);
}

template <class C>
TPlace<C>::TPlace(const std::string& fileName, std::int32_t line, std::int32_t column, TString text,
                  TString prevText, TString nextText) {
  this->FileName = fileName;
  this->Checked = true;
  this->Line = line;
  this->Column = column;
  this->Length = static_cast<std::int32_t>(text.size());
  this->Text = std::move(text);
  this->PrevText = std::move(prevText);
  this->NextText = std::move(nextText);
}

template <class C>
std::string TPlace<C>::GetText() const {
  return ToAnsi(this->Text);
}

// The context may begin or end with half of a pair that the 100-unit cut split;
// the narrow texts leave that half out.
template <class C>
std::string TPlace<C>::GetPrevText() const {
  TString text = this->PrevText;
  DropCutHalfAtFront(text);
  return ToAnsi(text);
}

template <class C>
std::string TPlace<C>::GetNextText() const {
  TString text = this->NextText;
  DropCutHalfAtBack(text);
  return ToAnsi(text);
}

template class TPlace<char>;
template class TPlace<wchar_t>;
