#pragma once

#include "units/unit.h"

namespace lumetra {

// A circular arc through three points; comes from documents.
class CRoundArc : public CUnit {
  LUMETRA_DECLARE_SERIAL(CRoundArc)

 public:
  CRoundArc();
  void Serialize(CArchive& ar) override;
};

}  // namespace lumetra
