#pragma once
// Pens and brushes: what CreatePen and CreateBrushIndirect describe, and the
// stock objects a device context starts with.

#include <cstdint>
#include <span>
#include <vector>

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
  PS_USERSTYLE = 7,
  PS_ALTERNATE = 8,
  PS_STYLE_MASK = 0x0000000F,
  PS_ENDCAP_ROUND = 0x00000000,
  PS_ENDCAP_SQUARE = 0x00000100,
  PS_ENDCAP_FLAT = 0x00000200,
  PS_ENDCAP_MASK = 0x00000F00,
  PS_JOIN_ROUND = 0x00000000,
  PS_JOIN_BEVEL = 0x00001000,
  PS_JOIN_MITER = 0x00002000,
  PS_JOIN_MASK = 0x0000F000,
  PS_COSMETIC = 0x00000000,
  PS_GEOMETRIC = 0x00010000,
  PS_TYPE_MASK = 0x000F0000,
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
  static constexpr std::size_t kMaxUserDashes = 16;

  CPen(std::int32_t style, std::int32_t width, COLORREF color);
  // A pen with a solid brush of `color`: `style` combines type, dash style,
  // end cap and join; `dashes` only counts for PS_USERSTYLE (at most 16 are kept).
  static CPen ExtCreatePen(std::uint32_t style, int width, COLORREF color, std::span<const std::uint32_t> dashes);

  const LOGPEN& GetLogPen() const { return logPen_; }
  // Wider than this a pen covers every pixel it could reach on any canvas.
  static constexpr int kMaxDeviceWidth = 1 << 15;
  // Width in device pixels: 0 means 1, negative widths count as positive.
  int DeviceWidth() const;
  bool IsNull() const { return StyleType() == PS_NULL; }
  // The box a figure is drawn in: a wide inside-frame pen pulls it in so that
  // the outline stays inside (which may leave it empty or inverted).
  CRect FrameBox(const CRect& box) const;

  bool IsExtended() const { return extended_; }
  bool IsGeometric() const { return extended_ && (logPen_.lopnStyle & PS_TYPE_MASK) == PS_GEOMETRIC; }
  // The dash style alone (PS_SOLID ... PS_ALTERNATE), whichever way the pen was made.
  std::int32_t StyleType() const { return extended_ ? logPen_.lopnStyle & PS_STYLE_MASK : logPen_.lopnStyle; }
  // CreatePen pens always have round caps and joins.
  std::int32_t EndCap() const { return extended_ ? logPen_.lopnStyle & PS_ENDCAP_MASK : PS_ENDCAP_ROUND; }
  std::int32_t Join() const { return extended_ ? logPen_.lopnStyle & PS_JOIN_MASK : PS_JOIN_ROUND; }
  const std::vector<std::uint32_t>& UserDashes() const { return userDashes_; }

  // On/off lengths in pixels, starting "on", that the pen's dashes repeat;
  // empty for pens drawn solid. Geometric lengths are Euclidean along the
  // path, cosmetic ones count pixels along the major axis.
  std::vector<std::uint32_t> DashRuns() const;

 private:
  LOGPEN logPen_;
  bool extended_ = false;
  std::vector<std::uint32_t> userDashes_;
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
