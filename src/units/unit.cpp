#include "units/unit.h"

#include <algorithm>

#include "platform/archive/archive.h"
#include "units/unit_geometry.h"
#include "units/editing_view.h"

namespace lumetra {

namespace {
constexpr COLORREF kHandleCyan = 0x00FFFF00;
constexpr COLORREF kHandleBlue = 0x00FF0000;
constexpr COLORREF kHandleRed = 0x000000FF;
constexpr COLORREF kHandleGrey = 0x00C0C0C0;

// A square of side 2 * half around `p`, as Rectangle's corners.
CRect SquareAround(CPoint p, int half) {
  return {SaturateToInt(std::int64_t(p.x) - half), SaturateToInt(std::int64_t(p.y) - half),
          SaturateToInt(std::int64_t(p.x) + half), SaturateToInt(std::int64_t(p.y) + half)};
}

// Runs `draw(dc, corners)` for every square and the frame, in painting
// order, each with the pen, brush, background mode and raster operation it
// is painted with.
template <class Draw>
void ForEachMark(const HandleMarks& marks, CDC& dc, Draw&& draw) {
  DCStateGuard restore(dc);
  const auto squares = [&](const CPointArray& points) {
    for (CPoint p : points) draw(dc, SquareAround(p, marks.half));
  };
  CPen cyan(PS_SOLID, 1, kHandleCyan);
  dc.SetBkMode(TRANSPARENT);
  dc.SelectObject(&cyan);
  dc.SelectObject(&StockNullBrush());
  squares(marks.outline);
  if (!marks.blue.empty() || !marks.red.empty()) {
    DCStateGuard markers(dc);
    CPen pen(PS_SOLID, 1, kHandleBlue);
    CBrush blue = CBrush::Solid(kHandleBlue);
    CBrush red = CBrush::Solid(kHandleRed);
    dc.SelectObject(&pen);
    dc.SelectObject(&blue);
    dc.SetBkMode(OPAQUE);
    dc.SetROP2(R2_XORPEN);
    squares(marks.blue);
    dc.SelectObject(&red);
    squares(marks.red);
  }
  if (marks.frame) {
    CPen grey(PS_SOLID, 1, kHandleGrey);
    dc.SelectObject(&grey);
    draw(dc, *marks.frame);
  }
}

}  // namespace

void HandleMarks::Paint(CDC& dc) const {
  ForEachMark(*this, dc, [](CDC& target, const CRect& r) { target.Rectangle(r.left, r.top, r.right, r.bottom); });
}

CRect HandleMarks::Bounds() const {
  Bitmap32 nowhere;
  CDC measure(nowhere);
  CRect box;
  ForEachMark(*this, measure, [&box](CDC& dc, const CRect& r) {
    box = box.Union(dc.RectangleBounds(r.left, r.top, r.right, r.bottom));
  });
  return box;
}

HandleMarks OutlineHandles(std::span<const CPoint> points, int half) {
  HandleMarks marks;
  marks.outline.assign(points.begin(), points.end());
  marks.half = half;
  return marks;
}

HandleMarks MarkerHandles(std::span<const CPoint> bluePoints, std::span<const CPoint> redPoints, int half) {
  HandleMarks marks;
  marks.blue.assign(bluePoints.begin(), bluePoints.end());
  marks.red.assign(redPoints.begin(), redPoints.end());
  marks.half = half;
  return marks;
}

bool InSquareAround(CPoint centre, std::int64_t half, CPoint p) {
  return p.x >= centre.x - half && p.x < centre.x + half && p.y >= centre.y - half && p.y < centre.y + half;
}

// The pattern starts at the device position of the canvas origin, reduced
// modulo 8 the way C's remainder does (negative positions give -7..0).
void CUnit::AlignBrushOrigin(CDC& dc, const CBrush&) {
  CPoint origin = dc.LPtoDP({0, 0});
  dc.SetBrushOrg(origin.x % 8, origin.y % 8);
}

void CUnit::FollowDrag(EditingView& view, std::int32_t x, std::int32_t y) {
  if (view.m_bCreating || view.m_bResizing) {
    view.m_ptTrackB = {x, y};
    m_ptSecond = {x, y};
  } else {
    FollowBodyMove(view);
  }
}

bool CUnit::FollowBodyMove(const EditingView& view) {
  if (!view.m_bMoving) return false;
  const CPoint step = view.m_ptTrackB - view.m_ptTrackA;
  Translate(step.x, step.y);
  return true;
}

CPoint CUnit::TakeMouseStep(EditingView& view, std::int32_t x, std::int32_t y) {
  CPoint step = SaturatedPoint(std::int64_t(x) - view.m_ptTrackB.x, std::int64_t(y) - view.m_ptTrackB.y);
  view.m_ptTrackA = view.m_ptTrackB;
  view.m_ptTrackB = {x, y};
  return step;
}

std::array<CPoint, 4> CUnit::BoxCornersForDrawing() const {
  return {m_ptFirst, m_ptSecond, CPoint{m_ptFirst.x, m_ptSecond.y}, CPoint{m_ptSecond.x, m_ptFirst.y}};
}

// Handles go round the box: 1 the first point, 2 across in x, 3 the second
// point, 4 across in y.
std::int32_t CUnit::HitCorner(std::int32_t x, std::int32_t y, std::int64_t tolerance) {
  const CPoint corners[] = {m_ptFirst, {m_ptSecond.x, m_ptFirst.y}, m_ptSecond, {m_ptFirst.x, m_ptSecond.y}};
  return HitHandleAroundMouse(corners, x, y, tolerance);
}

std::int32_t CUnit::HitHandleAroundMouse(std::span<const CPoint> handles, std::int32_t x, std::int32_t y,
                                         std::int64_t half) {
  for (std::size_t i = 0; i < handles.size(); ++i) {
    if (InSquareAround({x, y}, half, handles[i])) {
      m_ptHandle = handles[i];
      return std::int32_t(i + 1);
    }
  }
  return 0;
}

bool CUnit::GrabHandle(EditingView& view, std::int32_t x, std::int32_t y, std::int32_t tool, HandleMode modeFor) {
  if (!m_bActive) return false;
  const std::int32_t handle = HitHandle(x, y, view.m_nHandleReach);
  view.m_nHandle = handle;
  const std::optional<std::int32_t> mode = handle != 0 ? modeFor(handle) : std::nullopt;
  if (!mode) return false;
  view.m_bHandleGrabbed = true;
  view.m_nMode = *mode;
  if (tool != kToolNone) view.m_nTool = tool;
  return true;
}

void CUnit::GrabCorner(CDC& dc, EditingView& view, std::int32_t x, std::int32_t y) {
  const auto cornersResize = [](std::int32_t handle) -> std::optional<std::int32_t> {
    if (handle >= 1 && handle <= 4) return kModeResize;
    return std::nullopt;
  };
  if (GrabHandle(view, x, y, kToolNone, cornersResize)) {
    m_ptFirst = OppositeCorners()[view.m_nHandle - 1];
    m_ptSecond = {x, y};
  }
  ToggleIfPicked(dc, view, x, y, ShowHandles::No);
}

std::array<CPoint, 4> CUnit::OppositeCorners() const {
  return {m_ptSecond, CPoint{m_ptFirst.x, m_ptSecond.y}, m_ptFirst, CPoint{m_ptSecond.x, m_ptFirst.y}};
}

void CUnit::FinishGrab(CDC& dc, EditingView& view) {
  view.m_pCurUnit = this;
  DrawHandles(dc);
  OnHandleGrabbed(dc, m_ptHandle.x, m_ptHandle.y);
  Draw(dc, {});
}

bool CUnit::ToggleIfPicked(CDC& dc, EditingView& view, std::int32_t x, std::int32_t y, ShowHandles show) {
  if (view.m_bHandleGrabbed || !PtInUnit(x, y)) return false;
  m_bActive = !m_bActive;
  view.m_bUnitChanged = true;
  if (show == ShowHandles::Yes) DrawHandles(dc);
  return true;
}

std::int32_t CUnit::RadiusBetween(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) {
  return TruncatedDistance(std::int64_t(x1) - x2, std::int64_t(y1) - y2);
}

void CUnit::NormalizePoints() {
  const CRect box = BoxRect();
  m_ptFirst = {box.left, box.top};
  m_ptSecond = {box.right, box.bottom};
}

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

void CUnit::CopyUnitFrom(const CUnit& other) {
  CopyStyleAndPoints(other);
  m_crBk = other.m_crBk;
  m_ptHandle = other.m_ptHandle;
  m_bActive = other.m_bActive;
  m_bSelected = other.m_bSelected;
  m_nId = other.m_nId;
  m_pRgn.reset();
  GetRegion();
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
}

void CUnit::Serialize(CArchive& ar) {
  ar.TransferEach(m_crPen, m_nPenStyle, m_nPenWidth, m_nDrawMode, m_nBkMode, m_crBk, m_ptFirst, m_ptSecond);
}

void CUnit::SerializeBrush(CArchive& ar) {
  ar.TransferEach(m_nBrushStyle, m_nHatchStyle, m_crBrush);
}

void CUnit::SerializeBrushWithBkMode(CArchive& ar) {
  ar.TransferEach(m_nBrushStyle, m_nBkMode, m_nHatchStyle, m_crBrush);
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
void CUnit::AddControlPoint(CDC&, EditingView&) {}
void CUnit::ShowContextMenu(EditingView&, std::int32_t, std::int32_t) {}
void CUnit::SetFontIndirect(const LOGFONT&) {}
void CUnit::ChangeFont(const LOGFONT&) {}
void CUnit::OnFontChanged(const LOGFONT&) {}
void CUnit::OnMouseDrag(CDC&, EditingView&, std::int32_t, std::int32_t) {}
CPoint CUnit::SetAngle2At(std::int32_t, std::int32_t) { return {}; }
CPoint CUnit::SetAngle1At(std::int32_t, std::int32_t) { return {}; }
void CUnit::DrawArcOutline(CDC&, std::int32_t, std::int32_t) {}
void CUnit::DrawConstruction(CDC&, std::int32_t, std::int32_t) {}
void CUnit::DrawShape(CDC&, std::int32_t, std::int32_t) {}
double CUnit::SecondChordBisector(std::int32_t, std::int32_t, std::int32_t, std::int32_t) { return 0.0; }
double CUnit::FirstChordBisector(std::int32_t, std::int32_t, std::int32_t, std::int32_t) { return 0.0; }
CRect CUnit::GetBoundRect() { return {}; }
void CUnit::OnHandleGrabbed(CDC&, std::int32_t, std::int32_t) {}
HandleMarks CUnit::Handles(std::int64_t) const { return {}; }
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
void CUnit::OnLButtonDown(CDC&, EditingView&, std::int32_t, std::int32_t) {}
std::int32_t CUnit::FindHandle(std::int32_t, std::int32_t, std::int64_t) { return 0; }
void CUnit::Draw(CDC&, const DrawContext&) const {}

void CUnit::Translate(std::int32_t dx, std::int32_t dy) {
  const CPoint step{dx, dy};
  m_ptFirst = Offset(m_ptFirst, step);
  m_ptSecond = Offset(m_ptSecond, step);
  m_pRgn.reset();
}

std::unique_ptr<CUnit> CUnit::Clone() const { return CloneOf(*this); }

std::unique_ptr<CUnit> CUnit::PasteCopy(const CUnit&) const { return nullptr; }

CRect CUnit::Bounds() const { return {}; }

}  // namespace lumetra
