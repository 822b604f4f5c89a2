#pragma once
// The editor's main window for Qt tests, shown offscreen with a settings file
// and the build's language files of its own in a temporary folder; taken
// down in reverse order, the folder last.

#include <QCoreApplication>

#include <filesystem>
#include <memory>
#include <string>

#include "gui/app/main_frame.h"
#include "lang/language.h"
#include "platform/profile/settings_store.h"

namespace lumetra::test {

struct EditorSession {
  explicit EditorSession(const std::string& name)
      : folder(std::filesystem::temp_directory_path() /
               (name + "-" + std::to_string(QCoreApplication::applicationPid()))) {
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    store = std::make_unique<SettingsStore>(folder / "Tessara.ini");
    language = std::make_unique<Language>(LUMETRA_BIN_DIR, store.get());
    SetCurrentLanguage(language.get());
    frame = std::make_unique<gui::CMainFrame>(*store, *language);
    frame->show();
  }
  ~EditorSession() {
    frame.reset();
    SetCurrentLanguage(nullptr);
    language.reset();
    store.reset();
    std::filesystem::remove_all(folder);
  }
  EditorSession(const EditorSession&) = delete;
  EditorSession& operator=(const EditorSession&) = delete;

  std::filesystem::path folder;
  std::unique_ptr<SettingsStore> store;
  std::unique_ptr<Language> language;
  std::unique_ptr<gui::CMainFrame> frame;
};

}  // namespace lumetra::test
