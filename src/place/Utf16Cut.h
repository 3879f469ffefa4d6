#pragma once
// Context texts are cut at a fixed count of UTF-16 units and may split a character
// outside the BMP; these drop the half that the cut left, so that no "?" stands for
// it once the text becomes UTF-8. Narrow text is left as it is.

#include <string>
#include <string_view>

// Drops a low surrogate at the front of text (the cut went through before it).
template <class C>
void DropCutHalfAtFront(std::basic_string<C>& text) {
  if constexpr (sizeof(C) > 1) {
    if (!text.empty() && text.front() >= 0xDC00 && text.front() <= 0xDFFF) text.erase(0, 1);
  }
}

// Drops a high surrogate at the back of text (the cut went through after it).
template <class C>
void DropCutHalfAtBack(std::basic_string<C>& text) {
  if constexpr (sizeof(C) > 1) {
    if (!text.empty() && text.back() >= 0xD800 && text.back() <= 0xDBFF) text.pop_back();
  }
}

// The same for views.
template <class C>
void DropCutHalfAtFront(std::basic_string_view<C>& text) {
  if constexpr (sizeof(C) > 1) {
    if (!text.empty() && text.front() >= 0xDC00 && text.front() <= 0xDFFF) text.remove_prefix(1);
  }
}

template <class C>
void DropCutHalfAtBack(std::basic_string_view<C>& text) {
  if constexpr (sizeof(C) > 1) {
    if (!text.empty() && text.back() >= 0xD800 && text.back() <= 0xDBFF) text.remove_suffix(1);
  }
}
