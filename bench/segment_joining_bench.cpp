// The segment joiner on one long line that touches and crosses itself, with
// the line compared against itself: time per segment at 10^3, 10^4 and 10^5
// segments.  The line runs to and fro in rows a little apart, starts with a
// bow tie, crosses its own lead-in once and ends where it began, so the few
// splits it makes stay the same at every size and what grows is the search.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <random>
#include <utility>

#include "block/block_classes.h"
#include "block/topology/joiners.h"
#include "platform/dialogs.h"
#include "spatial/objects/space_entities.h"
#include "spatial/topology/segment_records.h"

namespace {

std::unique_ptr<TPolyLineElement> SelfTouchingLine(std::int64_t segments) {
  auto line = std::make_unique<TPolyLineElement>();
  // The bow tie: its first and third segments cross at (-2.5, 0).
  for (const auto& [x, y] : {std::pair{-3.0, -0.5}, {-2.0, 0.5}, {-2.0, -0.5}, {-3.0, 0.5}, {-3.5, 0.3}})
    line->AddVertex(x, y);
  const auto side = static_cast<std::int64_t>(std::sqrt(static_cast<double>(segments)));
  std::mt19937 random(2026);
  std::uniform_real_distribution<double> jitter(-0.2, 0.2);
  for (std::int64_t row = 0; row < side; ++row)
    for (std::int64_t column = 0; column <= side; ++column) {
      const auto x = static_cast<double>(row % 2 == 0 ? column : side - column);
      line->AddVertex(x, static_cast<double>(row) + (row == 0 && column == 0 ? 0 : jitter(random)));
    }
  // Up clear of the last row, back round the rows' left side, across the
  // lead-in, to the first vertex.
  line->AddVertex(static_cast<double>((side - 1) % 2 == 0 ? side : 0), static_cast<double>(side) + 1);
  line->AddVertex(-1, static_cast<double>(side) + 1);
  line->AddVertex(-1, -2);
  line->AddVertex(-3, -2);
  line->AddVertex(-3, -0.5);
  line->CalcBounds();
  return line;
}

void BM_AbscAbscSelfTest(benchmark::State& state) {
  static platform::RecordingDialogs dialogs;
  RegisterBlockClasses();
  platform::SetDialogs(&dialogs);
  std::int64_t records = 0;
  for (auto _ : state) {
    state.PauseTiming();
    std::unique_ptr<TPolyLineElement> line = SelfTouchingLine(state.range(0));
    auto list = std::make_unique<TLinesAbscEntity>();
    for (int i = 0; i + 1 < line->GetCoordsCount(); ++i) {
      auto* record = new TLumLinAbscissa;
      record->SetLine(line.get());
      record->Index = i;
      list->AddSegment(record);
    }
    records = list->GetChildCount();
    TAbscAbscJoiner joiner;
    joiner.SelfTest = true;
    joiner.SetInput(list.get());
    state.ResumeTiming();
    joiner.DoIt();
    state.PauseTiming();
    list.reset();
    line.reset();
    state.ResumeTiming();
  }
  state.counters["segments"] = static_cast<double>(records);
  state.counters["time/segment"] = benchmark::Counter(
      static_cast<double>(records), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

BENCHMARK(BM_AbscAbscSelfTest)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->MinTime(1.0);

}  // namespace
