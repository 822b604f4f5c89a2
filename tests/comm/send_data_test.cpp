#include "comm/send_data.h"

#include <gtest/gtest.h>

#include "document/document.h"
#include "lang/language.h"

namespace lumetra {
namespace {

// 20 × 2 words, 4 frames, a clock at row 2 of frame 3, two play-mode rows.
void MakeSample(CTessaraDoc& doc) {
  doc.m_nWidthWords = 20;  // 320 pixels: both bytes of the width in use
  doc.m_nHeightWords = 2;
  doc.m_nFrames = 4;
  doc.m_nClockStyle = 3;
  doc.m_nClockColour = 2;  // green
  doc.m_nClockRow = 2;
  doc.m_nClockFrame = 3;
  doc.m_nClockAlign = 1;
  CPlayModeSet& p = doc.m_playMode;
  p.m_nRowCount = 2;
  p.m_anMode = {1, 3, 0, 0, 0, 0};
  p.m_anStart = {1, 3, 1, 1, 1, 1};
  p.m_anEnd = {2, 4, 1, 1, 1, 1};
  p.m_anSpeed = {2, 5, 0, 0, 0, 0};
  p.m_anDelay = {10, 100, 0, 0, 0, 0};
}

TEST(ParameterBlock, SampleDocumentByteByByte) {
  CTessaraDoc doc;
  MakeSample(doc);
  const ParameterBlock expected = {
      0, 32, 1, 64,       // height 32, width 320
      2,                  // rows
      3, 1,  1, 2,  1,    // clock style, green, row 2, frame 3, centre
      1, 0,  2, 12, 10,   // row 1: move left, frames 1..2, normal speed
      3, 2,  4, 2,  100,  // row 2: stretch, frames 3..4, very fast
      0, 0,  1, 30, 0,    // row 3 goes out although only two are counted
  };
  EXPECT_EQ(BuildParameterBlock(doc, 1), expected);
}

TEST(ParameterBlock, ClockStyleNeedsAClockUnit) {
  CTessaraDoc doc;
  MakeSample(doc);
  EXPECT_EQ(BuildParameterBlock(doc, 0)[5], 0);
  EXPECT_EQ(BuildParameterBlock(doc, 2)[5], 3);
}

TEST(ParameterBlock, OutOfRangeValuesStayMeaningful) {
  CTessaraDoc doc;
  MakeSample(doc);
  doc.m_nClockStyle = 9;
  doc.m_nClockColour = 7;
  doc.m_nClockRow = 0;  // clock never drawn
  doc.m_nClockFrame = 0;
  doc.m_playMode.m_nRowCount = 6;
  doc.m_playMode.m_anSpeed[0] = 6;
  doc.m_playMode.m_anSpeed[1] = -1;
  doc.m_playMode.m_anStart[0] = 0;
  doc.m_playMode.m_anDelay[0] = 500;
  const ParameterBlock b = BuildParameterBlock(doc, 1);
  EXPECT_EQ(b[4], 3);
  EXPECT_EQ(b[5], 0);
  EXPECT_EQ(b[6], 0);
  EXPECT_EQ(b[7], 0);
  EXPECT_EQ(b[8], 0);
  EXPECT_EQ(b[11], 0);
  EXPECT_EQ(b[13], 2);
  EXPECT_EQ(b[14], 100);
  EXPECT_EQ(b[18], 30);
}

TEST(ColourFlags, BySetAndReverse) {
  EXPECT_EQ(ColourFlags(0, false), 0x00);
  EXPECT_EQ(ColourFlags(0, true), 0x01);
  EXPECT_EQ(ColourFlags(1, false), 0x80);
  EXPECT_EQ(ColourFlags(1, true), 0x81);
  EXPECT_EQ(ColourFlags(2, false), 0x00);
  EXPECT_EQ(ColourFlags(2, true), 0x00);
}

TEST(ClockBytes, PackedBcdOfAFixedTime) {
  const LocalTime t{.year = 2024, .month = 12, .day = 9, .dayOfWeek = 1, .hour = 23, .minute = 5, .second = 59};
  EXPECT_EQ(MakeClockBytes(t), (ClockBytes{0x20, 0x24, 0x12, 0x09, 0x01, 0x23, 0x05, 0x59}));
  const LocalTime y2k{.year = 2000, .month = 1, .day = 31, .dayOfWeek = 0, .hour = 0, .minute = 0, .second = 0};
  EXPECT_EQ(MakeClockBytes(y2k), (ClockBytes{0x20, 0x00, 0x01, 0x31, 0x00, 0x00, 0x00, 0x00}));
  EXPECT_EQ(ToPackedBcd(123), 0x99);
  EXPECT_EQ(ToPackedBcd(-4), 0x00);
}

TEST(SendData, PictureSizeAndPortName) {
  CTessaraDoc doc;
  MakeSample(doc);
  EXPECT_EQ(SentPictureSize(doc), (CSize{20 * 4 * 16, 32}));
  EXPECT_EQ(PortName(0), "COM1");
  EXPECT_EQ(PortName(3), "COM4");
}

TEST(ResultCodes, KeysAndUnknownCodeText) {
  EXPECT_EQ(ResultCodeKey(0), 33000);
  EXPECT_EQ(ResultCodeKey(3), 33003);
  EXPECT_EQ(ResultCodeKey(16), 33004);
  EXPECT_EQ(ResultCodeKey(32), 33005);
  EXPECT_EQ(ResultCodeKey(33), 33006);  // clear 32 + parameters 1 with the panel library missing
  EXPECT_EQ(ResultCodeKey(34), 33007);
  EXPECT_FALSE(ResultCodeKey(4));
  EXPECT_FALSE(ResultCodeKey(35));

  Language language(LUMETRA_BIN_DIR, nullptr);
  ASSERT_TRUE(language.SelectLanguage("English"));
  EXPECT_EQ(ResultCodeMessage(language, 1), language.LookupText(33001));
  EXPECT_NE(ResultCodeMessage(language, 1), kTextNotFound);
  EXPECT_EQ(ResultCodeMessage(language, 5), "未知错误: 代号 = 5");
  EXPECT_EQ(ResultCodeMessage(language, 255), "未知错误: 代号 = 255");
}

}  // namespace
}  // namespace lumetra
