#include "render/playback.h"

#include <algorithm>
#include <climits>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include "document/panel_settings.h"
#include "platform/gdi/dc.h"
#include "units/timer.h"

namespace lumetra {

namespace {

constexpr std::size_t kFirstRowByte = 10;
constexpr std::size_t kRowBytes = 5;
constexpr std::int64_t kMsPerSpeedCode = 5;
constexpr int kClockStyles = 4;
constexpr int kLargestPanelWidth = kMaxWidthWords * kWordPixels;
constexpr int kLargestPanelHeight = kMaxHeightWords * kWordPixels;

int BigEndian16(const ParameterBlock& b, std::size_t at) { return b[at] << 8 | b[at + 1]; }

const PanelPicture* UsablePicture(const PanelState& state) {
  return state.picture && IsWellFormed(*state.picture) ? &*state.picture : nullptr;
}

// A side the parameters give, where the picture has it.
int SideWithin(int given, int available) { return given > 0 && given <= available ? given : available; }

// A black panel still needs a size: a word where none is given, never more than the largest panel.
int SideWithoutPicture(int given, int largest) { return given == 0 ? kWordPixels : std::min(given, largest); }

FrameLayout Layout(const PanelParameters& params, const PanelPicture* picture) {
  if (!picture) {
    return {SideWithoutPicture(params.width, kLargestPanelWidth),
            SideWithoutPicture(params.height, kLargestPanelHeight), 0};
  }
  const int width = SideWithin(params.width, picture->width);
  return {width, SideWithin(params.height, picture->height), picture->width / width};
}

// One row of the show, ready to play: its frames 0-based and its timing in ms.
struct RowPlan {
  int first = 0;
  int last = 0;
  int mode = kPageTurning;
  std::int64_t step = 0;
  std::int64_t slot = 0;  // what each frame takes: entrance and hold

  std::int64_t Duration() const { return slot * (last - first + 1); }
};

// Needs a layout with at least one frame.
RowPlan PlanRow(const PlayRow& row, const FrameLayout& layout) {
  RowPlan plan;
  plan.first = std::clamp(row.start - 1, 0, layout.frames - 1);
  plan.last = std::clamp(row.end - 1, 0, layout.frames - 1);
  if (plan.first > plan.last) std::swap(plan.first, plan.last);
  const bool moves = row.mode == kMoveLeft || row.mode == kMoveRight || row.mode == kStretch;
  plan.mode = moves ? row.mode : kPageTurning;
  plan.step = std::max(row.speedCode, 1) * kMsPerSpeedCode;
  const std::int64_t hold = std::int64_t(row.delay) * 1000;
  plan.slot = moves ? layout.width * plan.step + hold : std::max(hold, plan.step);
  return plan;
}

std::vector<RowPlan> PlanRows(const PanelParameters& params, const FrameLayout& layout) {
  const int used = std::clamp(params.rowCount, 1, kSentPlayModeRows);
  std::vector<RowPlan> plans;
  for (int r = 0; r < used; ++r) plans.push_back(PlanRow(params.rows[std::size_t(r)], layout));
  return plans;
}

// Where the show stands: the frame entering or held, the frame it replaces
// (-1 for black) and how many of its columns the entrance has brought in.
struct Moment {
  int frame = 0;
  int previous = -1;
  int mode = kPageTurning;
  int columns = 0;
};

std::int64_t CycleOf(const std::vector<RowPlan>& rows) {
  std::int64_t cycle = 0;
  for (const RowPlan& row : rows) cycle += row.Duration();
  return cycle;
}

Moment FindMoment(const std::vector<RowPlan>& rows, int width, std::int64_t elapsedMs) {
  const std::int64_t cycle = CycleOf(rows);
  const std::int64_t t = std::max<std::int64_t>(elapsedMs, 0);
  std::int64_t into = t % cycle;
  int previous = t < cycle ? -1 : rows.back().last;
  std::size_t r = 0;
  for (; r + 1 < rows.size() && into >= rows[r].Duration(); ++r) {
    into -= rows[r].Duration();
    previous = rows[r].last;
  }
  const RowPlan& row = rows[r];
  const int index = int(into / row.slot);
  const std::int64_t inSlot = into % row.slot;
  const int frame = row.first + index;
  if (index > 0) previous = frame - 1;
  const bool entering = row.mode != kPageTurning && inSlot < width * row.step;
  return {frame, previous, row.mode, entering ? int(inSlot / row.step) : width};
}

struct ClockMark {
  int frame = 0;
  int y = 0;
  int align = kClockLeft;
  COLORREF colour = 0;
  std::string text;
};

std::optional<ClockMark> ClockToDraw(const PanelState& state, const ClockParameters& clock,
                                     const std::array<COLORREF, 4>& colours, std::int64_t elapsedMs) {
  if (!state.clock || clock.style < 1 || clock.style > kClockStyles) return std::nullopt;
  const LocalTime now = AdvanceClock(state.clock->time, std::max<std::int64_t>(elapsedMs, 0) / 1000);
  return ClockMark{clock.frame, clock.row * kWordPixels, clock.align,
                   colours[std::size_t(ClockColourIndex(clock.colourCode))], CTimer::ClockText(clock.style, now)};
}

// Drawn as the clock unit draws its text: measured and written in the DC's
// current font, here the default one.
void DrawClock(Bitmap32& frame, const ClockMark& clock) {
  CDC dc(frame);
  const int textWidth = dc.GetTextExtent(clock.text).cx;
  dc.SetBkMode(TRANSPARENT);
  dc.SetTextColor(clock.colour);
  dc.TextOut(int(CTimer::LeftAcross(clock.align, frame.Width(), textWidth)), clock.y, clock.text);
}

// Columns [left, left + width) of the picture's top `height` rows.
Bitmap32 PaintLeds(const PanelPicture& picture, int left, int width, int height) {
  std::array<std::uint32_t, 4> pixels;
  std::ranges::transform(PanelColours(picture.colourFlags), pixels.begin(), PixelFromColor);
  Bitmap32 image(width, height);
  for (int y = 0; y < height; ++y) {
    const LedColour* leds = picture.leds.data() + std::size_t(y) * std::size_t(picture.width) + std::size_t(left);
    std::uint32_t* out = image.Row(y);
    for (int x = 0; x < width; ++x) out[x] = pixels[leds[x] & 3];
  }
  return image;
}

Bitmap32 FrameImage(const PanelPicture& picture, const FrameLayout& layout, int frame,
                    const std::optional<ClockMark>& clock) {
  Bitmap32 image = PaintLeds(picture, frame * layout.width, layout.width, layout.height);
  if (clock && clock->frame == frame) DrawClock(image, *clock);
  return image;
}

// Brings `columns` columns of the entering frame over what went before, in place.
void ComposeEntrance(int mode, int columns, const Bitmap32& entering, Bitmap32& shown) {
  const int width = shown.Width();
  const int kept = width - columns;
  for (int y = 0; y < shown.Height(); ++y) {
    const std::uint32_t* in = entering.Row(y);
    std::uint32_t* out = shown.Row(y);
    switch (mode) {
      case kMoveLeft:
        std::copy(out + columns, out + width, out);
        std::copy(in, in + columns, out + kept);
        break;
      case kMoveRight:
        std::copy_backward(out, out + kept, out + width);
        std::copy(in + kept, in + width, out);
        break;
      default:  // stretch
        for (int x = 0; x < columns; ++x) out[x] = in[std::int64_t(x) * width / columns];
        break;
    }
  }
}

bool NarrowInto(std::int64_t value, int& out) {
  if (value < INT_MIN || value > INT_MAX) return false;
  out = int(value);
  return true;
}

}  // namespace

PanelParameters DecodeParameters(const ParameterBlock& b) {
  PanelParameters p;
  p.height = BigEndian16(b, 0);
  p.width = BigEndian16(b, 2);
  p.rowCount = b[4];
  p.clock = {b[5], b[6], b[7], b[8], b[9]};
  for (std::size_t r = 0; r < p.rows.size(); ++r) {
    const std::uint8_t* row = &b[kFirstRowByte + r * kRowBytes];
    p.rows[r] = {row[0], row[1] + 1, row[2], row[3], row[4]};
  }
  return p;
}

int ClockColourIndex(int colourCode) { return 3 - (colourCode & 3); }

std::string_view PlayModeName(int mode) {
  static constexpr std::array<std::string_view, 4> kNames = {"page turning", "move left", "move right", "stretch"};
  return mode >= 0 && mode < int(kNames.size()) ? kNames[std::size_t(mode)] : "unknown";
}

FrameLayout PanelFrameLayout(const PanelState& state) {
  return Layout(DecodeParameters(state.parameters.value_or(ParameterBlock{})), UsablePicture(state));
}

bool IsWellFormed(const PanelPicture& picture) {
  return picture.width > 0 && picture.height > 0 &&
         picture.leds.size() == std::size_t(picture.width) * std::size_t(picture.height);
}

const std::array<COLORREF, 4>& PanelColours(std::uint8_t colourFlags) {
  return ColoursOf((colourFlags & kFlagYellowAndBlue) ? kYellowAndBlue : kRedAndGreen).colours;
}

Bitmap32 RenderPanelPicture(const PanelPicture& picture) {
  return IsWellFormed(picture) ? PaintLeds(picture, 0, picture.width, picture.height) : Bitmap32();
}

LocalTime AdvanceClock(const LocalTime& time, std::int64_t seconds) {
  std::tm parts{};
  if (!NarrowInto(std::int64_t(time.year) - 1900, parts.tm_year) ||
      !NarrowInto(std::int64_t(time.month) - 1, parts.tm_mon)) {
    return time;
  }
  parts.tm_mday = time.day;
  parts.tm_hour = time.hour;
  parts.tm_min = time.minute;
  parts.tm_sec = time.second;
  // The clock keeps no time zone, so the calendar is worked in UTC, free of daylight saving.
  std::time_t later = 0;
  std::tm out{};
  if (__builtin_add_overflow(timegm(&parts), seconds, &later) || !gmtime_r(&later, &out) ||
      out.tm_year > INT_MAX - 1900) {
    return time;
  }
  return {out.tm_year + 1900, out.tm_mon + 1, out.tm_mday, out.tm_wday, out.tm_hour, out.tm_min, out.tm_sec};
}

std::int64_t ShowCycleMs(const PanelState& state) {
  const PanelParameters params = DecodeParameters(state.parameters.value_or(ParameterBlock{}));
  const PanelPicture* picture = UsablePicture(state);
  return picture ? CycleOf(PlanRows(params, Layout(params, picture))) : 0;
}

Bitmap32 RenderPanelFrame(const PanelState& state, std::int64_t elapsedMs) {
  const PanelParameters params = DecodeParameters(state.parameters.value_or(ParameterBlock{}));
  const PanelPicture* picture = UsablePicture(state);
  const FrameLayout layout = Layout(params, picture);
  if (!picture) return Bitmap32(layout.width, layout.height);

  const Moment now = FindMoment(PlanRows(params, layout), layout.width, elapsedMs);
  const std::optional<ClockMark> clock =
      ClockToDraw(state, params.clock, PanelColours(picture->colourFlags), elapsedMs);
  Bitmap32 entering = FrameImage(*picture, layout, now.frame, clock);
  if (now.columns >= layout.width) return entering;
  Bitmap32 shown =
      now.previous < 0 ? Bitmap32(layout.width, layout.height) : FrameImage(*picture, layout, now.previous, clock);
  ComposeEntrance(now.mode, now.columns, entering, shown);
  return shown;
}

}  // namespace lumetra
