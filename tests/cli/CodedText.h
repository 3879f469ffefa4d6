#pragma once
// Text in a character code and back, for tests that write files in every code.

#include <string>

#include "platform/AnsiCodePage.h"
#include "text/File.h"

inline std::string Encode(const std::string& utf8, TCharCode code) {
  std::string bytes;
  TFile<wchar_t>::Encode(hovrak::AnsiToWide(utf8), code, bytes);
  return bytes;
}

// The UTF-8 text of a file's bytes read in code (zero units kept).
inline std::string Decode(const std::string& bytes, TCharCode code) {
  std::wstring text;
  TFile<wchar_t>::Decode(bytes, code, text);
  std::string utf8;
  TFile<wchar_t>::Encode(text, TCharCode::UTF8N, utf8);
  return utf8;
}
