#include "lang/language.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>

#include "platform/profile/settings_store.h"
#include "support/collect_messages.h"
#include "support/temp_folder.h"

namespace lumetra {
namespace {

namespace fs = std::filesystem;

// A throw-away application folder with a Language/ folder, and a sink that
// collects the messages the language code reports.
class LanguageTest : public ::testing::Test {
 protected:
  void SetUp() override { fs::create_directories(app_ / "Language"); }

  void Write(const fs::path& relative, const std::string& text) { test::WriteText(app_ / relative, text); }
  void WriteLanguage(const std::string& file, const std::string& name, const std::string& strings) {
    Write(fs::path("Language") / file, "[Setting]\nLanguage=" + name + "\n[String]\n" + strings);
  }

  test::TempFolder temp_{"lang"};
  fs::path app_ = temp_.path();
  test::CollectMessages sink_;
};

TEST_F(LanguageTest, FirstFileInNameOrderNamingTheLanguageWins) {
  WriteLanguage("b.ini", "English", "2002=from b\n");
  WriteLanguage("a.ini", "English", "2002=from a\n");
  Language language(app_, nullptr);
  EXPECT_TRUE(language.SelectLanguage("English"));
  EXPECT_EQ(language.CurrentFile().filename(), "a.ini");
  EXPECT_EQ(language.LookupText("2002"), "from a");
  EXPECT_TRUE(sink_.messages.empty());
}

TEST_F(LanguageTest, NameMatchIsExactAndCaseSensitive) {
  WriteLanguage("English.ini", "English", "2002=Done\n");
  WriteLanguage("Englisch.ini", "English UK", "2002=Done UK\n");
  Language language(app_, nullptr);
  EXPECT_FALSE(language.SelectLanguage("english"));
  EXPECT_FALSE(language.SelectLanguage("Englis"));
  EXPECT_FALSE(language.SelectLanguage("English "));
  EXPECT_TRUE(language.CurrentFile().empty());
  EXPECT_TRUE(language.SelectLanguage("English UK"));
  EXPECT_EQ(language.CurrentFile().filename(), "Englisch.ini");
}

TEST_F(LanguageTest, FileWithoutALanguageNameIsSkipped) {
  Write("Language/a.ini", "[String]\n2002=nameless\n");
  Write("Language/b.ini", "[Setting]\nLanguage=\n[String]\n2002=empty name\n");
  WriteLanguage("c.ini", "Chinese", "2002=named\n");
  Language language(app_, nullptr);
  EXPECT_TRUE(language.SelectLanguage("Chinese"));
  EXPECT_EQ(language.CurrentFile().filename(), "c.ini");
}

TEST_F(LanguageTest, OnlyIniFilesAreCandidates) {
  WriteLanguage("a.txt", "English", "2002=text file\n");
  fs::create_directory(app_ / "Language" / "b.ini");
  WriteLanguage("c.INI", "English", "2002=upper-case extension\n");
  Language language(app_, nullptr);
  EXPECT_TRUE(language.SelectLanguage("English"));
  EXPECT_EQ(language.LookupText("2002"), "upper-case extension");
}

TEST_F(LanguageTest, UnknownLanguageIsReportedAndThePreviousOneStays) {
  WriteLanguage("English.ini", "English", "2002=Done\n");
  Language language(app_, nullptr);
  ASSERT_TRUE(language.SelectLanguage("English"));
  EXPECT_FALSE(language.SelectLanguage("Klingon"));
  EXPECT_EQ(sink_.messages, std::vector<std::string>{"未找到设定的语言"});
  EXPECT_EQ(language.CurrentFile().filename(), "English.ini");
  EXPECT_EQ(language.LookupText("2002"), "Done");
}

TEST_F(LanguageTest, EmptyNameTakesTheLanguageOfSettingIni) {
  WriteLanguage("Chinese.ini", "Chinese", "2002=完成\n");
  WriteLanguage("English.ini", "English", "2002=Done\n");
  Write("setting.ini", "[setting]\nlanguage = Chinese\n");
  Language language(app_, nullptr);
  EXPECT_TRUE(language.SelectLanguage(""));
  EXPECT_EQ(language.LookupText("2002"), "完成");
}

TEST_F(LanguageTest, EmptyNameWithoutSettingIniMeansEnglish) {
  WriteLanguage("Chinese.ini", "Chinese", "2002=完成\n");
  WriteLanguage("English.ini", "English", "2002=Done\n");
  Language language(app_, nullptr);
  EXPECT_TRUE(language.SelectLanguage(""));
  EXPECT_EQ(language.LookupText("2002"), "Done");
}

TEST_F(LanguageTest, EveryChosenNameIsWrittenToTheStore) {
  WriteLanguage("English.ini", "English", "");
  WriteLanguage("Chinese.ini", "Chinese", "");
  Write("setting.ini", "[Setting]\nLanguage=Chinese\n");
  const fs::path storePath = app_ / "config" / "Tessara.ini";
  SettingsStore store(storePath);
  Language language(app_, &store);

  language.SelectLanguage("English");
  EXPECT_EQ(SettingsStore(storePath).GetProfileString("Norvik Soft", "KELLanguageSetting", ""), "English");
  language.SelectLanguage("Klingon");  // no match: written all the same
  EXPECT_EQ(SettingsStore(storePath).GetProfileString("Norvik Soft", "KELLanguageSetting", ""), "Klingon");
  language.SelectLanguage("");  // the name setting.ini gave
  EXPECT_EQ(SettingsStore(storePath).GetProfileString("Norvik Soft", "KELLanguageSetting", ""), "Chinese");
}

TEST_F(LanguageTest, StoreThatCannotBeWrittenIsReportedButTheLanguageIsSelected) {
  WriteLanguage("English.ini", "English", "2002=Done\n");
  Write("blocker", "a file where a folder should be");
  SettingsStore store(app_ / "blocker" / "Tessara.ini");
  Language language(app_, &store);
  EXPECT_TRUE(language.SelectLanguage("English"));
  EXPECT_EQ(language.LookupText("2002"), "Done");
  EXPECT_EQ(sink_.messages.size(), 1u);
}

TEST_F(LanguageTest, LookupTextSaysNotFoundForMissingKeysAndWithoutALanguage) {
  WriteLanguage("English.ini", "English", "2002=Done\n2003=\n");
  Language language(app_, nullptr);
  EXPECT_EQ(language.LookupText("2002"), "Not found");
  EXPECT_EQ(language.LookupText(2002), "Not found");
  ASSERT_TRUE(language.SelectLanguage("English"));
  EXPECT_EQ(language.LookupText(2002), "Done");
  EXPECT_EQ(language.LookupText("9999"), "Not found");
  EXPECT_EQ(language.LookupText("2003"), "");               // present, only empty
  EXPECT_EQ(language.LookupText("Language"), "Not found");  // [Setting] is not searched
}

TEST_F(LanguageTest, LookupTextTurnsBackslashNIntoLineBreaks) {
  WriteLanguage("English.ini", "English",
                "2001=Transfer failed.\\nCheck the cable.\n"
                "2002=\\n\\nEdge\\\n"
                "2003=C:\\new\\ folder\n");
  Language language(app_, nullptr);
  ASSERT_TRUE(language.SelectLanguage("English"));
  EXPECT_EQ(language.LookupText(2001), "Transfer failed.\nCheck the cable.");
  EXPECT_EQ(language.LookupText(2002), "\n\nEdge\\");
  EXPECT_EQ(language.LookupText(2003), "C:\new\\ folder");
}

TEST_F(LanguageTest, TranslateDialogKeepsBackslashNAndSkipsMissingOrEmptyKeys) {
  WriteLanguage("English.ini", "English",
                "157=Screen Size Set\n"
                "157_1=OK\\nnow\n"
                "157_2=\n"
                "157_1158=Red and Green\n"
                "178_1=not this dialog\n");
  Language language(app_, nullptr);
  ASSERT_TRUE(language.SelectLanguage("English"));
  const int children[] = {1163, 1158, 2, 1, 1006};
  DialogTranslation t = TranslateDialog(language, 157, children);
  EXPECT_EQ(t.caption, "Screen Size Set");
  using Texts = std::vector<std::pair<int, std::string>>;
  EXPECT_EQ(t.controlTexts, (Texts{{1158, "Red and Green"}, {1, "OK\\nnow"}}));

  DialogTranslation none = TranslateDialog(language, 192, children);
  EXPECT_EQ(none.caption, std::nullopt);
  EXPECT_TRUE(none.controlTexts.empty());
}

TEST_F(LanguageTest, ProcessLanguageAnswersNotFoundUntilOneIsInstalled) {
  WriteLanguage("English.ini", "English", "2002=Done\n");
  EXPECT_EQ(LookupText(2002), "Not found");
  Language language(app_, nullptr);
  ASSERT_TRUE(language.SelectLanguage("English"));
  SetCurrentLanguage(&language);
  EXPECT_EQ(LookupText("2002"), "Done");
  EXPECT_EQ(&CurrentLanguage(), &language);
  SetCurrentLanguage(nullptr);
  EXPECT_EQ(LookupText(2002), "Not found");
}

}  // namespace
}  // namespace lumetra
