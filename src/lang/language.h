#pragma once
// Run-time language switching. Language files are profile files in the
// "Language" folder beside the executable: section "Setting", key "Language"
// names the language, section "String" holds every text by numeric key.

#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/profile/profile_file.h"

namespace lumetra {

class SettingsStore;

inline constexpr std::string_view kTextNotFound = "Not found";
inline constexpr std::string_view kLanguageNotFoundMessage = "未找到设定的语言";

class Language {
 public:
  // appFolder holds "Language/" and "setting.ini"; the store receives the name
  // of every language selected (it may be null, e.g. in tests).
  Language(std::filesystem::path appFolder, SettingsStore* store);

  // Makes the first language file (in file-name order) whose language is
  // exactly `name` the current one; an empty name means the one setting.ini
  // names (default "English"). When none matches, reports the message and
  // keeps the current language. Either way the name is written to the store.
  bool SelectLanguage(std::string name);

  const std::filesystem::path& CurrentFile() const { return currentFile_; }

  // The text of the key with every backslash-n pair turned into a line break;
  // "Not found" when the key or a current language is missing.
  std::string LookupText(std::string_view key) const;
  std::string LookupText(int key) const { return LookupText(std::to_string(key)); }

  // The text as stored (backslash-n left alone); nothing when missing or empty.
  std::optional<std::string> RawText(std::string_view key) const;

 private:
  std::filesystem::path appFolder_;
  SettingsStore* store_;
  std::filesystem::path currentFile_;
  ProfileFile strings_;
};

// The texts a dialog takes on when it is translated: the caption from key
// "n" and each child's text from key "n_c", in child order. Missing or empty
// keys leave the resource text, so they are not listed.
struct DialogTranslation {
  std::optional<std::string> caption;
  std::vector<std::pair<int, std::string>> controlTexts;
};
DialogTranslation TranslateDialog(const Language& language, int dialogId, std::span<const int> childControlIds);

// The process's language, used by every lookup of the user interface.
Language& CurrentLanguage();
// Installs the language that CurrentLanguage() returns; done once at start-up.
void SetCurrentLanguage(Language* language);

inline std::string LookupText(std::string_view key) { return CurrentLanguage().LookupText(key); }
inline std::string LookupText(int key) { return CurrentLanguage().LookupText(key); }

}  // namespace lumetra
