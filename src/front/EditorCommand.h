#pragma once
// The external editor's command line: placeholders, the split into program and
// parameters, and finding the program.

#include <string>

namespace hovrak {

struct TEditorCommand {
  std::string Program;
  std::string Parameters;  // "" when there are none
};

// Every "%p" replaced by file, every "%l" by line + 1 and every "%c" by column + 1
// (line and column 0-based), in one pass: inserted text is never searched again.
std::string ExpandEditorCommand(const std::string& command, const std::string& file, int line, int column);

// A double-quoted program or a run without blanks and quotes, blanks, then the
// parameters; a command that does not have that shape is all program. Blanks
// around the command are dropped first, and a command that is one quoted path
// names that path without its quotes.
TEditorCommand SplitEditorCommand(const std::string& command);

// The program's path: itself when it contains '/' and names an existing file (not a
// folder), else the first executable file of that name in the ':'-separated
// pathVariable (null: none; empty entries are skipped); "" when not found.
std::string FindProgram(const std::string& program, const char* pathVariable);

}  // namespace hovrak
