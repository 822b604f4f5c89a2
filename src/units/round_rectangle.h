#pragma once

#include "units/unit.h"

namespace lumetra {

// The rectangle with rounded corners, each corner ellipse a third of the box.
class CRoundRectangle : public CUnit {
  LUMETRA_DECLARE_SERIAL(CRoundRectangle)

 public:
  CRoundRectangle();
  void Serialize(CArchive& ar) override;
};

}  // namespace lumetra
