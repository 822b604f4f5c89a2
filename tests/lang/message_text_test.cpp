// Texts with values, and menu texts as tips and prompts show them.

#include "lang/message_text.h"

#include <gtest/gtest.h>

#include "support/scoped_language.h"

namespace lumetra {
namespace {

TEST(MessageText, PlaceholdersTakeTheirValuesInAnyOrder) {
  struct Case {
    const char* text;
    std::initializer_list<std::string_view> values;
    const char* filled;
  };
  const Case cases[] = {
      {"between %1 and %2.", {"1", "64"}, "between 1 and 64."},
      {"%2 到 %1", {"a", "b"}, "b 到 a"},
      {"%1%1", {"x"}, "xx"},
      {"%3 and 100%", {"x"}, "%3 and 100%"},  // no third value; a lone % stays
      {"%", {}, "%"},
  };
  for (const Case& c : cases) EXPECT_EQ(FillPlaceholders(c.text, c.values), c.filled) << c.text;
}

TEST(MessageText, RangeWarningInBothLanguages) {
  {
    const test::ScopedLanguage english("English");
    EXPECT_EQ(RangeWarning(1, 16), "Please enter an integer between 1 and 16.");
  }
  const test::ScopedLanguage chinese("Chinese");
  EXPECT_EQ(RangeWarning(-2, 16), "请输入 -2 到 16 之间的整数。");
}

TEST(MessageText, MenuTextsLoseMnemonicsAndAccelerators) {
  const std::pair<const char*, const char*> cases[] = {
      {"New(&N)\tCtrl+N", "New"},
      {"Save as bmp file..(&B)\tCtrl+B", "Save as bmp file.."},
      {"Open(&O)...", "Open..."},
      {"新建(&N)\tCtrl+N", "新建"},
      {"&Font...", "Font..."},
      {"Fish && Chips", "Fish & Chips"},
      {"Select", "Select"},
      {"", ""},
  };
  for (const auto& [menu, plain] : cases) EXPECT_EQ(PlainMenuText(menu), plain) << menu;
}

}  // namespace
}  // namespace lumetra
