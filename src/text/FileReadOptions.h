#pragma once
// What a text file load checks: the character-code round trip and the size limit.

#include <cstdint>
#include <limits>

struct TFileReadOptions {
  // Verify that the wide text encodes back to the same bytes and that a non-UTF-16
  // file holds no zero byte.
  bool checkCharCode = false;
  // Largest size in bytes that is read; the largest value means no limit.
  std::int32_t maxSize = std::numeric_limits<std::int32_t>::max();
  // Leave every CR and LF of the text as the file has it (NewLine is still found),
  // and write the text back as it stands, so that a change to some hits writes every
  // other byte back as it was. The replace run loads this way.
  bool keepLineEnds = false;
};
