// Drawing, measuring (Bounds) and picking 1,000 units of each geometric kind
// on a full-size panel canvas (64 x 16 words), with varied styles and sizes.

#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "bench_units.h"
#include "platform/gdi/dc.h"

namespace {

using namespace lumetra;

constexpr int kWidth = 1024;
constexpr int kHeight = 256;
constexpr int kUnits = 1000;

enum Kind { kLine, kRectangle, kRoundRectangle, kEllipse, kLiEllipse, kRound, kEllipseArc, kRoundArc, kPolygon, kBezier, kCurve };

std::vector<std::unique_ptr<CUnit>> MakeUnits(Kind kind) {
  std::mt19937 rng(7 + kind);
  std::vector<std::unique_ptr<CUnit>> units;
  for (int i = 0; i < kUnits; ++i) units.push_back(bench::MakeUnit(kind, kWidth, kHeight, rng));
  return units;
}

void BM_Draw(benchmark::State& state, Kind kind) {
  auto units = MakeUnits(kind);
  Bitmap32 canvas(kWidth, kHeight);
  CDC dc(canvas);
  for (auto _ : state) {
    for (auto& unit : units) unit->Draw(dc, {});
    benchmark::DoNotOptimize(canvas.Row(0));
  }
  state.SetItemsProcessed(state.iterations() * kUnits);
}

void BM_Bounds(benchmark::State& state, Kind kind) {
  auto units = MakeUnits(kind);
  for (auto _ : state) {
    for (auto& unit : units) benchmark::DoNotOptimize(unit->Bounds());
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
    benchmark::RegisterBenchmark((std::string("Bounds1000/") + names[k]).c_str(), BM_Bounds, Kind(k))
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
