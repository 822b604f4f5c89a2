#pragma once

#include "units/unit.h"

namespace lumetra {

// An arc of a turned ellipse between two angles, plotted pixel by pixel;
// comes from documents.
class CEllipseArc : public CUnit {
  LUMETRA_DECLARE_SERIAL(CEllipseArc)

 public:
  // Loading marks the angles as set, so a loaded unit plots only its arc.
  void Serialize(CArchive& ar) override;
  void ToggleRotate(std::int32_t, std::int32_t) override;
};

}  // namespace lumetra
