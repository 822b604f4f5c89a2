#include "platform/gdi/wide_stroke.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <vector>

#include "platform/gdi/ellipse_raster.h"
#include "platform/gdi/region.h"

namespace lumetra {
namespace {

// Rounds half away from zero.
int RoundAway(double v) { return int(v > 0 ? v + 0.5 : v - 0.5); }

// The end of a segment body across the path: `start` and `end` are its two
// corners, (dx, dy) the body's direction, which joins extend to meet.
struct Face {
  CPoint start, end;
  int dx = 0, dy = 0;
};

// What a segment covers: an axis-aligned rectangle or a slanted quadrilateral.
struct Body {
  std::optional<CRect> rect;
  std::array<CPoint, 4> quad;
  Face face1, face2;
};

// What a round pen of one width stamps along a path: its disc and, for each
// step to a neighbouring pixel (or none), the step's body and the disc at its
// end, from the origin. Each is made when first needed.
struct PenStamps {
  int width = 0;
  std::optional<PixelStamp> disc;
  std::array<std::optional<PixelStamp>, 9> steps;  // by direction
};

// Strokes of the same few widths follow one another, so each thread keeps the
// stamps of the last few widths. Only one stroke at a time uses them.
PenStamps& StampsFor(int width) {
  thread_local std::array<PenStamps, 4> recent;
  thread_local std::size_t next = 0;
  for (PenStamps& stamps : recent) {
    if (stamps.width == width) return stamps;
  }
  PenStamps& stamps = recent[next];
  next = (next + 1) % recent.size();
  stamps = PenStamps{width, {}, {}};
  return stamps;
}

CRect Widened(const CRect& r, int by) {
  auto clamp = [](std::int64_t v) { return std::int32_t(std::clamp<std::int64_t>(v, INT32_MIN, INT32_MAX)); };
  return {clamp(std::int64_t(r.left) - by), clamp(std::int64_t(r.top) - by), clamp(std::int64_t(r.right) + by),
          clamp(std::int64_t(r.bottom) + by)};
}

class WideStroker {
 public:
  // Only what lies in `area` is kept.
  WideStroker(int width, int cap, int join, const CRect& area)
      : w_(width),
        cap_(cap),
        join_(join),
        area_(area),
        reach_(Widened(area, width + 2)),
        covered_(area),
        stamps_(StampsFor(width)) {}

  SpanSet Take() const { return covered_.Spans(); }

  // Segments pts[start] .. pts[start + count] (indices wrap), except that the
  // first begins at `first` and the last ends at `last`: a whole path, or one
  // dash of it. Directions are always the path's own, so a dash's rounded end
  // points never tilt its body.
  void Run(std::span<const CPoint> pts, bool closed, std::size_t start, std::size_t count, CPoint first,
           CPoint last) {
    std::size_t n = pts.size();
    auto at = [&](std::size_t i) { return pts[(start + i) % n]; };
    auto dir = [&](std::size_t i) { return CPoint{at(i + 1).x - at(i).x, at(i + 1).y - at(i).y}; };
    if (!closed) {
      Cap(first);
      Cap(last);
    }
    Face f1, f2, prev, firstFace;
    if (count == 1) {
      Segment(first, last, dir(0), true, true, f1, f2);
      return;
    }
    Segment(first, at(1), dir(0), !closed, false, firstFace, prev);
    for (std::size_t i = 1; i + 1 < count; ++i) {
      if (Segment(at(i), at(i + 1), dir(i), false, false, f1, f2)) {
        Join(at(i), prev, f1);
        prev = f2;
      }
    }
    Segment(at(count - 1), last, dir(count - 1), false, !closed, f1, f2);
    Join(at(count - 1), prev, f1);
    if (closed) Join(last, f2, firstFace);
  }

  // With round caps and joins nothing depends on which ends are capped or how
  // the segments meet: the stroke is a disc on every point and the body of
  // every segment. Curves step to a neighbouring pixel at every point, so
  // those steps are made once per stroke and moved into place.
  void RunRound(std::span<const CPoint> pts, bool closed) {
    const std::size_t n = pts.size();
    AddDisc(pts[0]);
    for (std::size_t i = 0; i < (closed ? n : n - 1); ++i) {
      const CPoint a = pts[i], b = pts[i + 1 < n ? i + 1 : 0], d = b - a;
      if (std::abs(d.x) <= 1 && std::abs(d.y) <= 1) {
        if (reach_.PtInRect(a)) covered_.Add(Step(d), a.x, a.y);
      } else {
        if (std::optional<Body> body = MakeBody(a, b, d, false, false)) AddBody(*body);
        AddDisc(b);
      }
    }
  }

 private:
  void AddPolygon(std::span<const CPoint> corners) {
    ForEachPolygonSpan(corners, PolyFillMode::Alternate, area_.top, area_.bottom,
                       [&](std::int32_t y, std::int32_t x0, std::int32_t x1) { covered_.Add(y, x0, x1); });
  }

  // Round joins put a disc on every vertex, and curves have many: the disc is
  // worked out once and moved into place.
  const PixelStamp& Disc() {
    if (!stamps_.disc) stamps_.disc.emplace(PenDisc({0, 0}, w_, kEverywhere));
    return *stamps_.disc;
  }
  void AddDisc(CPoint p) {
    if (reach_.PtInRect(p)) covered_.Add(Disc(), p.x, p.y);
  }

  void Cap(CPoint p) {
    if (cap_ == PS_ENDCAP_ROUND) AddDisc(p);
  }

  // The body from p1 to p2 drawn in direction (d.x, d.y); square caps stretch
  // the capped ends by half the width. None for an empty direction.
  std::optional<Body> MakeBody(CPoint p1, CPoint p2, CPoint d, bool cap1, bool cap2) const {
    int dx = d.x, dy = d.y;
    if (dx == 0 && dy == 0) return std::nullopt;
    bool sq1 = cap1 && cap_ == PS_ENDCAP_SQUARE, sq2 = cap2 && cap_ == PS_ENDCAP_SQUARE;
    Body body;
    if (dy == 0 || dx == 0) {
      bool horizontal = dy == 0;
      int along = horizontal ? dx : dy;
      // Work in (major, minor) and swap back for vertical segments.
      int m1 = horizontal ? p1.x : p1.y, m2 = horizontal ? p2.x : p2.y;
      int lo = std::min(m1, m2), hi = std::max(m1, m2);
      int side = (horizontal ? p1.y : p1.x) - w_ / 2;
      if ((sq1 && along > 0) || (sq2 && along < 0)) lo -= w_ / 2;
      if ((sq2 && along > 0) || (sq1 && along < 0)) hi += w_ / 2;
      body.rect = horizontal ? CRect{lo, side, hi, side + w_} : CRect{side, lo, side + w_, hi};
      int first = along > 0 ? lo : hi, last = along > 0 ? hi : lo, span = along > 0 ? hi - lo : lo - hi;
      auto pt = [&](int major, int minor) { return horizontal ? CPoint{major, minor} : CPoint{minor, major}; };
      body.face1 = {pt(first, side), pt(first, side + w_), 0, 0};
      body.face2 = {pt(last, side + w_), pt(last, side), 0, 0};
      // An empty piece (a dash ending where it starts) keeps the segment's direction.
      if (span == 0) span = along;
      (horizontal ? body.face1.dx : body.face1.dy) = span;
      (horizontal ? body.face2.dx : body.face2.dy) = span;
      return body;
    }
    double len = std::hypot(double(dx), double(dy));
    // The pen's extent across the segment, split into a narrow and a wide half
    // that trade sides with the direction of the segment.
    double widthX = w_ * std::abs(double(dy)) / len, widthY = w_ * std::abs(double(dx)) / len;
    CPoint narrow{RoundAway(widthX / 2), RoundAway(widthY / 2)};
    CPoint wide{RoundAway((widthX + 1) / 2), RoundAway((widthY + 1) / 2)};
    if (dx < 0) {
      narrow.y = -narrow.y;
      wide.y = -wide.y;
    }
    if (dy < 0) {
      std::swap(narrow, wide);
      narrow.x = -narrow.x;
      wide.x = -wide.x;
    }
    std::array<CPoint, 4>& quad = body.quad;
    quad = {CPoint{p1.x - narrow.x, p1.y + narrow.y}, CPoint{p1.x + wide.x, p1.y - wide.y},
            CPoint{p2.x + wide.x, p2.y - wide.y}, CPoint{p2.x - narrow.x, p2.y + narrow.y}};
    // The faces keep the segment's own direction even when a cap stretches it.
    int fdx = quad[3].x - quad[0].x, fdy = quad[3].y - quad[0].y;
    if (fdx == 0 && fdy == 0) {
      fdx = dx;
      fdy = dy;
    }
    if (sq1) {
      for (int i : {0, 1}) quad[i] = {quad[i].x - narrow.y, quad[i].y - narrow.x};
    }
    if (sq2) {
      for (int i : {2, 3}) quad[i] = {quad[i].x + wide.y, quad[i].y + wide.x};
    }
    body.face1 = {quad[0], quad[1], fdx, fdy};
    body.face2 = {quad[2], quad[3], fdx, fdy};
    return body;
  }

  void AddBody(const Body& body) {
    if (body.rect) {
      covered_.Add(*body.rect);
    } else {
      AddPolygon(body.quad);
    }
  }

  // Adds the body of a segment and sets the faces at both ends; false for an empty one.
  bool Segment(CPoint p1, CPoint p2, CPoint d, bool cap1, bool cap2, Face& face1, Face& face2) {
    std::optional<Body> body = MakeBody(p1, p2, d, cap1, cap2);
    if (!body) return false;
    AddBody(*body);
    face1 = body->face1;
    face2 = body->face2;
    return true;
  }

  // A step to a neighbouring pixel (or none): its body and the disc at its end, from the origin.
  const PixelStamp& Step(CPoint d) {
    std::optional<PixelStamp>& step = stamps_.steps[std::size_t((d.x + 1) * 3 + d.y + 1)];
    if (!step) {
      SpanSet shape = Disc().Shape();
      shape.Translate(d.x, d.y);
      if (std::optional<Body> body = MakeBody({0, 0}, d, d, false, false)) {
        shape.Append(body->rect ? SpanSet::FromRect(*body->rect)
                                : ScanConvertPolygon(body->quad, PolyFillMode::Alternate, kEverywhere.top,
                                                     kEverywhere.bottom));
      }
      shape.Normalize();
      step.emplace(std::move(shape));
    }
    return *step;
  }

  // Where the segment ending in `in` meets the one starting with `out`.
  void Join(CPoint p, const Face& in, const Face& out) {
    if (join_ == PS_JOIN_ROUND) {
      AddDisc(p);
      return;
    }
    // No join onto a segment that drew nothing.
    if ((in.dx == 0 && in.dy == 0) || (out.dx == 0 && out.dy == 0)) return;
    // The outer corner of each face is the one turned away from the other segment.
    auto dot = [&](CPoint c, int ux, int uy) { return double(c.x - p.x) * ux + double(c.y - p.y) * uy; };
    bool inEndOuter = dot(in.end, -out.dx, -out.dy) > dot(in.start, -out.dx, -out.dy);
    bool outEndOuter = dot(out.end, in.dx, in.dy) > dot(out.start, in.dx, in.dy);
    CPoint inOuter = inEndOuter ? in.end : in.start, inInner = inEndOuter ? in.start : in.end;
    CPoint outOuter = outEndOuter ? out.end : out.start, outInner = outEndOuter ? out.start : out.end;
    if (join_ == PS_JOIN_MITER) {
      if (auto apex = MiterApex(p, in, out, inOuter, outOuter)) {
        const CPoint miter[] = {inInner, outOuter, *apex, inOuter, outInner};
        AddPolygon(miter);
        return;
      }
    }
    const CPoint bevel[] = {inInner, outOuter, inOuter, outInner};
    AddPolygon(bevel);
  }

  // Where the outer edges meet; none for parallel edges or past the miter
  // limit of 10, where the join is a bevel.
  std::optional<CPoint> MiterApex(CPoint p, const Face& in, const Face& out, CPoint inOuter, CPoint outOuter) const {
    std::int64_t denom = std::int64_t(in.dx) * out.dy - std::int64_t(out.dx) * in.dy;
    if (denom == 0) return std::nullopt;
    double u = (double(outOuter.x - inOuter.x) * out.dy - double(outOuter.y - inOuter.y) * out.dx) / double(denom);
    double ix = inOuter.x + u * in.dx, iy = inOuter.y + u * in.dy;
    constexpr double kMiterLimit = 10;
    if (((ix - p.x) * (ix - p.x) + (iy - p.y) * (iy - p.y)) * 4 > kMiterLimit * kMiterLimit * w_ * w_) {
      return std::nullopt;
    }
    return CPoint{RoundAway(ix), RoundAway(iy)};
  }

  int w_;
  int cap_;
  int join_;
  CRect area_;
  CRect reach_;  // where a disc or a step must start to touch the area
  PixelMask covered_;
  PenStamps& stamps_;
};

// Drops zero-length segments at either end; the rest of the path stays.
std::span<const CPoint> TrimEnds(std::span<const CPoint> pts) {
  while (pts.size() > 2 && pts[0] == pts[1]) pts = pts.subspan(1);
  while (pts.size() > 2 && pts[pts.size() - 1] == pts[pts.size() - 2]) pts = pts.first(pts.size() - 1);
  return pts;
}

// Splits the path into the dashes of `runs` (lengths along the path, starting
// "on") and strokes each as a path of its own. On a closed path a dash running
// over the start point is one dash with the first.
// The stretch [enter, exit] of lengths along the segment a-b that lies in
// `box`; enter > exit when it misses.
std::pair<double, double> VisibleStretch(CPoint a, CPoint b, double len, const CRect& box) {
  double t0 = 0, t1 = 1;
  auto clip = [&](double p, double q) {  // keeps p * t <= q
    if (p == 0) {
      if (q < 0) t0 = 2;
      return;
    }
    double t = q / p;
    if (p < 0) t0 = std::max(t0, t);
    else t1 = std::min(t1, t);
  };
  double dx = double(b.x) - a.x, dy = double(b.y) - a.y;
  clip(-dx, double(a.x) - box.left);
  clip(dx, double(box.right) - a.x);
  clip(-dy, double(a.y) - box.top);
  clip(dy, double(box.bottom) - a.y);
  return {t0 * len, t1 * len};
}

void StrokeDashes(WideStroker& stroker, std::span<const CPoint> pts, bool closed,
                  const std::vector<std::uint32_t>& runs, const CRect& reach) {
  double period = 0;
  for (std::uint32_t r : runs) period += r;
  std::size_t n = pts.size();
  std::size_t segments = closed ? n : n - 1;
  std::size_t run = 0;
  double left = runs[0];
  bool on = true;
  auto nextRun = [&] {
    run = (run + 1) % runs.size();
    left = runs[run];
    on = !on;
  };
  std::size_t start = 0, covered = 0;  // segments the current dash has touched
  CPoint startPoint = pts[0];
  std::optional<CPoint> initialEnd;  // end of the first dash of a closed path, drawn last
  std::size_t initialCount = 0;
  bool inInitial = closed;
  for (std::size_t i = 0; i < segments; ++i) {
    CPoint a = pts[i], b = pts[(i + 1) % n];
    double dx = double(b.x) - a.x, dy = double(b.y) - a.y;
    if (dx == 0 && dy == 0) continue;
    double len = dy == 0 ? std::abs(dx) : dx == 0 ? std::abs(dy) : std::hypot(dx, dy);
    double pos = 0;
    auto [enter, exit] = VisibleStretch(a, b, len, reach);
    while (pos < len) {
      // Whole periods away from the drawable area are skipped, from the start
      // of a gap so that no dash is cut.
      if (!on && left == runs[run]) {
        double target = pos < enter ? enter : pos > exit ? len : pos;
        double skip = std::floor((target - pos) / period) - 1;
        if (skip > 0) pos += skip * period;
      }
      if (len - pos < left) {
        if (on && covered++ == 0) start = i;
        left -= std::floor(len - pos);
        break;
      }
      pos += left;
      // Axis-aligned steps stay exact however long the segment.
      auto offset = [&](double d) {
        return d == 0 ? 0 : std::abs(d) == len ? int(std::copysign(pos, d)) : int(pos * d / len);
      };
      CPoint end{a.x + offset(dx), a.y + offset(dy)};
      // A pattern's first dash, when the caps shorten it to nothing, shows only
      // at the start of the path; later empty dashes still draw their caps.
      if (on && run == 0 && runs[0] == 0 && !(i == 0 && pos == 0)) {
        covered = 0;
      } else if (on) {
        if (covered++ == 0) start = i;
        if (inInitial && start == 0 && pts[0] == startPoint) {
          initialEnd = end;
          initialCount = covered;
        } else {
          stroker.Run(pts, false, start, covered, startPoint, end);
        }
        covered = 0;
      }
      inInitial = false;
      nextRun();
      startPoint = end;
      // A dash starting right at a vertex still joins onto the next segment.
      if (on && pos >= len) {
        start = i;
        covered = 1;
      }
    }
    if (inInitial && !on) inInitial = false;
  }
  if (on && (covered > 0 || initialEnd)) {
    if (initialEnd) {
      stroker.Run(pts, false, start, covered + initialCount, startPoint, *initialEnd);
      initialEnd.reset();
    } else {
      stroker.Run(pts, false, start, covered, startPoint, closed ? pts[0] : pts[n - 1]);
    }
  }
  if (initialEnd) stroker.Run(pts, false, 0, initialCount, pts[0], *initialEnd);
}

// Nothing of a stroke reaches further from its points than a miter at the
// limit of 10 (five widths); without miters, square caps and bevels stay
// within a width, and twice that is allowed: the area a stroke is worked out
// in is the box of its points grown by this much.
std::int64_t StrokeReach(int width, int join) { return (join == PS_JOIN_MITER ? 6 : 2) * std::int64_t(width) + 2; }

// The least and the greatest coordinates of the points.
struct PointsBox {
  std::int64_t minX, minY, maxX, maxY;
};
PointsBox BoxOf(std::span<const CPoint> points) {
  PointsBox box{points[0].x, points[0].y, points[0].x, points[0].y};
  for (CPoint p : points) {
    box.minX = std::min<std::int64_t>(box.minX, p.x);
    box.maxX = std::max<std::int64_t>(box.maxX, p.x);
    box.minY = std::min<std::int64_t>(box.minY, p.y);
    box.maxY = std::max<std::int64_t>(box.maxY, p.y);
  }
  return box;
}

SpanSet Stroke(std::span<const CPoint> points, bool closed, int width, int cap, int join,
               const std::vector<std::uint32_t>& runs, const CRect& limit) {
  if (points.empty()) return {};
  // Only the part of the limit within the stroke's reach is worked out
  // (nothing when the path is that far from it), which keeps a clipped repaint
  // cheap and the pixel mask small.
  const PointsBox box = BoxOf(points);
  const std::int64_t margin = StrokeReach(width, join);
  const CRect area{std::int32_t(std::max<std::int64_t>(limit.left, box.minX - margin)),
                   std::int32_t(std::max<std::int64_t>(limit.top, box.minY - margin)),
                   std::int32_t(std::min<std::int64_t>(limit.right, box.maxX + margin + 1)),
                   std::int32_t(std::min<std::int64_t>(limit.bottom, box.maxY + margin + 1))};
  if (area.Width() <= 0 || area.Height() <= 0) return {};
  if (points.size() == 1) {
    // A lone point: only what a round cap draws.
    if (cap == PS_ENDCAP_ROUND) return PenDisc(points[0], width, limit);
    return {};
  }
  WideStroker stroker(width, cap, join, area);
  std::span<const CPoint> pts = TrimEnds(points);
  std::size_t n = pts.size();
  std::uint64_t period = 0;
  for (std::uint32_t r : runs) period += r;
  if (period == 0 && cap == PS_ENDCAP_ROUND && join == PS_JOIN_ROUND) {
    stroker.RunRound(pts, closed);
  } else if (period == 0) {
    stroker.Run(pts, closed, 0, closed ? n : n - 1, pts[0], pts[closed ? 0 : n - 1]);
  } else {
    StrokeDashes(stroker, pts, closed, runs, CRect{limit.left - 2 * width, limit.top - 2 * width,
                                                   limit.right + 2 * width, limit.bottom + 2 * width});
  }
  return stroker.Take();
}

}  // namespace

SpanSet PenDisc(CPoint centre, int w, const CRect& clip) {
  CRect local{clip.left - centre.x, clip.top - centre.y, clip.right - centre.x, clip.bottom - centre.y};
  SpanSet disc = RoundRectRegionSpans(-(w / 2), -(w / 2), (w + 1) / 2 + 1, (w + 1) / 2 + 1, w + 1, w + 1, local);
  disc.Translate(centre.x, centre.y);
  return disc;
}

SpanSet WideStrokeSpans(std::span<const CPoint> points, bool closed, const CPen& pen, const CRect& limit) {
  std::vector<std::uint32_t> runs = pen.IsGeometric() ? pen.DashRuns() : std::vector<std::uint32_t>{};
  return Stroke(points, closed, pen.DeviceWidth(), pen.EndCap(), pen.Join(), runs, limit);
}

CRect WideStrokeBounds(std::span<const CPoint> points, const CPen& pen) {
  if (points.empty()) return {};
  const int width = pen.DeviceWidth();
  const bool roundEnds = pen.EndCap() == PS_ENDCAP_ROUND;
  // A lone point draws only what a round cap draws, as Stroke has it.
  if (points.size() == 1 && !roundEnds) return {};
  const PointsBox box = BoxOf(points);
  auto clamp = [](std::int64_t v) { return std::int32_t(std::clamp<std::int64_t>(v, INT32_MIN, INT32_MAX)); };
  if (roundEnds && pen.Join() == PS_JOIN_ROUND) {
    const CRect disc = PenDisc({0, 0}, width, kEverywhere).Bounds();
    return {clamp(box.minX + disc.left), clamp(box.minY + disc.top), clamp(box.maxX + disc.right),
            clamp(box.maxY + disc.bottom)};
  }
  const std::int64_t reach = StrokeReach(width, pen.Join());
  return {clamp(box.minX - reach), clamp(box.minY - reach), clamp(box.maxX + reach + 1), clamp(box.maxY + reach + 1)};
}

}  // namespace lumetra
