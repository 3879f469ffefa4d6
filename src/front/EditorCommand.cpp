#include "front/EditorCommand.h"

#include <sys/stat.h>
#include <unistd.h>

#include <stdexcept>

#include "pattern/BasicRegManager.h"

namespace hovrak {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }

bool IsExecutableFile(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

}  // namespace

std::string ExpandEditorCommand(const std::string& command, const std::string& file, int line, int column) {
  // One pass over the command: a file name that itself holds "%l" or "%c", or that
  // ends in "%" before an "l" of the command, must reach the editor unchanged.
  const std::string lineText = std::to_string(static_cast<long long>(line) + 1);
  const std::string columnText = std::to_string(static_cast<long long>(column) + 1);
  std::string result;
  result.reserve(command.size() + file.size());
  for (std::size_t i = 0; i < command.size(); ++i) {
    if (command[i] == '%' && i + 1 < command.size()) {
      const char key = command[i + 1];
      const std::string* value = key == 'p' ? &file : key == 'l' ? &lineText : key == 'c' ? &columnText : nullptr;
      if (value) {
        result += *value;
        ++i;
        continue;
      }
    }
    result += command[i];
  }
  return result;
}

TEditorCommand SplitEditorCommand(const std::string& command) {
  // Blanks around the whole command (easily typed into the option dialog) would
  // otherwise become part of the program's name.
  std::size_t first = 0;
  std::size_t last = command.size();
  while (first < last && IsBlank(command[first])) ++first;
  while (last > first && IsBlank(command[last - 1])) --last;
  const std::string trimmed = command.substr(first, last - first);

  reg_manager re;
  try {
    if (re.match_whole(trimmed, "(\"(.*?)\"|([^\\s\"]+))\\s+(.*)"))
      return TEditorCommand{re.str(0, 2) + re.str(0, 3), re.str(0, 4)};
  } catch (const std::runtime_error&) {
    // A command too complex for the matcher is taken as all program, like any
    // other command without the shape.
  }
  // A lone quoted program (a path with blanks) names the program without its quotes.
  if (trimmed.size() >= 2 && trimmed.front() == '"' && trimmed.back() == '"' &&
      trimmed.find('"', 1) == trimmed.size() - 1)
    return TEditorCommand{trimmed.substr(1, trimmed.size() - 2), std::string()};
  return TEditorCommand{trimmed, std::string()};
}

std::string FindProgram(const std::string& program, const char* pathVariable) {
  if (program.empty()) return std::string();
  if (program.find('/') != std::string::npos) {
    struct stat st {};
    return ::stat(program.c_str(), &st) == 0 && !S_ISDIR(st.st_mode) ? program : std::string();
  }
  if (!pathVariable) return std::string();
  const std::string path = pathVariable;
  std::size_t from = 0;
  for (;;) {
    const std::size_t colon = path.find(':', from);
    const std::string folder = path.substr(from, colon == std::string::npos ? std::string::npos : colon - from);
    // An empty entry would mean the current folder, which is not searched: a file
    // that happens to lie there must not be started as the editor.
    if (!folder.empty()) {
      const std::string candidate = folder.back() == '/' ? folder + program : folder + "/" + program;
      if (IsExecutableFile(candidate)) return candidate;
    }
    if (colon == std::string::npos) return std::string();
    from = colon + 1;
  }
}

}  // namespace hovrak
