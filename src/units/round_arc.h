#pragma once

#include "units/unit.h"

namespace lumetra {

// A circular arc from m_ptFirst through m_ptSecond to m_ptThird, drawn
// counter-clockwise on the circle about m_ptCenter with radius m_nRadius1.
// Documents bring it; no tool makes it.
class CRoundArc final : public CUnit {
  LUMETRA_DECLARE_SERIAL(CRoundArc)

 public:
  void Serialize(CArchive& ar) override;
  void OnMouseDrag(CDC& dc, EditingView& view, std::int32_t x, std::int32_t y) override;
  // The arc in the DC's raster operation; nothing while the radius is 0.
  void DrawShape(CDC& dc, std::int32_t, std::int32_t) override;
  // The second chord's bisector: with the first one it fixes the centre and the radius.
  double SecondChordBisector(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) override;
  // The first chord's bisector: the centre starts at the chord's middle.
  double FirstChordBisector(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) override;
  HandleMarks Handles(std::int64_t reach) const override;
  void OnLButtonDown(CDC& dc, EditingView& view, std::int32_t x, std::int32_t y) override;
  // 1 to 3 the three points, 4 the centre.
  std::int32_t FindHandle(std::int32_t x, std::int32_t y, std::int64_t reach) override;
  // Within 2 pixels of the whole circle, the part without arc included.
  bool PtInUnit(std::int32_t x, std::int32_t y) override;
  void Draw(CDC& dc, const DrawContext& context) const override;
  // The box of the three points.
  CRect Extent() const override;
  void Translate(std::int32_t dx, std::int32_t dy) override;
  std::unique_ptr<CUnit> Clone() const override;
  CRect Bounds() const override;
  bool PointsAreBoxCorners() const override { return false; }

  CPoint m_ptThird;
  CPoint m_ptCenter;
  std::int32_t m_nRadius1 = 0;

 private:
  void Paint(CDC& dc) const;
  // The box of the circle, which Arc takes.
  CRect CircleBox() const;
  bool PointsOnOneLine() const;
};

}  // namespace lumetra
