#pragma once
// CTessaraApp: the editor's start-up. It finds the program's folder, opens the
// settings store and the language files, hands the command line's files to
// the editor already running in the session when there is one, else creates
// the main window, opens them and takes the files of editors started later.

#include <QApplication>

#include <memory>

#include "gui/app/command_line.h"
#include "lang/language.h"
#include "platform/profile/settings_store.h"

namespace lumetra::gui {

class CMainFrame;
class InstanceLink;

class CTessaraApp {
 public:
  // Qt sees only the program's name: the command line is the editor's own.
  CTessaraApp(char* programName, EditorCommandLine commandLine);
  ~CTessaraApp();

  // True when the editor already running in this session took the command
  // line's files (unless --new-instance); this one then ends.
  bool HandToRunningEditor();
  // False ends the program: files were named and none of them could be opened.
  bool InitInstance();
  int Run();

  CMainFrame* MainFrame() const { return frame_.get(); }

 private:
  int qtArgc_ = 1;
  char* qtArgv_[2];
  QApplication application_;
  EditorCommandLine commandLine_;
  SettingsStore store_;
  Language language_;
  std::unique_ptr<class MessageBoxSink> messages_;
  std::unique_ptr<InstanceLink> link_;
  std::unique_ptr<CMainFrame> frame_;
};

}  // namespace lumetra::gui
