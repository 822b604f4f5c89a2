// Text output of CDC: metrics and extents from the font cache, glyphs placed
// and clipped as GDI places them.

#include <algorithm>
#include <cstdint>
#include <optional>
#include <vector>

#include "platform/codepage/codepage.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/font_cache.h"

namespace lumetra {
namespace {

// How far a glyph may reach left of its pen position (italic overhangs, large sizes).
constexpr int kMaxGlyphOverhang = 1 << 14;

// Where ExtTextOut puts a text, in device pixels.
struct TextPlacement {
  CRect box;             // the option rectangle, when there is one
  bool opaque = false;   // ETO_OPAQUE with a rectangle
  bool clipped = false;  // ETO_CLIPPED with a rectangle
  std::vector<const Glyph*> glyphs;
  int extra = 0;  // added to every glyph's advance
  int width = 0;  // the advances' sum, kept within the device range however long the text
  CPoint origin;  // the left end of the baseline
  // The current position after the text (logical), for TA_UPDATECP alignments that move it.
  std::optional<CPoint> nextPosition;
};

TextPlacement PlaceText(const CDC& dc, const RealizedFont& font, int x, int y, unsigned options, const CRect* rect,
                        std::u32string_view text) {
  TextPlacement placed;
  if (rect) {
    CPoint a = dc.LPtoDP({rect->left, rect->top});
    CPoint b = dc.LPtoDP({rect->right, rect->bottom});
    placed.box = CRect{a.x, a.y, b.x, b.y}.Normalized();
    placed.opaque = (options & ETO_OPAQUE) != 0;
    placed.clipped = (options & ETO_CLIPPED) != 0;
  }
  if (text.empty()) return placed;

  font.GetGlyphs(text, placed.glyphs);
  placed.extra = dc.GetTextCharacterExtra();
  std::int64_t sum = 0;
  for (const Glyph* g : placed.glyphs) sum += g->advance + placed.extra;
  placed.width = int(std::clamp<std::int64_t>(sum, -CDC::kDeviceLimit, CDC::kDeviceLimit));

  // The reference point becomes the left end of the baseline.
  const unsigned align = dc.GetTextAlign();
  const bool updateCp = (align & TA_UPDATECP) != 0;
  CPoint origin = dc.LPtoDP(updateCp ? dc.GetCurrentPosition() : CPoint{x, y});
  switch (align & TA_CENTER) {
    case TA_LEFT:
      if (updateCp) placed.nextPosition = dc.DPtoLP({origin.x + placed.width, origin.y});
      break;
    case TA_RIGHT:
      origin.x -= placed.width;
      if (updateCp) placed.nextPosition = dc.DPtoLP(origin);
      break;
    case TA_CENTER:
      origin.x -= placed.width / 2;
      break;
    default:
      break;
  }
  const FontMetrics& tm = font.Metrics();
  switch (align & TA_BASELINE) {
    case TA_TOP:
      origin.y += tm.ascent;
      break;
    case TA_BOTTOM:
      origin.y -= tm.descent;
      break;
    default:
      break;
  }
  placed.origin = origin;
  return placed;
}

// An OPAQUE background fills the text's cell box unless the opaque rectangle already covered it.
std::optional<CRect> OpaqueCell(const TextPlacement& placed, const FontMetrics& tm) {
  const int left = placed.origin.x, baseline = placed.origin.y;
  const CRect& box = placed.box;
  if (placed.clipped && placed.opaque) return std::nullopt;
  const bool covered = placed.opaque && left >= box.left && left + placed.width < box.right &&
                       baseline - tm.ascent >= box.top && baseline + tm.descent < box.bottom;
  if (covered) return std::nullopt;
  CRect cell{left, baseline - tm.ascent, left + placed.width, baseline + tm.descent};
  if (placed.clipped) {
    cell = {std::max(cell.left, box.left), std::max(cell.top, box.top), std::min(cell.right, box.right),
            std::min(cell.bottom, box.bottom)};
  }
  return cell;
}

// Each glyph with the device position of its black box's top-left corner.
template <typename Visit>
void ForEachPlacedGlyph(const TextPlacement& placed, Visit&& visit) {
  std::int64_t pen = placed.origin.x;
  for (const Glyph* g : placed.glyphs) {
    visit(*g, int(std::clamp<std::int64_t>(pen + g->originX, -CDC::kDeviceLimit, CDC::kDeviceLimit)),
          placed.origin.y - g->originY);
    pen += g->drawAdvance + placed.extra;
  }
}

// The glyph pixels within `limit`, as runs [x0, x1) on row y.
template <typename Visit>
void ForEachInkRun(const TextPlacement& placed, const CRect& limit, Visit&& visit) {
  std::int64_t pen = placed.origin.x;
  for (const Glyph* g : placed.glyphs) {
    // With a non-negative extra, advances only move right: nothing further shows.
    if (placed.extra >= 0 && pen > limit.right + kMaxGlyphOverhang) break;
    const int gx = int(std::clamp<std::int64_t>(pen + g->originX, -CDC::kDeviceLimit, CDC::kDeviceLimit));
    const int gy = placed.origin.y - g->originY;
    pen += g->drawAdvance + placed.extra;
    if (g->runs.empty() || gx >= limit.right || gy >= limit.bottom || gx + g->width <= limit.left ||
        gy + g->height <= limit.top) {
      continue;
    }
    const bool inside =
        gx >= limit.left && gy >= limit.top && gx + g->width <= limit.right && gy + g->height <= limit.bottom;
    for (const GlyphRun& run : g->runs) {
      const int py = gy + run.row;
      int x0 = gx + run.x0;
      int x1 = gx + run.x1;
      if (!inside) {
        if (py < limit.top || py >= limit.bottom) continue;
        x0 = std::max(x0, limit.left);
        x1 = std::min(x1, limit.right);
      }
      visit(py, x0, x1);
    }
  }
}

// An underline or strikeout bar: filled in the text colour across the text's
// width, the ETO_CLIPPED rectangle aside.
CRect BarOf(const TextPlacement& placed, int position, int thickness) {
  const int top = placed.origin.y - (position + thickness / 2);
  return {placed.origin.x, top, placed.origin.x + placed.width, top + thickness};
}

template <typename Visit>
void ForEachBar(const TextPlacement& placed, const LOGFONT& lf, const FontMetrics& tm, Visit&& visit) {
  if (lf.lfUnderline) visit(BarOf(placed, tm.underlinePosition, tm.underlineSize));
  if (lf.lfStrikeOut) visit(BarOf(placed, tm.strikeoutPosition, tm.strikeoutSize));
}

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
  const std::int64_t width = std::int64_t(font.TextWidth(text)) + std::int64_t(charExtra_) * std::int64_t(text.size());
  return {Clamp(width), font.Metrics().height};
}

bool CDC::TextOut(int x, int y, std::string_view text) { return ExtTextOut(x, y, 0, nullptr, text); }

bool CDC::TextOut(int x, int y, std::u32string_view text) { return ExtTextOut(x, y, 0, nullptr, text); }

bool CDC::ExtTextOut(int x, int y, unsigned options, const CRect* rect, std::string_view text) {
  return ExtTextOut(x, y, options, rect, DecodeText(text, codePage_));
}

bool CDC::ExtTextOut(int x, int y, unsigned options, const CRect* rect, std::u32string_view text) {
  const RealizedFont& font = RealizeFont(font_->GetLogFont(), codePage_);
  const FontMetrics& tm = font.Metrics();
  const TextPlacement placed = PlaceText(*this, font, x, y, options, rect, text);

  // Background fills write the background colour directly, whatever the raster operation.
  auto fillDevice = [&](const CRect& r) {
    if (r.Width() <= 0 || r.Height() <= 0) return;
    CPoint lp = DPtoLP({r.left, r.top});
    FillSolidRect(lp.x, lp.y, r.Width(), r.Height(), bkColor_);
  };

  if (placed.opaque) fillDevice(placed.box);
  if (text.empty()) return true;
  if (placed.nextPosition) currentPos_ = *placed.nextPosition;
  if (bkMode_ == OPAQUE) {
    if (std::optional<CRect> cell = OpaqueCell(placed, tm)) fillDevice(*cell);
  }

  // Glyph pixels: the text colour written as is, no raster operation.
  const CRect limit = placed.clipped ? drawable_.ClipTo(placed.box) : drawable_;
  const std::uint32_t ink = PixelFromColor(textColor_);
  ForEachInkRun(placed, limit, [&](int y, int x0, int x1) {
    std::uint32_t* row = target_->Row(y);
    for (int px = x0; px < x1; ++px) {
      if (!clipRegion_ || clipRegion_->Contains(px, y)) row[px] = ink;
    }
  });

  // Underline and strikeout are filled polygons in the text colour: raster
  // operation and DC clip apply, the ETO_CLIPPED rectangle does not.
  ForEachBar(placed, font_->GetLogFont(), tm, [&](const CRect& bar) { PaintSpans(SpanSet::FromRect(bar), ink); });
  return true;
}

CRect CDC::ExtTextOutBounds(int x, int y, unsigned options, const CRect* rect, std::string_view bytes) const {
  const std::u32string text = DecodeText(bytes, codePage_);
  const RealizedFont& font = RealizeFont(font_->GetLogFont(), codePage_);
  const FontMetrics& tm = font.Metrics();
  const TextPlacement placed = PlaceText(*this, font, x, y, options, rect, text);
  CRect box = placed.opaque ? placed.box : CRect{};
  if (text.empty()) return ToLogical(box);
  if (bkMode_ == OPAQUE) {
    if (std::optional<CRect> cell = OpaqueCell(placed, tm)) box = box.Union(*cell);
  }
  const CRect everywhere{-kDeviceLimit, -kDeviceLimit, kDeviceLimit, kDeviceLimit};
  const CRect limit = placed.clipped ? everywhere.ClipTo(placed.box) : everywhere;
  ForEachInkRun(placed, limit, [&](int y, int x0, int x1) { box = box.Union({x0, y, x1, y + 1}); });
  ForEachBar(placed, font_->GetLogFont(), tm, [&](const CRect& bar) { box = box.Union(bar); });
  return ToLogical(box);
}

std::vector<CRect> CDC::GlyphInkBoxes(int x, int y, std::u32string_view text) const {
  const RealizedFont& font = RealizeFont(font_->GetLogFont(), codePage_);
  const TextPlacement placed = PlaceText(*this, font, x, y, 0, nullptr, text);
  std::vector<CRect> boxes;
  boxes.reserve(text.size());
  ForEachPlacedGlyph(placed, [&](const Glyph& g, int gx, int gy) {
    boxes.push_back(g.runs.empty() ? CRect{} : ToLogical({gx, gy, gx + g.width, gy + g.height}));
  });
  return boxes;
}

}  // namespace lumetra
