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
  // A direct scan with the results of the global replacements of
  // ((\G|[^\\])(\\\\)*)(\\n) and then of the same for \t: a maximal run of backslashes
  // followed by n or t converts its last backslash and the letter when the run is odd.
  // Not done with the regular-expression helper: its backtracking over a long run of
  // backslashes (a pasted text, say) runs out of stack and throws.
  std::string out;
  out.reserve(text.size());
  const std::size_t n = text.size();
  std::size_t i = 0;
  while (i < n) {
    if (text[i] != '\\') {
      out.push_back(text[i++]);
      continue;
    }
    std::size_t run = 0;
    while (i + run < n && text[i + run] == '\\') ++run;
    const std::size_t after = i + run;
    const bool odd = run % 2 == 1;
    if (odd && after < n && (text[after] == 'n' || text[after] == 't')) {
      out.append(run - 1, '\\');
      out += text[after] == 'n' ? "\r\n" : "\t";
      i = after + 1;
    } else {
      out.append(run, '\\');
      i = after;
    }
  }
  return out;
}
