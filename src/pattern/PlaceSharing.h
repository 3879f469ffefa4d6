#pragma once
// Decides, place by place, how the places of one searched file hold their texts: each
// its own copies while they are few; once their copies would take more than the file's
// text itself, that text is kept once and the places that follow cut their texts from
// it. Places handed on and dropped at once (a list that keeps none) borrow the text
// from the start. The places that copy share the file's name.

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "place/Place.h"
#include "place/SharedPlaceText.h"
#include "text/NewLineKind.h"

// What a copied text costs besides its units: the block it is held in.
constexpr std::size_t kCopyOverhead = 16;

template <class C>
class TPlaceSharing {
 public:
  // The text the places may share: the decoded text, or well-formed UTF-8 bytes that
  // decode to it with kind's line ends. Unset (or empty): every place copies.
  void SetText(std::basic_string_view<C> text) { text_ = text; }
  void SetBytes(std::string_view bytes, TNewLineKind kind) {
    bytes_ = bytes;
    kind_ = kind;
    utf8_ = true;
  }

  // Whether the next place, whose copies would hold units units, cuts its texts from
  // the shared text (Shared()); keepPlaces: whether the list keeps its places.
  bool ShareNext(const std::string& fileName, bool keepPlaces, std::size_t units) {
    if (shared_) return true;
    const std::size_t size = utf8_ ? bytes_.size() : text_.size();
    if (size == 0 || !TPlace<C>::CanShare(size)) return false;
    if (!keepPlaces) {
      shared_ = utf8_ ? std::make_shared<const TSharedPlaceText<C>>(fileName, bytes_, kind_, TBorrowed{})
                      : std::make_shared<const TSharedPlaceText<C>>(fileName, text_, TBorrowed{});
      return true;
    }
    copied_ += units * sizeof(C) + kCopyOverhead;
    if (copied_ <= (utf8_ ? size : size * sizeof(C))) return false;
    shared_ = utf8_ ? std::make_shared<const TSharedPlaceText<C>>(fileName, std::string(bytes_), kind_)
                    : std::make_shared<const TSharedPlaceText<C>>(fileName, std::basic_string<C>(text_));
    return true;
  }

  // The shared text, once ShareNext said so.
  const std::shared_ptr<const TSharedPlaceText<C>>& Shared() const { return shared_; }
  // The file's name for the places that copy their texts, made on first use.
  const std::shared_ptr<const TPlaceFile>& File(const std::string& fileName) {
    if (!file_) file_ = std::make_shared<const TPlaceFile>(fileName);
    return file_;
  }

 private:
  using TBorrowed = typename TSharedPlaceText<C>::TBorrowed;

  std::basic_string_view<C> text_;
  std::string_view bytes_;
  TNewLineKind kind_ = TNewLineKind::Lf;
  bool utf8_ = false;
  std::shared_ptr<const TPlaceFile> file_;
  std::shared_ptr<const TSharedPlaceText<C>> shared_;
  std::size_t copied_ = 0;  // bytes held by the copies so far
};
