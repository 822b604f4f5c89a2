#include "gui/app/command_line.h"

namespace lumetra::gui {

EditorCommandLine ParseEditorCommandLine(std::span<const std::string_view> arguments) {
  EditorCommandLine line;
  bool optionsEnded = false;
  for (std::string_view argument : arguments) {
    if (optionsEnded || !argument.starts_with('-')) {
      line.files.emplace_back(argument);
    } else if (argument == "--") {
      optionsEnded = true;
    } else if (argument == "--new-instance") {
      line.newInstance = true;
    } else if (argument == "-h" || argument == "--help" || argument == "--version") {
      // The first of them wins; the rest of the line is not looked at.
      line.action = argument == "--version" ? EditorCommandLine::Action::kVersion : EditorCommandLine::Action::kHelp;
      return line;
    } else {
      line.action = EditorCommandLine::Action::kUsageError;
      line.error = "unknown option '" + std::string(argument) + "'";
      return line;
    }
  }
  return line;
}

std::string EditorUsage() {
  return "Usage: lumetra [--new-instance] [--] [FILE.tz]...\n"
         "Draw pictures and animations for LED panel signs and send them to the panels.\n"
         "\n"
         "Each FILE opens in the editor already running on this display, which comes to\n"
         "the front; without one, a new editor starts with them. Without FILE, a new\n"
         "document (or the running editor comes to the front).\n"
         "\n"
         "  --new-instance  start an editor of its own: it neither hands its files to\n"
         "                  the running editor nor takes files from later ones\n"
         "  -h, --help      print this help and exit\n"
         "  --version       print the version and exit\n"
         "  --              end of options: every argument after it is a file name\n";
}

}  // namespace lumetra::gui
