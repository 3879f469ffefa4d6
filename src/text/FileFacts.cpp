#include "text/FileFacts.h"

const char* TFileFacts::CodeName() const {
  const char* name = CharCodeComboText(Code);
  return name ? name : CharCodeComboText(TCharCode::SJIS);
}

const char* TFileFacts::LineEndName() const { return LineEndStyleText(LineEnds); }

TFileFacts TFileFacts::OfBytes(std::string_view bytes, TCharCode code) {
  TFileFacts facts;
  facts.Code = code;
  facts.LineEnds = LineEndStyleOfBytes(bytes, code);
  return facts;
}
