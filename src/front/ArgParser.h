#pragma once
// Parser for the program's short switches: "-x" flags, value options ("-sWORD" or
// "-s WORD"), and plain arguments (the target paths).

#include <map>
#include <string>
#include <vector>

namespace hovrak {

class arg_parser {
 public:
  // valueOptions names the option letters that take a value; prefix starts a switch.
  arg_parser(const std::vector<std::string>& args, const std::string& valueOptions, char prefix = '-');

  bool has(char option) const { return options_.count(option) != 0; }
  // The value of the i-th occurrence of option, or "" when there is none.
  std::string value(char option, std::size_t index = 0) const;
  // How many times option occurred.
  std::size_t count(char option) const;
  const std::vector<std::string>& plain() const { return plain_; }

 private:
  std::map<char, std::vector<std::string>> options_;
  std::vector<std::string> plain_;
};

}  // namespace hovrak
