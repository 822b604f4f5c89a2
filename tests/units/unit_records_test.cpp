#include <gtest/gtest.h>

#include "platform/archive/archive.h"
#include "support/sample_units.h"
#include "units/unit_classes.h"

namespace lumetra {
namespace {

std::vector<std::uint8_t> StoreUnit(const CUnit& unit) {
  CArchive ar(UnitClasses());
  ar.WriteObject(&unit);
  return ar.Output().TakeBytes();
}

std::unique_ptr<CUnit> LoadUnit(const std::vector<std::uint8_t>& bytes) {
  CArchive ar(bytes, UnitClasses());
  return std::unique_ptr<CUnit>(static_cast<CUnit*>(ar.ReadOwnedObject().release()));
}

TEST(UnitRecords, AFreshUnitHasTheDefaultStyle) {
  CUnit u;
  EXPECT_EQ(u.m_crPen, 0x000000FFu);
  EXPECT_EQ(u.m_nPenWidth, 1);
  EXPECT_EQ(u.m_nPenStyle, PS_SOLID);
  EXPECT_EQ(u.m_crBrush, 0x000000FFu);
  EXPECT_EQ(u.m_crBk, 0x00000000u);
  EXPECT_EQ(u.m_nBkMode, TRANSPARENT);
  EXPECT_EQ(u.m_nDrawMode, R2_COPYPEN);
  EXPECT_EQ(u.m_ptFirst, (CPoint{0, 0}));
  EXPECT_EQ(u.m_ptSecond, (CPoint{0, 0}));
  EXPECT_FALSE(u.m_bActive);
}

TEST(UnitRecords, ConstructorsSetTheBrushOfTheirClass) {
  for (CUnit* u : std::initializer_list<CUnit*>{new CRectangle, new CRoundRectangle, new CRound, new CTimer}) {
    EXPECT_EQ(u->m_nBrushStyle, BS_HOLLOW) << u->GetRuntimeClass().name;
    EXPECT_EQ(u->m_nHatchStyle, HS_CROSS) << u->GetRuntimeClass().name;
    delete u;
  }
}

TEST(UnitRecords, TheLineResetsOnlyItsPointsAndPen) {
  CDLine line;
  test::Style(line, 3);
  line.InitDefaults();
  EXPECT_EQ(line.m_crPen, 0x00000000u);
  EXPECT_EQ(line.m_nPenWidth, 1);
  EXPECT_EQ(line.m_nPenStyle, PS_SOLID);
  EXPECT_EQ(line.m_ptFirst, (CPoint{0, 0}));
  EXPECT_EQ(line.m_ptSecond, (CPoint{0, 0}));
  EXPECT_EQ(line.m_nBkMode, 2);  // untouched
  EXPECT_EQ(line.m_crBk, 0x00302013u);
}

TEST(UnitRecords, TheBaseRegionEnclosesNothingAndIsBuiltOnce) {
  CUnit u;
  u.m_ptFirst = {0, 0};
  u.m_ptSecond = {100, 100};
  for (CPoint p : {CPoint{0, 0}, CPoint{50, 50}, CPoint{1, 0}, CPoint{99, 99}}) EXPECT_FALSE(u.PtInUnit(p.x, p.y));
  CRgn* first = u.GetRegion();
  u.m_ptSecond = {5, 5};
  EXPECT_EQ(u.GetRegion(), first);
}

TEST(UnitRecords, CopyingTakesStyleAndPointsButNotTheBackgroundColour) {
  CRectangle source;
  test::Style(source, 4);
  source.m_bActive = true;
  CRectangle copy(source);
  EXPECT_EQ(copy.m_crPen, source.m_crPen);
  EXPECT_EQ(copy.m_nPenWidth, source.m_nPenWidth);
  EXPECT_EQ(copy.m_nPenStyle, source.m_nPenStyle);
  EXPECT_EQ(copy.m_nBkMode, source.m_nBkMode);
  EXPECT_EQ(copy.m_crBrush, source.m_crBrush);
  EXPECT_EQ(copy.m_nHatchStyle, source.m_nHatchStyle);
  EXPECT_EQ(copy.m_nBrushStyle, source.m_nBrushStyle);
  EXPECT_EQ(copy.m_nDrawMode, source.m_nDrawMode);
  EXPECT_EQ(copy.m_ptFirst, source.m_ptFirst);
  EXPECT_EQ(copy.m_ptSecond, source.m_ptSecond);
  EXPECT_EQ(copy.m_crBk, 0x00000000u);
  EXPECT_FALSE(copy.m_bActive);
  EXPECT_NE(copy.m_pRgn, nullptr);

  CRectangle target;
  target.GetRegion();
  target = source;
  EXPECT_EQ(target.m_ptSecond, source.m_ptSecond);
  EXPECT_EQ(target.m_nPenStyle, source.m_nPenStyle);
  EXPECT_EQ(target.m_crBk, 0x00000000u);
}

TEST(UnitRecords, EveryClassStoresItsNameAndSchema) {
  auto units = test::OneUnitOfEveryClass();
  ASSERT_EQ(units.size(), 14u);
  const char* names[] = {"CDLine",   "CRectangle", "CRoundRectangle", "CEllipse", "CCurve",      "CText",
                         "CTimer",   "CBmp",       "CLiEllipse",      "CRound",   "CEllipseArc", "CRoundArc",
                         "CPolygon", "CPolyBezier"};
  for (std::size_t i = 0; i < units.size(); ++i) {
    auto bytes = StoreUnit(*units[i]);
    std::string name = names[i];
    ASSERT_GE(bytes.size(), 6 + name.size());
    EXPECT_EQ(bytes[2], name == "CText" ? 2 : 1) << name;  // schema
    EXPECT_EQ(bytes[4], name.size());
    EXPECT_EQ(std::string(bytes.begin() + 6, bytes.begin() + 6 + static_cast<std::ptrdiff_t>(name.size())), name);
  }
}

TEST(UnitRecords, EveryClassRoundTripsByteForByte) {
  for (const auto& unit : test::OneUnitOfEveryClass()) {
    auto bytes = StoreUnit(*unit);
    auto loaded = LoadUnit(bytes);
    ASSERT_EQ(&loaded->GetRuntimeClass(), &unit->GetRuntimeClass());
    EXPECT_EQ(StoreUnit(*loaded), bytes) << unit->GetRuntimeClass().name;
  }
}

TEST(UnitRecords, LoadedFieldsLandWhereTheyCameFrom) {
  auto units = test::OneUnitOfEveryClass();
  auto text = LoadUnit(StoreUnit(*units[5]));
  const auto& t = static_cast<const CText&>(*text);
  EXPECT_EQ(t.m_strText, "Hello\r\n\xD6\xD0\xCE\xC4");
  EXPECT_EQ(t.m_nReservedA, 21);
  EXPECT_EQ(t.m_nReservedB, 22);
  EXPECT_EQ(t.m_nRowSpacing, -7);
  EXPECT_EQ(t.m_bWordBreak, 1);
  EXPECT_EQ(t.m_bAutoAlign, 0);
  EXPECT_EQ(t.m_pFont->GetLogFont(), static_cast<const CText&>(*units[5]).m_pFont->GetLogFont());

  auto loadedArc = LoadUnit(StoreUnit(*units[10]));
  const auto& arc = static_cast<const CEllipseArc&>(*loadedArc);
  EXPECT_TRUE(arc.m_bAngleSet);
  EXPECT_EQ(arc.m_ptArcEnd, (CPoint{47, 48}));
  EXPECT_EQ(arc.m_dAngle2, 60.25);

  auto bmp = LoadUnit(StoreUnit(*units[7]));
  EXPECT_EQ(static_cast<CBmp&>(*bmp).m_dib.ImageExtent(), (CSize{3, 2}));
  EXPECT_EQ(static_cast<CBmp&>(*bmp).m_dib.ColourCount(), 16u);
}

TEST(UnitRecords, EllipseUnitsTakeTheSecondBackgroundMode) {
  for (CUnit* u : std::initializer_list<CUnit*>{new CEllipse, new CLiEllipse, new CRound, new CEllipseArc}) {
    u->m_nBkMode = 1;
    auto bytes = StoreUnit(*u);
    // The second copy follows the brush style, right after the 40-byte common block.
    std::size_t header = 6 + u->GetRuntimeClass().name.size();
    ASSERT_EQ(bytes[header + 44], 1);
    bytes[header + 44] = 2;
    EXPECT_EQ(LoadUnit(bytes)->m_nBkMode, 2) << u->GetRuntimeClass().name;
    delete u;
  }
}

TEST(UnitRecords, TheCurveStoresOnlyItsPenAndPoints) {
  CCurve curve;
  test::Style(curve, 6);
  curve.m_aPoints = {{4, 8}, {-2, 9}, {7, 1}};
  auto bytes = StoreUnit(curve);
  EXPECT_EQ(bytes.size(), 2 + 2 + 2 + 6 + 12 + 2 + 24u);
  auto loaded = LoadUnit(bytes);
  const auto& c = static_cast<const CCurve&>(*loaded);
  EXPECT_EQ(c.m_crPen, curve.m_crPen);
  EXPECT_EQ(c.m_nPenWidth, curve.m_nPenWidth);
  EXPECT_EQ(c.m_nBkMode, TRANSPARENT);  // constructor values
  EXPECT_EQ(c.m_nDrawMode, R2_COPYPEN);
  EXPECT_EQ(c.m_crBk, 0u);
  EXPECT_EQ(c.m_ptFirst, (CPoint{0, 0}));
  EXPECT_EQ((CRect{c.m_nMinX, c.m_nMinY, c.m_nMaxX, c.m_nMaxY}), (CRect{-2, 1, 7, 9}));
}

TEST(UnitRecords, TheDefaultTextFontIsTenPointArial) {
  CText text;
  const LOGFONT& lf = text.m_pFont->GetLogFont();
  EXPECT_EQ(lf.FaceName(), "Arial");
  EXPECT_EQ(lf.lfHeight, -13);
  EXPECT_EQ(lf.lfCharSet, DEFAULT_CHARSET);
  EXPECT_EQ(lf.lfWeight, 0);
  EXPECT_EQ(text.m_nBandHeight, 16);
  EXPECT_EQ(text.m_bAutoAlign, 1);
  EXPECT_EQ(text.m_nRowSpacing, 1);
  EXPECT_EQ(text.m_bWordBreak, 0);
}

TEST(UnitRecords, FaceNamesKeepAtMost31Characters) {
  CText text;
  LOGFONT lf = text.m_pFont->GetLogFont();
  lf.SetFaceName(std::string(40, 'F'));
  EXPECT_EQ(lf.FaceName().size(), 31u);
}

TEST(UnitRecords, TextWithSchemaOneLoadsWithTheOldDefaultsAndSavesAsSchemaTwo) {
  CText text;
  text.m_bAutoAlign = 0;
  text.m_bWordBreak = 1;
  text.m_nRowSpacing = 9;
  text.m_strText = "old";
  auto bytes = StoreUnit(text);
  bytes[2] = 1;                     // schema 1 ...
  bytes.resize(bytes.size() - 12);  // ... has no layout values
  auto loaded = LoadUnit(bytes);
  const auto& t = static_cast<const CText&>(*loaded);
  EXPECT_EQ(t.m_strText, "old");
  EXPECT_EQ(t.m_bAutoAlign, 1);
  EXPECT_EQ(t.m_bWordBreak, 0);
  EXPECT_EQ(t.m_nRowSpacing, 1);
  auto resaved = StoreUnit(*loaded);
  EXPECT_EQ(resaved[2], 2);
  EXPECT_EQ(resaved.size(), bytes.size() + 12);
}

TEST(UnitRecords, TextWithAnUnknownSchemaIsABadSchema) {
  CText text;
  for (std::uint8_t schema : {0, 3, 200}) {
    auto bytes = StoreUnit(text);
    bytes[2] = schema;
    try {
      LoadUnit(bytes);
      FAIL() << int(schema);
    } catch (const ArchiveError& e) {
      EXPECT_EQ(e.failure(), ArchiveFailure::BadSchema);
    }
  }
}

}  // namespace
}  // namespace lumetra
