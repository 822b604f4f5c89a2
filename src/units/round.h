#pragma once

#include "units/unit.h"

namespace lumetra {

// A circle held as centre and radius, picked near its outline. Documents
// bring it; no tool makes it.
class CRound final : public CUnit {
  LUMETRA_DECLARE_SERIAL(CRound)

 public:
  CRound();
  void Serialize(CArchive& ar) override;
  // A drag of the ring or of the centre handle moves the circle; an edge
  // handle's drag changes the radius so that the circle passes through the mouse.
  void OnMouseDrag(CDC& dc, EditingView& view, std::int32_t x, std::int32_t y) override;
  void DrawShape(CDC& dc, std::int32_t, std::int32_t) override;
  HandleMarks Handles(std::int64_t reach) const override;
  // The circle about (cx, cy) through (x, y): box and radius, not the centre.
  std::int32_t SetRadiusAt(std::int32_t cx, std::int32_t cy, std::int32_t x, std::int32_t y) override;
  void OnLButtonDown(CDC& dc, EditingView& view, std::int32_t x, std::int32_t y) override;
  // An edge middle of the box (1 to 4) or the centre (5).
  std::int32_t FindHandle(std::int32_t x, std::int32_t y, std::int64_t reach) override;
  bool PtInUnit(std::int32_t x, std::int32_t y) override;
  bool KeepsCornersInOrder() const override { return true; }
  void Translate(std::int32_t dx, std::int32_t dy) override;
  std::unique_ptr<CUnit> Clone() const override;
  CRect Bounds() const override;
  void Draw(CDC& dc, const DrawContext& context) const override;

  CPoint m_ptCenter;
};

}  // namespace lumetra
