#pragma once
// CUnit, the base of every drawable object on the canvas: the drawing style,
// the two defining points, and the virtual operations through which the view
// draws, hit-tests, edits, moves and copies units and learns where they
// paint. Whatever else a unit holds belongs to its own class.

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>

#include "platform/archive/object.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/font.h"
#include "platform/gdi/objects.h"
#include "platform/gdi/rop2.h"
#include "platform/gdi/region.h"
#include "platform/types.h"
#include "units/draw_context.h"
#include "units/editing_view.h"

namespace lumetra {

inline constexpr COLORREF kRed = 0x000000FF;
inline constexpr COLORREF kBlack = 0x00000000;

// The handles a selected unit shows: squares of side 2 * half around points.
// Outline squares are cyan frames in the DC's raster operation; marker
// squares are filled blue and red squares that XOR onto the canvas, so
// drawing them twice removes them. A text also frames its box in grey.
// They are painted in that order: outlines, blue, red, the frame.
struct HandleMarks {
  CPointArray outline;
  CPointArray blue;
  CPointArray red;
  int half = 3;
  std::optional<CRect> frame;  // the corners given to Rectangle

  void Paint(CDC& dc) const;
  // The box of every pixel Paint paints, right and bottom edges outside.
  CRect Bounds() const;

  friend bool operator==(const HandleMarks&, const HandleMarks&) = default;
};

class CUnit : public CObject {
  LUMETRA_DECLARE_SERIAL(CUnit)

 public:
  CUnit();
  // Copies the style and both points; the flags and the background colour get
  // their defaults, and the region is built anew.
  CUnit(const CUnit& other);
  // Copies the same fields as the copy constructor and rebuilds the region
  // through the subclass's GetRegion (paste uses this).
  CUnit& operator=(const CUnit& other);
  ~CUnit() override;

  // Anchors a brush's 8 x 8 pattern to the canvas origin, however the DC's
  // origins are set, before the brush is selected.
  static void AlignBrushOrigin(CDC& dc, const CBrush& brush);

  // The virtual operations, in the order every unit class shares.
  void Serialize(CArchive& ar) override;
  virtual void ToggleRotate(std::int32_t, std::int32_t);
  virtual void AddControlPoint(CDC& dc, EditingView& view);
  virtual void ShowContextMenu(EditingView& view, std::int32_t screenX, std::int32_t screenY);
  virtual void SetFontIndirect(const LOGFONT& lf);
  virtual void ChangeFont(const LOGFONT& lf);
  virtual void OnFontChanged(const LOGFONT& lf);
  virtual void OnMouseDrag(CDC& dc, EditingView& view, std::int32_t x, std::int32_t y);
  virtual CPoint SetAngle2At(std::int32_t x, std::int32_t y);
  virtual CPoint SetAngle1At(std::int32_t x, std::int32_t y);
  virtual void DrawArcOutline(CDC& dc, std::int32_t, std::int32_t);
  virtual void DrawConstruction(CDC& dc, std::int32_t x, std::int32_t y);
  virtual void DrawShape(CDC& dc, std::int32_t, std::int32_t);
  virtual double SecondChordBisector(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2);
  virtual double FirstChordBisector(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2);
  virtual CRect GetBoundRect();
  virtual void OnHandleGrabbed(CDC& dc, std::int32_t handleX, std::int32_t handleY);
  // The handles, each square no larger than `reach` LEDs from its centre
  // (the distance at which a press grabs it).
  virtual HandleMarks Handles(std::int64_t reach) const;
  void DrawHandles(CDC& dc, std::int64_t reach = EditingView::kAnyHandleReach) const { Handles(reach).Paint(dc); }
  virtual void DrawAxisLine(CDC& dc, std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2);
  virtual std::int32_t SetRadius1(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2);
  virtual std::int32_t SetRadius2(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2);
  virtual float SetAxisDirection(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2);
  virtual void PlotEllipse(CDC& dc, std::int32_t cx, std::int32_t cy, std::int32_t r1, std::int32_t r2);
  virtual std::int32_t SetRadiusAt(std::int32_t cx, std::int32_t cy, std::int32_t x, std::int32_t y);
  virtual void DrawVertexDrag(CDC& dc, std::int32_t x, std::int32_t y);
  virtual void DrawClosingEdge(CDC& dc, std::int32_t x, std::int32_t y);
  virtual void DrawSegment(CDC& dc, std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2);
  virtual void DrawNewEdge(CDC& dc, std::int32_t x, std::int32_t y);
  virtual void OnLButtonDown(CDC& dc, EditingView& view, std::int32_t x, std::int32_t y);
  // The number of the handle a press at (x, y) grabs, 0 for none: within
  // the unit's own distance of a handle, at most `reach` LEDs.
  std::int32_t HitHandle(std::int32_t x, std::int32_t y, std::int64_t reach = EditingView::kAnyHandleReach) {
    return FindHandle(x, y, reach);
  }
  virtual std::int32_t FindHandle(std::int32_t x, std::int32_t y, std::int64_t reach);
  virtual bool PtInUnit(std::int32_t x, std::int32_t y);
  virtual CRgn* GetRegion();
  virtual void InitDefaults();
  // Paints the unit as the canvas shows it. Drawing changes nothing of the
  // unit; what the clock needs of its document comes in `context`.
  virtual void Draw(CDC& dc, const DrawContext& context) const;

  // Moves the whole unit by (dx, dy), each coordinate saturating at the
  // 32-bit range: every point it holds (the two defining points here, and
  // whatever points a subclass keeps besides), so that its shape and size
  // stay and its handles stay on it before it is drawn again. The hit region
  // is built anew when next asked for.
  virtual void Translate(std::int32_t dx, std::int32_t dy);
  // The rectangle the unit's points span, which centring places on the panel.
  virtual CRect Extent() const { return BoxRect(); }
  // A complete copy: every field the unit stores and draws from, with point
  // lists and a font of its own and its hit region built anew. It draws the
  // same pixels and stores the same bytes as the original, and has its id.
  virtual std::unique_ptr<CUnit> Clone() const;
  // What paste adds when this unit is the marked one: a new unit of this
  // unit's class made from `current`, or none for the classes that are not
  // pasted (the default).
  virtual std::unique_ptr<CUnit> PasteCopy(const CUnit& current) const;
  // The box of every pixel Draw can paint in the unit's present state (its
  // handles aside), right and bottom edges outside; (0, 0, 0, 0) when it
  // paints nothing. It comes from the rasterizer's rules, without drawing;
  // the gaps of a styled one-pixel pen count as painted.
  virtual CRect Bounds() const;
  // Whether the two defining points are opposite corners of the unit's box
  // (rectangles, ellipses, text, pictures, the clock); centring puts them in
  // corner order, while a line keeps its direction.
  virtual bool PointsAreBoxCorners() const { return true; }
  // Whether the view puts the unit's points in corner order (NormalizePoints)
  // when a creation ends and when a handle drag starts and ends; hit tests
  // never reorder them.
  virtual bool KeepsCornersInOrder() const { return false; }
  // Puts the box's top-left corner into m_ptFirst and its bottom-right into m_ptSecond.
  void NormalizePoints();

  // The rectangle spanned by the two points, normalised; the points stay as they are.
  CRect BoxRect() const {
    return CRect{m_ptFirst.x, m_ptFirst.y, m_ptSecond.x, m_ptSecond.y}.Normalized();
  }

  // Style and geometry. (The members are in an order that leaves no gaps:
  // a document's units are most of its memory.)
  std::int32_t m_nPenStyle;
  std::int32_t m_nPenWidth;
  std::int32_t m_nBkMode;
  std::int32_t m_nDrawMode;
  COLORREF m_crPen;
  COLORREF m_crBrush;
  COLORREF m_crBk;
  CPoint m_ptFirst;
  CPoint m_ptSecond;
  std::int32_t m_nBrushStyle = BS_SOLID;
  std::int32_t m_nHatchStyle = HS_HORIZONTAL;
  CPoint m_ptHandle;
  bool m_bActive;
  bool m_bSelected = false;
  std::unique_ptr<CRgn> m_pRgn;  // cached hit-test region
  // The document's name for the unit, kept by clones and through undo and
  // redo; 0 until the document gives it one. Not stored.
  std::uint64_t m_nId = 0;

 protected:
  // The unit drawing frame: runs `paint` with the unit's pen, its background
  // mode and colour and, as asked, its brush and raster operation selected;
  // the DC's previous state comes back afterwards.
  enum class RasterOp { Own, Callers };
  enum class BrushUse { None, Unaligned, Aligned };
  template <class Paint>
  void DrawInStyle(CDC& dc, RasterOp rop, BrushUse brushUse, Paint&& paint) const;
  // Runs `paint` with only the unit's pen selected, in the unit's own or the DC's raster operation.
  template <class Paint>
  void DrawWithPen(CDC& dc, RasterOp rop, Paint&& paint) const;
  // Bounds' frame: runs `measure` on a DC that paints nowhere, with the
  // unit's pen and brush and its background mode selected, and returns its box.
  template <class Measure>
  CRect BoundsInStyle(Measure&& measure) const;
  CPen MakePen() const { return CPen(m_nPenStyle, m_nPenWidth, m_crPen); }
  CBrush MakeBrush() const { return CBrush({m_nBrushStyle, m_crBrush, m_nHatchStyle}); }

  // The drag of the line and the box units: while the view creates or
  // resizes the unit its second point follows the mouse (and becomes the
  // view's tracking point); while the view moves it, it moves whole.
  void FollowDrag(EditingView& view, std::int32_t x, std::int32_t y);
  // While the view moves the unit by its body, the whole unit moves by the
  // view's tracking step. Returns whether it did.
  bool FollowBodyMove(const EditingView& view);
  // A drag by a unit's centre handle: the mouse's movement since the previous
  // step, which becomes the view's tracking step.
  static CPoint TakeMouseStep(EditingView& view, std::int32_t x, std::int32_t y);

  // The number (from 1) of the first handle lying in the square of half side
  // `half` around the mouse, which is then stored in m_ptHandle; 0 for none.
  std::int32_t HitHandleAroundMouse(std::span<const CPoint> handles, std::int32_t x, std::int32_t y,
                                    std::int64_t half);

  // A press on the unit while it is active: the handle under the mouse
  // (HitHandle) becomes the view's m_nHandle and, when `modeFor` gives a
  // mouse mode for that handle (never asked for handle 0), the view holds
  // the unit by it: m_bHandleGrabbed, that mode and, unless it is kToolNone,
  // `tool` on the tool bar. Returns whether it grabbed.
  using HandleMode = std::optional<std::int32_t> (*)(std::int32_t handle);
  static std::optional<std::int32_t> AnyHandleResizes(std::int32_t) { return kModeResize; }
  bool GrabHandle(EditingView& view, std::int32_t x, std::int32_t y, std::int32_t tool, HandleMode modeFor);
  // After a handle grab: the unit becomes the view's current one, shows its
  // handles, reports the grab and repaints. Its own raster operation stays.
  void FinishGrab(CDC& dc, EditingView& view);
  // A press that grabbed no handle but hit the unit's body toggles its
  // activation (and reports the change to the view); most units then show
  // their handles. Returns whether it toggled.
  enum class ShowHandles { No, Yes };
  bool ToggleIfPicked(CDC& dc, EditingView& view, std::int32_t x, std::int32_t y, ShowHandles show);

  // The truncated distance between two points, the radius the turned ellipses take.
  static std::int32_t RadiusBetween(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2);

  // Box units (rectangles, ellipses): the corners in the order their handles
  // are drawn; the number of the corner handle that lies in the square around
  // the mouse; and the press on a corner, which makes the opposite corner the
  // fixed first point so that a drag moves only the second.
  std::array<CPoint, 4> BoxCornersForDrawing() const;
  std::int32_t HitCorner(std::int32_t x, std::int32_t y, std::int64_t tolerance);
  // For corner handles 1 to 4, the corner opposite each.
  std::array<CPoint, 4> OppositeCorners() const;
  void GrabCorner(CDC& dc, EditingView& view, std::int32_t x, std::int32_t y);

  // The style and both points, which every copy takes over from the source.
  void CopyStyleAndPoints(const CUnit& other);
  // Every field CUnit holds; the hit region is built anew.
  void CopyUnitFrom(const CUnit& other);
  // Clone of a class whose copy constructor copies the class's own fields:
  // that copy, completed with every field of the base.
  template <class Unit>
  static std::unique_ptr<Unit> CloneOf(const Unit& unit) {
    auto copy = std::make_unique<Unit>(unit);
    copy->CopyUnitFrom(unit);
    return copy;
  }
  // PasteCopy of the classes that paste the current unit's style and points
  // into a new unit of their own (flags and background colour at their defaults).
  template <class Unit>
  static std::unique_ptr<CUnit> MadeFromStyleAndPoints(const CUnit& current) {
    std::unique_ptr<CUnit> copy = std::make_unique<Unit>();
    *copy = current;
    return copy;
  }
  // The brush record of the rectangle-like units: style, hatch, colour.
  void SerializeBrush(CArchive& ar);
  // The brush record of the ellipse-like units, which repeat the background
  // mode after the brush style (on loading the second copy wins).
  void SerializeBrushWithBkMode(CArchive& ar);
};

template <class Paint>
void CUnit::DrawInStyle(CDC& dc, RasterOp rop, BrushUse brushUse, Paint&& paint) const {
  CPen pen = MakePen();
  std::optional<CBrush> brush;
  if (brushUse != BrushUse::None) brush.emplace(MakeBrush());
  DCStateGuard restore(dc);
  if (rop == RasterOp::Own) dc.SetROP2(m_nDrawMode);
  dc.SelectObject(&pen);
  if (brush) {
    if (brushUse == BrushUse::Aligned) AlignBrushOrigin(dc, *brush);
    dc.SelectObject(&*brush);
  }
  dc.SetBkMode(m_nBkMode);
  dc.SetBkColor(m_crBk);
  paint();
}

template <class Paint>
void CUnit::DrawWithPen(CDC& dc, RasterOp rop, Paint&& paint) const {
  CPen pen = MakePen();
  DCStateGuard restore(dc);
  if (rop == RasterOp::Own) dc.SetROP2(m_nDrawMode);
  dc.SelectObject(&pen);
  paint();
}

template <class Measure>
CRect CUnit::BoundsInStyle(Measure&& measure) const {
  Bitmap32 nowhere;
  CDC dc(nowhere);
  CPen pen = MakePen();
  CBrush brush = MakeBrush();
  dc.SelectObject(&pen);
  dc.SelectObject(&brush);
  dc.SetBkMode(m_nBkMode);
  return measure(dc);
}

// Selection handles made of outline squares, or of blue and red marker squares.
HandleMarks OutlineHandles(std::span<const CPoint> points, int half = 3);
HandleMarks MarkerHandles(std::span<const CPoint> bluePoints, std::span<const CPoint> redPoints, int half = 3);
// A handle square's half side: the class's own, at most `reach`.
inline int HandleHalf(int own, std::int64_t reach) { return int(std::min<std::int64_t>(own, reach)); }

// Handle squares with the left and top edges inside and the right and
// bottom edges outside. Some units test the handle against a square around
// the mouse, others the mouse against a square around the handle.
bool InSquareAround(CPoint centre, std::int64_t half, CPoint p);

}  // namespace lumetra
