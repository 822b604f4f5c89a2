#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <regex>
#include <sstream>

#include "lang/language.h"
#include "lang/text_keys.h"
#include "platform/profile/profile_file.h"

namespace lumetra {
namespace {

namespace fs = std::filesystem;

const fs::path kSourceResources = fs::path(LUMETRA_SOURCE_DIR) / "resources";
const fs::path kBin = LUMETRA_BIN_DIR;

// The keys of section [String] as the reader sees them (its own output lists
// each once, in file order).
std::vector<std::string> StringKeys(const ProfileFile& profile) {
  std::vector<std::string> keys;
  std::istringstream text(profile.ToText());
  bool inStrings = false;
  for (std::string line; std::getline(text, line);) {
    if (line.starts_with('[')) {
      inStrings = line == "[String]";
    } else if (inStrings && line.find('=') != std::string::npos) {
      keys.push_back(line.substr(0, line.find('=')));
    }
  }
  return keys;
}

class ShippedLanguageFile : public ::testing::TestWithParam<const char*> {
 protected:
  fs::path File() const { return kSourceResources / "Language" / (std::string(GetParam()) + ".ini"); }
};

TEST_P(ShippedLanguageFile, NamesItsLanguage) {
  ASSERT_TRUE(fs::is_regular_file(File())) << File();
  EXPECT_EQ(ProfileFile::Load(File()).Get("Setting", "Language"), GetParam());
}

TEST_P(ShippedLanguageFile, HasATextForEveryKeyTheProgramLooksUp) {
  ProfileFile profile = ProfileFile::Load(File());
  std::vector<std::string> missing;
  for (const std::string& key : AllTextKeys()) {
    std::optional<std::string> text = profile.Get("String", key);
    if (!text || text->empty()) missing.push_back(key);
  }
  EXPECT_TRUE(missing.empty()) << ::testing::PrintToString(missing);
}

// A dialog shows its texts as they stand, so a backslash-n there would appear literally.
TEST_P(ShippedLanguageFile, DialogTextsHaveNoLineBreakEscapes) {
  ProfileFile profile = ProfileFile::Load(File());
  std::vector<std::string> offending;
  for (const TranslatedDialog& dialog : TranslatedDialogs()) {
    std::vector<std::string> keys{std::to_string(dialog.id)};
    for (int id : dialog.controlIds) keys.push_back(std::to_string(dialog.id) + "_" + std::to_string(id));
    for (const std::string& key : keys) {
      if (profile.GetString("String", key, "").find("\\n") != std::string::npos) offending.push_back(key);
    }
  }
  EXPECT_TRUE(offending.empty()) << ::testing::PrintToString(offending);
}

// The language menu tells the two items apart by these texts.
TEST_P(ShippedLanguageFile, LanguageMenuItemsDiffer) {
  ProfileFile profile = ProfileFile::Load(File());
  EXPECT_NE(profile.GetString("String", "32801", ""), profile.GetString("String", "32802", ""));
}

TEST_P(ShippedLanguageFile, IsSelectableFromTheBinFolder) {
  Language language(kBin, nullptr);
  ASSERT_TRUE(language.SelectLanguage(GetParam()));
  EXPECT_EQ(language.CurrentFile().filename(), std::string(GetParam()) + ".ini");
  for (const std::string& key : AllTextKeys()) {
    ASSERT_NE(language.LookupText(key), "Not found") << key;
  }
}

INSTANTIATE_TEST_SUITE_P(Shipped, ShippedLanguageFile, ::testing::Values("English", "Chinese"));

TEST(ShippedLanguageFiles, EnglishAndChineseHaveTheSameKeys) {
  std::vector<std::string> english = StringKeys(ProfileFile::Load(kSourceResources / "Language" / "English.ini"));
  std::vector<std::string> chinese = StringKeys(ProfileFile::Load(kSourceResources / "Language" / "Chinese.ini"));
  std::sort(english.begin(), english.end());
  std::sort(chinese.begin(), chinese.end());
  ASSERT_FALSE(english.empty());
  std::vector<std::string> onlyEnglish, onlyChinese;
  std::set_difference(english.begin(), english.end(), chinese.begin(), chinese.end(), std::back_inserter(onlyEnglish));
  std::set_difference(chinese.begin(), chinese.end(), english.begin(), english.end(), std::back_inserter(onlyChinese));
  EXPECT_TRUE(onlyEnglish.empty()) << "only in English.ini: " << ::testing::PrintToString(onlyEnglish);
  EXPECT_TRUE(onlyChinese.empty()) << "only in Chinese.ini: " << ::testing::PrintToString(onlyChinese);
}

// Lookups written with the key in place (Text(32004), {kCmdFileNew, 57600, ...})
// must be in the catalogue that the checks above go through; lookups through
// named keys are catalogued where the names are defined.
TEST(ShippedLanguageFiles, EveryKeyWrittenInTheSourcesIsCatalogued) {
  const std::regex lookup(R"re((?:LookupText|Text|FormatText)\(\s*"?([0-9]+[A-Z]?)"?\s*[,)]|\{kCmd\w+,\s*([0-9]{4,5})[,}])re");
  const std::vector<std::string> catalogue = AllTextKeys();
  std::vector<std::string> missing;
  std::size_t found = 0;
  for (const auto& entry : fs::recursive_directory_iterator(fs::path(LUMETRA_SOURCE_DIR) / "src")) {
    if (entry.path().extension() != ".cpp" && entry.path().extension() != ".h") continue;
    std::ifstream in(entry.path());
    const std::string source((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    for (auto it = std::sregex_iterator(source.begin(), source.end(), lookup); it != std::sregex_iterator(); ++it) {
      const std::string key = (*it)[1].matched ? (*it)[1].str() : (*it)[2].str();
      ++found;
      if (!std::binary_search(catalogue.begin(), catalogue.end(), key)) {
        missing.push_back(entry.path().filename().string() + ": " + key);
      }
    }
  }
  EXPECT_GT(found, 20u);
  EXPECT_TRUE(missing.empty()) << ::testing::PrintToString(missing);
}

TEST(ShippedLanguageFiles, SettingIniNamesEnglish) {
  EXPECT_EQ(ProfileFile::Load(kSourceResources / "setting.ini").Get("Setting", "Language"), "English");
  EXPECT_EQ(ProfileFile::Load(kBin / "setting.ini").Get("Setting", "Language"), "English");
}

TEST(ShippedLanguageFiles, EmptyNameInTheBinFolderSelectsEnglish) {
  Language language(kBin, nullptr);
  ASSERT_TRUE(language.SelectLanguage(""));
  EXPECT_EQ(language.CurrentFile().filename(), "English.ini");
}

}  // namespace
}  // namespace lumetra
