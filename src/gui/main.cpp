// lumetra: the editor.
//   exit 0  the editor was closed, --help or --version, or the running
//           editor took the files
//   exit 1  usage error, or none of the files named could be opened

#include <iostream>
#include <string_view>
#include <vector>

#include "gui/app/application.h"
#include "gui/app/command_line.h"
#include "platform/version.h"

int main(int argc, char** argv) {
  using lumetra::gui::EditorCommandLine;
  const std::vector<std::string_view> arguments(argv + 1, argv + argc);
  EditorCommandLine commandLine = lumetra::gui::ParseEditorCommandLine(arguments);
  switch (commandLine.action) {
    case EditorCommandLine::Action::kHelp:
      std::cout << lumetra::gui::EditorUsage();
      return 0;
    case EditorCommandLine::Action::kVersion:
      std::cout << "lumetra " << lumetra::kVersion << '\n';
      return 0;
    case EditorCommandLine::Action::kUsageError:
      std::cerr << "lumetra: " << commandLine.error << "\nTry 'lumetra --help' for more information.\n";
      return 1;
    case EditorCommandLine::Action::kEdit:
      break;
  }
  lumetra::gui::CTessaraApp app(argv[0], std::move(commandLine));
  if (app.HandToRunningEditor()) return 0;
  if (!app.InitInstance()) return 1;
  return app.Run();
}
