// The symbols against their anchors in the same run, all with 1-px pens on
// one 4000 x 4000 bitmap: dashed lines against the plain lines of the same
// device, stroke-font texts against Qt's own text of the same height, and
// hatched areas against Qt's horizontal-line brush.
#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "cartography/cartography_classes.h"
#include "cartography/symbols/line_symbols.h"
#include "cartography/symbols/stroke_font.h"
#include "platform/canvas_reference.h"
#include "render/area_symbols/area_symbol.h"
#include "render/devices/bitmap_device.h"
#include "render/palette/library_paths.h"
#include "spatial/geometry/page.h"
#include "spatial/geometry/projection.h"

namespace {

constexpr int kSide = 4000;
constexpr int kLines = 100000;
constexpr int kVertices = 10;
constexpr int kTexts = 100000;
constexpr int kTextHeight = 12;
constexpr int kAreas = 10000;

// One world unit a pixel, world (x, side - y) at pixel (x, y).
std::unique_ptr<TBitmapDevice> Device() {
  RegisterCartographyClasses();
  auto device = std::make_unique<TBitmapDevice>();
  device->SetOwnsBitmap(true);
  device->SetBitmap(platform::Bitmap::Create(kSide, kSide).release());
  T_Page& page = *device->Page();
  device->Projection()->Calculate({kSide / 2.0, kSide / 2.0}, &page, page.HRes());
  return device;
}

std::vector<std::vector<TRealPoint>> Lines() {
  std::mt19937 random(11);
  std::uniform_real_distribution<double> start(0, kSide), step(-60, 60);
  std::vector<std::vector<TRealPoint>> lines(kLines);
  for (auto& line : lines) {
    TRealPoint at{start(random), start(random)};
    for (int i = 0; i < kVertices; ++i) {
      line.push_back(at);
      at = {std::clamp(at.X + step(random), 0.0, kSide - 1.0), std::clamp(at.Y + step(random), 0.0, kSide - 1.0)};
    }
  }
  return lines;
}

void BM_PlainLinesOfTheDevice(benchmark::State& state) {
  const auto lines = Lines();
  const auto device = Device();
  device->GetPen()->Width = 1;
  for (auto _ : state)
    for (const auto& line : lines) {
      device->MoveTo(line[0].X, line[0].Y);
      for (std::size_t i = 1; i < line.size(); ++i) device->LineTo(line[i].X, line[i].Y);
    }
  state.SetItemsProcessed(state.iterations() * kLines);
}
BENCHMARK(BM_PlainLinesOfTheDevice)->Unit(benchmark::kMillisecond);

// One chain of dashes with their gaps, in world units, drawn with a pen of
// 0.2 mm (1 px at virtual scale 5000).
void MakeDashed(TLiniovaZnacka& symbol, double dashLength, double gap) {
  auto chain = std::make_unique<TRetezovaZnacka>();
  chain->Sila = 0.2;
  auto dash = std::make_unique<TLinZnacka>();
  dash->Velikost = dashLength;
  dash->Vzdalenost = gap;
  dash->Prepare();
  chain->AddElement(std::move(dash));
  symbol.Chains.push_back(std::move(chain));
}

void BM_DashedLineSymbols(benchmark::State& state) {
  const auto lines = Lines();
  const auto device = Device();
  // Dashes of 40 px and gaps of 15 px.
  TLiniovaZnacka symbol;
  MakeDashed(symbol, 40, 15);
  for (auto _ : state)
    for (const auto& line : lines) symbol.Draw(*device, {}, false, line, 13);
  state.SetItemsProcessed(state.iterations() * kLines);
}
BENCHMARK(BM_DashedLineSymbols)->Unit(benchmark::kMillisecond);

// A window of 1000 x 1000 pixels over 100 x 100 m, and one dashed line of
// the symbol across it, clipped to it as the line interpret draws it: 110 m
// long, the anchor, or 10^9 m, whose walk must cost what the window shows.
void DashedLineAcrossTheWindow(benchmark::State& state, double length) {
  RegisterCartographyClasses();
  TBitmapDevice device;
  device.SetOwnsBitmap(true);
  device.SetBitmap(platform::Bitmap::Create(1000, 1000).release());
  device.Projection()->Calculate({50, 50}, device.Page(), device.Page()->HRes() * 0.1);
  // Dashes of 4 m (40 px) and gaps of 1.5 m.
  TLiniovaZnacka symbol;
  MakeDashed(symbol, 4, 1.5);
  const std::vector<TRealPoint> line = {{50 - length / 2, 50.3}, {50 + length / 2, 50.3}};
  for (auto _ : state) symbol.Draw(device, {0, 0, 100, 100}, true, line, 13);
  state.SetItemsProcessed(state.iterations());
}

void BM_DashedLineOf110MetresAcrossTheWindow(benchmark::State& state) { DashedLineAcrossTheWindow(state, 110); }
BENCHMARK(BM_DashedLineOf110MetresAcrossTheWindow)->Unit(benchmark::kMicrosecond);

void BM_DashedLineOf1e9MetresAcrossTheWindow(benchmark::State& state) { DashedLineAcrossTheWindow(state, 1e9); }
BENCHMARK(BM_DashedLineOf1e9MetresAcrossTheWindow)->Unit(benchmark::kMicrosecond);

std::vector<platform::PixelPoint> Places(int count) {
  std::mt19937 random(13);
  std::uniform_int_distribution<int> place(20, kSide - 200);
  std::vector<platform::PixelPoint> places(count);
  for (auto& p : places) p = {place(random), place(random)};
  return places;
}

const std::string kTwelveLetters = "Lesni porost";

void BM_QtTexts(benchmark::State& state) {
  const auto places = Places(kTexts);
  const std::vector<std::string> texts(kTexts, kTwelveLetters);
  auto bitmap = platform::Bitmap::Create(kSide, kSide);
  for (auto _ : state) platform::PaintTextsWithQt(*bitmap, texts, places, kTextHeight, 0);
  state.SetItemsProcessed(state.iterations() * kTexts);
}
BENCHMARK(BM_QtTexts)->Unit(benchmark::kMillisecond);

void BM_StrokeFontTexts(benchmark::State& state) {
  const auto places = Places(kTexts);
  const auto device = Device();
  device->GetPen()->Width = 1;
  SetStrokeFontDirectory(std::string(KESTX_SAMPLES_DIR) + "/symbols/fonts");
  TBGIFont font;
  font.SetDevice(device.get());
  auto* text = new TBGIText;
  font.SetText(text, true);
  // Capitals 12 units high: one font unit is 12/40.
  text->Flags = kTextSizedByMode;
  text->HeightMode = 1;
  text->Height = kTextHeight;
  if (!font.LoadFont(0, 0)) state.SkipWithError("no sample font");
  for (auto _ : state)
    for (const platform::PixelPoint& p : places) {
      text->StartPoint()->SetX(p.X);
      text->StartPoint()->SetY(kSide - p.Y);
      font.DrawString(kTwelveLetters);
    }
  state.SetItemsProcessed(state.iterations() * kTexts);
}
BENCHMARK(BM_StrokeFontTexts)->Unit(benchmark::kMillisecond);

// Quadrilaterals about 40 px across.
void Areas(std::vector<platform::PixelPoint>& points, std::vector<std::int32_t>& counts) {
  std::mt19937 random(17);
  std::uniform_int_distribution<int> place(0, kSide - 60), wobble(0, 15);
  for (int i = 0; i < kAreas; ++i) {
    const int x = place(random), y = place(random);
    points.push_back({x + wobble(random), y + wobble(random)});
    points.push_back({x + 45 + wobble(random), y + wobble(random)});
    points.push_back({x + 45 + wobble(random), y + 45 + wobble(random)});
    points.push_back({x + wobble(random), y + 45 + wobble(random)});
    counts.push_back(4);
  }
}

void BM_QtHorizontalPatternAreas(benchmark::State& state) {
  std::vector<platform::PixelPoint> points;
  std::vector<std::int32_t> counts;
  Areas(points, counts);
  auto bitmap = platform::Bitmap::Create(kSide, kSide);
  for (auto _ : state) platform::PaintHatchedPolygonsWithQt(*bitmap, points, counts, 0);
  state.SetItemsProcessed(state.iterations() * kAreas);
}
BENCHMARK(BM_QtHorizontalPatternAreas)->Unit(benchmark::kMillisecond);

void BM_HatchedAreaSymbols(benchmark::State& state) {
  std::vector<platform::PixelPoint> pixels;
  std::vector<std::int32_t> counts;
  Areas(pixels, counts);
  std::vector<TDevicePoint> points;
  for (const auto& p : pixels) points.push_back({p.X, p.Y});
  const auto device = Device();
  // Lines of 1 px every 8 px, as Qt's pattern.
  TPlosnaZnacka symbol;
  auto layer = std::make_unique<TVrstvaSraf>();
  auto set = std::make_unique<TSrafa>();
  set->Sirka = 1;
  set->Vzdalenost = 7;
  set->Barva = 13;
  layer->Sets.push_back(std::move(set));
  symbol.Layers.push_back(std::move(layer));
  for (auto _ : state)
    for (int i = 0; i < kAreas; ++i) symbol.Draw(*device, &points[static_cast<std::size_t>(i) * 4], &counts[0], 1);
  state.SetItemsProcessed(state.iterations() * kAreas);
}
BENCHMARK(BM_HatchedAreaSymbols)->Unit(benchmark::kMillisecond);

}  // namespace
