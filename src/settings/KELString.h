#pragma once
// The text of one settings value, made from a typed field and read back into one.
// Each kind has one fixed text form: bools 1/0, integers in decimal, text
// unchanged, time stamps "YYYY-MM-DD HH:MM:SS[.ffffff]", durations
// "HH:MM:SS[.ffffff]", enumerations by their stream names. Reading never throws: a
// text that does not parse as the kind leaves the field unchanged.

#include <cstdint>
#include <locale>
#include <sstream>
#include <string>
#include <type_traits>

#include <boost/date_time/posix_time/posix_time_types.hpp>

#include "settings/KELNode.h"

namespace hovrak {

class TKELString {
 public:
  TKELString() = default;
  explicit TKELString(const std::string& text) : text_(text) {}
  explicit TKELString(const char* text) : text_(text) {}
  explicit TKELString(bool value);
  explicit TKELString(std::int32_t value);
  explicit TKELString(std::uint32_t value);
  explicit TKELString(const boost::posix_time::ptime& value);
  explicit TKELString(const boost::posix_time::time_duration& value);
  // Any other type: its formatted stream output in the classic locale. Types that
  // convert to a text, time stamp or duration (boost's hours, minutes ...) take
  // those forms instead.
  template <class T, class = std::enable_if_t<!std::is_convertible_v<const T&, std::string> &&
                                              !std::is_convertible_v<const T&, boost::posix_time::ptime> &&
                                              !std::is_convertible_v<const T&, boost::posix_time::time_duration>>>
  explicit TKELString(const T& value) {
    std::ostringstream os;
    os.imbue(std::locale::classic());
    os << value;
    text_ = os.str();
  }

  const std::string& Text() const { return text_; }
  std::string& Text() { return text_; }
  operator const std::string&() const { return text_; }

  // Each Get sets the value and returns true when the text reads as its kind;
  // otherwise it returns false and leaves the value alone.
  bool Get(std::string& value) const;
  // A whole number: 1 is true, 0 is false, anything else is refused.
  bool Get(bool& value) const;
  // Leading white space, optional sign, decimal digits; text after them ignored;
  // out of range (a negative number for the unsigned kind included) is refused.
  bool Get(std::int32_t& value) const;
  bool Get(std::uint32_t& value) const;
  // A date word and a time word; an impossible date or time is refused.
  bool Get(boost::posix_time::ptime& value) const;
  bool Get(boost::posix_time::time_duration& value) const;
  // Any other type: its formatted stream input in the classic locale.
  template <class T>
  bool Get(T& value) const {
    std::istringstream is(text_);
    is.imbue(std::locale::classic());
    T read = value;
    if (!(is >> read)) return false;
    value = read;
    return true;
  }

 private:
  std::string text_;
};

// Adds the value's text under the name.
template <class T>
void WriteValue(TKELNode& node, const std::string& name, const T& value) {
  node.AddValue(name, TKELString(value).Text());
}

// Takes the first value of that name and reads it into value. False when the key
// is missing or its text does not parse; value is then unchanged.
template <class T>
bool ReadValue(TKELNode& node, const std::string& name, T& value) {
  TKELString text;
  return node.GetValue(name, text.Text()) && text.Get(value);
}

// A path as a value text: the path itself, or, when it holds a byte the format
// cannot carry (a line feed, a carriage return, Ctrl-Z or any other control
// character) or begins with a double quote, the path between double quotes with its
// control characters and backslashes escaped (EscapeControls). Paths older versions
// wrote never begin with a double quote, so both forms read back as they were.
std::string PathValueText(const std::string& path);
// The path a value text stands for: the quoted form unescaped, any other text as it
// is. False for a quoted form that does not unescape (path untouched then).
bool ParsePathValue(const std::string& text, std::string& path);
void WritePathValue(TKELNode& node, const std::string& name, const std::string& path);
bool ReadPathValue(TKELNode& node, const std::string& name, std::string& path);

}  // namespace hovrak
