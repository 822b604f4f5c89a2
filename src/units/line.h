#pragma once

#include <array>

#include "units/unit.h"

namespace lumetra {

// The straight line from the first to the second point. It stores exactly the
// base record.
class CDLine final : public CUnit {
  LUMETRA_DECLARE_SERIAL(CDLine)

 public:
  void OnMouseDrag(CDC& dc, EditingView& view, std::int32_t x, std::int32_t y) override;
  void DrawShape(CDC& dc, std::int32_t, std::int32_t) override;
  HandleMarks Handles(std::int64_t reach) const override;
  void OnLButtonDown(CDC& dc, EditingView& view, std::int32_t x, std::int32_t y) override;
  // 1 near the start, 2 near the end; the squares grow with the pen.
  std::int32_t FindHandle(std::int32_t x, std::int32_t y, std::int64_t reach) override;
  bool PtInUnit(std::int32_t x, std::int32_t y) override;
  // The hit band around the segment, rebuilt on every call.
  CRgn* GetRegion() override;
  // Resets the points and the pen only: black, one pixel, solid.
  void InitDefaults() override;
  std::unique_ptr<CUnit> Clone() const override;
  std::unique_ptr<CUnit> PasteCopy(const CUnit& current) const override;
  CRect Bounds() const override;
  void Draw(CDC& dc, const DrawContext& context) const override;
  // The start and the end, not corners: centring keeps the line's direction.
  bool PointsAreBoxCorners() const override { return false; }
};

// The four corners of the band that picks a segment drawn with pen width w.
// The polygon unit picks each of its edges by the same band.
std::array<CPoint, 4> LineHitBand(CPoint first, CPoint second, std::int32_t w);

}  // namespace lumetra
