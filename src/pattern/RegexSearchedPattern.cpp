#include "pattern/RegexSearchedPattern.h"

#include "pattern/RequiredLiteral.h"
#include "pattern/Utf8PlainSearch.h"

#include <type_traits>

template <class C>
boost::regex_constants::syntax_option_type TRegexSearchedPattern<C>::Flags(bool caseSensitive) {
  using namespace boost::regex_constants;
  return static_cast<syntax_option_type>(caseSensitive ? normal : normal | icase);
}

template <class C>
TRegexSearchedPattern<C>::TRegexSearchedPattern(const TString& expression, bool caseSensitive, bool byLine,
                                                bool showLine)
    : TSearchedPattern<C>(byLine, showLine), caseSensitive_(caseSensitive) {
  // An empty expression would match at every position; it is refused like a syntax
  // error, so an empty search string never runs.
  if (expression.empty()) return;
  try {
    regex_.assign(expression, Flags(caseSensitive));
    valid_ = true;
  } catch (const boost::regex_error&) {
    valid_ = false;
  }
  if (!valid_) return;
  required_ = RequiredLiteral(expression);
  if (required_.empty()) return;
  if (caseSensitive) exact_ = std::make_unique<TSubstringFinder<C>>(required_);
  else folded_ = std::make_unique<TFoldedFinder<C>>(required_, TCaseFold::OfGlobalLocale());
  const TString lead = LeadingLiteral(expression);
  if (lead.empty()) return;
  if (caseSensitive) leadExact_ = std::make_unique<TSubstringFinder<C>>(lead);
  else leadFolded_ = std::make_unique<TFoldedFinder<C>>(lead, TCaseFold::OfGlobalLocale());
}

template <class C>
std::unique_ptr<TUtf8PlainSearch> TRegexSearchedPattern<C>::MakeByteSearch() const {
  if constexpr (std::is_same_v<C, wchar_t>) {
    if (!required_.empty()) return TUtf8PlainSearch::Make(required_, !caseSensitive_, true);
  }
  return nullptr;
}

template <class C>
std::size_t TRegexSearchedPattern<C>::FindRequired(TView text, std::size_t from) const {
  if (exact_) return exact_->Find(text, from);
  if (folded_) return folded_->Find(text, from);
  return from;
}

template <class C>
bool TRegexSearchedPattern<C>::FindPlaces(TView text, const TPlaceAddingInfo& info) const {
  const C* const first = text.data();
  const C* const last = first + text.size();
  bool found = false;
  if (leadExact_ || leadFolded_) {
    // Every match starts where the leading run stands, so the engine tries only there,
    // anchored, seeing the text before as the whole-text search would: the same
    // matches in the same order.
    constexpr std::size_t npos = TView::npos;
    boost::match_results<const C*> m;
    std::size_t from = 0;
    while (true) {
      const std::size_t p = leadExact_ ? leadExact_->Find(text, from) : leadFolded_->Find(text, from);
      if (p == npos) break;
      const auto flags = boost::match_continuous | (p > 0 ? boost::match_prev_avail : boost::match_default);
      if (!boost::regex_search(first + p, last, m, regex_, flags, first)) {
        from = p + 1;
        continue;
      }
      std::vector<TString> subs;
      subs.reserve(m.size());
      for (std::size_t i = 0; i < m.size(); ++i) {
        if (m[i].matched) subs.emplace_back(m[i].first, m[i].second);
        else subs.emplace_back();
      }
      const auto length = static_cast<std::size_t>(m[0].second - m[0].first);
      AddPlace<C>(info, text, p, length, std::move(subs));
      found = true;
      from = p + (length > 0 ? length : 1);
    }
    return found;
  }
  // Matching errors (for example a pattern that exceeds the matcher's complexity
  // limit) pass to the caller as std::runtime_error.
  boost::regex_grep(
      [&](const boost::match_results<const C*>& m) {
        std::vector<TString> subs;
        subs.reserve(m.size());
        for (std::size_t i = 0; i < m.size(); ++i) {
          if (m[i].matched) subs.emplace_back(m[i].first, m[i].second);
          else subs.emplace_back();
        }
        const auto position = static_cast<std::size_t>(m[0].first - first);
        const auto length = static_cast<std::size_t>(m[0].second - m[0].first);
        AddPlace<C>(info, text, position, length, std::move(subs));
        found = true;
        return true;
      },
      first, last, regex_);
  return found;
}

template class TRegexSearchedPattern<char>;
template class TRegexSearchedPattern<wchar_t>;
