#pragma once
// A small regular-expression helper on narrow strings over Boost.Regex: finds the
// first or every match of an expression, gives access to the matches and their
// groups, and replaces matches with a format of its own. Expressions use the Perl
// syntax; option letters: "g" every match, "i" ignore case.
//
// The format: \0 to \9 insert the whole match and the groups (one digit only; a
// group that does not exist inserts nothing), \U and \L change the case of what
// follows until \E, \u and \l the next character inserted, \n and \t give a line
// feed and a tab, a backslash before any other character gives that character, and
// a backslash at the very end gives nothing.

#include <cstddef>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <boost/regex.hpp>

namespace hovrak {

// How basic_reg_manager reads a format: the escape letters and the case changes.
struct def_regex_replace_traits {
  // The character that a backslash before letter gives, when letter is an escape
  // letter (n: line feed, t: tab).
  static bool escape(char letter, char& result) {
    if (letter == 'n') result = '\n';
    else if (letter == 't') result = '\t';
    else return false;
    return true;
  }
  // Case changes touch only the ASCII letters; other bytes (UTF-8 included) pass.
  static char to_upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }
  static char to_lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
};

template <class Traits = def_regex_replace_traits>
class basic_reg_manager {
 public:
  static constexpr std::size_t npos = std::string::npos;

  // Looks for the first match of expression in text, or with "g" for every match
  // (left to right, not overlapping). True when at least one was found. An
  // expression that does not compile throws boost::regex_error; an unknown option
  // letter throws std::invalid_argument; a match too complex for the library (deep
  // backtracking over a long text) throws std::runtime_error.
  bool match(const std::string& text, const std::string& expression, const std::string& options = std::string());
  // True when the whole text matches the expression (one match, "g" has no use).
  bool match_whole(const std::string& text, const std::string& expression, const std::string& options = std::string());

  // The matches of the last match or match_whole call.
  std::size_t size() const { return matches_.size(); }
  // Groups of a match, the whole match (group 0) included; 0 for no such match.
  std::size_t groups(std::size_t match = 0) const { return match < matches_.size() ? matches_[match].size() : 0; }
  // Whether the group took part in the match.
  bool matched(std::size_t match = 0, std::size_t group = 0) const { return span(match, group).first != npos; }
  // The group's text; "" when it did not take part or does not exist.
  std::string str(std::size_t match = 0, std::size_t group = 0) const;
  // Where the group starts in the text, npos when it did not take part.
  std::size_t position(std::size_t match = 0, std::size_t group = 0) const { return span(match, group).first; }
  std::size_t length(std::size_t match = 0, std::size_t group = 0) const;

  // The text with the first match (every match with "g") replaced by the expanded
  // format; the text unchanged when nothing matches. Errors as for match.
  std::string replace(const std::string& text, const std::string& expression, const std::string& format,
                      const std::string& options = std::string());

 private:
  using TSpan = std::pair<std::size_t, std::size_t>;  // position and length; npos when unmatched

  struct TOptions {
    bool global = false;
    bool icase = false;
  };

  static TOptions ParseOptions(const std::string& options);
  const boost::regex& Compile(const std::string& expression, bool icase);
  void Keep(const boost::smatch& m, const std::string& text);
  TSpan span(std::size_t match, std::size_t group) const;
  static std::string Expand(const boost::smatch& m, const std::string& format);

  std::string text_;
  std::vector<std::vector<TSpan>> matches_;
  // The last compiled expression, reused while the same one is asked for.
  std::optional<boost::regex> regex_;
  std::string expression_;
  bool icase_ = false;
};

using reg_manager = basic_reg_manager<>;

}  // namespace hovrak

#include "pattern/BasicRegManagerImpl.h"
