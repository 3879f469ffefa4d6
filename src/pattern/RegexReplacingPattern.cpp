#include "pattern/RegexReplacingPattern.h"

#include <type_traits>

#include "place/Place.h"

namespace {

enum class TCaseState { None, Next, UntilEnd };

template <class C>
C ConvertCase(C c, bool upper) {
  if (upper && c >= C('a') && c <= C('z')) return static_cast<C>(c - C('a') + C('A'));
  if (!upper && c >= C('A') && c <= C('Z')) return static_cast<C>(c - C('A') + C('a'));
  return c;
}

// Control character for an escape letter, or 0.
template <class C>
C EscapeChar(C c) {
  switch (static_cast<std::make_unsigned_t<C>>(c)) {
    case 'n': return C('\n');
    case 't': return C('\t');
    case 'a': return C('\a');
    case 'f': return C('\f');
    case 'r': return C('\r');
    case 'v': return C('\v');
    default: return C(0);
  }
}

}  // namespace

template <class C>
std::basic_string<C> TRegexReplacingPattern<C>::GetReplacement(const TAbstractPlaceList& list, int index) const {
  const auto* place = dynamic_cast<const TPlace<C>*>(list.Item(index));
  return Expand(place ? place->SubMatches() : std::vector<std::basic_string<C>>());
}

template <class C>
std::basic_string<C> TRegexReplacingPattern<C>::Expand(const std::vector<std::basic_string<C>>& subMatches) const {
  std::basic_string<C> out;
  out.reserve(template_.size());
  TCaseState state = TCaseState::None;
  bool upper = false;
  const std::size_t n = template_.size();

  auto append = [&](const C* piece, std::size_t length) {
    if (state == TCaseState::None) {
      out.append(piece, length);
    } else if (state == TCaseState::Next) {
      if (length == 0) return;
      out.push_back(ConvertCase(piece[0], upper));
      out.append(piece + 1, length - 1);
      state = TCaseState::None;
    } else {
      for (std::size_t k = 0; k < length; ++k) out.push_back(ConvertCase(piece[k], upper));
    }
  };

  for (std::size_t i = 0; i < n; ++i) {
    C c = template_[i];
    if (c != C('\\')) {
      append(&c, 1);
      continue;
    }
    if (++i == n) break;  // a trailing backslash gives nothing
    c = template_[i];
    if (c >= C('0') && c <= C('9')) {
      const auto d = static_cast<std::size_t>(c - C('0'));
      if (d < subMatches.size()) append(subMatches[d].data(), subMatches[d].size());
      else append(nullptr, 0);
      continue;
    }
    switch (static_cast<std::make_unsigned_t<C>>(c)) {
      case 'E': state = TCaseState::None; continue;
      case 'L':
        state = TCaseState::UntilEnd;
        upper = false;
        continue;
      case 'U':
        state = TCaseState::UntilEnd;
        upper = true;
        continue;
      case 'l':
        state = TCaseState::Next;
        upper = false;
        continue;
      case 'u':
        state = TCaseState::Next;
        upper = true;
        continue;
      default: break;
    }
    if (const C control = EscapeChar(c)) c = control;
    append(&c, 1);
  }
  return out;
}

template class TRegexReplacingPattern<char>;
template class TRegexReplacingPattern<wchar_t>;
