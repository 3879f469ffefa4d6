#pragma once
// Whole-text conversions between the byte encodings Mirun reads and writes and wide
// text (UTF-16 units in wchar_t). Each runs one translate engine over the whole input
// and flushes it; unmappable or malformed input becomes "?", they never fail.

#include <cstddef>
#include <string>

namespace hovrak {

// Builds the lookup structures once per process; later calls do nothing. The
// conversions below call it themselves, so callers need not.
void init_translate_tables();

std::wstring euc_to_unicode(const std::string& euc);
std::string jis_to_euc(const std::string& jis);
std::wstring utf8_to_unicode(const std::string& utf8);
std::wstring utf8_to_unicode(const char* data, std::size_t size);
std::string unicode_to_sjis_cp932(const std::wstring& text);
std::string unicode_to_euc(const std::wstring& text);
std::string euc_to_jis(const std::string& euc);
std::string unicode_to_utf8(const std::wstring& text);

// Code page 932 decoding as the platform's narrow-to-wide conversion does it: the
// input is taken up to its first NUL byte; user-defined codes F040-F9FC map to
// U+E000-U+E757; a byte pair that cannot be mapped gives "?" per byte consumed.
std::wstring cp932_to_unicode(const std::string& sjis);

// The same decoding over all of data[0, size): a zero byte does not end the input
// but gives U+0000 like any ASCII byte, as if each run between zero bytes were
// decoded on its own.
std::wstring cp932_bytes_to_unicode(const char* data, std::size_t size);

}  // namespace hovrak
