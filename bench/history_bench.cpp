// Undo and redo in a document of 10,000 mixed units (no pictures): a move
// of one unit and a delete of one unit, each undone and redone, and what
// 1,000 move steps keep in memory.

#include <benchmark/benchmark.h>

#include <memory>
#include <random>

#include "bench_units.h"
#include "document/document.h"
#include "document/edit_history.h"

namespace {

using namespace lumetra;
using bench::MakeUnit;

constexpr int kUnits = 10000;

std::unique_ptr<CTessaraDoc> MakeDoc() {
  auto doc = std::make_unique<CTessaraDoc>();
  doc->m_nWidthWords = 64;
  doc->m_nHeightWords = 4;
  doc->m_nFrames = 8;
  const CSize canvas = doc->CanvasPixels();
  std::mt19937 rng(7);
  for (int i = 0; i < kUnits; ++i) doc->m_units.push_back(MakeUnit(i, canvas.cx, canvas.cy, rng));
  return doc;
}

// The move of a unit in the middle of the document, as a drag makes it.
void Move(CTessaraDoc& doc, std::int32_t dx) {
  EditHistory& history = doc.History();
  CUnit& unit = *doc.m_units[kUnits / 2];
  history.Begin(StepKind::kMove);
  history.Touch(unit);
  unit.Translate(dx, 1);
  history.Commit();
}

void UndoRedo(benchmark::State& state, CTessaraDoc& doc) {
  for (auto _ : state) {
    doc.History().Undo();
    doc.History().Redo();
  }
  state.SetLabel("one undo and one redo");
}

void BM_UndoRedoMove(benchmark::State& state) {
  auto doc = MakeDoc();
  Move(*doc, 3);
  UndoRedo(state, *doc);
}
BENCHMARK(BM_UndoRedoMove)->Unit(benchmark::kMicrosecond);

void BM_UndoRedoDelete(benchmark::State& state) {
  auto doc = MakeDoc();
  doc->History().Begin(StepKind::kDelete);
  doc->History().Remove(kUnits / 2);
  doc->History().Commit();
  UndoRedo(state, *doc);
}
BENCHMARK(BM_UndoRedoDelete)->Unit(benchmark::kMicrosecond);

// Each iteration makes 1,000 move steps; the counter is what they keep.
void BM_ThousandMoveSteps(benchmark::State& state) {
  auto doc = MakeDoc();
  for (auto _ : state) {
    doc->History().Clear();
    for (int i = 0; i < 1000; ++i) Move(*doc, i % 2 ? 1 : -1);
  }
  state.counters["history_bytes"] = double(doc->History().MemoryBytes());
}
BENCHMARK(BM_ThousandMoveSteps)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
