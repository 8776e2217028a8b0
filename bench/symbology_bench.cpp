// A map of 100,000 ten-vertex lines (colour codes, symbol codes below 1000)
// and 100,000 points drawn by the default symbology script under the
// universal interpret, against the same polylines and the points' crosses
// painted by Qt straight onto a bitmap of the same size.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <random>
#include <vector>

#include "block/props/lumar_props.h"
#include "cartography/cartography_classes.h"
#include "platform/canvas.h"
#include "platform/canvas_reference.h"
#include "render/devices/bitmap_device.h"
#include "render/interprets/interpret_script.h"
#include "render/interprets/script_creator.h"
#include "render/interprets/universal_interpret.h"
#include "render/palette/library_paths.h"
#include "spatial/geometry/page.h"
#include "spatial/geometry/projection.h"
#include "spatial/objects/space_entities.h"

namespace {

constexpr int kSide = 4000;
constexpr int kLines = 100000;
constexpr int kVertices = 10;
constexpr int kPoints = 100000;

// In pixels of the bitmap: one world unit a pixel, world (x, side - y) at
// pixel (x, y).
struct TMapData {
  std::vector<std::vector<TRealPoint>> Lines;
  std::vector<TRealPoint> Points;
};

TMapData MakeData() {
  std::mt19937 random(17);
  std::uniform_real_distribution<double> start(2, kSide - 3), step(-60, 60);
  TMapData data;
  data.Lines.resize(kLines);
  for (auto& line : data.Lines) {
    TRealPoint at{start(random), start(random)};
    for (int i = 0; i < kVertices; ++i) {
      line.push_back(at);
      at = {std::clamp(at.X + step(random), 0.0, kSide - 1.0), std::clamp(at.Y + step(random), 0.0, kSide - 1.0)};
    }
  }
  for (int i = 0; i < kPoints; ++i) data.Points.push_back({start(random), start(random)});
  return data;
}

// Both sides must have drawn the same map: their counts of drawn pixels are
// reported side by side.
double DrawnPixels(platform::Canvas& canvas) {
  double drawn = 0;
  for (int y = 0; y < kSide; ++y)
    for (int x = 0; x < kSide; ++x) drawn += canvas.Pixel(x, y) != 0xFFFFFF;
  return drawn;
}

std::unique_ptr<TBitmapDevice> Device() {
  auto device = std::make_unique<TBitmapDevice>();
  device->SetOwnsBitmap(true);
  device->SetBitmap(platform::Bitmap::Create(kSide, kSide).release());
  T_Page& page = *device->Page();
  device->Projection()->Calculate({kSide / 2.0, kSide / 2.0}, &page, page.HRes());
  return device;
}

// A layer of lines and a layer of points, as a block reader gives them.
std::unique_ptr<TOwnerEntity> MakeModel(const TMapData& data) {
  auto model = std::make_unique<TOwnerEntity>();
  auto* lines = new TPolyLineString;
  for (std::size_t i = 0; i < data.Lines.size(); ++i) {
    auto* line = new TPolyLineElement;
    for (const TRealPoint& at : data.Lines[i]) line->AddVertex(at.X, at.Y);
    line->CalcBounds();
    auto* props = new TLumarLineProps;
    props->Barva = static_cast<std::int16_t>(1 + i % 15);
    props->Znacka = static_cast<std::int16_t>(i % 4);
    line->SetProperties(props);
    lines->AddElement(line);
  }
  lines->SetMinX(0), lines->SetMinY(0), lines->SetMaxX(kSide), lines->SetMaxY(kSide);
  model->AddElement(lines);
  auto* points = new TPointString;
  for (std::size_t i = 0; i < data.Points.size(); ++i) {
    auto* point = new TPointElement;
    point->SetMinX(data.Points[i].X), point->SetMinY(data.Points[i].Y);
    point->SetMaxX(data.Points[i].X), point->SetMaxY(data.Points[i].Y);
    auto* props = new TLumarPointProps;
    props->Barva = static_cast<std::int16_t>(1 + i % 15);
    point->SetProperties(props);
    points->AddElement(point);
  }
  model->AddElement(points);
  return model;
}

void BM_DefaultScriptLinesAndPoints(benchmark::State& state) {
  RegisterCartographyClasses();
  SetSymbolLibraryDirectory(std::string(KESTX_SAMPLES_DIR) + "/symbols");
  const auto model = MakeModel(MakeData());
  const auto device = Device();
  TUniversalLumarScriptCreator creator;
  creator.DoIt();
  TUniversalInterpret universal;
  universal.SetScript(DynamicCast<TInterpretScript>(creator.Output()));
  universal.SetInput(model.get());
  universal.AttachDevice(device.get());
  for (auto _ : state) universal.DoIt();
  universal.DetachDevice();
  SetSymbolLibraryDirectory("");
  state.SetItemsProcessed(state.iterations() * (kLines + kPoints));
  state.counters["drawn_pixels"] = DrawnPixels(*device->GetHandle());
}
BENCHMARK(BM_DefaultScriptLinesAndPoints)->Unit(benchmark::kMillisecond);

// The anchor: the lines and two strokes a point, already in pixels.
void BM_QtPolylinesAndCrosses(benchmark::State& state) {
  const TMapData data = MakeData();
  std::vector<platform::PixelPoint> points;
  std::vector<std::int32_t> counts;
  const auto pixel = [](const TRealPoint& at) {
    return platform::PixelPoint{static_cast<std::int32_t>(std::lround(at.X)),
                                static_cast<std::int32_t>(std::lround(kSide - at.Y))};
  };
  for (const auto& line : data.Lines) {
    for (const TRealPoint& at : line) points.push_back(pixel(at));
    counts.push_back(kVertices);
  }
  for (const TRealPoint& at : data.Points) {
    const platform::PixelPoint p = pixel(at);
    points.insert(points.end(), {{p.X - 2, p.Y}, {p.X + 2, p.Y}, {p.X, p.Y - 2}, {p.X, p.Y + 2}});
    counts.insert(counts.end(), {2, 2});
  }
  const auto bitmap = platform::Bitmap::Create(kSide, kSide);
  for (auto _ : state) platform::PaintPolylinesWithQt(*bitmap, points, counts, 0);
  state.SetItemsProcessed(state.iterations() * (kLines + kPoints));
  state.counters["drawn_pixels"] = DrawnPixels(bitmap->GetCanvas());
}
BENCHMARK(BM_QtPolylinesAndCrosses)->Unit(benchmark::kMillisecond);

}  // namespace
