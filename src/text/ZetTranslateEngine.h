#pragma once
// Base of the character-code conversion engines: a small state machine fed with
// input in untranslated_buffer (or handed the caller's input by translate_range),
// converting whole characters into translated_buffer.

#include <cstddef>
#include <string>

namespace hovrak {

template <class InString, class OutString>
class zet_translate_engine {
 public:
  typedef typename InString::value_type in_unit;
  typedef typename OutString::value_type out_unit;

  // Largest number of output units one block holds, and the room kept free for
  // the longest output of a single step (a replacement token or an escape
  // sequence plus a character).
  static constexpr std::size_t block_size = 1000;
  static constexpr std::size_t block_margin = 24;

  InString untranslated_buffer;  // input not yet converted
  OutString translated_buffer;   // everything produced so far
  int status = 0;                // engine-specific state (the JIS engines' set)

  zet_translate_engine() = default;
  virtual ~zet_translate_engine() = default;

  // Converts the longest prefix of untranslated_buffer made of complete
  // characters and removes it; an incomplete character at the end stays.
  virtual void translate() {
    untranslated_buffer.erase(0, translate_range(untranslated_buffer.data(), untranslated_buffer.size()));
  }

  // The same conversion over input held by the caller, which saves copying it into
  // untranslated_buffer: converts the longest prefix of data[0, size) made of
  // complete characters, appends the result to translated_buffer and returns the
  // number of units consumed. untranslated_buffer is not used, so it should be
  // empty; the unconsumed rest belongs in it before more input or flush().
  virtual std::size_t translate_range(const in_unit* data, std::size_t size) = 0;

  // Ends the input: the engine's own closing, then one replacement token per unit
  // still left unconverted.
  virtual void flush() {
    translated_buffer.append(untranslated_buffer.size(), static_cast<out_unit>('?'));
    untranslated_buffer.clear();
  }

  // Empties both buffers and resets the state.
  virtual void clear() {
    untranslated_buffer.clear();
    translated_buffer.clear();
    status = 0;
  }

 protected:
  // Runs step over data[0, size) in output blocks. step(p, end, out) reads
  // the input at p (never at or past end), writes at most block_margin units at
  // out and returns the number of input units it consumed, with *produced set to
  // the units written; returning 0 stops (incomplete input at the end). Each block
  // is built in a local buffer and appended to translated_buffer once. Returns the
  // number of input units consumed.
  template <class Step>
  std::size_t run_blocks(const in_unit* const data, std::size_t size, Step step) {
    const in_unit* const end = data + size;
    const in_unit* p = data;
    out_unit block[block_size];
    bool stopped = false;
    while (p < end && !stopped) {
      std::size_t used = 0;
      while (p < end && used + block_margin <= block_size) {
        std::size_t produced = 0;
        const std::size_t consumed = step(p, end, block + used, &produced);
        if (consumed == 0) {
          stopped = true;
          break;
        }
        p += consumed;
        used += produced;
      }
      translated_buffer.append(block, used);
    }
    return static_cast<std::size_t>(p - data);
  }
};

}  // namespace hovrak
