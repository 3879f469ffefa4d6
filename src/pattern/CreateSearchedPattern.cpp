#include "pattern/CreateSearchedPattern.h"

#include "pattern/Escapes.h"
#include "pattern/FoldedSearchedPattern.h"
#include "pattern/InvalidSearchedPattern.h"
#include "pattern/NormalSearchedPattern.h"
#include "pattern/RegexQuoting.h"
#include "pattern/RegexSearchedPattern.h"
#include "platform/AnsiCodePage.h"

namespace {

template <class C>
std::unique_ptr<TAbstractSearchedPattern> Create(std::basic_string<C> text, const TSearchInfo& info) {
  if (info.Mode != 2 && info.Escape) text = ExpandEscapes(text);
  std::unique_ptr<TAbstractSearchedPattern> pattern;
  if (info.Mode == 0 && info.CaseSensitive) {
    pattern = std::make_unique<TNormalSearchedPattern<C>>(std::move(text), info.ByLine, info.ShowLine);
  } else if (info.Mode == 0 && !text.empty()) {
    pattern = std::make_unique<TFoldedSearchedPattern<C>>(std::move(text), info.ByLine, info.ShowLine);
  } else {
    const std::basic_string<C> expression = info.Mode == 2   ? text
                                            : info.Mode == 1 ? MakeWordRegex(text)
                                                             : QuoteRegex(text);
    pattern = std::make_unique<TRegexSearchedPattern<C>>(expression, info.CaseSensitive, info.ByLine, info.ShowLine);
  }
  if (!pattern->IsValid()) throw EInvalidSearchedPattern();
  return pattern;
}

}  // namespace

std::unique_ptr<TAbstractSearchedPattern> CreateSearchedPattern(const TSearchInfo& info) {
  if (info.IsWide) return Create<wchar_t>(hovrak::AnsiToWide(info.Text), info);
  return Create<char>(info.Text, info);
}
