#pragma once
// The per-user settings store: one profile file in the user's configuration
// folder, read once and rewritten atomically on every change.

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "platform/files.h"
#include "platform/profile/profile_file.h"

namespace lumetra {

class SettingsStore {
 public:
  // Section of the program's own values.
  static constexpr std::string_view kSection = "Norvik Soft";

  // $XDG_CONFIG_HOME (or ~/.config) / "Local AppWizard-Generated Applications" / "Tessara.ini".
  static std::filesystem::path DefaultPath();

  explicit SettingsStore(std::filesystem::path path);

  const std::filesystem::path& Path() const { return path_; }

  int GetProfileInt(std::string_view section, std::string_view key, int fallback) const;
  std::string GetProfileString(std::string_view section, std::string_view key, std::string_view fallback) const;

  // When the file cannot be written the stored file stays unchanged, and
  // without a failure handler they throw FileError and forget the new value.
  // With one, the store keeps the value for the rest of the session and hands
  // the error to the handler: a program that must go on (the editor) warns
  // instead of failing in the middle of whatever wanted to remember something.
  void WriteProfileInt(std::string_view section, std::string_view key, int value);
  void WriteProfileString(std::string_view section, std::string_view key, std::string_view value);
  void SetWriteFailureHandler(std::function<void(const FileError&)> handler) { onWriteFailure_ = std::move(handler); }

 private:
  void Save() const;

  std::filesystem::path path_;
  ProfileFile profile_;
  std::function<void(const FileError&)> onWriteFailure_;
};

}  // namespace lumetra
