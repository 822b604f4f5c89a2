// Drawing and picking 1,000 units of each geometric kind on a full-size
// panel canvas (64 x 16 words), with varied styles and sizes.

#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "platform/gdi/dc.h"
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

namespace {

using namespace lumetra;

constexpr int kWidth = 1024;
constexpr int kHeight = 256;
constexpr int kUnits = 1000;

enum Kind { kLine, kRectangle, kRoundRectangle, kEllipse, kLiEllipse, kRound, kEllipseArc, kRoundArc, kPolygon, kBezier, kCurve };

std::unique_ptr<CUnit> MakeUnit(Kind kind, std::mt19937& rng) {
  auto coord = [&](int limit) { return int(rng() % unsigned(limit)); };
  auto size = [&] { return 8 + coord(56); };
  const CPoint a{coord(kWidth), coord(kHeight)};
  const CPoint b{a.x + size(), a.y + size()};
  std::unique_ptr<CUnit> unit;
  switch (kind) {
    case kLine: unit = std::make_unique<CDLine>(); break;
    case kRectangle: unit = std::make_unique<CRectangle>(); break;
    case kRoundRectangle: unit = std::make_unique<CRoundRectangle>(); break;
    case kEllipse: unit = std::make_unique<CEllipse>(); break;
    case kLiEllipse: unit = std::make_unique<CLiEllipse>(); break;
    case kRound: unit = std::make_unique<CRound>(); break;
    case kEllipseArc: unit = std::make_unique<CEllipseArc>(); break;
    case kRoundArc: unit = std::make_unique<CRoundArc>(); break;
    case kPolygon: unit = std::make_unique<CPolygon>(); break;
    case kBezier: unit = std::make_unique<CPolyBezier>(); break;
    case kCurve: unit = std::make_unique<CCurve>(); break;
  }
  unit->m_ptFirst = a;
  unit->m_ptSecond = b;
  unit->m_nPenStyle = coord(7);
  unit->m_nPenWidth = 1 + coord(3);
  unit->m_crPen = 0x0000FF;
  unit->m_nBrushStyle = coord(3);
  unit->m_nHatchStyle = coord(6);
  unit->m_crBrush = 0x00FF00;
  unit->m_nBkMode = 1 + coord(2);
  unit->m_ptCenter = {(a.x + b.x) / 2, (a.y + b.y) / 2};
  unit->m_nRadius1 = unit->m_nRadius = (b.x - a.x) / 2;
  unit->m_nRadius2 = (b.y - a.y) / 2;
  unit->m_dCos = 0.8;
  unit->m_dSin = 0.6;
  unit->m_bAngleSet = true;
  unit->m_dAngle1 = coord(360);
  unit->m_dAngle2 = coord(360);
  unit->m_ptThird = {b.x, a.y};
  CPointArray path;
  for (int i = 0; i < 7; ++i) path.push_back({a.x + coord(64), a.y + coord(64)});
  if (kind == kBezier) unit->m_aPoints = path;
  if (kind == kPolygon || kind == kCurve) *unit->m_pPoints = path;
  if (auto* curve = dynamic_cast<CCurve*>(unit.get())) {
    CRect box = curve->GetBoundRect();
    curve->BeginTrace({box.left, box.top});
    curve->m_nMaxX = box.right;
    curve->m_nMaxY = box.bottom;
  }
  return unit;
}

std::vector<std::unique_ptr<CUnit>> MakeUnits(Kind kind) {
  std::mt19937 rng(7 + kind);
  std::vector<std::unique_ptr<CUnit>> units;
  for (int i = 0; i < kUnits; ++i) units.push_back(MakeUnit(kind, rng));
  return units;
}

void BM_Draw(benchmark::State& state, Kind kind) {
  auto units = MakeUnits(kind);
  Bitmap32 canvas(kWidth, kHeight);
  CDC dc(canvas);
  for (auto _ : state) {
    for (auto& unit : units) unit->Draw(dc);
    benchmark::DoNotOptimize(canvas.Row(0));
  }
  state.SetItemsProcessed(state.iterations() * kUnits);
}

void BM_PtInUnit(benchmark::State& state, Kind kind) {
  auto units = MakeUnits(kind);
  std::mt19937 rng(99);
  std::vector<CPoint> probes;
  for (int i = 0; i < kUnits; ++i) probes.push_back({int(rng() % kWidth), int(rng() % kHeight)});
  std::size_t hits = 0;
  for (auto _ : state) {
    for (int i = 0; i < kUnits; ++i) hits += units[i]->PtInUnit(probes[i].x, probes[i].y);
    benchmark::DoNotOptimize(hits);
  }
  state.SetItemsProcessed(state.iterations() * kUnits);
}

}  // namespace

int main(int argc, char** argv) {
  const char* names[] = {"Line",      "Rectangle",  "RoundRectangle", "Ellipse", "LiEllipse", "Round",
                         "EllipseArc", "RoundArc", "Polygon",        "PolyBezier", "Curve"};
  for (int k = kLine; k <= kCurve; ++k) {
    benchmark::RegisterBenchmark((std::string("Draw1000/") + names[k]).c_str(), BM_Draw, Kind(k))
        ->Unit(benchmark::kMicrosecond);
  }
  for (int k = kLine; k <= kCurve; ++k) {
    benchmark::RegisterBenchmark((std::string("PtInUnit1000/") + names[k]).c_str(), BM_PtInUnit, Kind(k))
        ->Unit(benchmark::kMicrosecond);
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
}
