#pragma once
// The text forms of path and filter lists as typed into the target and filter boxes
// and on the command line: splitting into lists and joining a list back into text.

#include <string>

#include "shared/StringVector.h"

namespace hovrak {

// Cuts text into tokens from its start: each token, after optional white space, is
// either a quoted run "..." with at least one character inside, where "" stands for
// one quote, or a run of characters that are neither white space nor quotes. Stops at
// the first place where no token follows (an unterminated quote, an empty pair of
// quotes, trailing white space) and returns the tokens found up to there.
TStringVector SplitQuotedTokens(const std::string& text);

// Target box: no paths for an empty text; the whole text as one path, spaces
// included, when it does not begin with a quote; else the tokens.
TStringVector SplitTargetText(const std::string& text);

// Each path in quotes, joined by one space. A quote inside a path is doubled, so
// that SplitTargetText gives the same paths back.
std::string JoinTargetText(const TStringVector& paths);

// The target box's text for paths handed in from the command line: a single path
// as it stands when the box reads it back as that one path (it is not empty and does
// not begin with a quote), so that it matches the same path typed before in the
// history; otherwise JoinTargetText.
std::string TargetBoxText(const TStringVector& paths);

// Filter box: always the tokens ("*.txt *.htm" gives two); "*" when there are none.
// Tokens that start with "!" (what to leave out) are kept as they are; TFileFilter
// reads them.
TStringVector SplitFilterText(const std::string& text);

}  // namespace hovrak
