#include "platform/codepage/codepage.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "platform/profile/settings_store.h"
#include "support/temp_folder.h"

namespace lumetra {
namespace {

const std::string kGbkChinese = "\xD6\xD0\xCE\xC4";           // 中文 in GBK
const std::string kUtf8Chinese = "\xE4\xB8\xAD\xE6\x96\x87";  // 中文 in UTF-8
const std::string kReplacement = "\xEF\xBF\xBD";              // U+FFFD

TEST(CodePage, GbkChineseBecomesUtf8AndBack) {
  EXPECT_EQ(CodePageToUtf8(kGbkChinese, "GBK"), kUtf8Chinese);
  EXPECT_EQ(Utf8ToCodePage(kUtf8Chinese, "GBK"), kGbkChinese);
  EXPECT_EQ(CodePageToUtf8("A" + kGbkChinese + " 12:30", "GBK"), "A" + kUtf8Chinese + " 12:30");
  EXPECT_EQ(Utf8ToCodePage("A" + kUtf8Chinese + " 12:30", "GBK"), "A" + kGbkChinese + " 12:30");
  EXPECT_EQ(CodePageToUtf8("", "GBK"), "");
}

TEST(CodePage, LongTextConvertsWhole) {
  std::string gbk, utf8;
  for (int i = 0; i < 1000; ++i) {
    gbk += kGbkChinese + "x";
    utf8 += kUtf8Chinese + "x";
  }
  EXPECT_EQ(CodePageToUtf8(gbk, "GBK"), utf8);
  EXPECT_EQ(Utf8ToCodePage(utf8, "GBK"), gbk);
}

TEST(CodePage, InvalidGbkByteBecomesReplacementCharacter) {
  EXPECT_EQ(CodePageToUtf8("A\xFF"
                           "B",
                           "GBK"),
            "A" + kReplacement + "B");
  EXPECT_EQ(CodePageToUtf8("\xFF\xFF", "GBK"), kReplacement + kReplacement);
}

TEST(CodePage, LeadByteAtTheEndBecomesReplacementCharacter) {
  EXPECT_EQ(CodePageToUtf8(kGbkChinese + "\xD6", "GBK"), kUtf8Chinese + kReplacement);
  EXPECT_EQ(CodePageToUtf8("\xD6", "GBK"), kReplacement);
}

TEST(CodePage, LeadByteWithoutValidTrailKeepsTheFollowingCharacter) {
  std::string out = CodePageToUtf8(
      "\xD6\x0A"
      "A",
      "GBK");
  EXPECT_EQ(out.substr(0, kReplacement.size()), kReplacement);
  EXPECT_EQ(out.substr(out.size() - 1), "A");
}

TEST(CodePage, CharacterOutsideTheCodePageBecomesOneQuestionMark) {
  EXPECT_EQ(Utf8ToCodePage("a\xF0\x9F\x98\x80"
                           "b",
                           "GBK"),
            "a?b");  // an emoji
}

TEST(CodePage, BrokenUtf8NeverCrashes) {
  EXPECT_EQ(Utf8ToCodePage("a\xC3", "GBK"), "a?");
  EXPECT_EQ(Utf8ToCodePage("\x80\x80"
                           "b",
                           "GBK")
                .back(),
            'b');
  EXPECT_EQ(Utf8ToCodePage("\xE4\xB8" + kUtf8Chinese, "GBK").substr(1), kGbkChinese);
}

TEST(CodePage, UnknownCodePageIsReadAsLatin1) {
  EXPECT_EQ(CodePageToUtf8("caf\xE9", "NO-SUCH-CODEPAGE"), "caf\xC3\xA9");
  EXPECT_EQ(Utf8ToCodePage("caf\xC3\xA9", "NO-SUCH-CODEPAGE"), "caf\xE9");
}

TEST(CodePage, DocumentCodePageDefaultsToGbkAndFollowsTheStore) {
  test::TempFolder folder("codepage");
  SettingsStore store(folder / "Tessara.ini");
  EXPECT_EQ(DocumentCodePage(store), "GBK");
  store.WriteProfileString(SettingsStore::kSection, "CodePage", "BIG5");
  EXPECT_EQ(DocumentCodePage(store), "BIG5");
}

}  // namespace
// Characters are as long as the code page says, whatever the table of
// known names: iconv is asked about the others.
TEST(CodePage, CharacterBytesFollowTheCodePage) {
  struct Case {
    const char* codePage;
    std::string text;
    std::size_t bytes;
  };
  const Case cases[] = {
      {"GBK", "\xD6\xD0" "a", 2},          {"GBK", "\xD6", 1},               {"GBK", "a\xD6", 1},
      {"GB18030", "\x81\x30\x81\x30", 4}, {"GB18030", "\xD6\xD0", 2},     {"EUC-JP", "\x8F\xA1\xA1" "a", 3},
      {"Shift_JIS", "\xB1\xB2", 1},     {"Shift_JIS", "\x82\xA0", 2},    {"UTF-8", "\xE4\xB8\xAD" "a", 3},
      {"CP1252", "\xE9\xE9", 1},        {"ISO-8859-5", "\xE9\xE9", 1},   {"WINDOWS-936", "\xD6\xD0", 2},
  };
  for (const Case& c : cases) EXPECT_EQ(CharacterBytes(c.codePage, c.text), c.bytes) << c.codePage << " " << c.text;
}

}  // namespace lumetra
