#pragma once

#include "units/unit.h"

namespace lumetra {

// A circle held as centre and radius; comes from documents.
class CRound : public CUnit {
  LUMETRA_DECLARE_SERIAL(CRound)

 public:
  CRound();
  void Serialize(CArchive& ar) override;
};

}  // namespace lumetra
