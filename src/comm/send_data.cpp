#include "comm/send_data.h"

#include <algorithm>
#include <cstdio>

#include "document/document.h"
#include "lang/language.h"

namespace lumetra {
namespace {

std::uint8_t HighByte(std::int64_t v) { return std::uint8_t((v >> 8) & 0xFF); }
std::uint8_t LowByte(std::int64_t v) { return std::uint8_t(v & 0xFF); }
std::uint8_t ByteIn(int v, int lo, int hi) { return std::uint8_t(std::clamp(v, lo, hi)); }

// 1-based row and frame of the clock; 0 means the clock was never drawn and
// is sent as the first, rather than wrapping to 255.
std::uint8_t FromOneBased(int v) { return std::uint8_t(std::max(v, 1) - 1); }

}  // namespace

std::uint8_t SpeedCode(int speedIndex) {
  return kSpeedCodes[std::size_t(std::clamp<int>(speedIndex, 0, int(kSpeedCodes.size()) - 1))];
}

std::uint8_t ClockColourCode(int colourIndex) { return std::uint8_t(3 - std::clamp(colourIndex, 0, 3)); }

bool ShowsClock(const CTessaraDoc& doc, int clockCount) {
  return clockCount > 0 && doc.m_nClockStyle >= 1 && doc.m_nClockStyle <= 4;
}

ParameterBlock BuildParameterBlock(const CTessaraDoc& doc, int clockCount) {
  ParameterBlock b{};
  const std::int64_t height = std::int64_t(doc.m_nHeightWords) * 16;
  const std::int64_t width = std::int64_t(doc.m_nWidthWords) * 16;
  b[0] = HighByte(height);
  b[1] = LowByte(height);
  b[2] = HighByte(width);
  b[3] = LowByte(width);

  const CPlayModeSet& play = doc.m_playMode;
  // Only three rows go out, so the panel must not be told of more.
  b[4] = ByteIn(play.m_nRowCount, 1, kSentPlayModeRows);
  b[5] = ShowsClock(doc, clockCount) ? doc.m_nClockStyle : 0;
  b[6] = ClockColourCode(doc.m_nClockColour);
  b[7] = FromOneBased(doc.m_nClockRow);
  b[8] = FromOneBased(doc.m_nClockFrame);
  b[9] = ByteIn(doc.m_nClockAlign, 0, 2);

  for (int r = 0; r < kSentPlayModeRows; ++r) {
    std::uint8_t* row = &b[10 + 5 * r];
    row[0] = ByteIn(play.m_anMode[r], 0, CPlayModeSet::kPlayModes - 1);
    row[1] = FromOneBased(std::min(play.m_anStart[r], 255));
    row[2] = ByteIn(play.m_anEnd[r], 0, 255);
    row[3] = SpeedCode(play.m_anSpeed[r]);
    row[4] = ByteIn(play.m_anDelay[r], CPlayModeSet::kMinDelay, CPlayModeSet::kMaxDelay);
  }
  return b;
}

std::uint8_t ColourFlags(int colourSet, bool reverseColour) {
  switch (colourSet) {
    case 0:
      return reverseColour ? 0x01 : 0x00;
    case 1:
      return reverseColour ? 0x81 : 0x80;
    default:
      return 0x00;
  }
}

std::uint8_t ToPackedBcd(int value) {
  const int v = std::clamp(value, 0, 99);
  return std::uint8_t(v + (v / 10) * 6);
}

ClockBytes MakeClockBytes(const LocalTime& t) {
  return {ToPackedBcd(t.year / 100), ToPackedBcd(t.year % 100), ToPackedBcd(t.month),  ToPackedBcd(t.day),
          ToPackedBcd(t.dayOfWeek),  ToPackedBcd(t.hour),       ToPackedBcd(t.minute), ToPackedBcd(t.second)};
}

CSize SentPictureSize(const CTessaraDoc& doc) {
  return doc.StripPixels();
}

std::string PortName(int portIndex) { return "COM" + std::to_string(std::clamp(portIndex, 0, 3) + 1); }

std::optional<int> ResultCodeKey(int code) {
  switch (code) {
    case 0:
      return 33000;
    case 1:
    case 2:
    case 3:
      return 33000 + code;
    case 16:
      return 33004;
    case 32:
    case 33:
    case 34:
      return 33005 + (code - 32);
    default:
      return std::nullopt;
  }
}

std::string ResultCodeMessage(const Language& language, int code) {
  if (std::optional<int> key = ResultCodeKey(code)) return language.LookupText(*key);
  char text[64];
  std::snprintf(text, sizeof text, kUnknownResultFormat, code);
  return text;
}

}  // namespace lumetra
