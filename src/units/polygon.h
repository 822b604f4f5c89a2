#pragma once

#include "units/unit.h"

namespace lumetra {

// A closed outline through its vertices (m_pPoints), never filled; comes from documents.
class CPolygon : public CUnit {
  LUMETRA_DECLARE_SERIAL(CPolygon)

 public:
  CPolygon();
  void Serialize(CArchive& ar) override;
  // The base reset, then a new, empty vertex list.
  void InitDefaults() override;
};

}  // namespace lumetra
