#include "core/EditorCommand.h"

namespace hovrak {

std::string ExpandEditorCommand(const std::string& command, const std::string&, int, int) { return command; }

TEditorCommand SplitEditorCommand(const std::string& command) { return TEditorCommand{command, std::string()}; }

std::string FindProgram(const std::string& program, const char*) { return program; }

}  // namespace hovrak
