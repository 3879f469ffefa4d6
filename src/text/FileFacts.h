#pragma once
// What a run found one file to be: the character code Mirun reads it in and the line
// ends it holds, with the names a front end shows for them; and the callback through
// which a run tells of each file it has read.

#include <string>
#include <string_view>

#include <boost/function.hpp>

#include "text/CharCode.h"
#include "text/LineEndStyle.h"

struct TFileFacts {
  // The code the file is read in (never Auto or Unknown: those are read as
  // Shift-JIS); ASCII when a run takes the bytes as they are.
  TCharCode Code = TCharCode::SJIS;
  TLineEndStyle LineEnds = TLineEndStyle::None;

  // The code as the character-code boxes name it: "Shift-JIS", "UTF-8 BOM", ...
  const char* CodeName() const;
  // "LF", "CR LF", "CR", "mixed" or "none".
  const char* LineEndName() const;

  // The facts of a file's raw bytes read in code.
  static TFileFacts OfBytes(std::string_view bytes, TCharCode code);
};

// (path, code, bytes): a run has read path and reads it in code (as TFileFacts::Code);
// bytes are the file's raw bytes, valid during the call only. The places of the
// file, if any, follow.
using TFileReadEvent = boost::function<void(const std::string& path, TCharCode code, std::string_view bytes)>;
