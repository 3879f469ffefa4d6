#pragma once
// The program's own short switches (targets, -s, -f, -m, -r/-R, l/L i/I e/E c/C b/B,
// -K, -n) read from hovrak::arg_parser, and their effect on the options. Both front
// ends use it: the window ignores unknown values, mirun-cli refuses them.

#include <optional>
#include <string>

#include "front/ArgParser.h"
#include "settings/SearchMode.h"
#include "shared/StringVector.h"
#include "text/CharCode.h"

class TOption;

struct TShortSwitches {
  // The letters that take a value, for hovrak::arg_parser.
  static constexpr char ValueOptions[] = "fmsK";

  TStringVector Targets;
  std::optional<std::string> SearchText;  // first value of -s
  std::optional<std::string> Filters;     // first value of -f
  std::optional<bool> SubDir;             // -r ticks, then -R unticks
  std::optional<TSearchMode> Mode;        // -m n / w / r
  std::optional<bool> ByLine;             // each pair lower case first, upper case wins
  std::optional<bool> CaseSensitive;
  std::optional<bool> Escape;
  std::optional<bool> CheckCharCode;
  std::optional<bool> Backup;
  std::optional<TCharCode> CharCode;  // -K a s w n e j u un
  bool StartSearch = false;           // -n

  // Reads the switches. A value of -m or -K that names nothing leaves that field
  // unset and, when error is given and still empty, describes it there.
  static TShortSwitches Read(const hovrak::arg_parser& parser, std::string* error = nullptr);

  // Sets the options that were given (SubDir and Mode included), leaving the others.
  void ApplyTo(TOption& option) const;
};
