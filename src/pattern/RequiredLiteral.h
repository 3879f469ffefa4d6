#pragma once
// The longest run of plain characters that every match of a Perl-syntax expression
// must contain, so that a text (or a line) without it can be passed over without
// running the expression engine. Conservative: anything it cannot read for sure
// (alternation at the top, inline modifiers, escapes with arguments) gives no run.

#include <string>

std::string RequiredLiteral(const std::string& expression);
std::wstring RequiredLiteral(const std::wstring& expression);

// The run of plain characters every match starts with (after nothing but assertions
// such as ^ or \<), or empty: the engine then need only try where that run stands.
std::string LeadingLiteral(const std::string& expression);
std::wstring LeadingLiteral(const std::wstring& expression);
