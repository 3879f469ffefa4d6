#pragma once
// The member functions of basic_reg_manager (included by BasicRegManager.h).

#include <stdexcept>

namespace hovrak {

template <class Traits>
typename basic_reg_manager<Traits>::TOptions basic_reg_manager<Traits>::ParseOptions(const std::string& options) {
  TOptions result;
  for (const char c : options) {
    if (c == 'g') result.global = true;
    else if (c == 'i') result.icase = true;
    else throw std::invalid_argument(std::string("unknown regular-expression option '") + c + "'");
  }
  return result;
}

template <class Traits>
const boost::regex& basic_reg_manager<Traits>::Compile(const std::string& expression, bool icase) {
  if (!regex_ || expression_ != expression || icase_ != icase) {
    regex_.reset();
    boost::regex::flag_type flags = boost::regex::perl;
    if (icase) flags |= boost::regex::icase;
    regex_.emplace(expression, flags);
    expression_ = expression;
    icase_ = icase;
  }
  return *regex_;
}

template <class Traits>
void basic_reg_manager<Traits>::Keep(const boost::smatch& m, const std::string& text) {
  std::vector<TSpan> spans;
  spans.reserve(m.size());
  for (std::size_t g = 0; g < m.size(); ++g) {
    if (m[g].matched) {
      spans.emplace_back(static_cast<std::size_t>(m[g].first - text.begin()), static_cast<std::size_t>(m[g].length()));
    } else {
      spans.emplace_back(npos, 0);
    }
  }
  matches_.push_back(std::move(spans));
}

template <class Traits>
bool basic_reg_manager<Traits>::match(const std::string& text, const std::string& expression,
                                      const std::string& options) {
  const TOptions parsed = ParseOptions(options);
  const boost::regex& re = Compile(expression, parsed.icase);
  text_ = text;
  matches_.clear();
  for (boost::sregex_iterator it(text_.begin(), text_.end(), re), end; it != end; ++it) {
    Keep(*it, text_);
    if (!parsed.global) break;
  }
  return !matches_.empty();
}

template <class Traits>
bool basic_reg_manager<Traits>::match_whole(const std::string& text, const std::string& expression,
                                            const std::string& options) {
  const TOptions parsed = ParseOptions(options);
  const boost::regex& re = Compile(expression, parsed.icase);
  text_ = text;
  matches_.clear();
  boost::smatch m;
  if (boost::regex_match(text_, m, re)) Keep(m, text_);
  return !matches_.empty();
}

template <class Traits>
typename basic_reg_manager<Traits>::TSpan basic_reg_manager<Traits>::span(std::size_t match, std::size_t group) const {
  if (match >= matches_.size() || group >= matches_[match].size()) return TSpan(npos, 0);
  return matches_[match][group];
}

template <class Traits>
std::string basic_reg_manager<Traits>::str(std::size_t match, std::size_t group) const {
  const TSpan s = span(match, group);
  return s.first == npos ? std::string() : text_.substr(s.first, s.second);
}

template <class Traits>
std::size_t basic_reg_manager<Traits>::length(std::size_t match, std::size_t group) const {
  return span(match, group).second;
}

template <class Traits>
std::string basic_reg_manager<Traits>::Expand(const boost::smatch& m, const std::string& format) {
  enum class TCase { None, Next, UntilEnd };
  TCase state = TCase::None;
  bool upper = false;
  std::string result;
  const auto convert = [&upper](char c) { return upper ? Traits::to_upper(c) : Traits::to_lower(c); };
  const auto append = [&](const std::string& piece) {
    if (piece.empty()) return;
    if (state == TCase::None) {
      result += piece;
    } else if (state == TCase::Next) {
      result += convert(piece[0]);
      result.append(piece, 1, std::string::npos);
      state = TCase::None;
    } else {
      for (const char c : piece) result += convert(c);
    }
  };
  const std::size_t n = format.size();
  for (std::size_t i = 0; i < n; ++i) {
    const char c = format[i];
    if (c != '\\') {
      append(std::string(1, c));
      continue;
    }
    if (i + 1 == n) break;  // a backslash at the very end gives nothing
    const char next = format[++i];
    char escaped = 0;
    if (next >= '0' && next <= '9') {
      const std::size_t group = static_cast<std::size_t>(next - '0');
      if (group < m.size() && m[group].matched) append(m[group].str());
    } else if (next == 'E') {
      state = TCase::None;
    } else if (next == 'L' || next == 'U') {
      state = TCase::UntilEnd;
      upper = next == 'U';
    } else if (next == 'l' || next == 'u') {
      state = TCase::Next;
      upper = next == 'u';
    } else if (Traits::escape(next, escaped)) {
      append(std::string(1, escaped));
    } else {
      append(std::string(1, next));
    }
  }
  return result;
}

template <class Traits>
std::string basic_reg_manager<Traits>::replace(const std::string& text, const std::string& expression,
                                               const std::string& format, const std::string& options) {
  const TOptions parsed = ParseOptions(options);
  const boost::regex& re = Compile(expression, parsed.icase);
  std::string result;
  result.reserve(text.size());
  auto copied = text.begin();
  for (boost::sregex_iterator it(text.begin(), text.end(), re), end; it != end; ++it) {
    const boost::smatch& m = *it;
    result.append(copied, m[0].first);
    result += Expand(m, format);
    copied = m[0].second;
    if (!parsed.global) break;
  }
  result.append(copied, text.end());
  return result;
}

}  // namespace hovrak
