#include "platform/profile/settings_store.h"

#include <cstdlib>

#include "platform/files.h"

namespace lumetra {

std::filesystem::path SettingsStore::DefaultPath() {
  std::filesystem::path base;
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg != nullptr && *xdg == '/') {
    base = xdg;
  } else if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') {
    base = std::filesystem::path(home) / ".config";
  } else {
    base = std::filesystem::temp_directory_path();
  }
  return base / "Local AppWizard-Generated Applications" / "Tessara.ini";
}

SettingsStore::SettingsStore(std::filesystem::path path) : path_(std::move(path)), profile_(ProfileFile::Load(path_)) {}

int SettingsStore::GetProfileInt(std::string_view section, std::string_view key, int fallback) const {
  return profile_.GetInt(section, key, fallback);
}

std::string SettingsStore::GetProfileString(std::string_view section, std::string_view key,
                                            std::string_view fallback) const {
  return profile_.GetString(section, key, fallback);
}

void SettingsStore::WriteProfileInt(std::string_view section, std::string_view key, int value) {
  WriteProfileString(section, key, std::to_string(value));
}

void SettingsStore::WriteProfileString(std::string_view section, std::string_view key, std::string_view value) {
  ProfileFile previous = profile_;
  profile_.Set(section, key, value);
  try {
    Save();
  } catch (const FileError& error) {
    if (!onWriteFailure_) {
      profile_ = std::move(previous);
      throw;
    }
    onWriteFailure_(error);
  } catch (...) {
    profile_ = std::move(previous);
    throw;
  }
}

void SettingsStore::Save() const {
  std::error_code ignored;
  std::filesystem::create_directories(path_.parent_path(), ignored);
  WriteFileAtomically(path_, profile_.ToText());
}

}  // namespace lumetra
