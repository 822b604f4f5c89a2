// Block transfers with a source: BitBlt, StretchBlt and StretchDIBits.
//
// Each axis is mapped on its own. Destination pixel i (counted from the start
// corner, in the direction of its extent) reads source pixel
// floor(((2i+1)S - 1) / 2D) when enlarging; when shrinking, source pixel j
// belongs to destination pixel floor(((2j+1)D - 1) / 2S) and the stretch mode
// decides how a group reduces. The maps are worked out once per call, so the
// pixel loops only look up tables.

#include <algorithm>
#include <cstdint>
#include <optional>
#include <vector>

#include "platform/gdi/dc.h"
#include "platform/gdi/dib_pixels.h"
#include "platform/gdi/int_math.h"

namespace lumetra {

namespace {

using i64 = std::int64_t;

// How the source pixels that shrink into one destination pixel become one value.
enum class Reduce { Pick, And, Or };

Reduce ReduceFor(int stretchMode) {
  switch (stretchMode) {
    case BLACKONWHITE:
      return Reduce::And;
    case WHITEONBLACK:
      return Reduce::Or;
    default:
      return Reduce::Pick;  // COLORONCOLOR; HALFTONE is drawn the same way
  }
}

// One axis of a transfer in device pixels. A negative extent covers
// [start + extent + 1, start + 1) and is walked from start downwards.
struct AxisRequest {
  i64 dst;
  i64 dstExtent;
  i64 src;
  i64 srcExtent;
  i64 srcLimit;  // the source holds pixels [0, srcLimit)
  i64 visLo;     // destination pixels [visLo, visHi) may be written
  i64 visHi;
  bool keepLast;  // picking from a shrunk group keeps its last source pixel, else its first
};

// The source pixels behind each destination pixel drawn along one axis.
// Destination pixels whose sources all lie outside the source are not drawn;
// those that are drawn form one run.
struct AxisMap {
  std::int32_t first = 0;            // first destination pixel drawn
  std::vector<std::int32_t> lo, hi;  // per pixel drawn: its source pixels [lo, hi]
  bool single = true;                // lo == hi everywhere
  std::int32_t Count() const { return std::int32_t(lo.size()); }
  std::int32_t SrcMin() const { return std::min(lo.front(), lo.back()); }
  std::int32_t SrcMax() const { return std::max(hi.front(), hi.back()); }
};

AxisMap MapAxis(const AxisRequest& a, Reduce reduce) {
  AxisMap map;
  const i64 D = a.dstExtent < 0 ? -a.dstExtent : a.dstExtent;
  const i64 S = a.srcExtent < 0 ? -a.srcExtent : a.srcExtent;
  if (D == 0 || S == 0) return map;
  const i64 dstLo = std::max(a.dstExtent > 0 ? a.dst : a.dst + a.dstExtent + 1, a.visLo);
  const i64 dstHi = std::min((a.dstExtent > 0 ? a.dst : a.dst + a.dstExtent + 1) + D, a.visHi);

  // Source steps from the start pixel that land inside the source.
  i64 jMin = a.srcExtent > 0 ? -a.src : a.src - (a.srcLimit - 1);
  i64 jMax = a.srcExtent > 0 ? a.srcLimit - 1 - a.src : a.src;
  jMin = std::max<i64>(jMin, 0);
  jMax = std::min(jMax, S - 1);
  if (jMin > jMax || dstLo >= dstHi) return map;

  // First source step of destination step i when shrinking; (S, D < 2^31 keeps these in 64 bits).
  auto groupStart = [&](i64 i) { return std::max<i64>(0, CeilDiv<i64>(2 * S * i + 1 - D, 2 * D)); };
  map.lo.reserve(std::size_t(dstHi - dstLo));
  map.hi.reserve(std::size_t(dstHi - dstLo));
  for (i64 p = dstLo; p < dstHi; ++p) {
    const i64 i = a.dstExtent > 0 ? p - a.dst : a.dst - p;
    i64 j0, j1;
    if (D >= S) {
      j0 = j1 = ((2 * i + 1) * S - 1) / (2 * D);
    } else {
      j0 = groupStart(i);
      j1 = groupStart(i + 1) - 1;
    }
    j0 = std::max(j0, jMin);
    j1 = std::min(j1, jMax);
    if (j0 > j1) {
      if (map.lo.empty()) continue;
      break;
    }
    if (reduce == Reduce::Pick) {
      if (a.keepLast) {
        j0 = j1;
      } else {
        j1 = j0;
      }
    }
    if (map.lo.empty()) map.first = std::int32_t(p);
    const i64 s0 = a.srcExtent > 0 ? a.src + j0 : a.src - j1;
    const i64 s1 = a.srcExtent > 0 ? a.src + j1 : a.src - j0;
    map.lo.push_back(std::int32_t(s0));
    map.hi.push_back(std::int32_t(s1));
    map.single = map.single && s0 == s1;
  }
  return map;
}

// Source rows on demand; Row(y)[x] is source pixel (x, y) for the columns the maps use.
class SourceRows {
 public:
  virtual ~SourceRows() = default;
  virtual const std::uint32_t* Row(std::int32_t y) = 0;
};

class BitmapRows final : public SourceRows {
 public:
  // A source that is also the destination is copied first, so overlapping transfers read the old pixels.
  BitmapRows(const Bitmap32& bitmap, std::int32_t rowMin, std::int32_t rowMax, bool copy)
      : bitmap_(bitmap), rowMin_(rowMin) {
    if (copy) {
      copy_.assign(bitmap.Row(rowMin), bitmap.Row(rowMax) + bitmap.Width());
    }
  }
  const std::uint32_t* Row(std::int32_t y) override {
    if (copy_.empty()) return bitmap_.Row(y);
    return copy_.data() + std::size_t(y - rowMin_) * std::size_t(bitmap_.Width());
  }

 private:
  const Bitmap32& bitmap_;
  std::int32_t rowMin_;
  std::vector<std::uint32_t> copy_;
};

class DibRows final : public SourceRows {
 public:
  DibRows(const DibPixels& dib, std::int32_t colMin, std::int32_t colMax)
      : dib_(dib), colMin_(colMin), colMax_(colMax), row_(std::size_t(colMax) + 1) {}
  const std::uint32_t* Row(std::int32_t y) override {
    if (y != decoded_) {
      dib_.ReadRow(y, colMin_, colMax_ + 1, row_.data() + colMin_);
      decoded_ = y;
    }
    return row_.data();
  }

 private:
  const DibPixels& dib_;
  std::int32_t colMin_, colMax_;
  std::vector<std::uint32_t> row_;
  std::int32_t decoded_ = -1;
};

// A ternary raster operation on whole 32-bit pixels, from the index byte of its code.
class RasterOp {
 public:
  RasterOp(std::uint32_t rop, std::uint32_t pattern) : code_(std::uint8_t(rop >> 16)), pattern_(pattern) {}
  bool IsCopy() const { return code_ == 0xCC; }
  bool UsesSource() const { return ((code_ >> 2) & 0x33) != (code_ & 0x33); }
  bool UsesPattern() const { return ((code_ >> 4) & 0x0F) != (code_ & 0x0F); }
  // Bit k of the code is the result for pattern, source, destination bits (k >> 2, k >> 1, k) & 1.
  std::uint32_t Apply(std::uint32_t s, std::uint32_t d) const {
    std::uint32_t r = 0;
    for (int k = 0; k < 8; ++k) {
      if ((code_ >> k) & 1) r |= ((k & 4) ? pattern_ : ~pattern_) & ((k & 2) ? s : ~s) & ((k & 1) ? d : ~d);
    }
    return r;
  }

 private:
  std::uint8_t code_;
  std::uint32_t pattern_;
};

// Operations that mix source and pattern are drawn with solid brushes only.
std::optional<RasterOp> RasterOpFor(std::uint32_t rop, const CBrush& brush) {
  const LOGBRUSH& lb = brush.GetLogBrush();
  RasterOp op(rop, PixelFromColor(lb.lbColor));
  if (op.UsesSource() && op.UsesPattern() && lb.lbStyle != BS_SOLID) return std::nullopt;
  return op;
}

// Reduces one source row to the destination pixels drawn.
void GatherRow(const std::uint32_t* src, const AxisMap& cols, Reduce reduce, std::uint32_t* out) {
  const std::int32_t n = cols.Count();
  if (cols.single) {
    for (std::int32_t c = 0; c < n; ++c) out[c] = src[cols.lo[c]];
    return;
  }
  for (std::int32_t c = 0; c < n; ++c) {
    std::uint32_t v = src[cols.lo[c]];
    for (std::int32_t x = cols.lo[c] + 1; x <= cols.hi[c]; ++x) v = reduce == Reduce::And ? v & src[x] : v | src[x];
    out[c] = v;
  }
}

void Transfer(Bitmap32& target, const SpanSet* clip, const AxisMap& cols, const AxisMap& rows, SourceRows& source,
              Reduce reduce, const RasterOp& op) {
  const std::size_t n = std::size_t(cols.Count());
  std::vector<std::uint32_t> line(n);
  std::vector<std::uint32_t> scratch(rows.single ? 0 : n);
  // Enlarged rows repeat: keep the last one built.
  std::int64_t builtLo = -1, builtHi = -2;
  auto build = [&](std::int32_t k) {
    const std::int32_t r0 = rows.lo[std::size_t(k)], r1 = rows.hi[std::size_t(k)];
    if (r0 == builtLo && r1 == builtHi) return;
    GatherRow(source.Row(r0), cols, reduce, line.data());
    for (std::int32_t r = r0 + 1; r <= r1; ++r) {
      GatherRow(source.Row(r), cols, reduce, scratch.data());
      for (std::size_t c = 0; c < n; ++c) line[c] = reduce == Reduce::And ? line[c] & scratch[c] : line[c] | scratch[c];
    }
    builtLo = r0;
    builtHi = r1;
  };
  auto put = [&](std::int32_t y, std::int32_t x0, std::int32_t x1) {
    std::uint32_t* d = target.Row(y);
    const std::uint32_t* s = line.data() + (x0 - cols.first);
    if (op.IsCopy()) {
      std::copy(s, s + (x1 - x0), d + x0);
    } else {
      for (std::int32_t x = x0; x < x1; ++x) d[x] = op.Apply(s[x - x0], d[x]);
    }
  };

  const CRect rect{cols.first, rows.first, cols.first + cols.Count(), rows.first + rows.Count()};
  if (!clip) {
    for (std::int32_t k = 0; k < rows.Count(); ++k) {
      build(k);
      put(rows.first + k, rect.left, rect.right);
    }
    return;
  }
  const SpanSet visible = clip->ClipTo(rect);
  for (const Span& s : visible.Spans()) {
    build(s.y - rows.first);
    put(s.y, s.x0, s.x1);
  }
}

}  // namespace

bool CDC::BitBlt(int x, int y, int w, int h, const CDC& src, int xs, int ys, std::uint32_t rop) {
  return StretchBlt(x, y, w, h, src, xs, ys, w, h, rop);
}

bool CDC::StretchBlt(int x, int y, int w, int h, const CDC& src, int xs, int ys, int ws, int hs, std::uint32_t rop) {
  std::optional<RasterOp> op = RasterOpFor(rop, *brush_);
  if (!op) return false;
  if (!op->UsesSource()) {
    return PatBlt(x, y, w, h, rop);  // a transfer that reads no source covers the same pixels
  }
  // GDI narrows the source by a pixel when the destination is exactly one pixel wide (or high).
  if (w == 1 && ws > 1) --ws;
  if (h == 1 && hs > 1) --hs;

  const Bitmap32& from = *src.target_;
  const CPoint d = LPtoDP({x, y});
  const CPoint s = src.LPtoDP({xs, ys});
  const Reduce reduce = ReduceFor(stretchMode_);
  AxisMap cols = MapAxis({d.x, w, s.x, ws, from.Width(), drawable_.left, drawable_.right, true}, reduce);
  AxisMap rows = MapAxis({d.y, h, s.y, hs, from.Height(), drawable_.top, drawable_.bottom, false}, reduce);
  if (cols.Count() == 0 || rows.Count() == 0) return true;

  BitmapRows source(from, rows.SrcMin(), rows.SrcMax(), &from == target_);
  Transfer(*target_, clipRegion_ ? &*clipRegion_ : nullptr, cols, rows, source, reduce, *op);
  return true;
}

int CDC::StretchDIBits(int x, int y, int w, int h, int xs, int ys, int ws, int hs, const DibView& dib, unsigned usage,
                       std::uint32_t rop) {
  if (usage != DIB_RGB_COLORS) return 0;
  std::optional<DibPixels> pixels = DibPixels::Open(dib.header, dib.headerSize, dib.bits, dib.bitsSize);
  if (!pixels) return 0;
  std::optional<RasterOp> op = RasterOpFor(rop, *brush_);
  if (!op) return 0;
  // GDI answers with the picture's scan lines for a copy and with biHeight as given otherwise.
  const int lines = rop == SRCCOPY ? pixels->Height() : dib.header->biHeight;
  if (!op->UsesSource()) {
    PatBlt(x, y, w, h, rop);
    return lines;
  }

  // ys counts from the bottom of the picture. GDI does the same for top-down
  // pictures too when copying, unless it is a same-size copy from (0, 0).
  const bool sameSizeFromOrigin = xs == 0 && ys == 0 && w == ws && h == hs;
  i64 top = ys;
  if (!pixels->TopDown() || (rop == SRCCOPY && !sameSizeFromOrigin)) top = i64(pixels->Height()) - ys - hs;
  if (rop != SRCCOPY) {
    if (w == 1 && ws > 1) --ws;
    if (h == 1 && hs > 1) --hs;
  }

  const CPoint d = LPtoDP({x, y});
  const Reduce reduce = ReduceFor(stretchMode_);
  AxisMap cols = MapAxis({d.x, w, xs, ws, pixels->Width(), drawable_.left, drawable_.right, true}, reduce);
  AxisMap rows = MapAxis({d.y, h, top, hs, pixels->Height(), drawable_.top, drawable_.bottom, false}, reduce);
  if (cols.Count() == 0 || rows.Count() == 0) return lines;

  // A run-length picture copied at its own size from its origin paints only
  // what its stream reached; the rest keeps what was underneath.
  const SpanSet* clip = clipRegion_ ? &*clipRegion_ : nullptr;
  SpanSet painted;
  if (const SpanSet* reached = pixels->PaintedAtOwnSize(); reached && rop == SRCCOPY && sameSizeFromOrigin) {
    // Only the part drawn, taken in picture coordinates first so that moving it cannot overflow.
    painted = reached->ClipTo({cols.first - d.x, rows.first - d.y, cols.first + cols.Count() - d.x,
                               rows.first + rows.Count() - d.y});
    painted.Translate(d.x, d.y);
    if (clip) painted = painted.Intersect(*clip);
    clip = &painted;
  }
  DibRows source(*pixels, cols.SrcMin(), cols.SrcMax());
  Transfer(*target_, clip, cols, rows, source, reduce, *op);
  return lines;
}

}  // namespace lumetra
