#include "render/panel_content.h"

#include <algorithm>
#include <new>

#include "document/document.h"
#include "render/picture.h"
#include "units/timer.h"

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

CSize SentPictureSize(const CTessaraDoc& doc) { return doc.StripPixels(); }

std::int64_t ClockFrame(const CTessaraDoc& doc) {
  for (auto unit = doc.m_units.rbegin(); unit != doc.m_units.rend(); ++unit) {
    if (const auto* clock = dynamic_cast<const CTimer*>(unit->get())) {
      return clock->FrameIn(doc.ClockSettingsForDrawing(), ClockFontHeight());
    }
  }
  return 0;
}

namespace {

// The clocks a view of the document counts.
int ClockCount(const CTessaraDoc& doc) {
  return int(std::ranges::count_if(doc.m_units, [](const auto& unit) { return IsClock(*unit); }));
}

}  // namespace

std::optional<std::int64_t> ClockFrameBeyondPanels(const CTessaraDoc& doc) {
  if (!ShowsClock(doc, ClockCount(doc))) return std::nullopt;
  const std::int64_t frame = ClockFrame(doc);
  return frame > kMaxClockFrame ? std::optional(frame) : std::nullopt;
}

std::optional<PanelState> PanelStateAfterSend(const CTessaraDoc& doc, const SendConditions& send) {
  const std::optional<Bitmap32> strip = RenderPictureStrip(doc, kNoClocks, send.origin);
  if (!strip) return std::nullopt;
  PanelState state;
  state.parameters = BuildParameterBlock(doc, ClockCount(doc));
  try {
    PanelPicture picture{strip->Width(), strip->Height(), ColourFlags(doc.m_nColourSet, send.reverseColour), {}};
    picture.leds.reserve(std::size_t(picture.width) * std::size_t(picture.height));
    for (int y = 0; y < picture.height; ++y) {
      const std::uint32_t* row = strip->Row(y);
      for (int x = 0; x < picture.width; ++x)
        picture.leds.push_back(protocol::LedColourOf(row[x], picture.colourFlags));
    }
    state.picture = std::move(picture);
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  }
  // The clock reaches the panel as its bytes, so it holds what they say.
  const ClockBytes bytes = MakeClockBytes(send.clock);
  if (const std::optional<LocalTime> time = protocol::DecodeClock(bytes)) state.clock = PanelClock{bytes, *time};
  return state;
}

}  // namespace lumetra
