// Drawing through the devices and the universal interpret, each against its
// anchor in the same run: Qt's painter on the same pixels, the plain loop of
// device calls, and for the costs that grow with the input, the same input
// drawn or looked up the cheap way.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <numbers>
#include <random>
#include <vector>

#include "bench/pixel_walks.h"
#include "framework/tools/system_register.h"
#include "framework/tools/world.h"
#include "framework/values/typed_values.h"
#include "render/devices/bitmap_device.h"
#include "render/interprets/interpret.h"
#include "render/interprets/interpret_script.h"
#include "render/interprets/universal_interpret.h"
#include "render/render_classes.h"
#include "spatial/geometry/page.h"
#include "spatial/geometry/projection.h"
#include "spatial/objects/space_entities.h"

namespace {

constexpr int kLines = 100000;
constexpr int kVertices = 10;
constexpr int kSide = 4000;

// 100,000 random walks of 10 vertices over the page, one world unit a pixel.
TPixelWalks Walks() { return RandomWalks(kLines, kVertices, kSide, kSide, 60, 7); }

// The walks as polylines of a model; world (x, side - y) is pixel (x, y).
std::unique_ptr<TOwnerEntity> Model() {
  auto model = std::make_unique<TOwnerEntity>();
  for (const auto& walk : Walks()) {
    auto* line = new TPolyLineElement;
    for (const platform::PixelPoint& p : walk) line->AddVertex(p.X, kSide - p.Y);
    line->CalcBounds();
    model->AddElement(line);
  }
  return model;
}

std::unique_ptr<TBitmapDevice> Device() {
  RegisterRenderClasses();
  auto device = std::make_unique<TBitmapDevice>();
  device->SetOwnsBitmap(true);
  device->SetBitmap(platform::Bitmap::Create(kSide, kSide).release());
  T_Page& page = *device->Page();
  device->Projection()->Calculate({kSide / 2.0, kSide / 2.0}, &page, page.HRes());
  return device;
}

void BM_QtPainterPolylines(benchmark::State& state) { PaintWalksWithQt(state, Walks(), kSide, kSide); }
BENCHMARK(BM_QtPainterPolylines)->Unit(benchmark::kMillisecond);

void BM_CanvasDevicePolylines(benchmark::State& state) {
  const auto model = Model();
  const auto device = Device();
  for (auto _ : state)
    for (TElement* line : model->Children()) device->DrawPolyline(static_cast<TRectEntity*>(line));
  state.SetItemsProcessed(state.iterations() * kLines);
}
BENCHMARK(BM_CanvasDevicePolylines)->Unit(benchmark::kMillisecond);

// Draws each line it is given through the device and nothing inside it.
class TBenchLineInterpret : public TInterpret {
 public:
  bool QGoInside(TElement*) override { return false; }
  void Process(TElement* element) override { Device()->DrawPolyline(static_cast<TRectEntity*>(element)); }
};

std::unique_ptr<TUniversalInterpret> LineInterpret(TOwnerEntity& model, TDevice& device) {
  auto universal = std::make_unique<TUniversalInterpret>();
  auto* script = new TInterpretScript;
  script->SetNewClassName("TPolyLineElement");
  script->SetActualInterpret(new TBenchLineInterpret);
  universal->SetScript(script);
  universal->SetInput(&model);
  universal->AttachDevice(&device);
  return universal;
}

void BM_UniversalInterpretPolylines(benchmark::State& state) {
  const auto model = Model();
  const auto device = Device();
  auto universal = LineInterpret(*model, *device);
  for (auto _ : state) universal->DoIt();
  universal->DetachDevice();
  state.SetItemsProcessed(state.iterations() * kLines);
}
BENCHMARK(BM_UniversalInterpretPolylines)->Unit(benchmark::kMillisecond);

// The whole page in bands of at most "MEMORY_TILE" bytes.
void BM_BandedUniversalInterpret(benchmark::State& state) {
  constexpr std::int64_t kLimit = 4000000;
  TWorld world;
  SetWorld(&world);
  auto* raster = new TStringListElement;
  raster->SetName("RASTER");
  raster->SetIntegerByName("MEMORY_TILE", kLimit);
  world.SystemRegister()->AddElement(raster);
  const auto model = Model();
  const auto device = Device();
  auto universal = LineInterpret(*model, *device);
  universal->Tile = true;
  const std::int64_t before = platform::Bitmap::LiveBytes();
  platform::Bitmap::ResetPeakLiveBytes();
  for (auto _ : state) universal->DoIt();
  universal->DetachDevice();
  state.counters["peak_band_bytes"] = static_cast<double>(platform::Bitmap::PeakLiveBytes() - before);
  state.counters["limit"] = static_cast<double>(kLimit);
  state.SetItemsProcessed(state.iterations() * kLines);
  SetWorld(nullptr);
}
BENCHMARK(BM_BandedUniversalInterpret)->Unit(benchmark::kMillisecond);

// What drawing costs as its input grows, each beside its anchor: lines with
// an end far off the page drawn segment by segment against the same lines
// drawn as polylines (cut to the page before the canvas steps them), and a
// script with an instance node for each element against the same look-ups
// in a script of class nodes only.  8 times the input should take about 8
// times as long.

// n lines, each from a point of the page to a point a thousand pages away.
std::vector<std::unique_ptr<TPolyLineElement>> FarLines(std::int64_t n) {
  std::mt19937 random(11);
  std::uniform_real_distribution<double> on(0, kSide), turn(0, 2 * std::numbers::pi);
  std::vector<std::unique_ptr<TPolyLineElement>> lines;
  for (std::int64_t i = 0; i < n; ++i) {
    auto line = std::make_unique<TPolyLineElement>();
    const double x = on(random), y = on(random), angle = turn(random);
    line->AddVertex(x, y);
    line->AddVertex(x + 1000.0 * kSide * std::cos(angle), y + 1000.0 * kSide * std::sin(angle));
    line->CalcBounds();
    lines.push_back(std::move(line));
  }
  return lines;
}

void BM_FarLinesMovedAndDrawnTo(benchmark::State& state) {
  const auto lines = FarLines(state.range(0));
  const auto device = Device();
  for (auto _ : state)
    for (const auto& line : lines) {
      device->MoveTo(line->GetCoordX(0), line->GetCoordY(0));
      device->LineTo(line->GetCoordX(1), line->GetCoordY(1));
    }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_FarLinesMovedAndDrawnTo)->Arg(1000)->Arg(8000)->Unit(benchmark::kMillisecond);

void BM_FarLinesAsPolylinesAnchor(benchmark::State& state) {
  const auto lines = FarLines(state.range(0));
  const auto device = Device();
  for (auto _ : state)
    for (const auto& line : lines) device->DrawPolyline(line.get());
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_FarLinesAsPolylinesAnchor)->Arg(1000)->Arg(8000)->Unit(benchmark::kMillisecond);

// A script with class nodes for lines and areas, as a symbology has.
std::unique_ptr<TInterpretScript> ClassScript() {
  RegisterRenderClasses();
  auto script = std::make_unique<TInterpretScript>();
  for (const char* cls : {"TRectEntity", "TPolyLineElement", "TAreaElement"}) {
    script->SetNewClassName(cls);
    script->SetActualInterpret(new TInterpret);
  }
  return script;
}

std::vector<std::unique_ptr<TPolyLineElement>> Elements(std::int64_t n) {
  std::vector<std::unique_ptr<TPolyLineElement>> elements;
  for (std::int64_t i = 0; i < n; ++i) elements.push_back(std::make_unique<TPolyLineElement>());
  return elements;
}

// An instance node filed for each element, then each element's interpret
// looked up, as a walk asks for it.
void BM_ScriptInstanceNodesFiledAndFound(benchmark::State& state) {
  const auto elements = Elements(state.range(0));
  for (auto _ : state) {
    const auto script = ClassScript();
    for (const auto& element : elements) script->SetNewElement(element.get());
    for (const auto& element : elements) benchmark::DoNotOptimize(script->FindInterpret(element.get()));
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ScriptInstanceNodesFiledAndFound)->Arg(1000)->Arg(8000)->Arg(64000)->Unit(benchmark::kMillisecond);

void BM_ScriptClassNodesFoundAnchor(benchmark::State& state) {
  const auto elements = Elements(state.range(0));
  for (auto _ : state) {
    const auto script = ClassScript();
    for (const auto& element : elements) benchmark::DoNotOptimize(script->FindInterpret(element.get()));
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ScriptClassNodesFoundAnchor)->Arg(1000)->Arg(8000)->Arg(64000)->Unit(benchmark::kMillisecond);

}  // namespace
