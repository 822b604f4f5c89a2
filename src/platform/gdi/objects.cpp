#include "platform/gdi/objects.h"

#include <cstdlib>

namespace lumetra {

CPen::CPen(std::int32_t style, std::int32_t width, COLORREF color) : logPen_{style, width, color} {}

int CPen::DeviceWidth() const {
  int w = std::abs(logPen_.lopnWidth);
  return w == 0 ? 1 : w;
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
