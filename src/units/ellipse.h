#pragma once

#include "units/unit.h"

namespace lumetra {

// The ellipse inscribed in the box of its two points; also carries the rasteriser of turned ellipses.
class CEllipse : public CUnit {
  LUMETRA_DECLARE_SERIAL(CEllipse)

 public:
  CEllipse();
  void Serialize(CArchive& ar) override;
  void ToggleRotate(std::int32_t, std::int32_t) override;
};

}  // namespace lumetra
