// Line joining beside GEOS's union of the same lines in the same run, on three
// shapes at three sizes each.
//
// Long lines cut a few times: 100, 200 and 400 lines of 1,000 segments each
// run side by side across a strip 1,000 m long, 2.5 m apart, waving 4 m up
// and down, so that each line's box meets those of its six nearest
// neighbours while no two lines come within the snap distance.  Ten roads
// cross the strip, each line once, between two vertices of both.  Each line
// ends 0.005 m short of a vertex of one of two frame lines across the
// strip's ends, which the joining snaps it to and cuts there.  The frames
// and roads go first, as the last lines of the string.
//
// Lines cut many times: 100, 200 and 400 zig-zag lines of 1,000 segments,
// 10 km long, 5 m apart, each crossed by as many straight lines across them
// all, n * n crossings.  The crossing lines are the last lines of the
// string, accepted first, and each zig-zag cuts every one of them; the
// zig-zags come in no order of their rows, as digitised lines do, so the
// piece of a crossing line that a zig-zag cuts may have been written at any
// time before.
//
// The same lines the other way round: the zig-zags last in the string,
// accepted first whole, then cut by one crossing line after another, each
// cut falling on the piece that the cut before it left, as it is when a
// road is added to a layer of long lines.
//
// GEOS nodes and merges the lines as drawn.  Both sides time the same span:
// from the lines as each library holds them to its result; making our line
// string and freeing either side's result stay outside.
#include <benchmark/benchmark.h>

#if KESTX_HAVE_GEOS
#include <cmath>
#include <cstdint>
#include <memory>
#include <numeric>
#include <utility>
#include <vector>

#include "bench/geos_reference.h"
#include "bench/stand_map.h"
#include "bench/versus_geos.h"
#include "block/block_classes.h"
#include "block/topology/line_joining.h"
#include "framework/core/messages.h"
#include "platform/app_queue.h"
#include "platform/dialogs.h"
#include "spatial/objects/space_entities.h"
#include "spatial/topology/segment_records.h"

namespace {

constexpr int kSegments = 1000;
constexpr double kSpacing = 2.5;
constexpr double kWave = 4;
// Roads crossing every line.
constexpr int kRoads = 10;

// The zig-zags' segments run 10 m along and 2 m up or down; their rows lie
// 5 m apart.
constexpr double kZigZagStep = 10;
constexpr double kZigZag = 1;
constexpr double kZigZagRows = 5;

// The pieces of a cut line reach its string by a framework message, as in
// the program; without a receiver of their own, messages are freed.
void DeliverMessages() {
  platform::Application::Instance().SetMessageHook([](platform::AppMessage& message, bool& handled) {
    if (TKestuMessage* kestu = KestuMessageOf(message)) DeliverKestuMessage(kestu, handled, [] { return nullptr; });
  });
}

// The strip's lines, then its two frames; a frame has a vertex at each
// line's end.
TStandMap LongLines(int count) {
  TStandMap map;
  const double pi = std::acos(-1.0);
  for (int i = 0; i < count; ++i) {
    const double y = i * kSpacing;
    TStandMapLine line;
    for (int j = 0; j <= kSegments; ++j) line.push_back({double(j), y + kWave * std::sin(2 * pi * j / 100)});
    // 0.004 along and 0.003 across: 0.005 short of the frame's vertex.
    line.front() = {0.004, y + 0.003};
    line.back() = {kSegments - 0.004, y - 0.003};
    map.Lines.push_back(line);
  }
  for (int k = 0; k < kRoads; ++k) {
    TStandMapLine road;
    const double x = 50 + 100 * k;
    for (int i = 0; i <= count; ++i) road.push_back({x, (i - 0.5) * kSpacing});
    map.Lines.push_back(road);
  }
  for (const double x : {0.0, double(kSegments)}) {
    TStandMapLine frame;
    for (int i = 0; i < count; ++i) frame.push_back({x, i * kSpacing});
    map.Lines.push_back(frame);
  }
  return map;
}

// The string's lines joined and GEOS's union of the map, side by side;
// joined is how many lines the joining should leave.
void JoinVsGeosUnion(benchmark::State& state, const TStandMap& map, int joined) {
  static platform::RecordingDialogs dialogs;
  RegisterBlockClasses();
  platform::SetDialogs(&dialogs);
  DeliverMessages();
  TGeosLines geos(map);
  TVersusGeos versus;
  int after = 0, parts = 0;
  for (auto _ : state) {
    std::unique_ptr<TPolyLineString> lines(MakeStandMapLines(map));
    auto joiner = std::make_unique<TJoinLines>();
    versus.Run(
        state,
        [&] {
          joiner->SnapDistance = 0.01;
          joiner->SetInput(lines.get());
          joiner->DoIt();
        },
        [&] { parts = geos.UnaryUnion(); });
    after = lines->GetCount();
    std::unique_ptr<TQTreeLumLin> accepted(static_cast<TQTreeLumLin*>(joiner->Output()));
    accepted.reset();
    joiner.reset();
    lines.reset();
  }
  if (after != joined) state.SkipWithError("the lines are not cut where they meet");
  versus.Count(state, "join", "geos_union");
  state.counters["segments"] = static_cast<double>(map.SegmentCount());
  state.counters["lines_after"] = after;
  state.counters["geos_parts"] = parts;
}

void BM_JoinLongLinesVsGeosUnion(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  // Every line is cut at each road and each road at each line; each frame
  // at every inner vertex.
  JoinVsGeosUnion(state, LongLines(count), count * (kRoads + 1) + kRoads * (count + 1) + 2 * (count - 1));
}
BENCHMARK(BM_JoinLongLinesVsGeosUnion)
    ->Arg(100)->Arg(200)->Arg(400)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);

// The zig-zags' rows shuffled the same way on every machine.
std::vector<int> ShuffledRows(int count) {
  std::vector<int> rows(static_cast<std::size_t>(count));
  std::iota(rows.begin(), rows.end(), 0);
  std::uint64_t state = 0x9E3779B97F4A7C15u;
  for (std::size_t i = rows.size(); i > 1; --i) {
    state = state * 6364136223846793005u + 1442695040888963407u;
    std::swap(rows[i - 1], rows[(state >> 33) % i]);
  }
  return rows;
}

// The zig-zags in shuffled rows and the lines crossing them, each a quarter
// metre off the middle of its share of the width, so that none passes
// through a vertex; the crossing lines last, or with crossingFirst first.
TStandMap CrossedZigZags(int count, bool crossingFirst) {
  TStandMap zigZags;
  for (const int row : ShuffledRows(count)) {
    TStandMapLine line;
    for (int j = 0; j <= kSegments; ++j)
      line.push_back({kZigZagStep * j, row * kZigZagRows + (j % 2 ? kZigZag : -kZigZag)});
    zigZags.Lines.push_back(line);
  }
  TStandMap crossing;
  const double share = kZigZagStep * kSegments / count;
  for (int k = 0; k < count; ++k) {
    const double x = (k + 0.5) * share + 0.25;
    crossing.Lines.push_back({{x, -kZigZagRows}, {x, count * kZigZagRows}});
  }
  TStandMap& map = crossingFirst ? crossing : zigZags;
  const TStandMap& after = crossingFirst ? zigZags : crossing;
  map.Lines.insert(map.Lines.end(), after.Lines.begin(), after.Lines.end());
  return map;
}

// Every line is cut at each of the others it crosses.
int CrossedZigZagsJoined(int count) { return 2 * count * (count + 1); }

void BM_JoinCrossedZigZagsVsGeosUnion(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  JoinVsGeosUnion(state, CrossedZigZags(count, false), CrossedZigZagsJoined(count));
}
BENCHMARK(BM_JoinCrossedZigZagsVsGeosUnion)
    ->Arg(100)->Arg(200)->Arg(400)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);

void BM_JoinZigZagsCrossedInTurnVsGeosUnion(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  JoinVsGeosUnion(state, CrossedZigZags(count, true), CrossedZigZagsJoined(count));
}
BENCHMARK(BM_JoinZigZagsCrossedInTurnVsGeosUnion)
    ->Arg(100)->Arg(200)->Arg(400)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);

}  // namespace

#endif  // KESTX_HAVE_GEOS
