#include "platform/profile/profile_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>

#include "support/temp_folder.h"

namespace lumetra {
namespace {

TEST(ProfileFile, SectionAndKeyNamesIgnoreCase) {
  ProfileFile p = ProfileFile::Parse("[Setting]\nLanguage=English\n");
  EXPECT_EQ(p.Get("setting", "LANGUAGE"), "English");
  EXPECT_EQ(p.Get("SETTING", "language"), "English");
  EXPECT_EQ(p.Get("Settings", "Language"), std::nullopt);
}

TEST(ProfileFile, NamesAndValuesAreTrimmed) {
  ProfileFile p = ProfileFile::Parse("  [Setting]  \r\n\t Language \t=  English \t\r\n");
  EXPECT_EQ(p.Get("Setting", "Language"), "English");
}

TEST(ProfileFile, ValueMayHoldEqualsSignsAndSemicolons) {
  ProfileFile p = ProfileFile::Parse("[S]\nk=a=b;c\n");
  EXPECT_EQ(p.Get("S", "k"), "a=b;c");
}

TEST(ProfileFile, EmptyValueIsPresentButEmpty) {
  ProfileFile p = ProfileFile::Parse("[S]\nk=\n");
  EXPECT_EQ(p.Get("S", "k"), "");
  EXPECT_EQ(p.GetString("S", "k", "fallback"), "");
  EXPECT_EQ(p.GetString("S", "other", "fallback"), "fallback");
}

TEST(ProfileFile, FirstOfTwoEqualKeysWins) {
  ProfileFile p = ProfileFile::Parse("[S]\nKey=first\nKEY=second\n");
  EXPECT_EQ(p.Get("S", "key"), "first");
}

TEST(ProfileFile, FirstOfTwoEqualSectionsWins) {
  ProfileFile p = ProfileFile::Parse("[String]\n2002=first\n[Other]\nx=1\n[string]\n2002=second\n");
  EXPECT_EQ(p.Get("String", "2002"), "first");
}

// The platform reader looks a key up in the first section of that name only.
TEST(ProfileFile, KeysOfALaterEqualSectionAreNotSeen) {
  ProfileFile p = ProfileFile::Parse("[String]\n2002=Done\n[Setting]\nLanguage=English\n[STRING]\n2003=Extra\n");
  EXPECT_EQ(p.Get("String", "2002"), "Done");
  EXPECT_EQ(p.Get("String", "2003"), std::nullopt);
}

TEST(ProfileFile, CommentLinesAreIgnored) {
  ProfileFile p = ProfileFile::Parse("; [S]\n[S]\n;k=commented\n   ; x=1\nk=real\n");
  EXPECT_EQ(p.Get("S", "k"), "real");
  EXPECT_EQ(p.Get("S", "x"), std::nullopt);
  EXPECT_EQ(p.Get("S", ";k"), std::nullopt);
}

TEST(ProfileFile, LinesOutsideSectionsAndWithoutEqualsAreIgnored) {
  ProfileFile p = ProfileFile::Parse("k=before\n[S]\njust words\nk=after\n");
  EXPECT_EQ(p.Get("S", "k"), "after");
  EXPECT_EQ(p.Get("S", "just words"), std::nullopt);
}

TEST(ProfileFile, MatchingQuotesAreStripped) {
  ProfileFile p = ProfileFile::Parse(
      "[S]\n"
      "double=\"  padded  \"\n"
      "single='x'\n"
      "mixed=\"x'\n"
      "open=\"x\n"
      "lone=\"\n");
  EXPECT_EQ(p.Get("S", "double"), "  padded  ");
  EXPECT_EQ(p.Get("S", "single"), "x");
  EXPECT_EQ(p.Get("S", "mixed"), "\"x'");
  EXPECT_EQ(p.Get("S", "open"), "\"x");
  EXPECT_EQ(p.Get("S", "lone"), "\"");
}

TEST(ProfileFile, Utf8ByteOrderMarkIsSkipped) {
  ProfileFile p = ProfileFile::Parse("\xEF\xBB\xBF[Setting]\nLanguage=Chinese\n");
  EXPECT_EQ(p.Get("Setting", "Language"), "Chinese");
}

TEST(ProfileFile, ValuesAreCutTo999Characters) {
  std::string exact(999, 'a');
  std::string longer(1500, 'b');
  ProfileFile p = ProfileFile::Parse("[S]\nexact=" + exact + "\nlonger=" + longer + "\n");
  EXPECT_EQ(p.Get("S", "exact"), exact);
  EXPECT_EQ(p.Get("S", "longer"), std::string(999, 'b'));
  EXPECT_EQ(p.GetString("S", "missing", longer), std::string(999, 'b'));
}

TEST(ProfileFile, CutNeverSplitsAMultiByteCharacter) {
  // 998 ASCII bytes, then a 3-byte character that straddles the limit.
  std::string value = std::string(998, 'a') + "\xE4\xB8\xAD";
  ProfileFile p = ProfileFile::Parse("[S]\nk=" + value + "\n");
  EXPECT_EQ(p.Get("S", "k"), std::string(998, 'a'));
}

TEST(ProfileFile, GetIntReadsLeadingSignAndDigits) {
  ProfileFile p = ProfileFile::Parse("[S]\nplain=42\nneg=-7\nplus=+3\ntrail=12abc\nwords=abc\nempty=\n");
  EXPECT_EQ(p.GetInt("S", "plain", 0), 42);
  EXPECT_EQ(p.GetInt("S", "neg", 0), -7);
  EXPECT_EQ(p.GetInt("S", "plus", 0), 3);
  EXPECT_EQ(p.GetInt("S", "trail", 0), 12);
  EXPECT_EQ(p.GetInt("S", "words", 99), 0);
  EXPECT_EQ(p.GetInt("S", "empty", 99), 0);
  EXPECT_EQ(p.GetInt("S", "missing", 99), 99);
  EXPECT_EQ(p.GetInt("Nowhere", "plain", 5), 5);
}

TEST(ProfileFile, SetReplacesAnExistingKeyWhateverItsCase) {
  ProfileFile p = ProfileFile::Parse("[Norvik Soft]\nKELWidth=8\n");
  p.Set("norvik soft", "kelwidth", "16");
  EXPECT_EQ(p.GetInt("Norvik Soft", "KELWidth", 0), 16);
  EXPECT_EQ(p.ToText(), "[Norvik Soft]\nKELWidth=16\n");
}

TEST(ProfileFile, ToTextKeepsFirstSeenOrderAndReadsBack) {
  ProfileFile p;
  p.Set("B", "two", "2");
  p.Set("A", "one", "1");
  p.Set("B", "three", "3");
  EXPECT_EQ(p.ToText(), "[B]\ntwo=2\nthree=3\n\n[A]\none=1\n");
  ProfileFile back = ProfileFile::Parse(p.ToText());
  EXPECT_EQ(back.Get("B", "three"), "3");
  EXPECT_EQ(back.Get("A", "one"), "1");
}

TEST(ProfileFile, ValuesThatReadingWouldChangeSurviveARewrite) {
  ProfileFile profile;
  for (std::string value : {" padded ", "\"quoted\"", "'single'", "tab\t", "plain"}) {
    profile.Set("S", "k", value);
    EXPECT_EQ(ProfileFile::Parse(profile.ToText()).Get("S", "k"), value) << value;
  }
  profile.Set("S", "k", "two\nlines\r\n");
  EXPECT_EQ(ProfileFile::Parse(profile.ToText()).Get("S", "k"), "two lines  ");
}

TEST(ProfileFile, IntegersOutsideTheRangeGiveTheFallback) {
  ProfileFile profile = ProfileFile::Parse("[S]\nbig=4294967304\nsmall=-4294967304\n");
  EXPECT_EQ(profile.GetInt("S", "big", 8), 8);
  EXPECT_EQ(profile.GetInt("S", "small", 8), 8);
}

TEST(ProfileFile, MissingOrOversizedFileLoadsAsEmpty) {
  test::TempFolder folder("profile");
  EXPECT_EQ(ProfileFile::Load(folder / "missing.ini").ToText(), "");

  {
    std::ofstream out(folder / "ok.ini", std::ios::binary);
    out << "[S]\r\nk=v\r\n";
  }
  EXPECT_EQ(ProfileFile::Load(folder / "ok.ini").Get("S", "k"), "v");

  {
    std::ofstream out(folder / "huge.ini", std::ios::binary);
    out << "[S]\nk=v\n" << std::string(ProfileFile::kMaxFileBytes, ';');
  }
  EXPECT_EQ(ProfileFile::Load(folder / "huge.ini").Get("S", "k"), std::nullopt);
}

}  // namespace
}  // namespace lumetra
