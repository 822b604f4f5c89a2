#pragma once
// CTessaraApp: the editor's start-up. It finds the program's folder, opens the
// settings store and the language files, creates the main window and opens
// what the command line names.

#include <QApplication>

#include <memory>

#include "lang/language.h"
#include "platform/profile/settings_store.h"

namespace lumetra::gui {

class CMainFrame;

class CTessaraApp {
 public:
  CTessaraApp(int& argc, char** argv);
  ~CTessaraApp();

  // False ends the program: a file named on the command line could not be opened.
  bool InitInstance();
  int Run();

  CMainFrame* MainFrame() const { return frame_.get(); }

 private:
  QApplication application_;
  SettingsStore store_;
  Language language_;
  std::unique_ptr<class MessageBoxSink> messages_;
  std::unique_ptr<CMainFrame> frame_;
};

}  // namespace lumetra::gui
