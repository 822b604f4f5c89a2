#pragma once
// The editor's command line. Every argument is the editor's own: Qt's options
// (-platform, -style, ...) are not taken, Qt reads its environment variables
// instead, so nothing that looks like an option is ever opened as a file.

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace lumetra::gui {

struct EditorCommandLine {
  enum class Action { kEdit, kHelp, kVersion, kUsageError };
  Action action = Action::kEdit;
  bool newInstance = false;
  std::vector<std::string> files;
  std::string error;  // with kUsageError: what was wrong, e.g. "unknown option '-x'"
};

// `arguments` without the program's name. "--" ends the options: what follows
// are file names, even those that begin with '-'.
EditorCommandLine ParseEditorCommandLine(std::span<const std::string_view> arguments);

// What --help prints.
std::string EditorUsage();

}  // namespace lumetra::gui
