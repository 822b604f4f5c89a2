#include "lang/language.h"

#include <algorithm>

#include "platform/profile/settings_store.h"
#include "platform/report.h"

namespace lumetra {
namespace {

constexpr std::string_view kSettingSection = "Setting";
constexpr std::string_view kLanguageKey = "Language";
constexpr std::string_view kStringSection = "String";
constexpr std::string_view kStoreKey = "KELLanguageSetting";

// Candidate files "Language/*.ini", regular files only, in file-name order.
std::vector<std::filesystem::path> LanguageFiles(const std::filesystem::path& folder) {
  std::vector<std::filesystem::path> files;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
    std::error_code typeError;
    if (!entry.is_regular_file(typeError)) continue;
    std::string ext = entry.path().extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
    if (ext == ".ini" && entry.path().filename().string().front() != '.') files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

}  // namespace

Language::Language(std::filesystem::path appFolder, SettingsStore* store)
    : appFolder_(std::move(appFolder)), store_(store) {}

bool Language::SelectLanguage(std::string name) {
  if (name.empty()) {
    name = ProfileFile::Load(appFolder_ / "setting.ini").GetString(kSettingSection, kLanguageKey, "English");
  }
  bool found = false;
  for (const std::filesystem::path& file : LanguageFiles(appFolder_ / "Language")) {
    ProfileFile profile = ProfileFile::Load(file);
    std::string language = profile.GetString(kSettingSection, kLanguageKey, "");
    if (!language.empty() && language == name) {
      currentFile_ = file;
      strings_ = std::move(profile);
      found = true;
      break;
    }
  }
  if (!found) ReportMessage(kLanguageNotFoundMessage);
  if (store_ != nullptr) {
    try {
      store_->WriteProfileString(SettingsStore::kSection, kStoreKey, name);
    } catch (const std::exception& e) {
      ReportMessage(e.what());
    }
  }
  return found;
}

std::optional<std::string> Language::RawText(std::string_view key) const {
  std::optional<std::string> text = strings_.Get(kStringSection, key);
  if (!text || text->empty()) return std::nullopt;
  return text;
}

std::string Language::LookupText(std::string_view key) const {
  std::optional<std::string> stored = strings_.Get(kStringSection, key);
  if (!stored) return std::string(kTextNotFound);
  std::string text;
  text.reserve(stored->size());
  for (std::size_t i = 0; i < stored->size(); ++i) {
    if ((*stored)[i] == '\\' && i + 1 < stored->size() && (*stored)[i + 1] == 'n') {
      text += '\n';
      ++i;
    } else {
      text += (*stored)[i];
    }
  }
  return text;
}

DialogTranslation TranslateDialog(const Language& language, int dialogId, std::span<const int> childControlIds) {
  DialogTranslation translation;
  translation.caption = language.RawText(std::to_string(dialogId));
  for (int id : childControlIds) {
    if (auto text = language.RawText(std::to_string(dialogId) + "_" + std::to_string(id))) {
      translation.controlTexts.emplace_back(id, std::move(*text));
    }
  }
  return translation;
}

namespace {
Language* g_language = nullptr;
}

Language& CurrentLanguage() {
  // Until start-up installs one, lookups answer "Not found" as with no language selected.
  static Language none({}, nullptr);
  return g_language ? *g_language : none;
}

void SetCurrentLanguage(Language* language) { g_language = language; }

}  // namespace lumetra
