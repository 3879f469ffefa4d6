#include "pattern/CreateReplacingPattern.h"

#include "pattern/Escapes.h"
#include "pattern/NormalReplacingPattern.h"
#include "pattern/RegexReplacingPattern.h"
#include "platform/AnsiCodePage.h"

namespace {

template <class C>
std::unique_ptr<TAbstractReplacingPattern> Create(std::basic_string<C> text, const TReplaceInfo& info) {
  if (info.Mode == 2) return std::make_unique<TRegexReplacingPattern<C>>(std::move(text));
  if (info.Escape) text = ExpandEscapes(text);
  return std::make_unique<TNormalReplacingPattern<C>>(std::move(text));
}

}  // namespace

std::unique_ptr<TAbstractReplacingPattern> CreateReplacingPattern(const TReplaceInfo& info) {
  if (info.IsWide) return Create<wchar_t>(hovrak::AnsiToWide(info.Text), info);
  return Create<char>(info.Text, info);
}
