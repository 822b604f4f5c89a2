#pragma once

#include "units/dib.h"
#include "units/unit.h"

namespace lumetra {

// An imported BMP image, drawn stretched to the unit's rectangle. The document
// stores the whole BMP file image inline after the base record.
class CBmp final : public CUnit {
  LUMETRA_DECLARE_SERIAL(CBmp)

 public:
  void Serialize(CArchive& ar) override;
  void OnMouseDrag(CDC& dc, EditingView& view, std::int32_t x, std::int32_t y) override;
  void DrawShape(CDC& dc, std::int32_t, std::int32_t) override;
  HandleMarks Handles(std::int64_t reach) const override;
  void OnLButtonDown(CDC& dc, EditingView& view, std::int32_t x, std::int32_t y) override;
  std::int32_t FindHandle(std::int32_t x, std::int32_t y, std::int64_t reach) override;
  bool PtInUnit(std::int32_t x, std::int32_t y) override;
  std::unique_ptr<CUnit> Clone() const override;
  // The box the picture is stretched to, when it is one the rasterizer draws.
  CRect Bounds() const override;
  void Draw(CDC& dc, const DrawContext& context) const override;

  CDib m_dib;
};

}  // namespace lumetra
