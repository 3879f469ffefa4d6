#include "pattern/Utf8FoldedFinder.h"

#include <algorithm>
#include <cstring>

#include "pattern/FoldedFinder.h"
#include "platform/Utf8Sequence.h"
#include "text/Conversions.h"

namespace {

// The UTF-8 form of one character.
std::string Utf8Of(std::uint32_t c) {
  if (c <= 0xFFFF) return hovrak::unicode_to_utf8(std::wstring(1, static_cast<wchar_t>(c)));
  const std::uint32_t v = c - 0x10000;
  return hovrak::unicode_to_utf8({static_cast<wchar_t>(0xD800 | v >> 10), static_cast<wchar_t>(0xDC00 | (v & 0x3FF))});
}

bool IsSurrogate(std::uint32_t c) { return c >= 0xD800 && c <= 0xDFFF; }

// The character whose well-formed UTF-8 form starts at p; p moves past it.
std::uint32_t DecodeForward(const unsigned char*& p) {
  const std::uint32_t c = *p;
  if (c < 0x80) {
    p += 1;
    return c;
  }
  if (c < 0xE0) {
    const std::uint32_t r = (c & 0x1F) << 6 | (p[1] & 0x3Fu);
    p += 2;
    return r;
  }
  if (c < 0xF0) {
    const std::uint32_t r = (c & 0x0F) << 12 | (p[1] & 0x3Fu) << 6 | (p[2] & 0x3Fu);
    p += 3;
    return r;
  }
  const std::uint32_t r = (c & 0x07) << 18 | (p[1] & 0x3Fu) << 12 | (p[2] & 0x3Fu) << 6 | (p[3] & 0x3Fu);
  p += 4;
  return r;
}

}  // namespace

TUtf8FoldedFinder::TUtf8FoldedFinder(const std::wstring& needle, std::shared_ptr<const TCaseFold> fold)
    : fold_(std::move(fold)) {
  for (std::size_t i = 0; i < needle.size(); ++i) {
    const auto c = static_cast<std::uint32_t>(needle[i]);
    if (c > 0xFFFF || (c >= 0xDC00 && c <= 0xDFFF)) return;
    if (c >= 0xD800 && c <= 0xDBFF) {
      const auto low = i + 1 < needle.size() ? static_cast<std::uint32_t>(needle[i + 1]) : 0;
      if (low < 0xDC00 || low > 0xDFFF) return;
      codes_.push_back(0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00));
      ++i;
    } else {
      codes_.push_back(static_cast<std::uint32_t>(fold_->Fold(static_cast<wchar_t>(c))));
    }
  }
  if (codes_.empty()) return;
  // The rarest character with the fewest variants; its variants' UTF-8 forms are
  // what the scan looks for. Surrogate units are never variants of a character.
  int best = 0;
  for (std::size_t k = 0; k < codes_.size(); ++k) {
    std::vector<std::string> forms;
    if (codes_[k] > 0xFFFF) {
      forms.push_back(Utf8Of(codes_[k]));
    } else {
      for (const wchar_t v : fold_->Variants(static_cast<wchar_t>(codes_[k]))) {
        if (IsSurrogate(static_cast<std::uint32_t>(v))) continue;
        forms.push_back(Utf8Of(static_cast<std::uint32_t>(v)));
      }
    }
    const int cost = FoldAnchorCommonness(codes_[k] > 0xFFFF ? 0xD800 : codes_[k]) * static_cast<int>(forms.size());
    if (forms.size() <= 8 && (variants_.empty() || cost < best)) {
      best = cost;
      anchor_ = k;
      variants_ = std::move(forms);
    }
  }
  if (variants_.empty()) return;
  for (const std::string& form : variants_) ends_.push_back({form.front(), form.back(), form.size() - 1});
  usable_ = true;
}

bool TUtf8FoldedFinder::Matches(std::uint32_t textCode, std::size_t k) const {
  const std::uint32_t want = codes_[k];
  if (want > 0xFFFF || textCode > 0xFFFF) return textCode == want;
  return static_cast<std::uint32_t>(fold_->Fold(static_cast<wchar_t>(textCode))) == want;
}

std::size_t TUtf8FoldedFinder::Find(std::string_view bytes, std::size_t from, std::size_t& end) const {
  if (!usable_) return npos;
  const char* const data = bytes.data();
  const std::size_t n = bytes.size();
  const auto* const udata = reinterpret_cast<const unsigned char*>(data);
  // Each character before the anchor takes at least one byte.
  for (std::size_t i = from + anchor_; i < n;) {
    i = hovrak::FindAnyEnds(data, n, i, ends_.data(), static_cast<int>(ends_.size()));
    if (i >= n) return npos;
    const std::size_t at = i++;
    // The whole variant must stand here; the text is well-formed, so a lead byte
    // that matches starts a character.
    const std::string* variant = nullptr;
    for (const std::string& form : variants_)
      if (form.size() <= n - at && std::memcmp(data + at, form.data(), form.size()) == 0) {
        variant = &form;
        break;
      }
    if (!variant) continue;
    // Forwards from behind the anchor.
    const unsigned char* p = udata + at + variant->size();
    const unsigned char* const stop = udata + n;
    bool ok = true;
    for (std::size_t k = anchor_ + 1; k < codes_.size() && ok; ++k) {
      if (p >= stop) {
        ok = false;
        break;
      }
      ok = Matches(DecodeForward(p), k);
    }
    if (!ok) continue;
    // Backwards from the anchor.
    std::size_t start = at;
    for (std::size_t k = anchor_; k-- > 0 && ok;) {
      if (start <= from) {
        ok = false;
        break;
      }
      std::size_t s = start - 1;
      while (s > from && hovrak::IsUtf8Continuation(udata[s])) --s;
      if (hovrak::IsUtf8Continuation(udata[s])) {
        ok = false;
        break;
      }
      const unsigned char* q = udata + s;
      ok = Matches(DecodeForward(q), k);
      start = s;
    }
    if (!ok) continue;
    end = static_cast<std::size_t>(p - udata);
    return start;
  }
  return npos;
}
