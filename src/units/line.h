#pragma once

#include "units/unit.h"

namespace lumetra {

// The straight line from the first to the second point. It stores exactly the
// base record.
class CDLine : public CUnit {
  LUMETRA_DECLARE_SERIAL(CDLine)

 public:
  // Resets the points and the pen only: black, one pixel, solid.
  void InitDefaults() override;
};

}  // namespace lumetra
