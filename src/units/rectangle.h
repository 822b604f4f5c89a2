#pragma once

#include "units/unit.h"

namespace lumetra {

// The rectangle drawn in the box of its two points.
class CRectangle : public CUnit {
  LUMETRA_DECLARE_SERIAL(CRectangle)

 public:
  CRectangle();
  void Serialize(CArchive& ar) override;
};

}  // namespace lumetra
