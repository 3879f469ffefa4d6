#pragma once
// Automatic detection of a file's character code from its raw bytes.

#include <cstddef>
#include <string>

#include "text/CharCode.h"

// Names one of SJIS, UTF16, ASCII, EUC, JIS, UTF8, UTF8N or Unknown for the bytes.
// Never fails; the caller reads ASCII and Unknown as Shift-JIS.
TCharCode DetectCharCode(const char* data, std::size_t size);
TCharCode DetectCharCode(const std::string& bytes);
