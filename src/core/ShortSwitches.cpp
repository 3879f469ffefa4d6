#include "core/ShortSwitches.h"

#include "settings/Option.h"

TShortSwitches TShortSwitches::Read(const hovrak::arg_parser& parser, std::string*) {
  TShortSwitches s;
  s.Targets = parser.plain();
  return s;
}

void TShortSwitches::ApplyTo(TOption&) const {}
