#pragma once

#include "units/unit.h"

namespace lumetra {

// The rectangle drawn in the box of its two points; picked anywhere inside the box.
class CRectangle final : public CUnit {
  LUMETRA_DECLARE_SERIAL(CRectangle)

 public:
  CRectangle();
  void Serialize(CArchive& ar) override;
  void OnMouseDrag(CDC& dc, EditingView& view, std::int32_t x, std::int32_t y) override;
  void DrawShape(CDC& dc, std::int32_t, std::int32_t) override;
  HandleMarks Handles(std::int64_t reach) const override;
  void OnLButtonDown(CDC& dc, EditingView& view, std::int32_t x, std::int32_t y) override;
  std::int32_t FindHandle(std::int32_t x, std::int32_t y, std::int64_t reach) override;
  bool PtInUnit(std::int32_t x, std::int32_t y) override;
  std::unique_ptr<CUnit> Clone() const override;
  std::unique_ptr<CUnit> PasteCopy(const CUnit& current) const override;
  CRect Bounds() const override;
  void Draw(CDC& dc, const DrawContext& context) const override;

 private:
  void Paint(CDC& dc) const;
};

}  // namespace lumetra
