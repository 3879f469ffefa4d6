#include "front/ArgParser.h"

namespace hovrak {

arg_parser::arg_parser(const std::vector<std::string>& args, const std::string& valueOptions, char prefix) {
  char pending = 0;
  for (const std::string& arg : args) {
    if (!arg.empty() && arg[0] == prefix) {
      for (std::size_t i = 1; i < arg.size(); ++i) {
        const char c = arg[i];
        std::vector<std::string>& values = options_[c];
        values.emplace_back();
        if (valueOptions.find(c) != std::string::npos) {
          if (i + 1 < arg.size()) values.back() = arg.substr(i + 1);
          else pending = c;
          break;
        }
      }
    } else if (pending) {
      options_[pending].back() = arg;
      pending = 0;
    } else {
      plain_.push_back(arg);
    }
  }
}

std::string arg_parser::value(char option, std::size_t index) const {
  const auto it = options_.find(option);
  if (it == options_.end() || index >= it->second.size()) return std::string();
  return it->second[index];
}

std::size_t arg_parser::count(char option) const {
  const auto it = options_.find(option);
  return it == options_.end() ? 0 : it->second.size();
}

}  // namespace hovrak
