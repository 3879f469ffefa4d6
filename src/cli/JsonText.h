#pragma once
// Pieces of JSON as mirun-cli's --json writes them, in the form tools that read
// ripgrep's JSON lines expect: strings escaped, and data that is not UTF-8 given as
// {"bytes": BASE64} instead of {"text": ...}.

#include <string>
#include <string_view>

namespace hovrak {

// A JSON string of UTF-8 text, quotes included. Control characters, DEL and the C1
// controls are escaped as \uXXXX (or \n, \t, ...), so the line can never steer a
// terminal it is shown on.
void AppendJsonString(std::string& out, std::string_view text);

// {"text":"..."} when data is well-formed UTF-8, else {"bytes":"BASE64"}.
void AppendJsonData(std::string& out, std::string_view data);

// Standard base64 with padding.
std::string Base64(std::string_view data);

}  // namespace hovrak
