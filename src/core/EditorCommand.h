#pragma once
// The external editor's command line: placeholders, the split into program and
// parameters, and finding the program.

#include <string>

namespace hovrak {

struct TEditorCommand {
  std::string Program;
  std::string Parameters;  // "" when there are none
};

// Every "%p" replaced by file, then every "%l" by line + 1, then every "%c" by
// column + 1 (line and column 0-based); inserted text is not searched again.
std::string ExpandEditorCommand(const std::string& command, const std::string& file, int line, int column);

// A double-quoted program or a run without blanks and quotes, blanks, then the
// parameters; a command that does not have that shape is all program.
TEditorCommand SplitEditorCommand(const std::string& command);

// The program's path: itself when it contains '/' and names an existing file, else
// the first match in the ':'-separated pathVariable (null: none); "" when not found.
std::string FindProgram(const std::string& program, const char* pathVariable);

}  // namespace hovrak
