#pragma once

#include "units/unit.h"

namespace lumetra {

// A chain of cubic Bezier segments through its control points; comes from documents.
class CPolyBezier : public CUnit {
  LUMETRA_DECLARE_SERIAL(CPolyBezier)

 public:
  CPolyBezier();
  void Serialize(CArchive& ar) override;
};

}  // namespace lumetra
