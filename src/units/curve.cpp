#include "units/curve.h"

#include <algorithm>

#include "platform/archive/archive.h"

namespace lumetra {

LUMETRA_IMPLEMENT_SERIAL(CCurve, 1, false)

CCurve::CCurve() { CCurve::InitDefaults(); }

void CCurve::InitDefaults() {
  CUnit::InitDefaults();
  m_pPoints = std::make_unique<CPointArray>();
}

void CCurve::Serialize(CArchive& ar) {
  ar.Transfer(m_crPen);
  ar.Transfer(m_nPenStyle);
  ar.Transfer(m_nPenWidth);
  ar.Transfer(*m_pPoints);
  if (ar.IsLoading()) {
    CRect box = GetBoundRect();
    m_nMinX = box.left;
    m_nMinY = box.top;
    m_nMaxX = box.right;
    m_nMaxY = box.bottom;
  }
}

CRect CCurve::GetBoundRect() {
  CRect box;
  if (!m_pPoints->empty()) {
    CPoint first = m_pPoints->front();
    box = {first.x, first.y, first.x, first.y};
    for (CPoint p : *m_pPoints) {
      box.left = std::min(box.left, p.x);
      box.top = std::min(box.top, p.y);
      box.right = std::max(box.right, p.x);
      box.bottom = std::max(box.bottom, p.y);
    }
  }
  m_rcBound = box;
  return box;
}

}  // namespace lumetra
