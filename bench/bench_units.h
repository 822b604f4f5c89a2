#pragma once
// Units for the benchmarks: every drawable kind, placed and styled at random
// on a canvas, sized like what people draw on a panel.

#include <memory>
#include <random>
#include <string>

#include "document/document.h"
#include "document/panel_settings.h"
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

namespace lumetra::bench {

// Kinds in this order: line, rectangle, round rectangle, ellipse, outline
// ellipse, circle, elliptic arc, circular arc, polygon, Bezier, curve, text.
inline constexpr int kKinds = 12;

// One unit of kind `kind % 12`, somewhere on a width x height canvas, sized
// like what people draw on a panel: a few words across at most.
inline std::unique_ptr<CUnit> MakeUnit(int kind, int width, int height, std::mt19937& rng) {
  auto coord = [&](int limit) { return int(rng() % unsigned(limit)); };
  const int reach = std::min(64, std::min(width, height));
  const CPoint a{coord(width), coord(height)};
  const CPoint b{a.x + 4 + coord(reach), a.y + 4 + coord(reach)};
  std::unique_ptr<CUnit> unit;
  switch (kind % kKinds) {
    case 0: unit = std::make_unique<CDLine>(); break;
    case 1: unit = std::make_unique<CRectangle>(); break;
    case 2: unit = std::make_unique<CRoundRectangle>(); break;
    case 3: unit = std::make_unique<CEllipse>(); break;
    case 4: unit = std::make_unique<CLiEllipse>(); break;
    case 5: unit = std::make_unique<CRound>(); break;
    case 6: unit = std::make_unique<CEllipseArc>(); break;
    case 7: unit = std::make_unique<CRoundArc>(); break;
    case 8: unit = std::make_unique<CPolygon>(); break;
    case 9: unit = std::make_unique<CPolyBezier>(); break;
    case 10: unit = std::make_unique<CCurve>(); break;
    default: {
      auto text = std::make_unique<CText>();
      text->m_strText = "LED " + std::to_string(coord(1000));
      unit = std::move(text);
    }
  }
  unit->m_ptFirst = a;
  unit->m_ptSecond = b;
  unit->m_nPenStyle = coord(5);
  unit->m_nPenWidth = 1 + coord(3);
  unit->m_crPen = 0x0000FF;
  unit->m_nBrushStyle = coord(3);
  unit->m_nHatchStyle = coord(6);
  unit->m_crBrush = 0x00FF00;
  unit->m_nBkMode = 1 + coord(2);
  const CPoint centre{(a.x + b.x) / 2, (a.y + b.y) / 2};
  const int rx = (b.x - a.x) / 2, ry = (b.y - a.y) / 2;
  const double angle1 = coord(360), angle2 = coord(360);
  CPointArray path;
  for (int i = 0; i < 7; ++i) path.push_back({a.x + coord(reach), a.y + coord(reach)});
  const auto turnEllipse = [&](CTurnedEllipseUnit& ellipse) {
    ellipse.m_ptCenter = centre;
    ellipse.m_nRadius1 = rx;
    ellipse.m_nRadius2 = ry;
    ellipse.m_dCos = 0.8;
    ellipse.m_dSin = 0.6;
  };
  if (auto* ellipse = ObjectCast<CEllipse>(unit.get())) turnEllipse(*ellipse);
  if (auto* round = ObjectCast<CRound>(unit.get())) round->m_ptCenter = centre;
  if (auto* arc = ObjectCast<CEllipseArc>(unit.get())) {
    turnEllipse(*arc);
    arc->m_bAngleSet = true;
    arc->m_dAngle1 = angle1;
    arc->m_dAngle2 = angle2;
  }
  if (auto* arc = ObjectCast<CRoundArc>(unit.get())) {
    arc->m_ptCenter = centre;
    arc->m_nRadius1 = rx;
    arc->m_ptThird = {b.x, a.y};
  }
  if (auto* polygon = ObjectCast<CPolygon>(unit.get())) polygon->m_aPoints = path;
  if (auto* bezier = ObjectCast<CPolyBezier>(unit.get())) bezier->m_aPoints = path;
  if (auto* curve = ObjectCast<CCurve>(unit.get())) {
    curve->m_aPoints = path;
    CRect box = curve->GetBoundRect();
    curve->BeginTrace({box.left, box.top});
    curve->m_nMaxX = box.right;
    curve->m_nMaxY = box.bottom;
  }
  return unit;
}

// The largest panel, 64 × 16 words with eight frames, holding 1,000 mixed
// units placed with a fixed seed.
inline std::unique_ptr<CTessaraDoc> LargestPanelOfUnits() {
  auto doc = std::make_unique<CTessaraDoc>();
  doc->m_nWidthWords = kMaxWidthWords;
  doc->m_nHeightWords = kMaxHeightWords;
  doc->m_nFrames = 8;
  const CSize canvas = doc->CanvasPixels();
  std::mt19937 rng(11);
  for (int i = 0; i < 1000; ++i) doc->m_units.push_back(MakeUnit(i, canvas.cx, canvas.cy, rng));
  return doc;
}

}  // namespace lumetra::bench
