// Text output of CDC: metrics and extents from the font cache, glyphs placed
// and clipped as GDI places them.

#include <algorithm>
#include <vector>

#include "platform/codepage/codepage.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/font_cache.h"

namespace lumetra {
namespace {

// How far a glyph may reach left of its pen position (italic overhangs, large sizes).
constexpr int kMaxGlyphOverhang = 1 << 14;

}  // namespace

bool CDC::GetTextMetrics(TEXTMETRIC& tm) const {
  const FontMetrics& m = RealizeFont(font_->GetLogFont(), codePage_).Metrics();
  tm.tmHeight = m.height;
  tm.tmAscent = m.ascent;
  tm.tmDescent = m.descent;
  tm.tmInternalLeading = m.internalLeading;
  tm.tmExternalLeading = m.externalLeading;
  tm.tmAveCharWidth = m.aveCharWidth;
  tm.tmMaxCharWidth = m.maxCharWidth;
  return true;
}

CSize CDC::GetTextExtent(std::string_view text) const { return GetTextExtent(DecodeText(text, codePage_)); }

CSize CDC::GetTextExtent(std::u32string_view text) const {
  if (text.empty()) return {0, 0};
  const RealizedFont& font = RealizeFont(font_->GetLogFont(), codePage_);
  return {font.TextWidth(text), font.Metrics().height};
}

bool CDC::TextOut(int x, int y, std::string_view text) { return ExtTextOut(x, y, 0, nullptr, text); }

bool CDC::TextOut(int x, int y, std::u32string_view text) { return ExtTextOut(x, y, 0, nullptr, text); }

bool CDC::ExtTextOut(int x, int y, unsigned options, const CRect* rect, std::string_view text) {
  return ExtTextOut(x, y, options, rect, DecodeText(text, codePage_));
}

bool CDC::ExtTextOut(int x, int y, unsigned options, const CRect* rect, std::u32string_view text) {
  const RealizedFont& font = RealizeFont(font_->GetLogFont(), codePage_);
  const FontMetrics& tm = font.Metrics();

  // Background fills write the background colour directly, whatever the raster operation.
  auto fillDevice = [&](const CRect& r) {
    if (r.Width() <= 0 || r.Height() <= 0) return;
    CPoint lp = DPtoLP({r.left, r.top});
    FillSolidRect(lp.x, lp.y, r.Width(), r.Height(), bkColor_);
  };

  CRect box;  // the option rectangle in device coordinates
  if (!rect) options &= ~(ETO_OPAQUE | ETO_CLIPPED);
  if (rect) {
    CPoint a = LPtoDP({rect->left, rect->top});
    CPoint b = LPtoDP({rect->right, rect->bottom});
    box = CRect{a.x, a.y, b.x, b.y}.Normalized();
  }
  if (options & ETO_OPAQUE) fillDevice(box);
  if (text.empty()) return true;

  std::vector<const Glyph*> glyphs;
  font.GetGlyphs(text, glyphs);
  // Summed wide and kept within the device range, however long the text.
  std::int64_t sum = 0;
  for (const Glyph* g : glyphs) sum += g->advance;
  const int width = int(std::min<std::int64_t>(sum, kDeviceLimit));

  // The reference point becomes the left end of the baseline.
  bool updateCp = (textAlign_ & TA_UPDATECP) != 0;
  CPoint origin = LPtoDP(updateCp ? currentPos_ : CPoint{x, y});
  switch (textAlign_ & TA_CENTER) {
    case TA_LEFT:
      if (updateCp) currentPos_ = DPtoLP({origin.x + width, origin.y});
      break;
    case TA_RIGHT:
      origin.x -= width;
      if (updateCp) currentPos_ = DPtoLP(origin);
      break;
    case TA_CENTER:
      origin.x -= width / 2;
      break;
    default:
      break;
  }
  switch (textAlign_ & TA_BASELINE) {
    case TA_TOP:
      origin.y += tm.ascent;
      break;
    case TA_BOTTOM:
      origin.y -= tm.descent;
      break;
    default:
      break;
  }
  const int baseline = origin.y;
  const bool clipped = (options & ETO_CLIPPED) != 0;

  // An OPAQUE background fills the text's cell box unless the opaque rectangle already covered it.
  if (bkMode_ == OPAQUE && !(clipped && (options & ETO_OPAQUE))) {
    bool covered = (options & ETO_OPAQUE) && origin.x >= box.left && origin.x + width < box.right &&
                   baseline - tm.ascent >= box.top && baseline + tm.descent < box.bottom;
    if (!covered) {
      CRect cell{origin.x, baseline - tm.ascent, origin.x + width, baseline + tm.descent};
      if (clipped) {
        cell = {std::max(cell.left, box.left), std::max(cell.top, box.top), std::min(cell.right, box.right),
                std::min(cell.bottom, box.bottom)};
      }
      fillDevice(cell);
    }
  }

  // Glyph pixels: the text colour written as is, no raster operation.
  CRect limit = drawable_;
  if (clipped) {
    limit = {std::max(limit.left, box.left), std::max(limit.top, box.top), std::min(limit.right, box.right),
             std::min(limit.bottom, box.bottom)};
  }
  const std::uint32_t ink = PixelFromColor(textColor_);
  const bool region = clipRegion_.has_value();
  int pen = origin.x;
  for (const Glyph* g : glyphs) {
    if (pen > limit.right + kMaxGlyphOverhang) break;  // advances only move right: nothing further shows
    const int gx = pen + g->originX;
    const int gy = baseline - g->originY;
    pen += g->drawAdvance;
    if (g->runs.empty() || gx >= limit.right || gy >= limit.bottom || gx + g->width <= limit.left ||
        gy + g->height <= limit.top) {
      continue;
    }
    const bool inside = !region && gx >= limit.left && gy >= limit.top && gx + g->width <= limit.right &&
                        gy + g->height <= limit.bottom;
    for (const GlyphRun& run : g->runs) {
      const int py = gy + run.row;
      int x0 = gx + run.x0;
      int x1 = gx + run.x1;
      if (!inside) {
        if (py < limit.top || py >= limit.bottom) continue;
        x0 = std::max(x0, limit.left);
        x1 = std::min(x1, limit.right);
      }
      std::uint32_t* row = target_->Row(py);
      for (int px = x0; px < x1; ++px) {
        if (!region || clipRegion_->Contains(px, py)) row[px] = ink;
      }
    }
  }

  // Underline and strikeout are filled polygons in the text colour: raster
  // operation and DC clip apply, the ETO_CLIPPED rectangle does not.
  auto bar = [&](int position, int thickness) {
    int top = baseline - (position + thickness / 2);
    PaintSpans(SpanSet::FromRect({origin.x, top, origin.x + width, top + thickness}), ink);
  };
  const LOGFONT& lf = font_->GetLogFont();
  if (lf.lfUnderline) bar(tm.underlinePosition, tm.underlineSize);
  if (lf.lfStrikeOut) bar(tm.strikeoutPosition, tm.strikeoutSize);
  return true;
}

}  // namespace lumetra
