// Editing sessions run headless: presses, drags, releases, double-clicks and
// commands through the view, with a scripted host standing in for the screen.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <fstream>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "document/document.h"
#include "lang/language.h"
#include "platform/archive/byte_stream.h"
#include "platform/local_time.h"
#include "platform/png_encoder.h"
#include "support/bmp_builder.h"
#include "support/scoped_language.h"
#include "support/temp_folder.h"
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
#include "view/canvas_render.h"
#include "render/picture.h"
#include "view/tessara_view.h"

namespace lumetra {
namespace {

struct ScriptedHost : ViewHost {
  DialogOutcome playModesAnswer = DialogOutcome::kCancelled;
  // Unless cancelled outright, the dialogs change a value before each of
  // `applies` Applies, and once more before an OK.
  int applies = 0;
  template <class Change>
  DialogOutcome Answer(DialogOutcome answer, const std::function<void()>& applied, Change change) const {
    if (answer == DialogOutcome::kCancelled) return answer;
    for (int i = 0; i < std::max(applies, answer == DialogOutcome::kCancelledAfterApply ? 1 : 0); ++i) {
      change();
      applied();
    }
    if (answer == DialogOutcome::kAccepted) change();
    return answer;
  }
  DialogOutcome EditPlayModes(CPlayModeSet& modes, std::int32_t, const std::function<void()>& applied) override {
    return Answer(playModesAnswer, applied, [&] { modes.m_anSpeed[0] = (modes.m_anSpeed[0] + 1) % 6; });
  }

  std::vector<PopupMenuRequest> menus;
  std::vector<std::string> messages;
  CPoint scroll;
  CSize client{200, 100};
  std::vector<CPoint> scrolledTo;
  std::optional<ScreenSizeValues> screenAnswer;
  std::optional<std::filesystem::path> saveAnswer;
  int panelChanges = 0;
  int textDialogs = 0;
  DialogOutcome textDialogAnswer = DialogOutcome::kCancelled;
  std::optional<ClockOptions> clockAnswer;
  std::optional<PictureReduction> reductionAnswer;

  void ShowPopupMenu(const PopupMenuRequest& r) override { menus.push_back(r); }
  void ShowMessage(const std::string& text) override { messages.push_back(text); }
  CPoint ScrollPosition() const override { return scroll; }
  CSize ClientSize() const override { return client; }
  void ScrollTo(CPoint p) override { scrolledTo.push_back(p); }
  DialogOutcome EditTextProperties(CText& text, bool, const std::function<void()>& applied) override {
    ++textDialogs;
    return Answer(textDialogAnswer, applied, [&] { text.m_strText += "!"; });
  }
  bool EditScreenSize(ScreenSizeValues& values) override {
    if (!screenAnswer) return false;
    values = *screenAnswer;
    return true;
  }
  void PanelSettingsChanged(const CTessaraDoc&) override { ++panelChanges; }
  std::optional<std::filesystem::path> ChooseBmpToSave() override { return saveAnswer; }
  bool EditClockOptions(ClockOptions& options) override {
    if (!clockAnswer) return false;
    options = *clockAnswer;
    return true;
  }
  std::optional<PictureReduction> ChoosePictureReduction(const RgbaPicture&, const std::string&, int,
                                                         CSize) override {
    return reductionAnswer;
  }
};

struct Session {
  CTessaraDoc doc;
  ScriptedHost host;
  StylePageValues style;
  CTessaraView view;

  Session(int widthWords = 8, int heightWords = 1, int frames = 10) {
    doc.m_nWidthWords = widthWords;
    doc.m_nHeightWords = heightWords;
    doc.m_nFrames = frames;
    view.SetDocument(&doc);
    view.SetHost(&host);
    view.SetStylePage(&style);
    view.OnInitialUpdate();
  }
  void Click(CPoint p) {
    view.OnLButtonDown(p);
    view.OnLButtonUp(p);
  }
  void Drag(CPoint from, CPoint to) {
    view.OnLButtonDown(from);
    view.OnMouseMove(to, true);
    view.OnLButtonUp(to);
  }
  CUnit& Unit(std::size_t i) { return *doc.m_units.at(i); }
  template <class T>
  T& Add(CPoint first, CPoint second) {
    auto unit = std::make_unique<T>();
    unit->m_ptFirst = first;
    unit->m_ptSecond = second;
    T& ref = *unit;
    doc.m_units.push_back(std::move(unit));
    return ref;
  }
};

TEST(ViewSession, AClickDrawsAFortyByThirtyUnitAndTheToolStays) {
  Session s;
  s.view.OnCommand(kCmdToolRectangle);
  s.Click({10, 12});
  ASSERT_EQ(s.doc.m_units.size(), 1u);
  EXPECT_EQ(s.Unit(0).m_ptFirst, (CPoint{10, 12}));
  EXPECT_EQ(s.Unit(0).m_ptSecond, (CPoint{50, 42}));
  EXPECT_TRUE(s.Unit(0).m_bSelected);
  EXPECT_EQ(s.Unit(0).m_nBrushStyle, BS_HOLLOW);  // from the style page
  EXPECT_TRUE(s.doc.IsModified());
  EXPECT_EQ(s.view.m_nTool, kToolRectangle);
  EXPECT_EQ(s.view.m_nMode, kModeCreate);
  s.Drag({60, 5}, {90, 20});
  ASSERT_EQ(s.doc.m_units.size(), 2u);
  EXPECT_EQ(s.Unit(1).m_ptSecond, (CPoint{90, 20}));
  EXPECT_FALSE(s.Unit(0).m_bSelected);
}

TEST(ViewSession, TextAndClockCreationReturnToSelectMode) {
  Session s(8, 2, 4);
  s.host.textDialogAnswer = DialogOutcome::kAccepted;
  s.view.OnCommand(kCmdToolText);
  s.Drag({5, 5}, {60, 30});
  EXPECT_EQ(s.host.textDialogs, 1);
  EXPECT_EQ(s.view.m_nMode, kModeSelect);
  EXPECT_EQ(static_cast<CText&>(s.Unit(0)).m_nBandHeight, 32);

  s.doc.m_nColourSet = 1;
  s.view.OnCommand(kCmdToolClock);
  EXPECT_TRUE(s.view.GetCommandState(kCmdToolClock).enabled);
  s.Click({5, 40});
  EXPECT_EQ(s.view.m_nMode, kModeSelect);
  EXPECT_EQ(static_cast<CTimer&>(s.Unit(1)).m_nColourSet, 1);
  EXPECT_FALSE(s.view.GetCommandState(kCmdToolClock).enabled);

  // A second clock is refused with the language's message; the tool stays chosen.
  s.view.OnCommand(kCmdToolClock);
  s.Click({5, 50});
  EXPECT_EQ(s.doc.m_units.size(), 2u);
  ASSERT_EQ(s.host.messages.size(), 1u);
  EXPECT_EQ(s.host.messages[0], LookupText(2003));
  EXPECT_EQ(s.view.m_nTool, kToolClock);
  EXPECT_EQ(s.view.m_pCurUnit, nullptr);
}

TEST(ViewSession, PickingTakesTheTopmostUnitAndAMissDeselectsAll) {
  Session s;
  CRectangle& below = s.Add<CRectangle>({0, 0}, {40, 40});
  CRectangle& above = s.Add<CRectangle>({20, 20}, {60, 60});
  s.style.penWidth = 9;
  above.m_nPenWidth = 3;
  s.Click({30, 30});
  EXPECT_EQ(s.view.m_pCurUnit, &above);
  EXPECT_TRUE(above.m_bSelected);
  EXPECT_EQ(s.style.penWidth, 3);  // the page shows the picked unit's style
  s.Click({10, 10});
  EXPECT_EQ(s.view.m_pCurUnit, &below);
  EXPECT_FALSE(above.m_bSelected);
  s.Click({100, 100});
  EXPECT_EQ(s.view.m_pCurUnit, nullptr);
  EXPECT_FALSE(below.m_bSelected);
}

TEST(ViewSession, AHandleOfTheCurrentUnitIsGrabbedEvenUnderAnotherUnit) {
  Session s;
  CRectangle& below = s.Add<CRectangle>({10, 10}, {40, 40});
  s.Add<CRectangle>({30, 30}, {80, 80});
  s.Click({15, 15});
  ASSERT_EQ(s.view.m_pCurUnit, &below);
  s.view.OnLButtonDown({40, 40});  // corner 3 of the lower unit, inside the upper one
  EXPECT_TRUE(s.view.m_bResizing);
  s.view.OnMouseMove({70, 50}, true);
  EXPECT_EQ(s.view.m_nMode, kModeResize);
  s.view.OnLButtonUp({70, 50});
  EXPECT_EQ(below.m_ptFirst, (CPoint{10, 10}));
  EXPECT_EQ(below.m_ptSecond, (CPoint{70, 50}));
  EXPECT_EQ(s.view.m_nMode, kModeSelect);
}

TEST(ViewSession, EveryMouseEventStartsInTheCopyingRasterOperation) {
  Session s;
  auto polygon = std::make_unique<CPolygon>();
  polygon->m_aPoints = {{10, 10}, {60, 10}, {30, 50}};
  CPolygon& shape = *polygon;
  s.doc.m_units.push_back(std::move(polygon));
  s.Click({35, 11});  // pick it by its edge
  ASSERT_EQ(s.view.m_pCurUnit, &shape);
  s.Drag({30, 50}, {30, 60});  // a vertex drag draws its feedback in XOR
  EXPECT_EQ(shape.m_aPoints.back(), (CPoint{30, 60}));
  s.view.OnCommand(kCmdToolRectangle);
  s.Click({80, 80});
  EXPECT_EQ(s.doc.m_units.back()->m_nDrawMode, R2_COPYPEN);
}

TEST(ViewSession, MovingAPickedUnitFollowsTheMouse) {
  Session s;
  CDLine& line = s.Add<CDLine>({10, 10}, {50, 10});
  s.view.OnLButtonDown({30, 11});
  s.view.OnMouseMove({35, 14}, true);
  s.view.OnMouseMove({40, 20}, true);
  s.view.OnLButtonUp({40, 20});
  EXPECT_EQ(line.m_ptFirst, (CPoint{20, 19}));
  EXPECT_EQ(line.m_ptSecond, (CPoint{60, 19}));
  EXPECT_FALSE(s.view.m_bMoving);
}

// The unit drawn alone on a black canvas: its lit pixels, row by row.
std::vector<CPoint> Painted(CUnit& unit) {
  Bitmap32 canvas(200, 160);
  CDC dc(canvas);
  unit.Draw(dc, {});
  std::vector<CPoint> lit;
  for (int y = 0; y < canvas.Height(); ++y) {
    for (int x = 0; x < canvas.Width(); ++x) {
      if ((canvas.At(x, y) & 0xFFFFFF) != 0) lit.push_back({x, y});
    }
  }
  return lit;
}

std::vector<CPoint> Shifted(std::vector<CPoint> pixels, CPoint by) {
  for (CPoint& p : pixels) p += by;
  return pixels;
}

template <class T>
std::unique_ptr<T> Spanning(CPoint first, CPoint second) {
  auto unit = std::make_unique<T>();
  unit->m_ptFirst = first;
  unit->m_ptSecond = second;
  return unit;
}

// A unit of the named class as a document holds it (centres, radii and the
// like only where the file stores them), white, with a raster operation of its own.
std::unique_ptr<CUnit> StoredUnit(std::string_view name) {
  std::unique_ptr<CUnit> unit;
  if (name == "line") unit = Spanning<CDLine>({20, 60}, {100, 30});
  if (name == "rectangle") unit = Spanning<CRectangle>({20, 20}, {80, 60});
  if (name == "rounded rectangle") unit = Spanning<CRoundRectangle>({20, 20}, {80, 60});
  if (name == "ellipse") unit = Spanning<CEllipse>({20, 20}, {80, 60});
  if (name == "clock") unit = Spanning<CTimer>({20, 20}, {80, 40});
  if (name == "outline ellipse") unit = Spanning<CLiEllipse>({20, 20}, {60, 50});
  if (name == "text") {
    auto text = Spanning<CText>({20, 20}, {80, 50});
    text->m_strText = "Hi";
    unit = std::move(text);
  } else if (name == "picture") {
    auto picture = Spanning<CBmp>({20, 20}, {60, 50});
    const std::vector<std::uint8_t> bytes = test::MakeBmp({});
    ByteReader in(bytes);
    picture->m_dib.ReadBmp(in);
    unit = std::move(picture);
  } else if (name == "curve") {
    auto curve = std::make_unique<CCurve>();
    curve->m_aPoints = {{20, 30}, {40, 50}, {60, 35}, {80, 55}};
    curve->m_nMinX = 20, curve->m_nMinY = 30, curve->m_nMaxX = 80, curve->m_nMaxY = 55;
    unit = std::move(curve);
  } else if (name == "polygon") {
    auto polygon = std::make_unique<CPolygon>();
    polygon->m_aPoints = {{20, 20}, {80, 20}, {50, 60}};
    unit = std::move(polygon);
  } else if (name == "Bezier path") {
    auto bezier = std::make_unique<CPolyBezier>();
    bezier->m_aPoints = {{20, 40}, {40, 10}, {60, 70}, {80, 40}};
    unit = std::move(bezier);
  } else if (name == "circle") {
    auto circle = Spanning<CRound>({35, 25}, {65, 55});
    circle->m_ptCenter = {50, 40};
    unit = std::move(circle);
  } else if (name == "elliptic arc") {
    auto arc = std::make_unique<CEllipseArc>();
    arc->m_ptCenter = {60, 60};
    arc->m_nRadius1 = 30, arc->m_nRadius2 = 15, arc->m_dCos = 0.8, arc->m_dSin = 0.6;
    arc->m_dAngle1 = 30, arc->m_dAngle2 = 200, arc->m_bAngleSet = true;
    unit = std::move(arc);
  } else if (name == "circular arc") {
    auto arc = Spanning<CRoundArc>({50, 60}, {60, 70});
    arc->m_ptThird = {70, 60}, arc->m_ptCenter = {60, 60}, arc->m_nRadius1 = 10;
    unit = std::move(arc);
  }
  unit->m_crPen = 0xFFFFFF;
  unit->m_nDrawMode = R2_MERGEPEN;
  return unit;
}

// Every class with a point on its body where no handle lies and one of its
// handles (the curve has none).
struct Sample {
  const char* name;
  CPoint body;
  CPoint handle;
  bool bodyDragMoves = true;  // polygons and Bezier paths stay; their handles move them
};
const Sample kSamples[] = {
    {"line", {60, 45}, {100, 30}},
    {"rectangle", {50, 40}, {80, 60}},
    {"rounded rectangle", {50, 40}, {80, 60}},
    {"ellipse", {50, 40}, {80, 60}},
    {"curve", {50, 40}, {50, 40}},
    {"text", {50, 35}, {80, 50}},
    {"clock", {50, 30}, {80, 40}},
    {"picture", {40, 35}, {60, 50}},
    {"outline ellipse", {54, 46}, {60, 35}},
    {"circle", {61, 51}, {65, 40}},
    {"elliptic arc", {42, 64}, {60, 60}},
    {"circular arc", {53, 67}, {70, 60}},
    {"polygon", {35, 20}, {80, 20}, false},
    {"Bezier path", {30, 45}, {80, 40}, false},
};

TEST(ViewSession, PickedUnitsDraggedByTheirBodyKeepShapeAndRasterOperation) {
  const CPoint drag{6, 4};
  for (const Sample& sample : kSamples) {
    SCOPED_TRACE(sample.name);
    Session s;
    CUnit& unit = *s.doc.m_units.emplace_back(StoredUnit(sample.name));
    const std::vector<CPoint> before = Painted(unit);
    s.Click(sample.body);
    ASSERT_EQ(s.view.m_pCurUnit, &unit);
    // The second press is the one that used to run an arc's construction steps.
    s.view.OnLButtonDown(sample.body);
    s.view.OnMouseMove(sample.body + CPoint{2, 3}, true);
    s.view.OnMouseMove(sample.body + drag, true);
    s.view.OnLButtonUp(sample.body + drag);
    const CPoint moved = sample.bodyDragMoves ? drag : CPoint{};
    EXPECT_EQ(Painted(unit), Shifted(before, moved));
    EXPECT_EQ(unit.m_nDrawMode, R2_MERGEPEN);

    // The move placed the clock's box around its text, and its corner handles with it.
    const CPoint handle = std::string_view(sample.name) == "clock" ? unit.BoxRect().BottomRight() : sample.handle + moved;
    s.view.OnLButtonDown(handle);
    EXPECT_EQ(s.view.m_bResizing, sample.handle != sample.body);
    s.view.OnMouseMove(handle + CPoint{3, 2}, true);
    s.view.OnLButtonUp(handle + CPoint{3, 2});
    EXPECT_EQ(unit.m_nDrawMode, R2_MERGEPEN);
    if (unit.KeepsCornersInOrder()) {
      EXPECT_EQ(unit.m_ptFirst, unit.BoxRect().TopLeft()) << "after the handle drag";
    }
  }
}

// A click on a selected unit, on its body or on any of its handles, changes
// no byte of it: a handle is taken only once the mouse moves.
TEST(ViewSession, AClickOnTheBodyOrAHandleOfASelectedUnitChangesNothing) {
  for (const Sample& sample : kSamples) {
    SCOPED_TRACE(sample.name);
    Session s;
    CUnit& unit = *s.doc.m_units.emplace_back(StoredUnit(sample.name));
    s.view.OnInitialUpdate();
    s.Click(sample.body);
    ASSERT_EQ(s.view.m_pCurUnit, &unit);
    const std::vector<std::uint8_t> before = s.doc.SaveToBytes();
    std::set<std::int32_t> handles;
    const CRect area = unit.Extent().Union(unit.Bounds());
    for (int y = area.top - 8; y < area.bottom + 8; ++y) {
      for (int x = area.left - 8; x < area.right + 8; ++x) {
        const std::int32_t handle = unit.HitHandle(x, y, HandleReachAt(1));
        if (handle == 0 || !handles.insert(handle).second) continue;
        s.Click({x, y});
        EXPECT_EQ(s.doc.SaveToBytes(), before) << "handle " << handle;
      }
    }
    EXPECT_EQ(handles.empty(), std::string_view(sample.name) == "curve");
    s.Click(sample.body);
    EXPECT_EQ(s.doc.SaveToBytes(), before);
    EXPECT_FALSE(s.doc.IsModified());
  }
}

// A rubber band and Shift+click select several units; a drag moves them
// together, the arrows nudge them (consecutive presses one step), a style
// change sets only the changed value on each and centring centres their box.
TEST(ViewSession, SeveralSelectedUnitsMoveNudgeRestyleAndCentreTogether) {
  Session s(8, 2, 4);
  CRectangle& a = s.Add<CRectangle>({10, 10}, {20, 20});
  a.m_nBrushStyle = BS_SOLID;
  CEllipse& b = s.Add<CEllipse>({40, 10}, {60, 30});
  b.m_nBrushStyle = BS_HATCHED;
  CRectangle& c = s.Add<CRectangle>({80, 40}, {100, 50});
  const auto selection = [&] { return std::vector<bool>{a.m_bSelected, b.m_bSelected, c.m_bSelected}; };

  s.Drag({5, 5}, {65, 35});  // from empty canvas
  EXPECT_EQ(selection(), (std::vector<bool>{true, true, false}));
  EXPECT_EQ(s.view.m_pCurUnit, &b);
  for (bool added : {true, false}) {
    s.view.OnLButtonDown({90, 45}, /*extendSelection=*/true);
    s.view.OnLButtonUp({90, 45});
    EXPECT_EQ(c.m_bSelected, added);
    EXPECT_EQ(s.view.m_pCurUnit, added ? static_cast<CUnit*>(&c) : &b);
  }
  EXPECT_EQ(s.doc.History().StepCount(), 0u);

  s.Drag({15, 15}, {18, 19});
  EXPECT_EQ(a.BoxRect(), (CRect{13, 14, 23, 24}));
  EXPECT_EQ(b.BoxRect(), (CRect{43, 14, 63, 34}));
  EXPECT_EQ(c.BoxRect(), (CRect{80, 40, 100, 50}));
  EXPECT_EQ(s.doc.History().StepCount(), 1u);

  s.view.OnKeyDown(kKeyRight);
  s.view.OnKeyDown(kKeyRight);
  s.view.OnKeyDown(kKeyDown, /*shift=*/true);
  EXPECT_EQ(a.BoxRect(), (CRect{15, 30, 25, 40}));
  EXPECT_EQ(s.doc.History().StepCount(), 2u);
  // Undo swaps the units for their other states: they are found by id from here on.
  const auto unit = [&](const CUnit& u) { return s.doc.FindUnit(u.m_nId); };
  s.view.Undo();
  EXPECT_EQ(unit(a)->m_ptFirst, (CPoint{13, 14}));
  s.view.Redo();

  s.style.TakeFrom(*s.view.m_pCurUnit);
  s.style.crPen = 0x00FF00;
  s.view.ApplyStyleToCurrentUnit();
  EXPECT_EQ(unit(a)->m_crPen, 0x00FF00u);
  EXPECT_EQ(unit(a)->m_nBrushStyle, BS_SOLID);
  EXPECT_EQ(unit(b)->m_nBrushStyle, BS_HATCHED);

  s.view.CentreHorizontally();  // the box 15..65 goes to 39..89 on the 128-LED panel
  EXPECT_EQ(unit(a)->BoxRect().left, 39);
  EXPECT_EQ(unit(b)->BoxRect().right, 89);

  s.view.OnKeyDown(kKeyEscape);
  EXPECT_TRUE(s.view.SelectedUnits().empty());
  s.view.OnCommand(kCmdSelectAll);
  EXPECT_EQ(s.view.SelectedUnits().size(), 3u);
  s.view.OnCommand(kCmdToolRectangle);  // a new unit is selected alone
  s.Drag({100, 2}, {120, 12});
  EXPECT_EQ(s.view.SelectedUnits(), std::vector<CUnit*>{s.view.m_pCurUnit});
}

// A 16 x 8 rectangle moves by a press at its centre at every zoom, resizes
// from a corner, and Escape takes a drag back.
TEST(ViewSession, HandlesReachAFewScreenPixelsAtEveryZoom) {
  for (int zoom : {1, 6}) {
    SCOPED_TRACE("zoom " + std::to_string(zoom));
    Session s;
    s.view.OnZoom(std::uint32_t(zoom));
    CRectangle& box = s.Add<CRectangle>({20, 20}, {36, 28});
    const auto client = [&](CPoint led) { return CPoint{led.x * zoom, led.y * zoom}; };
    s.Click(client({28, 24}));
    s.Drag(client({28, 24}), client({31, 26}));
    EXPECT_EQ(box.m_ptFirst, (CPoint{23, 22}));
    EXPECT_EQ(box.m_ptSecond, (CPoint{39, 30}));
    s.Drag(client({39, 30}), client({43, 33}));
    EXPECT_EQ(box.BoxRect(), (CRect{23, 22, 43, 33}));

    // Where corners lie within the reach of each other, the pressed one is taken.
    CRectangle& thin = s.Add<CRectangle>({60, 20}, {63, 40});
    s.Click(client({61, 30}));
    s.Drag(client({63 + 6 / zoom - 1, 20}), client({73, 20}));
    EXPECT_EQ(thin.BoxRect().left, 60);

    const std::vector<std::uint8_t> before = s.doc.SaveToBytes();
    s.view.OnLButtonDown(client({30, 26}));
    s.view.OnMouseMove(client({50, 40}), true);
    s.view.OnKeyDown(kKeyEscape);
    s.view.OnMouseMove(client({60, 45}), true);
    s.view.OnLButtonUp(client({60, 45}));
    EXPECT_EQ(s.doc.SaveToBytes(), before);
    EXPECT_EQ(s.doc.History().StepCount(), 3u);
  }
}

// Drawing a document every way the program draws it (the canvas with
// handles, the printout, the picture with and without clocks) changes no
// byte of what it saves: every unit class beside a clock of every kind.
TEST(ViewSession, DrawingChangesNoByteOfTheDocument) {
  const LocalTime now{.year = 2026, .month = 12, .day = 9, .dayOfWeek = 3, .hour = 14, .minute = 5};
  for (const Sample& sample : kSamples) {
    for (std::uint8_t style : {0, 2, 9}) {
      SCOPED_TRACE(std::string(sample.name) + ", clock style " + std::to_string(style));
      Session s(8, 2, 4);
      s.doc.m_nClockStyle = style;
      s.doc.m_nClockAlign = 1;
      s.doc.m_units.emplace_back(StoredUnit(sample.name));
      if (std::string_view(sample.name) != "clock") s.doc.m_units.emplace_back(StoredUnit("clock"));
      for (auto& unit : s.doc.m_units) unit->m_bSelected = true;
      const std::vector<std::uint8_t> saved = s.doc.SaveToBytes();

      Bitmap32 canvas(200, 160);
      CDC dc(canvas);
      RenderCanvas(s.doc, dc, now, std::nullopt, /*withHandles=*/true);
      s.view.OnPrint(dc);
      EXPECT_TRUE(RenderPictureStrip(s.doc, now));
      EXPECT_TRUE(RenderPictureDIB(s.doc));
      EXPECT_EQ(s.doc.SaveToBytes(), saved);
    }
  }
}

// A click that picks a unit changes no byte of it, whichever unit it picks.
TEST(ViewSession, PickingEveryUnitOfTheSampleChangesNoByte) {
  const FixedLocalTime time({2026, 12, 9, 3, 14, 5, 0});
  Session s;
  s.doc.LoadFile(LUMETRA_SOURCE_DIR "/resources/samples/welcome.tz", PanelSettings{});
  s.view.OnInitialUpdate();
  const std::vector<std::uint8_t> opened = s.doc.SaveToBytes();
  auto& units = s.doc.m_units;
  // The point of a unit's box where the view's pick, from the top, finds it first.
  auto pickPoint = [&](const CUnit& unit) -> std::optional<CPoint> {
    const CRect box = unit.Bounds();
    for (int y = box.top; y < box.bottom; ++y) {
      for (int x = box.left; x < box.right; ++x) {
        for (auto it = units.rbegin(); it != units.rend(); ++it) {
          if ((*it)->PtInUnit(x, y)) {
            if (it->get() == &unit) return CPoint{x, y};
            break;
          }
        }
      }
    }
    return std::nullopt;
  };
  std::set<const CUnit*> picked;
  for (const auto& unit : units) {
    const std::optional<CPoint> at = pickPoint(*unit);
    if (!at) continue;
    s.view.m_pCurUnit = nullptr;  // so that the press picks rather than grabs the last pick's handle
    s.Click(*at);
    picked.insert(s.view.m_pCurUnit);
    const std::vector<std::uint8_t> now = s.doc.SaveToBytes();
    const auto differ = std::mismatch(now.begin(), now.end(), opened.begin(), opened.end());
    EXPECT_EQ(differ.first, now.end()) << "byte " << (differ.first - now.begin()) << " after picking "
                                       << unit->GetRuntimeClass().name << " at " << at->x << ", " << at->y;
  }
  EXPECT_EQ(picked.size(), units.size());
  EXPECT_FALSE(s.doc.IsModified());
}

TEST(ViewSession, ALoadedCircularArcReshapesOnItsOwnCircle) {
  Session s;
  auto& arc = static_cast<CRoundArc&>(*s.doc.m_units.emplace_back(StoredUnit("circular arc")));
  s.Click({53, 67});
  s.Drag({70, 60}, {68, 54});  // handle 3 along the circle
  EXPECT_EQ(arc.m_ptThird, (CPoint{68, 54}));
  EXPECT_EQ(arc.m_ptCenter, (CPoint{60, 60}));
  EXPECT_EQ(arc.m_nRadius1, 10);
}

TEST(ViewSession, CentringMovesLinesAndPointListsWhole) {
  for (const char* name : {"line", "curve", "elliptic arc", "circular arc", "polygon", "Bezier path"}) {
    SCOPED_TRACE(name);
    Session s(10, 1, 8);
    CUnit& unit = *s.doc.m_units.emplace_back(StoredUnit(name));
    s.view.m_pCurUnit = &unit;
    for (std::int32_t command : {kCmdCentreHorizontally, kCmdCentreVertically}) {
      const std::vector<CPoint> before = Painted(unit);
      s.view.OnCommand(command);
      const std::vector<CPoint> after = Painted(unit);
      ASSERT_FALSE(after.empty());
      const CPoint shift = after[0] - before[0];
      EXPECT_NE(shift, (CPoint{})) << command;
      EXPECT_EQ(after, Shifted(before, shift)) << command;
    }
  }
  Session s(10, 1, 8);
  CUnit& line = *s.doc.m_units.emplace_back(StoredUnit("line"));
  s.view.m_pCurUnit = &line;
  s.view.CentreHorizontally();  // 80 wide on a 160-pixel panel
  EXPECT_EQ(line.m_ptFirst, (CPoint{40, 60}));
  EXPECT_EQ(line.m_ptSecond, (CPoint{120, 30}));  // still rising
}

TEST(ViewSession, DeleteRemovesEverySelectedUnitAndFreesTheClockTool) {
  Session s;
  CRectangle& a = s.Add<CRectangle>({0, 0}, {10, 10});
  s.Add<CRectangle>({20, 0}, {30, 10});
  CTimer& clock = s.Add<CTimer>({0, 20}, {60, 30});
  s.view.OnInitialUpdate();
  EXPECT_EQ(s.view.m_nClockCount, 1);
  EXPECT_FALSE(s.doc.IsModified());
  a.m_bSelected = true;
  clock.m_bSelected = true;
  s.view.OnKeyUp(kKeyDelete);
  ASSERT_EQ(s.doc.m_units.size(), 1u);
  EXPECT_EQ(s.Unit(0).m_ptFirst, (CPoint{20, 0}));
  EXPECT_EQ(s.view.m_nClockCount, 0);
  EXPECT_TRUE(s.view.GetCommandState(kCmdToolClock).enabled);
  EXPECT_TRUE(s.doc.IsModified());
}

TEST(ViewSession, CopyAndPasteFollowTheMarkAndTheCurrentUnit) {
  Session s;
  CRectangle& rect = s.Add<CRectangle>({0, 0}, {10, 10});
  CDLine& line = s.Add<CDLine>({20, 20}, {60, 25});
  line.m_crPen = 0x00FF00;
  CTimer& clock = s.Add<CTimer>({0, 40}, {60, 50});
  EXPECT_FALSE(s.view.GetCommandState(kCmdPaste).enabled);

  s.view.m_pCurUnit = &clock;
  s.view.OnCommand(kCmdCopy);
  EXPECT_EQ(s.view.m_pMarkedUnit, nullptr);

  s.view.m_pCurUnit = &rect;
  s.view.OnCommand(kCmdCopy);
  s.view.m_pCurUnit = &line;
  s.view.OnCommand(kCmdPaste);
  s.view.OnCommand(kCmdPaste);
  ASSERT_EQ(s.doc.m_units.size(), 5u);
  for (std::size_t i : {3u, 4u}) {
    auto* copy = dynamic_cast<CRectangle*>(&s.Unit(i));
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->m_ptFirst, line.m_ptFirst);
    EXPECT_EQ(copy->m_ptSecond, line.m_ptSecond);
    EXPECT_EQ(copy->m_crPen, 0x00FF00u);
    EXPECT_FALSE(copy->m_bSelected);
  }
  EXPECT_EQ(s.view.m_pMarkedUnit, &s.Unit(4));
  EXPECT_EQ(s.view.m_pCurUnit, &line);

  s.view.DeleteSelected();
  EXPECT_FALSE(s.view.GetCommandState(kCmdPaste).enabled);
}

TEST(ViewSession, AMarkedTextPastesOnlyOverATextUnit) {
  Session s;
  CText& text = s.Add<CText>({0, 0}, {50, 20});
  text.m_strText = "hello";
  CDLine& line = s.Add<CDLine>({0, 30}, {40, 30});
  s.view.m_pCurUnit = &text;
  s.view.MarkForCopy();
  s.view.m_pCurUnit = &line;
  s.view.PasteMarked();
  EXPECT_EQ(s.doc.m_units.size(), 2u);
  s.view.m_pCurUnit = &text;
  s.view.PasteMarked();
  ASSERT_EQ(s.doc.m_units.size(), 3u);
  EXPECT_EQ(static_cast<CText&>(s.Unit(2)).m_strText, "hello");
}

TEST(ViewSession, CentringWithinThePanelAndTheFrame) {
  Session s(10, 1, 4);
  CRectangle& rect = s.Add<CRectangle>({50, 20}, {10, 24});
  s.view.m_pCurUnit = &rect;
  s.view.OnCommand(kCmdCentreHorizontally);
  EXPECT_EQ(rect.m_ptFirst, (CPoint{60, 20}));
  EXPECT_EQ(rect.m_ptSecond, (CPoint{100, 24}));
  s.view.OnCommand(kCmdCentreVertically);
  EXPECT_EQ(rect.m_ptFirst.y, 22);
  EXPECT_EQ(rect.m_ptSecond.y, 26);
  rect.m_ptFirst.y = 20;
  rect.m_ptSecond.y = 50;  // taller than a frame: to the top of its frame
  s.view.CentreVertically();
  EXPECT_EQ(rect.m_ptFirst.y, 16);
  EXPECT_EQ(rect.m_ptSecond.y, 46);
}

TEST(ViewSession, AnImportedPictureStartsAtTheFirstVisibleLed) {
  Session s(64, 4, 8);
  test::TempFolder folder("import");
  const auto bytes = test::MakeBmp({.width = 5, .height = 3, .pixelBytes = 48});
  std::ofstream(folder.path() / "p.bmp", std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                                  std::streamsize(bytes.size()));
  s.view.OnZoom(2);
  s.host.scroll = {64, 40};
  s.view.OnCommand(kCmdToolLine);
  s.view.ImportPictureFile(folder.path() / "p.bmp");
  ASSERT_EQ(s.doc.m_units.size(), 1u);
  EXPECT_EQ(s.Unit(0).m_ptFirst, (CPoint{32, 20}));
  EXPECT_EQ(s.Unit(0).m_ptSecond, (CPoint{37, 23}));
  EXPECT_EQ(s.view.m_pCurUnit, &s.Unit(0));
  EXPECT_EQ(s.view.m_nMode, kModeSelect);
}

// Every change marks the document; a gesture or dialog that ends without a
// change leaves neither a unit nor the mark behind.
TEST(ViewSession, ChangesMarkTheDocumentAndNothingLeavesNoInvisibleUnit) {
  test::TempFolder folder("edits");
  std::ofstream(folder.path() / "cut.png", std::ios::binary) << "\x89PNG\r\n\x1a\n";
  std::ofstream(folder.path() / "logo.webp", std::ios::binary) << "RIFF\x10\0\0\0WEBPVP8 ";
  const std::vector<std::uint8_t> png = EncodePng(Bitmap32(6, 3));
  std::ofstream(folder.path() / "logo.png", std::ios::binary)
      .write(reinterpret_cast<const char*>(png.data()), std::streamsize(png.size()));
  struct Case {
    const char* name;
    std::function<void(Session&)> act;
    std::size_t units;  // after the act, with one rectangle there before
    bool modified;
    std::string message;  // the one message expected, if any
  };
  const Case cases[] = {
      {"restyled", [](Session& s) { s.style.crPen = 0x00FF00; s.view.ApplyStyleToCurrentUnit(); }, 1, true, ""},
      {"restyled alike", [](Session& s) { s.view.ApplyStyleToCurrentUnit(); }, 1, false, ""},
      {"play modes OK",
       [](Session& s) { s.host.playModesAnswer = DialogOutcome::kAccepted; s.view.OnCommand(kCmdPlayModes); }, 1,
       true, ""},
      {"play modes applied, then cancelled",
       [](Session& s) {
         s.host.playModesAnswer = DialogOutcome::kCancelledAfterApply;
         s.view.OnCommand(kCmdPlayModes);
       },
       1, true, ""},
      {"play modes cancelled", [](Session& s) { s.view.OnCommand(kCmdPlayModes); }, 1, false, ""},
      {"a new text cancelled", [](Session& s) { s.view.OnCommand(kCmdToolText); s.Drag({5, 5}, {60, 14}); }, 1,
       false, ""},
      {"a new text applied, then cancelled",
       [](Session& s) {
         s.host.textDialogAnswer = DialogOutcome::kCancelledAfterApply;
         s.view.OnCommand(kCmdToolText);
         s.Drag({5, 5}, {60, 14});
       },
       2, true, ""},
      {"a curve that traced nothing", [](Session& s) { s.view.OnCommand(kCmdToolCurve); s.Click({30, 5}); }, 1,
       false, ""},
      {"a picture reduced",
       [&](Session& s) {
         s.host.reductionAnswer = PictureReduction{};
         s.view.ImportPictureFile(folder.path() / "logo.png");
       },
       2, true, ""},
      {"a picture not reduced", [&](Session& s) { s.view.ImportPictureFile(folder.path() / "logo.png"); }, 1, false,
       ""},
      {"a damaged picture", [&](Session& s) { s.view.ImportPictureFile(folder.path() / "cut.png"); }, 1, false,
       "cut.png is damaged"},
      {"a picture format we do not read", [&](Session& s) { s.view.ImportPictureFile(folder.path() / "logo.webp"); },
       1, false, "logo.webp: this picture format is not supported"},
      {"a missing picture", [&](Session& s) { s.view.ImportPictureFile(folder.path() / "gone.bmp"); }, 1, false,
       "gone.bmp could not be read:"},
  };
  const test::ScopedLanguage english;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Session s;
    s.Add<CRectangle>({40, 2}, {60, 12});
    s.Click({40, 2});
    ASSERT_NE(s.view.m_pCurUnit, nullptr);
    s.style.TakeFrom(*s.view.m_pCurUnit);
    s.doc.History().MarkClean();
    c.act(s);
    EXPECT_EQ(s.doc.m_units.size(), c.units);
    EXPECT_EQ(s.doc.IsModified(), c.modified);
    if (c.message.empty()) {
      EXPECT_TRUE(s.host.messages.empty());
    } else {
      ASSERT_EQ(s.host.messages.size(), 1u);
      EXPECT_TRUE(s.host.messages[0].starts_with(c.message)) << s.host.messages[0];
    }
  }
}

// Every kind of change is one step (or one per Apply) that undo takes back
// to the bytes before and redo forward to the bytes after, and the modified
// flag follows the clean point.
TEST(ViewSession, EveryChangeIsAStepThatUndoAndRedoRestoreByteForByte) {
  test::TempFolder folder("history");
  const std::filesystem::path picture = folder.path() / "logo.bmp";
  const std::vector<std::uint8_t> bmp = test::MakeBmp({.width = 3, .height = 2, .pixelBytes = 24});
  std::ofstream(picture, std::ios::binary).write(reinterpret_cast<const char*>(bmp.data()), std::streamsize(bmp.size()));
  const FixedLocalTime time({2026, 12, 9, 3, 14, 5, 0});
  struct Case {
    const char* name;
    std::function<void(Session&)> act;
    std::size_t steps = 1;
  };
  const CPoint rectangle{50, 7}, ellipse{80, 12}, text{20, 20}, clock{64, 42};
  const Case cases[] = {
      {"a rectangle drawn", [](Session& s) { s.view.OnCommand(kCmdToolRectangle); s.Drag({70, 40}, {100, 60}); }},
      {"a text written",
       [](Session& s) {
         s.host.textDialogAnswer = DialogOutcome::kAccepted;
         s.view.OnCommand(kCmdToolText);
         s.Drag({5, 70}, {60, 90});
       }},
      {"a move of a hundred mouse steps",
       [&](Session& s) {
         s.view.OnLButtonDown(rectangle);
         for (int i = 1; i <= 100; ++i) s.view.OnMouseMove(rectangle + CPoint{i % 7, i / 10}, true);
         s.view.OnLButtonUp(rectangle + CPoint{3, 10});
       }},
      {"a corner dragged", [&](Session& s) { s.Click(rectangle); s.Drag({60, 12}, {70, 20}); }},
      {"two units deleted",
       [&](Session& s) {
         s.Click(rectangle);
         s.Unit(1).m_bSelected = true;
         s.view.DeleteSelected();
       }},
      {"restyled",
       [&](Session& s) {
         s.Click(rectangle);
         s.style.crPen = 0x00FF00;
         s.view.ApplyStyleToCurrentUnit();
       }},
      {"pasted",
       [&](Session& s) {
         s.Click(rectangle);
         s.view.OnCommand(kCmdCopy);
         s.Click(ellipse);
         s.view.OnCommand(kCmdPaste);
       }},
      {"centred", [&](Session& s) { s.Click(rectangle); s.view.CentreHorizontally(); }},
      {"a picture imported", [&](Session& s) { s.view.ImportPictureFile(picture); }},
      {"Screen Set",
       [](Session& s) {
         s.host.screenAnswer = ScreenSizeValues{16, 1, 6, 1, true};
         s.view.ChangeScreenSize();
       }},
      {"clock options",
       [](Session& s) {
         s.host.clockAnswer = ClockOptions{2, 3, 2, 0};
         s.view.EditClockOptions();
       }},
      {"the clock moved", [&](Session& s) { s.Drag(clock, clock + CPoint{0, 30}); }},
      {"play modes", [](Session& s) { s.host.playModesAnswer = DialogOutcome::kAccepted; s.view.EditPlayMode(); }},
      {"play modes applied twice, then OK",
       [](Session& s) {
         s.host.playModesAnswer = DialogOutcome::kAccepted;
         s.host.applies = 2;
         s.view.EditPlayMode();
       },
       3},
      {"text properties",
       [&](Session& s) {
         s.host.textDialogAnswer = DialogOutcome::kAccepted;
         s.Click(text);
         s.view.OnLButtonDblClk(text);
       }},
      {"text properties applied twice, then OK",
       [&](Session& s) {
         s.host.textDialogAnswer = DialogOutcome::kAccepted;
         s.host.applies = 2;
         s.Click(text);
         s.view.OnLButtonDblClk(text);
       },
       3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Session s(8, 2, 4);
    s.Add<CRectangle>({40, 2}, {60, 12});
    s.Add<CEllipse>({70, 4}, {90, 20});
    s.Add<CText>({5, 16}, {60, 30}).m_strText = "Hi";
    s.Add<CTimer>({0, 40}, {10, 50});
    s.view.OnInitialUpdate();
    const std::vector<std::uint8_t> before = s.doc.SaveToBytes();
    c.act(s);
    const std::vector<std::uint8_t> after = s.doc.SaveToBytes();
    EXPECT_NE(after, before);
    EXPECT_EQ(s.doc.History().StepCount(), c.steps);
    EXPECT_TRUE(s.doc.IsModified());
    for (std::size_t i = 0; i < c.steps; ++i) s.view.Undo();
    EXPECT_EQ(s.doc.SaveToBytes(), before);
    EXPECT_FALSE(s.doc.IsModified());
    for (std::size_t i = 0; i < c.steps; ++i) s.view.Redo();
    EXPECT_EQ(s.doc.SaveToBytes(), after);
    s.doc.History().MarkClean();  // saved here
    s.view.Undo();
    EXPECT_TRUE(s.doc.IsModified());
    s.view.Redo();
    EXPECT_FALSE(s.doc.IsModified());
  }

  // The oldest steps go beyond the limit, and the clean point with them.
  Session s;
  s.Click(s.Add<CRectangle>({40, 2}, {60, 12}).m_ptFirst);
  for (std::size_t i = 0; i <= EditHistory::kMaxSteps; ++i) {
    s.style.crPen = COLORREF(i + 1);
    s.view.ApplyStyleToCurrentUnit();
  }
  EXPECT_EQ(s.doc.History().StepCount(), EditHistory::kMaxSteps);
  while (s.doc.History().CanUndo()) s.view.Undo();
  EXPECT_EQ(s.view.m_pCurUnit->m_crPen, 1u);
  EXPECT_TRUE(s.doc.IsModified());
}

// Undo swaps a changed unit for its other state: the view finds its current
// and marked units again by id, and forgets them when undo takes them away.
TEST(ViewSession, TheCurrentAndMarkedUnitsFollowUndoByTheirIds) {
  Session s;
  CRectangle& first = s.Add<CRectangle>({40, 2}, {60, 12});
  s.Click({50, 7});
  s.view.OnCommand(kCmdCopy);
  const std::uint64_t id = first.m_nId;
  s.style.crPen = 0x00FF00;
  s.view.ApplyStyleToCurrentUnit();
  s.view.Undo();
  ASSERT_NE(s.view.m_pCurUnit, nullptr);
  EXPECT_EQ(s.view.m_pCurUnit, s.doc.m_units[0].get());
  EXPECT_EQ(s.view.m_pCurUnit->m_nId, id);
  EXPECT_EQ(s.view.m_pMarkedUnit, s.view.m_pCurUnit);
  EXPECT_NE(s.view.m_pCurUnit->m_crPen, 0x00FF00u);

  s.view.OnCommand(kCmdToolRectangle);
  s.Drag({70, 20}, {110, 60});
  s.view.OnCommand(kCmdSelect);
  s.Click({90, 40});
  s.view.OnCommand(kCmdCopy);
  s.view.Undo();  // the new rectangle goes
  EXPECT_EQ(s.view.m_pCurUnit, nullptr);
  EXPECT_EQ(s.view.m_pMarkedUnit, nullptr);
  s.view.Redo();
  EXPECT_EQ(s.doc.m_units.size(), 2u);

  // A cancelled new text keeps the mark; Undo waits for the release of a drag.
  s.Click({50, 7});
  s.view.OnCommand(kCmdCopy);
  CUnit* const marked = s.view.m_pMarkedUnit;
  s.view.OnCommand(kCmdToolText);
  s.Drag({5, 60}, {40, 70});
  EXPECT_EQ(s.view.m_pMarkedUnit, marked);
  EXPECT_EQ(s.doc.m_units.size(), 2u);
  s.host.textDialogAnswer = DialogOutcome::kAccepted;
  s.view.OnCommand(kCmdToolText);
  s.view.OnLButtonDown({5, 60});
  s.view.OnMouseMove({40, 70}, true);
  s.view.Undo();
  s.doc.History().MarkClean();  // saved in the middle of the drag
  s.view.OnLButtonUp({40, 70});
  EXPECT_EQ(s.host.textDialogs, 2);  // the release still ended the creation
  EXPECT_EQ(s.doc.m_units.size(), 3u);
  EXPECT_TRUE(s.doc.IsModified());
  s.view.Undo();
  EXPECT_EQ(s.doc.m_units.size(), 2u);
  EXPECT_TRUE(s.doc.IsModified()) << "the file holds the half-drawn text";

  // Copies of a picture, which the history keeps, share its pixels.
  CBmp picture;
  const std::vector<std::uint8_t> bmp = test::MakeBmp({.width = 3, .height = 2, .pixelBytes = 24});
  ByteReader in(bmp);
  ASSERT_TRUE(picture.m_dib.ReadBmp(in));
  EXPECT_EQ(static_cast<CBmp&>(*picture.Clone()).m_dib.Pixels().data(), picture.m_dib.Pixels().data());
}

TEST(ViewSession, ZoomDividesAndKeysScrollByHalfTheWindow) {
  Session s(8, 1, 10);
  s.view.OnZoom(3);
  EXPECT_EQ(s.view.ToCanvas({8, 8}), (CPoint{2, 2}));
  EXPECT_EQ(s.view.ToCanvas({9, 9}), (CPoint{3, 3}));
  EXPECT_EQ(s.doc.m_sizeCanvas, (CSize{384, 480}));
  s.host.scrolledTo.clear();
  s.host.client = {200, 600};  // the whole canvas height fits
  s.view.OnKeyDown(kKeyDown);
  EXPECT_TRUE(s.host.scrolledTo.empty());
  s.view.OnKeyDown(kKeyRight);
  ASSERT_EQ(s.host.scrolledTo.size(), 1u);
  EXPECT_EQ(s.host.scrolledTo[0], (CPoint{100, 0}));
}

TEST(ViewSession, ContextMenusDependOnModeAndUnit) {
  Session s;
  CRectangle& rect = s.Add<CRectangle>({0, 0}, {10, 10});
  CTimer& clock = s.Add<CTimer>({0, 20}, {60, 30});
  s.view.OnContextMenu({300, 300}, {5, 5});
  EXPECT_TRUE(s.host.menus.empty());
  s.view.m_pCurUnit = &rect;
  s.view.OnContextMenu({300, 300}, {5, 5});
  ASSERT_EQ(s.host.menus.size(), 1u);
  EXPECT_EQ(s.host.menus[0].menuId, kMenuUnitDelete);
  EXPECT_EQ(s.host.menus[0].itemStates.at(0).label, LookupText(35000));
  s.view.m_pCurUnit = &clock;
  s.view.OnContextMenu({300, 300}, {5, 5});
  ASSERT_EQ(s.host.menus.size(), 2u);
  EXPECT_EQ(s.host.menus[1].menuId, kMenuTimerEdit);
  s.view.m_nMode = kModeCreate;  // the clock shows its menu only while selecting
  s.view.OnContextMenu({300, 300}, {5, 5});
  EXPECT_EQ(s.host.menus.size(), 2u);
}

TEST(ViewSession, ClockOptionsKeepMonoColoursRed) {
  Session s;
  s.doc.m_nColourSet = 2;
  s.host.clockAnswer = ClockOptions{2, 3, 1, 2};
  s.view.EditClockOptions();
  EXPECT_EQ(s.doc.m_nClockStyle, 2);
  EXPECT_EQ(s.doc.m_nClockColour, 1);
  EXPECT_EQ(s.doc.m_nClockAlign, 1);
  EXPECT_TRUE(s.doc.IsModified());
}

TEST(ViewSession, StyleChangesReachTheCurrentUnitButNotAClock) {
  Session s;
  CRectangle& rect = s.Add<CRectangle>({0, 0}, {10, 10});
  CTimer& clock = s.Add<CTimer>({0, 20}, {60, 30});
  s.style.crPen = 0x00FF00;
  s.style.penWidth = 4;
  s.view.m_pCurUnit = &clock;
  s.view.ApplyStyleToCurrentUnit();
  EXPECT_EQ(clock.m_nPenWidth, 1);
  s.view.m_pCurUnit = &rect;
  s.view.ApplyStyleToCurrentUnit();
  EXPECT_EQ(rect.m_crPen, 0x00FF00u);
  EXPECT_EQ(rect.m_nPenWidth, 4);
}

TEST(ViewSession, ADoubleClickOnTextOpensItsDialogAndTheCursorFollowsTheMode) {
  Session s(8, 3, 2);
  CText& text = s.Add<CText>({0, 0}, {50, 20});
  s.view.OnLButtonDown({10, 10});
  s.view.OnLButtonUp({10, 10});
  s.view.OnLButtonDblClk({10, 10});
  EXPECT_EQ(s.host.textDialogs, 1);
  EXPECT_EQ(text.m_nBandHeight, 48);
  EXPECT_EQ(s.view.CursorResource(), kCursorSelect);
  s.view.OnCommand(kCmdToolLine);
  EXPECT_EQ(s.view.CursorResource(), kCursorDraw);
  EXPECT_TRUE(s.view.GetCommandState(kCmdToolLine).checked);
  s.view.OnCommand(kCmdInert);
  EXPECT_EQ(s.view.CursorResource(), std::nullopt);
}

TEST(ViewSession, ANewScreenSizeReachesTheDocumentTheCanvasAndTheClocks) {
  Session s(8, 1, 10);
  CTimer& clock = s.Add<CTimer>({0, 0}, {60, 10});
  s.host.screenAnswer = ScreenSizeValues{16, 2, 4, 1, true};
  s.view.ChangeScreenSize();
  EXPECT_EQ(s.doc.m_nWidthWords, 16);
  EXPECT_EQ(s.doc.m_nHeightWords, 2);
  EXPECT_EQ(s.doc.m_nFrames, 4);
  EXPECT_EQ(s.doc.m_sizeCanvas, (CSize{256, 128}));
  EXPECT_EQ(clock.m_nColourSet, 1);
  EXPECT_EQ(s.host.panelChanges, 1);
  EXPECT_TRUE(s.doc.IsModified());
}

TEST(ViewSession, SaveAsBmpWritesThePictureOrSaysWhyNot) {
  Session s(8, 1, 10);
  s.Add<CRectangle>({0, 16}, {20, 30});
  test::TempFolder folder("save-bmp");
  s.host.saveAnswer = folder.path() / "picture.bmp";
  s.view.OnCommand(kCmdSaveAsBmp);
  EXPECT_TRUE(s.host.messages.empty());
  EXPECT_EQ(std::filesystem::file_size(folder.path() / "picture.bmp"), 54u + 1280u * 3 * 16);
  s.host.saveAnswer = folder.path() / "missing" / "picture.bmp";
  s.view.OnCommand(kCmdSaveAsBmp);
  ASSERT_EQ(s.host.messages.size(), 1u);
  EXPECT_NE(s.host.messages[0].find("picture.bmp"), std::string::npos);
}

}  // namespace
}  // namespace lumetra
