#include "pattern/RegexQuoting.h"

#include <cstring>
#include <type_traits>

namespace {

template <class C>
unsigned long Code(C c) {
  return static_cast<unsigned long>(static_cast<std::make_unsigned_t<C>>(c));
}

template <class C>
void AppendQuoted(std::basic_string<C>& out, C c) {
  const unsigned long code = Code(c);
  if (code < 256) {
    // The engine reads \v as any vertical space (line feed, form feed, CR and more),
    // so the vertical tab itself is written by its code.
    static constexpr char kControls[] = "\n\t\a\f\r";
    static constexpr char kLetters[] = "ntafr";
    if (code == '\v') {
      for (const char c : {'\\', 'x', '{', 'b', '}'}) out.push_back(static_cast<C>(c));
      return;
    }
    if (code != 0) {
      if (const char* hit = std::strchr(kControls, static_cast<int>(code))) {
        out.push_back(C('\\'));
        out.push_back(static_cast<C>(kLetters[hit - kControls]));
        return;
      }
      if (std::strchr(".*?+(){}[]^$|\\", static_cast<int>(code))) out.push_back(C('\\'));
    }
  }
  out.push_back(c);
}

template <class C>
std::basic_string<C> QuoteImpl(const std::basic_string<C>& text) {
  std::basic_string<C> out;
  out.reserve(text.size() * 2);
  for (C c : text) AppendQuoted(out, c);
  return out;
}

template <class C>
bool IsWordChar(C c) {
  const unsigned long u = Code(c);
  return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || u == '_';
}

template <class C>
bool IsBlank(C c) {
  const unsigned long u = Code(c);
  return u == ' ' || u == '\t' || u == '\n' || u == '\v' || u == '\f' || u == '\r';
}

template <class C>
std::basic_string<C> WordImpl(const std::basic_string<C>& text) {
  static constexpr C kSpaces[] = {C('\\'), C('s'), C('*')};
  static constexpr C kStart[] = {C('\\'), C('<')};
  static constexpr C kEnd[] = {C('\\'), C('>')};
  std::basic_string<C> out;
  const std::size_t n = text.size();
  std::size_t i = 0;
  bool first = true;
  while (true) {
    while (i < n && IsBlank(text[i])) ++i;
    if (i == n) break;
    if (!first) out.append(kSpaces, 3);
    first = false;
    if (IsWordChar(text[i])) {
      out.append(kStart, 2);
      while (i < n && IsWordChar(text[i])) AppendQuoted(out, text[i++]);
      out.append(kEnd, 2);
    } else {
      AppendQuoted(out, text[i++]);
    }
  }
  return out;
}

}  // namespace

std::string QuoteRegex(const std::string& text) { return QuoteImpl(text); }
std::wstring QuoteRegex(const std::wstring& text) { return QuoteImpl(text); }
std::string MakeWordRegex(const std::string& text) { return WordImpl(text); }
std::wstring MakeWordRegex(const std::wstring& text) { return WordImpl(text); }
