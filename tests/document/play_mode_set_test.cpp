#include "document/play_mode_set.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>

#include "document/panel_settings.h"
#include "platform/archive/archive.h"
#include "platform/profile/settings_store.h"
#include "support/temp_folder.h"

namespace lumetra {
namespace {

using Row6 = std::array<std::int32_t, CPlayModeSet::kRows>;

std::vector<std::uint8_t> Save(CPlayModeSet& set) {
  ClassRegistry registry;
  CArchive ar(registry);
  set.Serialize(ar);
  return ar.Output().Bytes();
}

void Load(CPlayModeSet& set, const std::vector<std::uint8_t>& bytes) {
  ClassRegistry registry;
  CArchive ar(bytes, registry);
  set.Serialize(ar);
}

void PutInt32(std::vector<std::uint8_t>& out, std::int32_t v) {
  auto u = static_cast<std::uint32_t>(v);
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(u >> (8 * i)));
}

TEST(PlayModeSet, FreshObjectHasOneRowOfThreeFramesEach) {
  CPlayModeSet set;
  EXPECT_EQ(set.m_nRowCount, 1);
  EXPECT_EQ(set.m_abEnable, (Row6{1, 0, 0, 0, 0, 0}));
  EXPECT_EQ(set.m_anStart, (Row6{1, 4, 7, 10, 13, 16}));
  EXPECT_EQ(set.m_anEnd, (Row6{3, 6, 9, 12, 15, 18}));
  EXPECT_EQ(set.m_anMode, (Row6{1, 1, 1, 1, 1, 1}));
  EXPECT_EQ(set.m_anSpeed, (Row6{2, 2, 2, 2, 2, 2}));
  EXPECT_EQ(set.m_anDelay, (Row6{3, 3, 3, 3, 3, 3}));
}

TEST(PlayModeSet, FreshObjectSavesItsValuesInFileOrder) {
  std::vector<std::uint8_t> expected;
  PutInt32(expected, 1);  // row count
  for (int v : {1, 0, 0, 0, 0, 0}) PutInt32(expected, v);
  for (int v : {1, 4, 7, 10, 13, 16}) PutInt32(expected, v);
  for (int v : {3, 6, 9, 12, 15, 18}) PutInt32(expected, v);
  for (int i = 0; i < 6; ++i) PutInt32(expected, 1);
  for (int i = 0; i < 6; ++i) PutInt32(expected, 2);
  for (int i = 0; i < 6; ++i) PutInt32(expected, 3);
  ASSERT_EQ(expected.size(), CPlayModeSet::kSerializedBytes);

  CPlayModeSet set;
  EXPECT_EQ(Save(set), expected);
}

TEST(PlayModeSet, LoadReadsBackEveryValue) {
  CPlayModeSet saved;
  saved.m_nRowCount = 3;
  saved.m_abEnable = {1, 1, 1, 0, 0, 0};
  saved.m_anStart = {5, 2, 64, 1, 1, 1};
  saved.m_anEnd = {9, 1, 64, 2, 2, 2};
  saved.m_anMode = {0, 3, 2, 1, 0, 3};
  saved.m_anSpeed = {5, 0, 4, 1, 2, 3};
  saved.m_anDelay = {100, 0, 50, 7, 8, 9};
  saved.m_nMaxFrame = 42;
  std::vector<std::uint8_t> bytes = Save(saved);
  ASSERT_EQ(bytes.size(), CPlayModeSet::kSerializedBytes);

  CPlayModeSet loaded;
  Load(loaded, bytes);
  EXPECT_EQ(loaded.m_nRowCount, 3);
  EXPECT_EQ(loaded.m_anStart, saved.m_anStart);
  EXPECT_EQ(loaded.m_anDelay, saved.m_anDelay);
  EXPECT_EQ(loaded.m_nMaxFrame, 0);  // not part of the file
  EXPECT_EQ(Save(loaded), bytes);
}

TEST(PlayModeSetRowRule, BoxOneCannotBeUnticked) {
  CPlayModeSet set;
  set.ApplyRowRule(3, true);
  set.ApplyRowRule(1, false);
  EXPECT_EQ(set.m_abEnable, (Row6{1, 0, 0, 0, 0, 0}));
  EXPECT_EQ(set.m_nRowCount, 1);
}

TEST(PlayModeSetRowRule, TickingABoxTicksEveryRowAbove) {
  CPlayModeSet set;
  set.ApplyRowRule(3, true);
  EXPECT_EQ(set.m_abEnable, (Row6{1, 1, 1, 0, 0, 0}));
  EXPECT_EQ(set.m_nRowCount, 3);
  EXPECT_EQ(Save(set)[0], 3);
}

TEST(PlayModeSetRowRule, TickingABoxUnticksEveryRowBelow) {
  CPlayModeSet set;
  set.ApplyRowRule(6, true);
  EXPECT_EQ(set.m_nRowCount, 6);
  set.ApplyRowRule(2, true);
  EXPECT_EQ(set.m_abEnable, (Row6{1, 1, 0, 0, 0, 0}));
  EXPECT_EQ(set.m_nRowCount, 2);
}

TEST(PlayModeSetRowRule, UntickingABoxUnticksItAndEveryRowBelow) {
  CPlayModeSet set;
  set.m_abEnable = {1, 1, 1, 1, 1, 1};
  set.ApplyRowRule(2, false);
  EXPECT_EQ(set.m_abEnable, (Row6{1, 0, 0, 0, 0, 0}));
  EXPECT_EQ(set.m_nRowCount, 1);
}

TEST(PlayModeSetRowRule, RowsOutsideOneToSixAreIgnored) {
  CPlayModeSet set;
  set.ApplyRowRule(3, true);
  for (int row : {0, -1, 7, 100}) {
    set.ApplyRowRule(row, true);
    set.ApplyRowRule(row, false);
  }
  EXPECT_EQ(set.m_abEnable, (Row6{1, 1, 1, 0, 0, 0}));
  EXPECT_EQ(set.m_nRowCount, 3);
}

TEST(PlayModeSetRowRule, RowCountIsTheLastTickedRow) {
  CPlayModeSet set;
  set.m_abEnable = {1, 0, 1, 0, 0, 0};
  set.UpdateRowCount();
  EXPECT_EQ(set.m_nRowCount, 3);
  set.m_abEnable = {0, 0, 0, 0, 0, 0};
  set.UpdateRowCount();
  EXPECT_EQ(set.m_nRowCount, 1);
}

TEST(PlayModeSetCorrection, RangesAreLimitedToTheFramesAndTurnedRound) {
  CPlayModeSet set;
  set.m_nRowCount = 3;
  set.m_anStart = {3, 6, 1, 1, 1, 1};
  set.m_anEnd = {9, 2, 4, 1, 1, 1};
  set.CorrectFrameRanges(4);
  EXPECT_EQ(set.m_anStart[0], 3);
  EXPECT_EQ(set.m_anEnd[0], 4);
  EXPECT_EQ(set.m_anStart[1], 2);  // 6..2 -> 4..2 -> 2..4
  EXPECT_EQ(set.m_anEnd[1], 4);
  EXPECT_EQ(set.m_anStart[2], 1);  // already inside: unchanged
  EXPECT_EQ(set.m_anEnd[2], 4);
}

TEST(PlayModeSetCorrection, RangeBeyondTheLastFrameShrinksToIt) {
  CPlayModeSet set;
  set.m_anStart[0] = 7;
  set.m_anEnd[0] = 9;
  set.CorrectFrameRanges(4);
  EXPECT_EQ(set.m_anStart[0], 4);
  EXPECT_EQ(set.m_anEnd[0], 4);
}

TEST(PlayModeSetCorrection, OnlyActiveRowsAreCorrected) {
  CPlayModeSet set;
  set.m_nRowCount = 2;
  set.m_anStart = {6, 6, 6, 6, 6, 6};
  set.m_anEnd = {2, 2, 2, 2, 2, 2};
  set.CorrectFrameRanges(4);
  EXPECT_EQ(set.m_anStart, (Row6{2, 2, 6, 6, 6, 6}));
  EXPECT_EQ(set.m_anEnd, (Row6{4, 4, 2, 2, 2, 2}));
}

TEST(PlayModeSetCorrection, RowCountFromAFileOutsideTheRowsIsSafe) {
  CPlayModeSet set;
  set.m_anStart = {9, 9, 9, 9, 9, 9};
  set.m_anEnd = {9, 9, 9, 9, 9, 9};
  set.m_nRowCount = 1000;
  set.CorrectFrameRanges(4);
  EXPECT_EQ(set.m_anStart, (Row6{4, 4, 4, 4, 4, 4}));

  set.m_anStart = {9, 9, 9, 9, 9, 9};
  set.m_nRowCount = -5;
  set.CorrectFrameRanges(4);
  EXPECT_EQ(set.m_anStart, (Row6{9, 9, 9, 9, 9, 9}));
}

class PanelSettingsTest : public ::testing::Test {
 protected:
  PanelSettings LoadFrom(const std::string& norvikSoft) {
    std::ofstream(folder_ / "Tessara.ini") << "[Norvik Soft]\n" << norvikSoft;
    return PanelSettings::Load(SettingsStore(folder_ / "Tessara.ini"));
  }

  test::TempFolder temp_{"panel"};
  std::filesystem::path folder_ = temp_.path();
};

TEST_F(PanelSettingsTest, EmptyStoreGivesEightByOneWordsTenFramesRedAndGreen) {
  PanelSettings s = PanelSettings::Load(SettingsStore(folder_ / "none.ini"));
  EXPECT_EQ(s, (PanelSettings{8, 1, 10, 0}));
}

TEST_F(PanelSettingsTest, StoredValuesAreRead) {
  EXPECT_EQ(LoadFrom("KELWidth=4\nKELHeight=2\nKELLines=100\nKELColorSet=2\n"), (PanelSettings{4, 2, 100, 2}));
  EXPECT_EQ(LoadFrom("KELHeight=3\n"), (PanelSettings{8, 3, 10, 0}));
}

TEST_F(PanelSettingsTest, OutOfRangeValuesAreBroughtIntoRange) {
  EXPECT_EQ(LoadFrom("KELWidth=100\nKELHeight=17\nKELLines=1\nKELColorSet=3\n"), (PanelSettings{64, 16, 1, 2}));
  EXPECT_EQ(LoadFrom("KELWidth=0\nKELHeight=-4\nKELLines=0\nKELColorSet=-1\n"), (PanelSettings{1, 1, 1, 0}));
}

TEST_F(PanelSettingsTest, FrameCountIsLimitedByTheStripWidth) {
  EXPECT_EQ(LoadFrom("KELWidth=8\nKELLines=1000\n").frames, 64);
  EXPECT_EQ(LoadFrom("KELWidth=64\nKELLines=9\n").frames, 8);
  EXPECT_EQ(LoadFrom("KELWidth=1\nKELLines=600\n").frames, 512);
}

TEST_F(PanelSettingsTest, SavedSettingsLoadBack) {
  SettingsStore store(folder_ / "Tessara.ini");
  PanelSettings{16, 4, 32, 1}.Save(store);
  EXPECT_EQ(PanelSettings::Load(SettingsStore(folder_ / "Tessara.ini")), (PanelSettings{16, 4, 32, 1}));
}

}  // namespace
}  // namespace lumetra
