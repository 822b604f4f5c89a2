// Bounds, Translate and Clone of every unit class, each drawn in a
// representative state with every pen style and a range of widths: Bounds is
// the box of the painted pixels, a translated unit paints the same pixels
// shifted and its Bounds shifts with them, and a clone paints the same pixels
// and stores the same bytes.

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <numbers>
#include <ostream>
#include <string>
#include <vector>

#include "document/document.h"
#include "platform/archive/archive.h"
#include "platform/archive/byte_stream.h"
#include "platform/gdi/bitmap.h"
#include "platform/gdi/dc.h"
#include "platform/local_time.h"
#include "support/bmp_builder.h"
#include "support/bundled_font.h"
#include "units/bmp.h"
#include "units/curve.h"
#include "units/ellipse.h"
#include "units/ellipse_arc.h"
#include "units/li_ellipse.h"
#include "units/line.h"
#include "units/poly_bezier.h"
#include "units/polygon.h"
#include "units/rectangle.h"
#include "units/round.h"
#include "units/round_arc.h"
#include "units/round_rectangle.h"
#include "units/text.h"
#include "units/timer.h"
#include "units/unit_classes.h"
#include "units/unit_geometry.h"

namespace lumetra {
namespace {

// Underlined word-wrapped rows, stored alignment and letter spacing as given.
std::unique_ptr<CUnit> JaggedText(int alignment, int spacing) {
  auto unit = std::make_unique<CText>();
  unit->m_ptFirst = {50, 40};
  unit->m_ptSecond = {150, 112};
  unit->m_strText = "Bounds of jagged text\r\nrows";
  unit->m_bWordBreak = 1;
  unit->m_bAutoAlign = 0;
  unit->m_nReservedA = alignment;
  unit->m_nReservedB = spacing;
  unit->m_abReserved = {1, 2, 3, 4, 5, 6, 7, 8};
  LOGFONT lf = unit->Font().GetLogFont();
  lf.lfHeight = -19;
  lf.lfUnderline = 1;
  unit->SetFontIndirect(lf);
  return unit;
}

constexpr COLORREF kBackground = 0x00E7C3A5;  // no unit paints in this colour
constexpr int kCanvasWidth = 220;
constexpr int kCanvasHeight = 180;

// The painted pixels of a drawing with their colours, in row order.
struct Pixel {
  CPoint at;
  std::uint32_t colour;
  friend bool operator==(const Pixel&, const Pixel&) = default;
};
using Drawing = std::vector<Pixel>;

Drawing Shifted(const Drawing& drawing, CPoint by) {
  Drawing shifted = drawing;
  for (Pixel& p : shifted) p.at += by;
  return shifted;
}

CRect BoxOf(const Drawing& drawing) {
  CRect box;
  for (const Pixel& p : drawing) box = box.Union({p.at.x, p.at.y, p.at.x + 1, p.at.y + 1});
  return box;
}

CRect ShiftedRect(const CRect& r, CPoint by) {
  if (r.IsEmpty()) return r;
  return {r.left + by.x, r.top + by.y, r.right + by.x, r.bottom + by.y};
}

HandleMarks ShiftedMarks(HandleMarks marks, CPoint by) {
  for (CPointArray* points : {&marks.outline, &marks.blue, &marks.red}) OffsetEach(*points, by);
  if (marks.frame) *marks.frame = ShiftedRect(*marks.frame, by);
  return marks;
}

std::vector<std::uint8_t> Stored(const CUnit& unit) {
  CArchive ar(UnitClasses());
  ar.WriteObject(&unit);
  return ar.Output().TakeBytes();
}

// A unit in a representative state, placed so that its widest pen stays on
// the canvas after either move.
struct UnitCase {
  const char* name;
  std::unique_ptr<CUnit> (*make)();
  // The clock is drawn across the panel by its alignment, and the editor
  // places its box there after every edit (Settle), so only the vertical
  // part of a move shows in its drawing and box.
  bool keepsHorizontalMove = true;
};

void PrintTo(const UnitCase& unitCase, std::ostream* out) { *out << unitCase.name; }

template <class Unit>
std::unique_ptr<CUnit> Make(CPoint first, CPoint second, std::int32_t brushStyle = BS_SOLID) {
  auto unit = std::make_unique<Unit>();
  unit->m_ptFirst = first;
  unit->m_ptSecond = second;
  unit->m_nBrushStyle = brushStyle;
  return unit;
}

// A turned ellipse about (100, 80): the whole of it, or the arc from 300 to 60 degrees.
std::unique_ptr<CUnit> MakeTurnedEllipse(bool arc) {
  auto unit = std::make_unique<CEllipseArc>();
  unit->m_ptCenter = {100, 80};
  unit->m_nRadius1 = 44;
  unit->m_nRadius2 = 23;
  unit->m_dCos = std::cos(std::numbers::pi / 7);
  unit->m_dSin = std::sin(std::numbers::pi / 7);
  unit->m_bAngleSet = arc;
  unit->m_dAngle1 = 300.5;
  unit->m_dAngle2 = 60.25;
  return unit;
}

const UnitCase kCases[] = {
    {"Line",
     [] {
       return Make<CDLine>({52, 61}, {131, 96});
     }},
    // Corners given bottom-right first; the brush fills the inside.
    {"Rectangle",
     [] {
       return Make<CRectangle>({141, 109}, {60, 50});
     }},
    {"RoundRectangle",
     [] {
       return Make<CRoundRectangle>({55, 45}, {150, 116}, BS_HOLLOW);
     }},
    {"Ellipse",
     [] {
       auto unit = Make<CEllipse>({61, 49}, {140, 106});
       auto& ellipse = static_cast<CEllipse&>(*unit);
       ellipse.m_dCos = 0.6;  // the turn a tool-made ellipse stores; drawing does not use it
       ellipse.m_dSin = 0.8;
       ellipse.m_nRadius1 = 30;
       ellipse.m_nRadius2 = 20;
       ellipse.m_ptCenter = {100, 78};
       return unit;
     }},
    {"OutlinePickedEllipse",
     [] {
       return Make<CLiEllipse>({65, 55}, {136, 115}, BS_HOLLOW);
     }},
    {"Circle",
     [] {
       auto unit = Make<CRound>({70, 50}, {130, 110});
       static_cast<CRound&>(*unit).m_ptCenter = {100, 80};
       return unit;
     }},
    {"TurnedEllipse", [] { return MakeTurnedEllipse(false); }},
    {"EllipticArc", [] { return MakeTurnedEllipse(true); }},
    {"CircularArc",
     [] {
       // Counter-clockwise from (140, 80) over the top to (65, 60) on the circle about (100, 80).
       auto unit = Make<CRoundArc>({140, 80}, {100, 40});
       auto& arc = static_cast<CRoundArc&>(*unit);
       arc.m_ptThird = {65, 60};
       arc.m_ptCenter = {100, 80};
       arc.m_nRadius1 = 40;
       return unit;
     }},
    {"Polygon",
     [] {
       auto unit = std::make_unique<CPolygon>();
       unit->m_aPoints = {{60, 62}, {141, 50}, {121, 115}, {70, 101}};
       return std::unique_ptr<CUnit>(std::move(unit));
     }},
    {"PolyBezier",
     [] {
       auto unit = std::make_unique<CPolyBezier>();
       unit->m_aPoints = {{50, 100}, {70, 20}, {110, 30}, {120, 80}, {130, 125}, {150, 120}, {151, 60}};
       return std::unique_ptr<CUnit>(std::move(unit));
     }},
    {"Curve",
     [] {
       auto unit = std::make_unique<CCurve>();
       unit->m_aPoints = {{60, 60}, {75, 62}, {90, 80}, {100, 111}, {121, 100}, {140, 70}};
       const CRect traced = unit->GetBoundRect();  // the box tracing leaves
       unit->m_nMinX = traced.left;
       unit->m_nMinY = traced.top;
       unit->m_nMaxX = traced.right;
       unit->m_nMaxY = traced.bottom;
       return std::unique_ptr<CUnit>(std::move(unit));
     }},
    {"Text", [] { return JaggedText(5, 0); }},
    {"TextCentredLettersCloser", [] { return JaggedText(CText::kAlignCentre, CText::kMinLetterSpacing); }},
    {"TextRightLettersApart", [] { return JaggedText(CText::kAlignRight, CText::kMaxLetterSpacing); }},
    {"Picture",
     [] {
       auto unit = Make<CBmp>({60, 50}, {124, 91});
       std::vector<std::uint8_t> image =
           test::MakeBmp({.width = 3, .height = 2, .bitCount = 4, .colours = 16, .pixelBytes = 8});
       ByteReader in(image);
       static_cast<CBmp&>(*unit).m_dib.ReadBmp(in);
       return unit;
     }},
    {"Clock",
     [] {
       return Make<CTimer>({0, 60}, {10, 70});
     },
     false},
};

constexpr std::int32_t kPenStyles[] = {PS_SOLID, PS_DASH, PS_DOT, PS_DASHDOT, PS_DASHDOTDOT, PS_NULL, PS_INSIDEFRAME};
constexpr std::int32_t kPenWidths[] = {0, 1, 2, 3, 6, 11};
// Odd, so that no rounding of halves can hide a move, and the second negative.
constexpr CPoint kMoves[] = {{13, 5}, {-7, -11}};

class UnitBounds : public ::testing::TestWithParam<UnitCase> {
 protected:
  UnitBounds() { test::UseBundledFont(); }

  // The unit drawn alone on a fresh canvas, in the bundled font (the clock's text takes the DC's).
  Drawing Draw(CUnit& unit) {
    Bitmap32 canvas(kCanvasWidth, kCanvasHeight, kBackground);
    const std::uint32_t background = canvas.At(0, 0);
    CDC dc(canvas);
    dc.SelectObject(&font_);
    unit.Draw(dc, doc_.DrawContextAt(kTime));
    Drawing drawing;
    for (int y = 0; y < kCanvasHeight; ++y) {
      for (int x = 0; x < kCanvasWidth; ++x) {
        if (canvas.At(x, y) != background) drawing.push_back({{x, y}, canvas.At(x, y)});
      }
    }
    return drawing;
  }

  std::unique_ptr<CUnit> MakeStyled(std::int32_t style, std::int32_t width) const {
    std::unique_ptr<CUnit> unit = GetParam().make();
    unit->m_nPenStyle = style;
    unit->m_nPenWidth = width;
    unit->m_crPen = 0x000000FF;
    unit->m_crBrush = 0x0000FF00;
    unit->m_nBkMode = OPAQUE;
    unit->m_crBk = 0x00FF0000;
    return unit;
  }

  // What the editor does after an edit of a clock: it places the clock's box
  // around its text, here in the font the canvas draws it in.
  void Settle(CUnit& unit) {
    auto* clock = dynamic_cast<CTimer*>(&unit);
    if (!clock) return;
    Bitmap32 nowhere;
    CDC dc(nowhere);
    dc.SelectObject(&font_);
    clock->Place(doc_.ClockSettingsForDrawing(), dc.GetTextExtent(CTimer::ClockText(doc_.m_nClockStyle, kTime)));
  }

  static constexpr LocalTime kTime{.year = 2024, .month = 3, .day = 5, .dayOfWeek = 2, .hour = 9, .minute = 7};
  CFont font_ = CFont::CreatePointFont(100, "Arial");
  CTessaraDoc doc_;
};

TEST_P(UnitBounds, BoundsIsThePaintedBoxAndFollowsMovesAndClones) {
  doc_.m_nClockStyle = 2;
  doc_.m_nClockAlign = 1;
  for (std::int32_t style : kPenStyles) {
    for (std::int32_t width : kPenWidths) {
      SCOPED_TRACE("pen style " + std::to_string(style) + ", width " + std::to_string(width));
      std::unique_ptr<CUnit> unit = MakeStyled(style, width);
      Settle(*unit);
      const Drawing drawing = Draw(*unit);
      // Bounds is exactly the box of the painted pixels. The opaque background
      // paints the gaps of styled pens and the clock's text cell, which Bounds
      // counts; on a transparent one the same box holds fewer pixels.
      const CRect bounds = unit->Bounds();
      EXPECT_EQ(bounds, BoxOf(drawing));

      const std::unique_ptr<CUnit> clone = unit->Clone();
      EXPECT_EQ(Draw(*clone), drawing);
      EXPECT_EQ(Stored(*clone), Stored(*unit));

      for (CPoint move : kMoves) {
        SCOPED_TRACE("moved by " + std::to_string(move.x) + ", " + std::to_string(move.y));
        const CPoint shown{GetParam().keepsHorizontalMove ? move.x : 0, move.y};
        const std::unique_ptr<CUnit> moved = unit->Clone();
        moved->Translate(move.x, move.y);
        Settle(*moved);
        EXPECT_EQ(Draw(*moved), Shifted(drawing, shown));
        EXPECT_EQ(moved->Bounds(), ShiftedRect(bounds, shown));
        // Every point the unit holds moves: its handles, and the turned box with them.
        EXPECT_EQ(moved->Handles(3), ShiftedMarks(unit->Handles(3), shown));
        EXPECT_EQ(moved->GetBoundRect(), ShiftedRect(unit->GetBoundRect(), shown));
        // The hit test moves too, wherever it is asked.
        const CPoint centre{(bounds.left + bounds.right) / 2, (bounds.top + bounds.bottom) / 2};
        for (CPoint probe : {centre, CPoint{bounds.left, bounds.top}, CPoint{bounds.right - 1, bounds.bottom - 1}}) {
          EXPECT_EQ(moved->PtInUnit(probe.x + shown.x, probe.y + shown.y), unit->PtInUnit(probe.x, probe.y));
        }
      }
      // Nothing of the original moved with its clones.
      EXPECT_EQ(Draw(*unit), drawing);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(EveryUnitClass, UnitBounds, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<UnitCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace lumetra
