#include "platform/gdi/objects.h"

#include <algorithm>
#include <cstdlib>

namespace lumetra {
namespace {

// Dash lengths stay far below the 32-bit range, whatever a file asked for.
std::uint32_t Scaled(std::uint64_t run, std::uint64_t factor) {
  return std::uint32_t(std::min<std::uint64_t>(run * factor, 1u << 30));
}

}  // namespace

CPen::CPen(std::int32_t style, std::int32_t width, COLORREF color) : logPen_{style, width, color} {}

CPen CPen::ExtCreatePen(std::uint32_t style, int width, COLORREF color, std::span<const std::uint32_t> dashes) {
  CPen pen(std::int32_t(style), width, color);
  pen.extended_ = true;
  if (pen.StyleType() == PS_USERSTYLE) {
    pen.userDashes_.assign(dashes.begin(), dashes.begin() + std::min(dashes.size(), kMaxUserDashes));
  }
  return pen;
}

std::vector<std::uint32_t> CPen::DashRuns() const {
  std::vector<std::uint32_t> runs;
  std::int32_t style = StyleType();
  bool geometric = IsGeometric();
  if (!geometric && DeviceWidth() > 1) return runs;  // wide cosmetic pens are drawn solid
  if (style == PS_USERSTYLE) {
    runs = userDashes_;
    // Cosmetic entries are in units of three pixels.
    if (!geometric) {
      for (std::uint32_t& r : runs) r = Scaled(r, 3);
    }
  } else if (geometric) {
    switch (style) {
      case PS_DASH:
        runs = {3, 1};
        break;
      case PS_DOT:
        runs = {1, 1};
        break;
      case PS_DASHDOT:
        runs = {3, 1, 1, 1};
        break;
      case PS_DASHDOTDOT:
        runs = {3, 1, 1, 1, 1, 1};
        break;
      default:
        return runs;
    }
    auto w = std::uint32_t(DeviceWidth());
    for (std::uint32_t& r : runs) r = Scaled(r, w);
    // Round and square caps reach w/2 past each end of a dash: make room for them.
    if (EndCap() != PS_ENDCAP_FLAT) {
      for (std::size_t i = 0; i + 1 < runs.size(); i += 2) {
        runs[i] = runs[i] > w ? runs[i] - w : 0;
        runs[i + 1] = Scaled(runs[i + 1] + std::uint64_t(w), 1);
      }
    }
  } else {
    switch (style) {
      case PS_DASH:
        runs = {18, 6};
        break;
      case PS_DOT:
        runs = {3, 3};
        break;
      case PS_DASHDOT:
        runs = {9, 6, 3, 6};
        break;
      case PS_DASHDOTDOT:
        runs = {9, 3, 3, 3, 3, 3};
        break;
      case PS_ALTERNATE:
        runs = extended_ ? std::vector<std::uint32_t>{1, 1} : runs;
        break;
      default:
        break;
    }
  }
  // An odd count repeats with "on" and "off" swapped.
  if (runs.size() % 2 == 1) {
    std::size_t n = runs.size();
    for (std::size_t i = 0; i < n; ++i) runs.push_back(runs[i]);
  }
  return runs;
}

int CPen::DeviceWidth() const {
  std::int64_t w = std::llabs(std::int64_t(logPen_.lopnWidth));
  return w == 0 ? 1 : int(std::min<std::int64_t>(w, kMaxDeviceWidth));
}

CRect CPen::FrameBox(const CRect& box) const {
  int width = IsNull() ? 0 : DeviceWidth();
  if (StyleType() != PS_INSIDEFRAME || width <= 1) return box;
  return {box.left + width / 2, box.top + width / 2, box.right - (width - 1) / 2, box.bottom - (width - 1) / 2};
}

std::uint8_t CBrush::HatchRow(int row) const {
  static constexpr std::uint8_t kHatches[6][8] = {
      {0x00, 0x00, 0x00, 0xFF, 0x00, 0x00, 0x00, 0x00},  // horizontal
      {0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08},  // vertical
      {0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01},  // forward diagonal
      {0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80},  // backward diagonal
      {0x08, 0x08, 0x08, 0xFF, 0x08, 0x08, 0x08, 0x08},  // cross
      {0x81, 0x42, 0x24, 0x18, 0x18, 0x24, 0x42, 0x81},  // diagonal cross
  };
  int hatch = logBrush_.lbHatch;
  if (hatch < 0 || hatch > 5) hatch = 0;
  return kHatches[hatch][row & 7];
}

CPen& StockBlackPen() {
  static CPen pen(PS_SOLID, 1, 0x000000);
  return pen;
}
CPen& StockNullPen() {
  static CPen pen(PS_NULL, 0, 0x000000);
  return pen;
}
CBrush& StockWhiteBrush() {
  static CBrush brush = CBrush::Solid(0xFFFFFF);
  return brush;
}
CBrush& StockNullBrush() {
  static CBrush brush({BS_NULL, 0, 0});
  return brush;
}

}  // namespace lumetra
