#include "units/unit.h"

#include "platform/archive/archive.h"

namespace lumetra {

LUMETRA_IMPLEMENT_SERIAL(CUnit, 1, false)

CUnit::CUnit() { CUnit::InitDefaults(); }

CUnit::CUnit(const CUnit& other) : CObject() {
  CUnit::InitDefaults();
  CopyStyleAndPoints(other);
  CUnit::GetRegion();
}

CUnit& CUnit::operator=(const CUnit& other) {
  if (this != &other) {
    CopyStyleAndPoints(other);
    m_pRgn.reset();
    GetRegion();
  }
  return *this;
}

CUnit::~CUnit() = default;

void CUnit::CopyStyleAndPoints(const CUnit& other) {
  m_ptFirst = other.m_ptFirst;
  m_ptSecond = other.m_ptSecond;
  m_crPen = other.m_crPen;
  m_nPenWidth = other.m_nPenWidth;
  m_nPenStyle = other.m_nPenStyle;
  m_nBkMode = other.m_nBkMode;
  m_crBrush = other.m_crBrush;
  m_nHatchStyle = other.m_nHatchStyle;
  m_nBrushStyle = other.m_nBrushStyle;
  m_nDrawMode = other.m_nDrawMode;
}

void CUnit::InitDefaults() {
  m_nPenStyle = PS_SOLID;
  m_nPenWidth = 1;
  m_nBkMode = TRANSPARENT;
  m_nDrawMode = R2_COPYPEN;
  m_crPen = kRed;
  m_crBrush = kRed;
  m_crBk = kBlack;
  m_ptFirst = {};
  m_ptSecond = {};
  m_bActive = false;
  m_nPointCount = 0;
  m_pFont.reset();
}

void CUnit::Serialize(CArchive& ar) {
  ar.Transfer(m_crPen);
  ar.Transfer(m_nPenStyle);
  ar.Transfer(m_nPenWidth);
  ar.Transfer(m_nDrawMode);
  ar.Transfer(m_nBkMode);
  ar.Transfer(m_crBk);
  ar.Transfer(m_ptFirst);
  ar.Transfer(m_ptSecond);
}

void CUnit::SerializeBrush(CArchive& ar) {
  ar.Transfer(m_nBrushStyle);
  ar.Transfer(m_nHatchStyle);
  ar.Transfer(m_crBrush);
}

void CUnit::SerializeBrushWithBkMode(CArchive& ar) {
  ar.Transfer(m_nBrushStyle);
  ar.Transfer(m_nBkMode);
  ar.Transfer(m_nHatchStyle);
  ar.Transfer(m_crBrush);
}

// The base region is built once from the two points; it encloses no area.
CRgn* CUnit::GetRegion() {
  if (!m_pRgn) {
    const CPoint vertices[] = {m_ptFirst, m_ptSecond};
    m_pRgn = std::make_unique<CRgn>(CRgn::CreatePolygonRgn(vertices, PolyFillMode::Alternate));
  }
  return m_pRgn.get();
}

bool CUnit::PtInUnit(std::int32_t x, std::int32_t y) { return GetRegion()->PtInRegion(x, y); }

// What a unit does not override does nothing.
void CUnit::ToggleRotate(std::int32_t, std::int32_t) {}
void CUnit::AddControlPoint(CDC&, CTessaraView&) {}
void CUnit::ShowContextMenu(CTessaraView&, std::int32_t, std::int32_t) {}
void CUnit::SetFontIndirect(const LOGFONT&) {}
void CUnit::ChangeFont(const LOGFONT&) {}
void CUnit::OnFontChanged(const LOGFONT&) {}
void CUnit::OnMouseDrag(CDC&, CTessaraView&, std::int32_t, std::int32_t) {}
CPoint CUnit::SetAngle2At(std::int32_t, std::int32_t) { return {}; }
CPoint CUnit::SetAngle1At(std::int32_t, std::int32_t) { return {}; }
void CUnit::DrawArcOutline(CDC&, std::int32_t, std::int32_t) {}
void CUnit::DrawConstruction(CDC&, std::int32_t, std::int32_t) {}
void CUnit::DrawShape(CDC&, std::int32_t, std::int32_t) {}
double CUnit::SecondChordBisector(std::int32_t, std::int32_t, std::int32_t, std::int32_t) { return 0.0; }
double CUnit::FirstChordBisector(std::int32_t, std::int32_t, std::int32_t, std::int32_t) { return 0.0; }
CRect CUnit::GetBoundRect() { return {}; }
void CUnit::OnHandleGrabbed(CDC&, std::int32_t, std::int32_t) {}
void CUnit::DrawHandles(CDC&) {}
void CUnit::DrawAxisLine(CDC&, std::int32_t, std::int32_t, std::int32_t, std::int32_t) {}
std::int32_t CUnit::SetRadius1(std::int32_t, std::int32_t, std::int32_t, std::int32_t) { return 0; }
std::int32_t CUnit::SetRadius2(std::int32_t, std::int32_t, std::int32_t, std::int32_t) { return 0; }
float CUnit::SetAxisDirection(std::int32_t, std::int32_t, std::int32_t, std::int32_t) { return 0.0f; }
void CUnit::PlotEllipse(CDC&, std::int32_t, std::int32_t, std::int32_t, std::int32_t) {}
std::int32_t CUnit::SetRadiusAt(std::int32_t, std::int32_t, std::int32_t, std::int32_t) { return 0; }
void CUnit::DrawVertexDrag(CDC&, std::int32_t, std::int32_t) {}
void CUnit::DrawClosingEdge(CDC&, std::int32_t, std::int32_t) {}
void CUnit::DrawSegment(CDC&, std::int32_t, std::int32_t, std::int32_t, std::int32_t) {}
void CUnit::DrawNewEdge(CDC&, std::int32_t, std::int32_t) {}
void CUnit::OnLButtonDown(CDC&, CTessaraView&, std::int32_t, std::int32_t) {}
std::int32_t CUnit::HitHandle(std::int32_t, std::int32_t) { return 0; }
void CUnit::Draw(CDC&) {}

}  // namespace lumetra
