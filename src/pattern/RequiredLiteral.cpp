#include "pattern/RequiredLiteral.h"

#include <cstring>
#include <type_traits>

namespace {

template <class C>
unsigned long Code(C c) {
  return static_cast<unsigned long>(static_cast<std::make_unsigned_t<C>>(c));
}

template <class C>
bool Is(C c, char what) {
  return Code(c) == static_cast<unsigned char>(what);
}

template <class C>
bool IsAsciiAlnum(C c) {
  const unsigned long u = Code(c);
  return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9');
}

template <class C>
class TReader {
 public:
  // leading: only the run that starts every match, after nothing but assertions.
  TReader(const std::basic_string<C>& e, bool leading) : e_(e), leading_(leading) {}

  std::basic_string<C> Run() {
    // The whole expression is read in both modes: anything unreadable anywhere (an
    // alternative at the top, \K) can undo what the start says.
    while (i_ < e_.size()) {
      if (!Atom()) return {};
    }
    Flush();
    return best_;
  }

 private:
  // Reads one atom and any quantifier after it; false when the expression cannot be
  // read safely.
  bool Atom() {
    const C c = e_[i_];
    if (Is(c, '|')) return false;  // alternatives at the top: nothing is required
    if (Is(c, '*') || Is(c, '+') || Is(c, '?') || Is(c, '{') || Is(c, ')') || Is(c, ']') || Is(c, '}')) return false;
    if (Is(c, '(')) {
      if (i_ + 1 < e_.size() && Is(e_[i_ + 1], '?')) return false;  // modifiers, look-arounds
      if (!SkipGroup()) return false;
      return Breaking(false);
    }
    if (Is(c, '[')) {
      if (!SkipClass()) return false;
      return Breaking(false);
    }
    if (Is(c, '.') || Is(c, '^') || Is(c, '$')) {
      ++i_;
      return Breaking(!Is(c, '.'));
    }
    if (Is(c, '\\')) {
      if (i_ + 1 >= e_.size()) return false;
      const C x = e_[i_ + 1];
      i_ += 2;
      // Word and buffer boundaries, though not letters.
      if (Is(x, '<') || Is(x, '>') || Is(x, '`') || Is(x, '\'')) return Breaking(true);
      if (!IsAsciiAlnum(x)) return Literal(x);
      // \v is not the vertical tab but any vertical space: a class.
      static const char kControls[] = "ntrfae";
      static const char kValues[] = "\n\t\r\f\a\x1b";
      for (int k = 0; kControls[k] != 0; ++k)
        if (Is(x, kControls[k])) return Literal(static_cast<C>(static_cast<unsigned char>(kValues[k])));
      // Classes and assertions that take no argument.
      if (Code(x) < 128 && std::strchr("dDwWsShHvV", static_cast<int>(Code(x)))) return Breaking(false);
      if (Code(x) < 128 && std::strchr("bBAzZG", static_cast<int>(Code(x)))) return Breaking(true);
      return false;  // escapes with arguments or meanings not read here
    }
    ++i_;
    return Literal(c);
  }

  // A plain character: part of the run unless a quantifier makes it optional or
  // repeated.
  bool Literal(C c) {
    if (Quantified()) {
      Flush();
      consumed_ = true;
      return SkipQuantifier();
    }
    run_.push_back(c);
    return true;
  }

  // Something that is not a plain character ends the run; zeroWidth: an assertion,
  // which takes no characters of the match.
  bool Breaking(bool zeroWidth) {
    Flush();
    if (!zeroWidth || Quantified()) consumed_ = true;
    return !Quantified() || SkipQuantifier();
  }

  bool Quantified() const {
    if (i_ >= e_.size()) return false;
    const C q = e_[i_];
    return Is(q, '*') || Is(q, '+') || Is(q, '?') || Is(q, '{');
  }

  bool SkipQuantifier() {
    if (Is(e_[i_], '{')) {
      while (i_ < e_.size() && !Is(e_[i_], '}')) ++i_;
      if (i_ >= e_.size()) return false;
    }
    ++i_;
    if (i_ < e_.size() && (Is(e_[i_], '?') || Is(e_[i_], '+'))) ++i_;  // lazy, possessive
    return true;
  }

  // From "[" to its closing "]": a "]" first (after "^") is a member.
  bool SkipClass() {
    ++i_;
    if (i_ < e_.size() && Is(e_[i_], '^')) ++i_;
    if (i_ < e_.size() && Is(e_[i_], ']')) ++i_;
    while (i_ < e_.size()) {
      const C c = e_[i_];
      if (Is(c, '\\')) {
        i_ += 2;
        continue;
      }
      if (Is(c, '[') && i_ + 1 < e_.size() && (Is(e_[i_ + 1], ':') || Is(e_[i_ + 1], '=') || Is(e_[i_ + 1], '.')))
        return false;  // named classes inside: not read here
      ++i_;
      if (Is(c, ']')) return true;
    }
    return false;
  }

  // From "(" to its closing ")", over nested groups, classes and escapes.
  bool SkipGroup() {
    int depth = 0;
    while (i_ < e_.size()) {
      const C c = e_[i_];
      if (Is(c, '\\')) {
        i_ += 2;
        continue;
      }
      if (Is(c, '[')) {
        if (!SkipClass()) return false;
        continue;
      }
      ++i_;
      if (Is(c, '(')) ++depth;
      if (Is(c, ')') && --depth == 0) return true;
    }
    return false;
  }

  void Flush() {
    if (leading_) {
      if (!run_.empty() && !consumed_ && !done_) {
        best_ = run_;
        done_ = true;
      }
    } else if (run_.size() > best_.size()) {
      best_ = run_;
    }
    run_.clear();
  }

  const std::basic_string<C>& e_;
  std::size_t i_ = 0;
  const bool leading_;
  bool consumed_ = false;  // something that takes characters came before the run
  bool done_ = false;
  std::basic_string<C> run_, best_;
};

}  // namespace

std::string RequiredLiteral(const std::string& expression) { return TReader<char>(expression, false).Run(); }
std::wstring RequiredLiteral(const std::wstring& expression) { return TReader<wchar_t>(expression, false).Run(); }
std::string LeadingLiteral(const std::string& expression) { return TReader<char>(expression, true).Run(); }
std::wstring LeadingLiteral(const std::wstring& expression) { return TReader<wchar_t>(expression, true).Run(); }
