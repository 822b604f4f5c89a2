#pragma once
// Pens and brushes: what CreatePen and CreateBrushIndirect describe, and the
// stock objects a device context starts with.

#include <cstdint>

#include "platform/types.h"

namespace lumetra {

enum : std::int32_t {
  PS_SOLID = 0,
  PS_DASH = 1,
  PS_DOT = 2,
  PS_DASHDOT = 3,
  PS_DASHDOTDOT = 4,
  PS_NULL = 5,
  PS_INSIDEFRAME = 6,
};
enum : std::int32_t { BS_SOLID = 0, BS_HOLLOW = 1, BS_NULL = 1, BS_HATCHED = 2 };
enum : std::int32_t {
  HS_HORIZONTAL = 0,
  HS_VERTICAL = 1,
  HS_FDIAGONAL = 2,
  HS_BDIAGONAL = 3,
  HS_CROSS = 4,
  HS_DIAGCROSS = 5,
};
enum : std::int32_t { TRANSPARENT = 1, OPAQUE = 2 };

struct LOGPEN {
  std::int32_t lopnStyle = PS_SOLID;
  std::int32_t lopnWidth = 1;
  COLORREF lopnColor = 0;
};

struct LOGBRUSH {
  std::int32_t lbStyle = BS_SOLID;
  COLORREF lbColor = 0;
  std::int32_t lbHatch = HS_HORIZONTAL;
};

class CPen {
 public:
  CPen(std::int32_t style, std::int32_t width, COLORREF color);
  const LOGPEN& GetLogPen() const { return logPen_; }
  // Width in device pixels: 0 means 1, negative widths count as positive.
  int DeviceWidth() const;
  bool IsNull() const { return logPen_.lopnStyle == PS_NULL; }

 private:
  LOGPEN logPen_;
};

class CBrush {
 public:
  explicit CBrush(const LOGBRUSH& lb) : logBrush_(lb) {}
  static CBrush Solid(COLORREF color) { return CBrush({BS_SOLID, color, 0}); }
  static CBrush Hatch(std::int32_t hatch, COLORREF color) { return CBrush({BS_HATCHED, color, hatch}); }

  const LOGBRUSH& GetLogBrush() const { return logBrush_; }
  bool IsHollow() const { return logBrush_.lbStyle == BS_HOLLOW; }
  // Row `row` (0..7) of the 8 x 8 hatch pattern, bit 0x80 being column 0.
  std::uint8_t HatchRow(int row) const;

 private:
  LOGBRUSH logBrush_;
};

// The stock objects: selected by default or chosen explicitly.
CPen& StockBlackPen();
CPen& StockNullPen();
CBrush& StockWhiteBrush();
CBrush& StockNullBrush();

}  // namespace lumetra
