#include "platform/gdi/dc.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace lumetra {

CDC::CDC(Bitmap32& target)
    : target_(&target), pen_(&StockBlackPen()), brush_(&StockWhiteBrush()), font_(&StockSystemFont()) {
  UpdateDrawable();
}

CPen* CDC::SelectObject(CPen* pen) { return std::exchange(pen_, pen ? pen : &StockBlackPen()); }
CBrush* CDC::SelectObject(CBrush* brush) { return std::exchange(brush_, brush ? brush : &StockWhiteBrush()); }
const CFont* CDC::SelectObject(const CFont* font) { return std::exchange(font_, font ? font : &StockSystemFont()); }

int CDC::SetROP2(int rop) { return std::exchange(rop2_, (rop >= R2_BLACK && rop <= R2_WHITE) ? rop : rop2_); }
int CDC::SetBkMode(int mode) { return std::exchange(bkMode_, mode == TRANSPARENT ? TRANSPARENT : OPAQUE); }
COLORREF CDC::SetBkColor(COLORREF c) { return std::exchange(bkColor_, c); }
COLORREF CDC::SetTextColor(COLORREF c) { return std::exchange(textColor_, c); }
unsigned CDC::SetTextAlign(unsigned align) { return std::exchange(textAlign_, align); }

int CDC::SetTextCharacterExtra(int extra) { return std::exchange(charExtra_, extra); }
int CDC::SetPolyFillMode(int mode) { return std::exchange(polyFillMode_, mode == WINDING ? WINDING : ALTERNATE); }
int CDC::SetArcDirection(int direction) {
  return std::exchange(arcDirection_, direction == AD_CLOCKWISE ? AD_CLOCKWISE : AD_COUNTERCLOCKWISE);
}
int CDC::SetStretchBltMode(int mode) { return std::exchange(stretchMode_, mode); }
CPoint CDC::SetBrushOrg(int x, int y) { return std::exchange(brushOrg_, CPoint{x, y}); }
CPoint CDC::SetWindowOrg(int x, int y) { return std::exchange(windowOrg_, CPoint{x, y}); }
CPoint CDC::SetViewportOrg(int x, int y) { return std::exchange(viewportOrg_, CPoint{x, y}); }

void CDC::SetClipRect(std::optional<CRect> clip) {
  clipRect_ = clip ? std::optional<CRect>(clip->Normalized()) : std::nullopt;
  UpdateDrawable();
}

// Only the part over the bitmap matters for clipping.
void CDC::SelectClipRgn(const CRgn* rgn) {
  clipRegion_ =
      rgn ? std::optional<SpanSet>(rgn->SpansWithin({0, 0, target_->Width(), target_->Height()})) : std::nullopt;
}

std::vector<CPoint> CDC::ToDevice(std::span<const CPoint> points) const {
  std::vector<CPoint> device(points.size());
  std::transform(points.begin(), points.end(), device.begin(), [&](CPoint p) { return LPtoDP(p); });
  return device;
}

CRect CDC::ToLogical(const CRect& device) const {
  if (device.IsEmpty()) return {};
  const CPoint topLeft = DPtoLP({device.left, device.top}), bottomRight = DPtoLP({device.right, device.bottom});
  return {topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
}

void CDC::UpdateDrawable() {
  drawable_ = {0, 0, target_->Width(), target_->Height()};
  if (clipRect_) drawable_ = drawable_.ClipTo(*clipRect_);
}

CDC::State CDC::SaveState() const {
  return {pen_,        brush_,    font_,       rop2_,         bkMode_,       bkColor_,
          textColor_,  textAlign_, charExtra_,  polyFillMode_, arcDirection_, stretchMode_,
          brushOrg_,   windowOrg_, viewportOrg_, currentPos_,  clipRect_,     clipRegion_};
}

void CDC::RestoreState(const State& s) {
  pen_ = s.pen;
  brush_ = s.brush;
  font_ = s.font;
  rop2_ = s.rop2;
  bkMode_ = s.bkMode;
  bkColor_ = s.bkColor;
  textColor_ = s.textColor;
  textAlign_ = s.textAlign;
  charExtra_ = s.charExtra;
  polyFillMode_ = s.polyFillMode;
  arcDirection_ = s.arcDirection;
  stretchMode_ = s.stretchMode;
  brushOrg_ = s.brushOrg;
  windowOrg_ = s.windowOrg;
  viewportOrg_ = s.viewportOrg;
  currentPos_ = s.currentPos;
  clipRect_ = s.clipRect;
  clipRegion_ = s.clipRegion;
  UpdateDrawable();
}

void CDC::PaintPixel(int x, int y, std::uint32_t pixel) { PaintPixel(x, y, MixFor(rop2_, pixel)); }

// Without a clip region the spans are clipped one by one as they are
// painted: most drawing needs no copy of them.
template <typename Paint>
void CDC::ForEachVisibleSpan(const SpanSet& spans, Paint&& paint) const {
  if (clipRegion_) {
    const SpanSet visible = spans.ClipTo(drawable_).Intersect(*clipRegion_);
    for (const Span& s : visible.Spans()) paint(s);
    return;
  }
  for (const Span& s : spans.Spans()) {
    if (s.y < drawable_.top || s.y >= drawable_.bottom) continue;
    const Span visible{s.y, std::max(s.x0, drawable_.left), std::min(s.x1, drawable_.right)};
    if (visible.x0 < visible.x1) paint(visible);
  }
}

void CDC::PaintSpans(const SpanSet& spans, std::uint32_t pixel, int rop2) {
  Rop2Mix mix = MixFor(rop2, pixel);
  ForEachVisibleSpan(spans, [&](const Span& s) {
    std::uint32_t* row = target_->Row(s.y);
    if (mix.andMask == 0) {
      std::fill(row + s.x0, row + s.x1, mix.xorMask);  // the destination plays no part
    } else {
      for (int x = s.x0; x < s.x1; ++x) row[x] = mix.Apply(row[x]);
    }
  });
}

// Hatch bits take the brush colour; the others the background colour when
// the background mode is OPAQUE, and are left alone otherwise. The pattern is
// anchored at the brush origin in device pixels.
void CDC::PaintSpansWithBrush(const SpanSet& spans, const CBrush& brush, int rop2) {
  const LOGBRUSH& lb = brush.GetLogBrush();
  if (lb.lbStyle == BS_NULL) return;
  if (lb.lbStyle != BS_HATCHED) {
    PaintSpans(spans, PixelFromColor(lb.lbColor), rop2);
    return;
  }
  Rop2Mix fore = MixFor(rop2, PixelFromColor(lb.lbColor));
  // A transparent gap is the raster operation that keeps the destination.
  Rop2Mix back = bkMode_ == OPAQUE ? MixFor(rop2, PixelFromColor(bkColor_)) : Rop2Mix{~0u, 0};
  bool writeOnly = fore.andMask == 0 && back.andMask == 0;
  ForEachVisibleSpan(spans, [&](const Span& s) {
    std::uint8_t bits = brush.HatchRow(int((std::uint32_t(s.y) - std::uint32_t(brushOrg_.y)) & 7));
    // The row's eight mixes, rotated so that entry k serves column x0 + k.
    std::uint32_t andMasks[8], xorMasks[8];
    int phase = int((std::uint32_t(s.x0) - std::uint32_t(brushOrg_.x)) & 7);
    for (int k = 0; k < 8; ++k) {
      const Rop2Mix& m = (bits & (0x80 >> ((phase + k) & 7))) ? fore : back;
      andMasks[k] = m.andMask;
      xorMasks[k] = m.xorMask;
    }
    std::uint32_t* row = target_->Row(s.y) + s.x0;
    int n = s.x1 - s.x0, x = 0;
    // Whole blocks of eight pixels repeat the pattern exactly.
    if (writeOnly) {
      for (; x + 8 <= n; x += 8) std::memcpy(row + x, xorMasks, sizeof xorMasks);
      for (; x < n; ++x) row[x] = xorMasks[x & 7];
    } else {
      for (; x + 8 <= n; x += 8) {
        for (int k = 0; k < 8; ++k) row[x + k] = (row[x + k] & andMasks[k]) ^ xorMasks[k];
      }
      for (; x < n; ++x) row[x] = (row[x] & andMasks[x & 7]) ^ xorMasks[x & 7];
    }
  });
}

COLORREF CDC::SetPixel(int x, int y, COLORREF c) {
  CPoint d = LPtoDP({x, y});
  if (!target_->Contains(d.x, d.y)) return CLR_INVALID;
  PaintPixel(d.x, d.y, PixelFromColor(c));
  return ColorFromPixel(target_->At(d.x, d.y) & 0xFFFFFF);
}

COLORREF CDC::GetPixel(int x, int y) const {
  CPoint d = LPtoDP({x, y});
  if (!target_->Contains(d.x, d.y)) return CLR_INVALID;
  return ColorFromPixel(target_->At(d.x, d.y) & 0xFFFFFF);
}

CRect CDC::BlockRect(int x, int y, int w, int h) const {
  CPoint a = LPtoDP({x, y});
  auto from = [](std::int32_t start, int extent) { return extent < 0 ? std::int64_t(start) + extent + 1 : start; };
  auto to = [](std::int32_t start, int extent) {
    return extent < 0 ? std::int64_t(start) + 1 : std::int64_t(start) + extent;
  };
  return {Clamp(from(a.x, w)), Clamp(from(a.y, h)), Clamp(to(a.x, w)), Clamp(to(a.y, h))};
}

// Raster operations that use no source become binary raster operations on the brush.
bool CDC::PatBlt(int x, int y, int w, int h, std::uint32_t rop) {
  int rop2 = int(((rop >> 18) & 0x0C) | ((rop >> 16) & 0x03)) + 1;
  SpanSet block = SpanSet::FromRect(BlockRect(x, y, w, h), drawable_);
  unsigned code = unsigned(rop2 - 1);
  if ((code & 3) == ((code >> 2) & 3)) {
    PaintSpans(block, 0, rop2);  // BLACKNESS, WHITENESS, DSTINVERT: the brush plays no part
  } else {
    PaintSpansWithBrush(block, *brush_, rop2);
  }
  return true;
}

void CDC::FillSolidRect(int x, int y, int w, int h, COLORREF c) {
  SetBkColor(c);
  CPoint a = LPtoDP({x, y});
  CRect r = CRect{a.x, a.y, Clamp(std::int64_t(a.x) + w), Clamp(std::int64_t(a.y) + h)}.Normalized();
  std::uint32_t pixel = PixelFromColor(c);
  ForEachVisibleSpan(SpanSet::FromRect(r, drawable_),
                     [&](const Span& s) { std::fill(target_->Row(s.y) + s.x0, target_->Row(s.y) + s.x1, pixel); });
}

// Region rectangles are logical coordinates here; only the rows that can be drawn are made.
void CDC::FillRgn(const CRgn& rgn, const CBrush& brush) {
  CPoint shift = LPtoDP({0, 0});
  CRect wanted{drawable_.left - shift.x, drawable_.top - shift.y, drawable_.right - shift.x,
               drawable_.bottom - shift.y};
  SpanSet spans = rgn.SpansWithin(wanted);
  spans.Translate(shift.x, shift.y);
  PaintSpansWithBrush(spans, brush);
}

}  // namespace lumetra
