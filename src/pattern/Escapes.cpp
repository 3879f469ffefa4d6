#include "pattern/Escapes.h"

#include <type_traits>

#include "pattern/BasicRegManager.h"

namespace {

constexpr char kEscapeLetters[] = "ntafrv";
constexpr char kEscapeChars[] = {'\n', '\t', '\a', '\f', '\r', '\v'};

template <class C>
std::basic_string<C> ExpandEscapesImpl(const std::basic_string<C>& text) {
  std::basic_string<C> out;
  out.reserve(text.size());
  const std::size_t n = text.size();
  for (std::size_t i = 0; i < n; ++i) {
    const C c = text[i];
    if (c != C('\\') || i + 1 == n) {
      out.push_back(c);
      continue;
    }
    const C next = text[++i];
    C result = next;
    const auto code = static_cast<unsigned long>(static_cast<std::make_unsigned_t<C>>(next));
    if (code < 256) {
      for (int k = 0; k < 6; ++k) {
        if (code == static_cast<unsigned char>(kEscapeLetters[k])) {
          result = static_cast<C>(kEscapeChars[k]);
          break;
        }
      }
    }
    out.push_back(result);
  }
  return out;
}

}  // namespace

std::string ExpandEscapes(const std::string& text) { return ExpandEscapesImpl(text); }
std::wstring ExpandEscapes(const std::wstring& text) { return ExpandEscapesImpl(text); }

std::string EscapeLineBreaks(const std::string& text) {
  hovrak::reg_manager re;
  return re.replace(re.replace(text, "\r\n", "\\\\n", "g"), "\t", "\\\\t", "g");
}

std::string UnescapeLineBreaks(const std::string& text) {
  // A \n or \t after an even number of further backslashes: group 1 (the character
  // before them and the pairs of backslashes) is written back in front of the line
  // break or tab. \G continues where the previous match ended, so sequences in a
  // row are all found.
  hovrak::reg_manager re;
  const std::string lines = re.replace(text, "((\\G|[^\\\\])(\\\\\\\\)*)(\\\\n)", "\\1\r\n", "g");
  return re.replace(lines, "((\\G|[^\\\\])(\\\\\\\\)*)(\\\\t)", "\\1\t", "g");
}
