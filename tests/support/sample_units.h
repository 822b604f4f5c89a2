#pragma once
// One unit of every class with every stored field set to a value of its own,
// so a round trip that drops or swaps a field shows.

#include <memory>
#include <vector>

#include "platform/archive/byte_stream.h"
#include "support/bmp_builder.h"
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

namespace lumetra::test {

inline void Style(CUnit& u, int seed) {
  u.m_crPen = 0x00010203u * seed;
  u.m_nPenStyle = seed % 7;
  u.m_nPenWidth = seed % 5 + 1;
  u.m_nDrawMode = seed % 16 + 1;
  u.m_nBkMode = seed % 2 + 1;
  u.m_crBk = 0x00302010u + seed;
  u.m_ptFirst = {seed, -seed};
  u.m_ptSecond = {seed * 3, seed * 5};
  u.m_nBrushStyle = seed % 3;
  u.m_nHatchStyle = seed % 6;
  u.m_crBrush = 0x00050607u * seed;
}

inline std::vector<std::unique_ptr<CUnit>> OneUnitOfEveryClass() {
  std::vector<std::unique_ptr<CUnit>> units;
  auto add = [&]<class Unit>(std::unique_ptr<Unit> u) {
    Unit* added = u.get();
    Style(*u, static_cast<int>(units.size()) + 2);
    units.push_back(std::move(u));
    return added;
  };
  add(std::make_unique<CDLine>());
  add(std::make_unique<CRectangle>());
  add(std::make_unique<CRoundRectangle>());
  auto* e = add(std::make_unique<CEllipse>());
  e->m_dSin = 0.25;
  e->m_dCos = -0.75;
  e->m_nRadius1 = 11;
  e->m_nRadius2 = 12;
  e->m_ptCenter = {13, 14};
  auto* curve = add(std::make_unique<CCurve>());
  curve->m_aPoints = {{5, 9}, {-3, 4}, {8, -6}};
  auto* text = add(std::make_unique<CText>());
  text->m_strText = "Hello\r\n\xD6\xD0\xCE\xC4";  // "中文" in GBK
  text->m_nReservedA = 21;
  text->m_nReservedB = 22;
  text->m_abReserved = {1, 2, 3, 4, 5, 6, 7, 8};
  text->m_bAutoAlign = 0;
  text->m_bWordBreak = 1;
  text->m_nRowSpacing = -7;
  LOGFONT lf = text->m_pFont->GetLogFont();
  lf.lfHeight = -16;
  lf.lfWeight = 700;
  lf.lfItalic = 1;
  lf.lfCharSet = 134;
  lf.lfPitchAndFamily = 49;
  lf.SetFaceName("SimSun");
  text->m_pFont = std::make_unique<CFont>(lf);
  add(std::make_unique<CTimer>());
  auto* bmp = add(std::make_unique<CBmp>());
  std::vector<std::uint8_t> image = MakeBmp({.width = 3, .height = 2, .bitCount = 4, .colours = 16, .pixelBytes = 8});
  ByteReader in(image);
  bmp->m_dib.ReadBmp(in);
  add(std::make_unique<CLiEllipse>());
  auto* round = add(std::make_unique<CRound>());
  round->m_ptCenter = {31, 32};
  auto* arc = add(std::make_unique<CEllipseArc>());
  arc->m_dSin = 0.5;
  arc->m_dCos = 0.866;
  arc->m_nRadius1 = 41;
  arc->m_nRadius2 = 42;
  arc->m_ptCenter = {43, 44};
  arc->m_ptArcStart = {45, 46};
  arc->m_ptArcEnd = {47, 48};
  arc->m_dAngle1 = 300.5;
  arc->m_dAngle2 = 60.25;
  auto* roundArc = add(std::make_unique<CRoundArc>());
  roundArc->m_ptThird = {51, 52};
  roundArc->m_nRadius1 = 53;
  roundArc->m_ptCenter = {54, 55};
  auto* polygon = add(std::make_unique<CPolygon>());
  polygon->m_aPoints = {{0, 0}, {10, 0}, {10, 10}};
  auto* bezier = add(std::make_unique<CPolyBezier>());
  bezier->m_aPoints = {{0, 0}, {1, 5}, {6, 5}, {7, 0}};
  return units;
}

}  // namespace lumetra::test
