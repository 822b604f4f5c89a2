#pragma once
// CDC: a device context over a Bitmap32 that draws exactly as GDI does on a
// 32-bpp DIB section. It starts in GDI's default state and keeps the state
// the drawing code relies on; DCStateGuard saves and restores it. It also
// tells the box a drawing call would paint, without painting.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/codepage/codepage.h"
#include "platform/gdi/bitmap.h"
#include "platform/gdi/bitmap_info.h"
#include "platform/gdi/font.h"
#include "platform/gdi/objects.h"
#include "platform/gdi/region.h"
#include "platform/gdi/rop2.h"
#include "platform/gdi/spans.h"
#include "platform/types.h"

namespace lumetra {

enum : int { ALTERNATE = 1, WINDING = 2 };
enum : int { AD_COUNTERCLOCKWISE = 1, AD_CLOCKWISE = 2 };
enum : int { BLACKONWHITE = 1, WHITEONBLACK = 2, COLORONCOLOR = 3, HALFTONE = 4 };
enum : unsigned {
  TA_NOUPDATECP = 0,
  TA_UPDATECP = 1,
  TA_LEFT = 0,
  TA_RIGHT = 2,
  TA_CENTER = 6,
  TA_TOP = 0,
  TA_BOTTOM = 8,
  TA_BASELINE = 24,
};
enum : unsigned { ETO_OPAQUE = 2, ETO_CLIPPED = 4 };
enum : unsigned { DIB_RGB_COLORS = 0 };
enum : std::uint32_t {
  SRCCOPY = 0x00CC0020,
  PATCOPY = 0x00F00021,
  PATINVERT = 0x005A0049,
  DSTINVERT = 0x00550009,
  BLACKNESS = 0x00000042,
  WHITENESS = 0x00FF0062,
};

struct TEXTMETRIC {
  std::int32_t tmHeight = 0;
  std::int32_t tmAscent = 0;
  std::int32_t tmDescent = 0;
  std::int32_t tmInternalLeading = 0;
  std::int32_t tmExternalLeading = 0;
  std::int32_t tmAveCharWidth = 0;
  std::int32_t tmMaxCharWidth = 0;
};

// A DIB in memory: the information header followed by its colour table, and the pixel rows.
struct DibView {
  const BITMAPINFOHEADER* header;  // colour table right after it
  std::size_t headerSize;          // bytes from `header` that may be read: header and colour table
  const std::uint8_t* bits;
  std::size_t bitsSize;
};

class CDC {
 public:
  explicit CDC(Bitmap32& target);

  Bitmap32& Target() { return *target_; }

  // Selected objects; each returns the one it replaces. The objects stay owned by the caller.
  CPen* SelectObject(CPen* pen);
  CBrush* SelectObject(CBrush* brush);
  const CFont* SelectObject(const CFont* font);
  CPen& CurrentPen() const { return *pen_; }
  CBrush& CurrentBrush() const { return *brush_; }
  const CFont& CurrentFont() const { return *font_; }

  int SetROP2(int rop);
  int GetROP2() const { return rop2_; }
  int SetBkMode(int mode);
  int GetBkMode() const { return bkMode_; }
  COLORREF SetBkColor(COLORREF c);
  COLORREF GetBkColor() const { return bkColor_; }
  COLORREF SetTextColor(COLORREF c);
  COLORREF GetTextColor() const { return textColor_; }
  unsigned SetTextAlign(unsigned align);
  unsigned GetTextAlign() const { return textAlign_; }
  // Extra pixels added to every character's advance, in text extents and in
  // output alike (negative values draw characters closer); returns the old value.
  int SetTextCharacterExtra(int extra);
  int GetTextCharacterExtra() const { return charExtra_; }
  int SetPolyFillMode(int mode);
  int SetArcDirection(int direction);
  int GetArcDirection() const { return arcDirection_; }
  int SetStretchBltMode(int mode);
  CPoint SetBrushOrg(int x, int y);
  CPoint GetBrushOrg() const { return brushOrg_; }
  CPoint SetWindowOrg(int x, int y);
  CPoint GetWindowOrg() const { return windowOrg_; }
  CPoint SetViewportOrg(int x, int y);
  CPoint GetViewportOrg() const { return viewportOrg_; }
  // The code page of text given as bytes: the program's TextCodePage() unless set otherwise.
  void SetCodePage(std::string codePage) { codePage_ = std::move(codePage); }
  const std::string& GetCodePage() const { return codePage_; }

  // Clipping to a rectangle in device coordinates; nullopt removes it.
  void SetClipRect(std::optional<CRect> clip);
  // Clipping to a region in device coordinates; nullptr removes it.
  void SelectClipRgn(const CRgn* rgn);

  // Device coordinates are kept within ±kDeviceLimit, far outside any bitmap,
  // so that widths and offsets computed from them cannot overflow.
  static constexpr std::int32_t kDeviceLimit = 1 << 27;
  CPoint LPtoDP(CPoint p) const {
    return {Clamp(std::int64_t(p.x) - windowOrg_.x + viewportOrg_.x),
            Clamp(std::int64_t(p.y) - windowOrg_.y + viewportOrg_.y)};
  }
  CPoint DPtoLP(CPoint p) const {
    return {Clamp(std::int64_t(p.x) + windowOrg_.x - viewportOrg_.x),
            Clamp(std::int64_t(p.y) + windowOrg_.y - viewportOrg_.y)};
  }
  // The device rectangle of a block operation at logical (x, y) with extents
  // w and h; a negative extent covers [x + w + 1, x + 1), its start pixel included.
  CRect BlockRect(int x, int y, int w, int h) const;

  // Lines with the current pen. LineTo leaves its end pixel unpainted.
  CPoint MoveTo(int x, int y);
  CPoint GetCurrentPosition() const { return currentPos_; }
  bool LineTo(int x, int y);
  bool Polyline(std::span<const CPoint> points);

  // Shapes: outline with the pen, interior with the brush.
  bool Rectangle(int l, int t, int r, int b);
  bool RoundRect(int l, int t, int r, int b, int ew, int eh);
  bool Ellipse(int l, int t, int r, int b);
  bool Arc(int l, int t, int r, int b, int xs, int ys, int xe, int ye);
  bool Chord(int l, int t, int r, int b, int xs, int ys, int xe, int ye);
  bool Pie(int l, int t, int r, int b, int xs, int ys, int xe, int ye);
  bool Polygon(std::span<const CPoint> points);
  bool PolyBezier(std::span<const CPoint> points);

  // SetPixel combines through the raster operation; both return CLR_INVALID outside the bitmap.
  COLORREF SetPixel(int x, int y, COLORREF c);
  COLORREF GetPixel(int x, int y) const;

  // Block transfers. PatBlt handles the raster operations that need no source.
  bool PatBlt(int x, int y, int w, int h, std::uint32_t rop);
  // Fills with the colour directly, whatever the raster operation (and sets it as background colour).
  void FillSolidRect(int x, int y, int w, int h, COLORREF c);
  void FillRgn(const CRgn& rgn, const CBrush& brush);
  bool BitBlt(int x, int y, int w, int h, const CDC& src, int xs, int ys, std::uint32_t rop);
  bool StretchBlt(int x, int y, int w, int h, const CDC& src, int xs, int ys, int ws, int hs, std::uint32_t rop);
  int StretchDIBits(int x, int y, int w, int h, int xs, int ys, int ws, int hs, const DibView& dib, unsigned usage,
                    std::uint32_t rop);

  // Text in the selected font. Byte strings are in the code page (a byte with
  // the high bit set leads a double-byte character); u32 strings are Unicode.
  bool GetTextMetrics(TEXTMETRIC& tm) const;
  CSize GetTextExtent(std::string_view text) const;
  CSize GetTextExtent(std::u32string_view text) const;
  bool TextOut(int x, int y, std::string_view text);
  bool TextOut(int x, int y, std::u32string_view text);
  bool ExtTextOut(int x, int y, unsigned options, const CRect* rect, std::string_view text);
  bool ExtTextOut(int x, int y, unsigned options, const CRect* rect, std::u32string_view text);

  // The box of the pixels a call with the same arguments paints in the DC's
  // present state (pen, brush, font, background mode, arc direction, text
  // alignment, origins, current position), wherever they fall: in logical
  // coordinates, right and bottom edges outside, (0, 0, 0, 0) when it paints
  // nothing. The bitmap's size, the clipping and the raster operation play no
  // part, and the gaps of a styled one-pixel pen count as painted, as an
  // opaque background paints them. The box is exact for solid pens with round
  // ends and joins, which every pen of CreatePen is; other pens of
  // ExtCreatePen get the reach their stroke is allowed.
  CRect PolylineBounds(std::span<const CPoint> points) const;
  CRect RectangleBounds(int l, int t, int r, int b) const;
  CRect RoundRectBounds(int l, int t, int r, int b, int ew, int eh) const;
  CRect EllipseBounds(int l, int t, int r, int b) const;
  CRect ArcBounds(int l, int t, int r, int b, int xs, int ys, int xe, int ye) const;
  CRect PolyBezierBounds(std::span<const CPoint> points) const;
  CRect ExtTextOutBounds(int x, int y, unsigned options, const CRect* rect, std::string_view text) const;
  // The ink box of each code point of `text` as ExtTextOut(x, y, 0, nullptr,
  // text) places it: logical coordinates, (0, 0, 0, 0) for one without ink.
  std::vector<CRect> GlyphInkBoxes(int x, int y, std::u32string_view text) const;

  // Painting helpers for the drawing code: device coordinates, raster
  // operation and clipping applied.
  void PaintPixel(int x, int y, std::uint32_t pixel);
  // One-pixel pens paint through this for every pixel, so it is inline.
  void PaintPixel(int x, int y, const Rop2Mix& mix) {
    if (Clipped(x, y)) return;
    std::uint32_t& d = target_->At(x, y);
    d = mix.Apply(d);
  }
  void PaintSpans(const SpanSet& spans, std::uint32_t pixel) { PaintSpans(spans, pixel, rop2_); }
  void PaintSpansWithBrush(const SpanSet& spans, const CBrush& brush) { PaintSpansWithBrush(spans, brush, rop2_); }
  void PaintSpans(const SpanSet& spans, std::uint32_t pixel, int rop2);
  void PaintSpansWithBrush(const SpanSet& spans, const CBrush& brush, int rop2);
  // The rectangle drawing may touch: bitmap ∩ clip rectangle, in device coordinates.
  const CRect& DrawableBounds() const { return drawable_; }

 private:
  friend class DCStateGuard;
  struct State {
    CPen* pen;
    CBrush* brush;
    const CFont* font;
    int rop2;
    int bkMode;
    COLORREF bkColor;
    COLORREF textColor;
    unsigned textAlign;
    int charExtra;
    int polyFillMode;
    int arcDirection;
    int stretchMode;
    CPoint brushOrg;
    CPoint windowOrg;
    CPoint viewportOrg;
    CPoint currentPos;
    std::optional<CRect> clipRect;
    std::optional<SpanSet> clipRegion;
  };
  static std::int32_t Clamp(std::int64_t v) {
    return std::int32_t(v < -kDeviceLimit ? -kDeviceLimit : v > kDeviceLimit ? kDeviceLimit : v);
  }
  State SaveState() const;
  void RestoreState(const State& s);
  void UpdateDrawable();
  // Calls paint(span) with the part of each device span that drawing may touch.
  template <typename Paint>
  void ForEachVisibleSpan(const SpanSet& spans, Paint&& paint) const;
  bool Clipped(int x, int y) const {
    return !drawable_.PtInRect({x, y}) || (clipRegion_ && !clipRegion_->Contains(x, y));
  }

  std::vector<CPoint> ToDevice(std::span<const CPoint> points) const;
  // A device box in logical coordinates; an empty one is (0, 0, 0, 0).
  CRect ToLogical(const CRect& device) const;

  // Strokes a path of device points with the current pen; a closed path also
  // runs from the last point back to the first.
  void StrokePath(std::span<const CPoint> devicePoints, bool closed);
  // A closed figure: the interior (device spans) with the brush, then the
  // outline (device points, closed) with the pen; a wide pen's area is
  // painted once and the brush only outside it.
  void FillAndStroke(const SpanSet& interior, std::span<const CPoint> outline);
  // The device boxes of what StrokePath paints, and of what FillAndStroke
  // paints for an interior within `interior`.
  CRect StrokeBounds(std::span<const CPoint> devicePoints, bool closed) const;
  CRect FigureBounds(const CRect& interior, std::span<const CPoint> outline) const;

  Bitmap32* target_;
  CPen* pen_;
  CBrush* brush_;
  const CFont* font_;
  int rop2_ = R2_COPYPEN;
  int bkMode_ = OPAQUE;
  COLORREF bkColor_ = 0xFFFFFF;
  COLORREF textColor_ = 0x000000;
  unsigned textAlign_ = TA_TOP | TA_LEFT;
  int charExtra_ = 0;
  int polyFillMode_ = ALTERNATE;
  int arcDirection_ = AD_COUNTERCLOCKWISE;
  int stretchMode_ = BLACKONWHITE;
  CPoint brushOrg_;
  CPoint windowOrg_;
  CPoint viewportOrg_;
  CPoint currentPos_;
  std::optional<CRect> clipRect_;
  std::optional<SpanSet> clipRegion_;
  CRect drawable_;
  std::string codePage_ = TextCodePage();
};

inline constexpr COLORREF CLR_INVALID = 0xFFFFFFFF;

// Saves the whole drawing state of a CDC and puts it back when it goes out of scope.
class DCStateGuard {
 public:
  explicit DCStateGuard(CDC& dc) : dc_(dc), saved_(dc.SaveState()) {}
  ~DCStateGuard() { dc_.RestoreState(saved_); }
  DCStateGuard(const DCStateGuard&) = delete;
  DCStateGuard& operator=(const DCStateGuard&) = delete;

 private:
  CDC& dc_;
  CDC::State saved_;
};

}  // namespace lumetra
