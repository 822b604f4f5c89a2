#pragma once

#include <array>

#include "units/unit.h"

namespace lumetra {

// An ellipse in the box of its two points that is picked only near its
// outline, with handles at the middles of the box's edges and at its centre.
// Documents bring it; no tool makes it.
class CLiEllipse final : public CUnit {
  LUMETRA_DECLARE_SERIAL(CLiEllipse)

 public:
  void Serialize(CArchive& ar) override;
  // A drag of the ring or of the centre handle moves the unit; an edge
  // handle's drag moves the second point.
  void OnMouseDrag(CDC& dc, EditingView& view, std::int32_t x, std::int32_t y) override;
  void DrawShape(CDC& dc, std::int32_t, std::int32_t) override;
  // Squares at the corners (the handles themselves sit at the edge middles).
  HandleMarks Handles(std::int64_t reach) const override;
  void OnLButtonDown(CDC& dc, EditingView& view, std::int32_t x, std::int32_t y) override;
  std::int32_t FindHandle(std::int32_t x, std::int32_t y, std::int64_t reach) override;
  bool PtInUnit(std::int32_t x, std::int32_t y) override;
  bool KeepsCornersInOrder() const override { return true; }
  std::unique_ptr<CUnit> Clone() const override;
  CRect Bounds() const override;
  void Draw(CDC& dc, const DrawContext& context) const override;
};

// Handles 1 to 4 of the outline-picked ellipses: the middles of the first
// point's horizontal edge, the second point's vertical edge, the second
// point's horizontal edge and the first point's vertical edge. Halves
// truncate toward zero, so 1 and 3 may differ by a pixel in x.
std::array<CPoint, 4> EdgeMiddles(CPoint first, CPoint second);

// Within about 4 pixels either side of the outline of the ellipse inscribed
// in the normalised box.
bool InEllipseRing(CPoint topLeft, CPoint bottomRight, std::int32_t x, std::int32_t y);

}  // namespace lumetra
