#include "front/ShortSwitches.h"

#include "settings/Option.h"

namespace {

void Describe(std::string* error, const std::string& message) {
  if (error && error->empty()) *error = message;
}

}  // namespace

TShortSwitches TShortSwitches::Read(const hovrak::arg_parser& parser, std::string* error) {
  TShortSwitches s;
  s.Targets = parser.plain();
  if (parser.has('s')) s.SearchText = parser.value('s');
  if (parser.has('f')) s.Filters = parser.value('f');
  if (parser.has('r')) s.SubDir = true;
  if (parser.has('R')) s.SubDir = false;
  if (parser.has('m')) {
    const std::string m = parser.value('m');
    if (m == "n") s.Mode = TSearchMode::Normal;
    else if (m == "w") s.Mode = TSearchMode::Word;
    else if (m == "r") s.Mode = TSearchMode::Regex;
    else Describe(error, "switch '-m' takes n, w or r, not '" + m + "'");
  }
  // Each pair: the lower-case letter first, so the upper-case one wins.
  const auto pair = [&parser](char on, char off, std::optional<bool>& target, bool onValue) {
    if (parser.has(on)) target = onValue;
    if (parser.has(off)) target = !onValue;
  };
  pair('l', 'L', s.ByLine, true);
  pair('i', 'I', s.CaseSensitive, false);
  pair('e', 'E', s.Escape, true);
  pair('c', 'C', s.CheckCharCode, true);
  pair('b', 'B', s.Backup, true);
  if (parser.has('K')) {
    static const struct {
      const char* Letter;
      TCharCode Code;
    } kCodes[] = {{"a", TCharCode::Auto}, {"s", TCharCode::SJIS}, {"w", TCharCode::UTF16}, {"n", TCharCode::ASCII},
                  {"e", TCharCode::EUC},  {"j", TCharCode::JIS},  {"u", TCharCode::UTF8},  {"un", TCharCode::UTF8N}};
    const std::string k = parser.value('K');
    for (const auto& code : kCodes) {
      if (k == code.Letter) s.CharCode = code.Code;
    }
    if (!s.CharCode) Describe(error, "switch '-K' takes a, s, w, n, e, j, u or un, not '" + k + "'");
  }
  s.StartSearch = parser.has('n');
  return s;
}

void TShortSwitches::ApplyTo(TOption& option) const {
  if (Mode) option.Mode = *Mode;
  if (SubDir) option.SubDir = *SubDir;
  if (ByLine) option.ByLine = *ByLine;
  if (CaseSensitive) option.CaseSensitive = *CaseSensitive;
  if (Escape) option.Escape = *Escape;
  if (CheckCharCode) option.CheckCharCode = *CheckCharCode;
  if (Backup) option.Backup = *Backup;
  if (CharCode) option.CharCode = *CharCode;
}
