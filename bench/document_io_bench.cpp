// Loading and saving a document of 100,000 units of mixed classes, against the
// floor of reading the same bytes out of memory.

#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <vector>

#include "document/document.h"
#include "units/curve.h"
#include "units/ellipse.h"
#include "units/line.h"
#include "units/polygon.h"
#include "units/rectangle.h"
#include "units/round_rectangle.h"
#include "units/text.h"

namespace {

using namespace lumetra;

constexpr int kUnits = 100'000;

std::unique_ptr<CUnit> MakeUnit(int i) {
  std::unique_ptr<CUnit> unit;
  switch (i % 8) {
    case 0:
      unit = std::make_unique<CDLine>();
      break;
    case 1:
      unit = std::make_unique<CRectangle>();
      break;
    case 2:
      unit = std::make_unique<CRoundRectangle>();
      break;
    case 3:
      unit = std::make_unique<CEllipse>();
      break;
    case 4: {
      auto text = std::make_unique<CText>();
      text->m_strText = "Row " + std::to_string(i) + "\r\nsecond row";
      unit = std::move(text);
      break;
    }
    case 5: {
      auto curve = std::make_unique<CCurve>();
      for (int k = 0; k < 12; ++k) curve->m_aPoints.push_back({i % 128 + k, k * 2});
      unit = std::move(curve);
      break;
    }
    case 6: {
      auto polygon = std::make_unique<CPolygon>();
      polygon->m_aPoints = {{0, 0}, {i % 100, 3}, {5, i % 50}};
      unit = std::move(polygon);
      break;
    }
    default:
      unit = std::make_unique<CDLine>();
      break;
  }
  unit->m_ptFirst = {i % 128, i % 160};
  unit->m_ptSecond = {(i * 7) % 128, (i * 3) % 160};
  return unit;
}

std::vector<std::uint8_t> DocumentBytes() {
  CTessaraDoc doc;
  doc.OnNewDocument(PanelSettings{});
  for (int i = 0; i < kUnits; ++i) doc.m_units.push_back(MakeUnit(i));
  return doc.SaveToBytes();
}

const std::vector<std::uint8_t>& Bytes() {
  static const std::vector<std::uint8_t> bytes = DocumentBytes();
  return bytes;
}

// Destroying the loaded units is not part of reading, so it is left out of the time.
void BM_LoadDocument(benchmark::State& state) {
  for (auto _ : state) {
    auto doc = std::make_unique<CTessaraDoc>();
    doc->LoadFromBytes(Bytes());
    benchmark::DoNotOptimize(doc->m_units.data());
    state.PauseTiming();
    doc.reset();
    state.ResumeTiming();
  }
  state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(Bytes().size()));
}

void BM_SaveDocument(benchmark::State& state) {
  CTessaraDoc doc;
  doc.LoadFromBytes(Bytes());
  for (auto _ : state) {
    std::vector<std::uint8_t> saved = doc.SaveToBytes();
    benchmark::DoNotOptimize(saved.data());
  }
  state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(Bytes().size()));
}

void BM_LoadAndSaveDocument(benchmark::State& state) {
  for (auto _ : state) {
    CTessaraDoc doc;
    doc.LoadFromBytes(Bytes());
    std::vector<std::uint8_t> saved = doc.SaveToBytes();
    benchmark::DoNotOptimize(saved.data());
  }
}

// The floor: the same bytes read out of memory into a buffer of their own,
// fresh each time as a loaded file's buffer would be.
void BM_ReadBytesFloor(benchmark::State& state) {
  for (auto _ : state) {
    std::vector<std::uint8_t> copy(Bytes().size());
    std::memcpy(copy.data(), Bytes().data(), copy.size());
    benchmark::DoNotOptimize(copy.data());
  }
  state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(Bytes().size()));
}

BENCHMARK(BM_LoadDocument)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveDocument)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadAndSaveDocument)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadBytesFloor)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
