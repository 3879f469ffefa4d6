#include "front/PathListText.h"

namespace hovrak {
namespace {

// White space as the regular-expression class \s sees it for narrow text under a
// UTF-8 locale: the ASCII blanks only.
bool IsBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// Reads a quoted token starting at the quote at text[start]. On success sets end to
// the position after the closing quote and returns true with the unquoted text.
bool ReadQuoted(const std::string& text, std::size_t start, std::string& token, std::size_t& end) {
  const std::size_t n = text.size();
  std::size_t i = start + 1;
  std::size_t lastPair = std::string::npos;  // where the last "" began
  while (i < n) {
    if (text[i] != '"') {
      ++i;
    } else if (i + 1 < n && text[i + 1] == '"') {
      lastPair = i;
      i += 2;
    } else {
      break;
    }
  }
  std::size_t close = i;
  if (close == n) {
    // No single quote ends the run: the first quote of the last "" pair closes it,
    // provided something stands before that pair.
    if (lastPair == std::string::npos || lastPair == start + 1) return false;
    close = lastPair;
  }
  if (close == start + 1) return false;  // "" alone is not a token
  token.clear();
  for (std::size_t k = start + 1; k < close; ++k) {
    token += text[k];
    if (text[k] == '"') ++k;  // "" inside stands for one quote
  }
  end = close + 1;
  return true;
}

}  // namespace

TStringVector SplitQuotedTokens(const std::string& text) {
  TStringVector tokens;
  std::size_t pos = 0;
  const std::size_t n = text.size();
  for (;;) {
    std::size_t i = pos;
    while (i < n && IsBlank(text[i])) ++i;
    if (i == n) break;
    if (text[i] == '"') {
      std::string token;
      std::size_t end;
      if (!ReadQuoted(text, i, token, end)) break;
      tokens.push_back(token);
      pos = end;
    } else {
      std::size_t end = i;
      while (end < n && !IsBlank(text[end]) && text[end] != '"') ++end;
      tokens.push_back(text.substr(i, end - i));
      pos = end;
    }
  }
  return tokens;
}

TStringVector SplitTargetText(const std::string& text) {
  if (text.empty()) return {};
  if (text[0] != '"') return {text};
  return SplitQuotedTokens(text);
}

std::string JoinTargetText(const TStringVector& paths) {
  std::string text;
  for (const std::string& path : paths) {
    if (!text.empty()) text += ' ';
    text += '"';
    for (char c : path) {
      if (c == '"') text += '"';
      text += c;
    }
    text += '"';
  }
  return text;
}

std::string TargetBoxText(const TStringVector& paths) {
  if (paths.size() == 1 && !paths.front().empty() && paths.front()[0] != '"') return paths.front();
  return JoinTargetText(paths);
}

TStringVector SplitFilterText(const std::string& text) {
  TStringVector filters = SplitQuotedTokens(text);
  if (filters.empty()) filters.push_back("*");
  return filters;
}

}  // namespace hovrak
