// Reading the lines of a block of 1,000,000 coordinates in 100,000 lines,
// beside GDAL's ogrinfo reading the same geometry from a shapefile (when
// ogrinfo is installed), in one run: the ratio of the two times is the
// figure to watch.
#include <benchmark/benchmark.h>
#include <shapefil.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "block/block_classes.h"
#include "block/files/block_records.h"
#include "block/reading/block_reader.h"
#include "framework/core/messages.h"
#include "platform/app_queue.h"
#include "spatial/objects/space_entities.h"
#include "spatial/sheets/coordinate_systems.h"

namespace {

constexpr int kLines = 100000;
constexpr int kVerticesPerLine = 10;

// Vertex v of line n, in block (national grid) coordinates.
double VertexX(int n, int v) { return 700000.0 + (n % 1000) * 50.0 + v * 3.0; }
double VertexY(int n, int v) { return 1000000.0 + (n / 1000) * 50.0 + (v % 3) * 2.0; }

// The block and the shapefile, written once per process.
struct TSampleData {
  std::filesystem::path folder;
  std::string block;
  std::string shapefile;

  TSampleData() {
    folder = std::filesystem::temp_directory_path() / ("kestx_bench_" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder / "LINIE.BLK");
    block = (folder / "LINIE.BLK").string();
    shapefile = (folder / "linie.shp").string();
    WriteBlock();
    WriteShapefile();
  }
  ~TSampleData() { std::filesystem::remove_all(folder); }

  void WriteBlock() const {
    std::ofstream crd(block + "/TN.CRD", std::ios::binary);
    std::ofstream lin(block + "/TN.LIN", std::ios::binary);
    const auto dummy = TLineRecord::Dummy();
    lin.write(reinterpret_cast<const char*>(dummy.data()), dummy.size());
    for (int n = 1; n <= kLines; ++n) {
      TLineRecord line;
      line.Number = n;
      line.Kind = static_cast<std::int16_t>(n % 20);
      line.FirstVertex = (n - 1) * kVerticesPerLine;
      line.LastVertex = line.FirstVertex + kVerticesPerLine - 1;
      line.Box = {VertexX(n, kVerticesPerLine - 1), VertexY(n, 1) + 2, VertexX(n, 0), VertexY(n, 0)};
      for (int v = 0; v < kVerticesPerLine; ++v) {
        const auto bytes = TCoordRecord{VertexX(n, v), VertexY(n, v)}.Encode();
        crd.write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
      }
      const auto bytes = line.Encode();
      lin.write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    }
  }

  void WriteShapefile() const {
    SHPHandle shp = SHPCreate(shapefile.c_str(), SHPT_ARC);
    DBFHandle dbf = DBFCreate((folder / "linie.dbf").string().c_str());
    DBFAddField(dbf, "DRUH", FTInteger, 6, 0);
    std::vector<double> xs(kVerticesPerLine);
    std::vector<double> ys(kVerticesPerLine);
    for (int n = 1; n <= kLines; ++n) {
      for (int v = 0; v < kVerticesPerLine; ++v) {
        xs[static_cast<std::size_t>(v)] = -VertexX(n, v);
        ys[static_cast<std::size_t>(v)] = -VertexY(n, v);
      }
      SHPObject* object = SHPCreateSimpleObject(SHPT_ARC, kVerticesPerLine, xs.data(), ys.data(), nullptr);
      const int id = SHPWriteObject(shp, -1, object);
      SHPDestroyObject(object);
      DBFWriteIntegerAttribute(dbf, id, 0, n % 20);
    }
    SHPClose(shp);
    DBFClose(dbf);
  }
};

const TSampleData& Sample() {
  static const TSampleData sample;
  return sample;
}

// Framework messages (progress, log lines) go nowhere and are freed.
void DropMessages() {
  platform::Application::Instance().SetMessageHook([](platform::AppMessage& message, bool& handled) {
    if (TKestuMessage* kestu = KestuMessageOf(message))
      DeliverKestuMessage(kestu, handled, [] { return static_cast<TElement*>(nullptr); });
  });
}

void BM_ReadBlockLines(benchmark::State& state) {
  RegisterBlockClasses();
  DropMessages();
  const TSampleData& sample = Sample();
  for (auto _ : state) {
    // A world of its own each time: a second read would find the lines in
    // the register.
    state.PauseTiming();
    auto world = std::make_unique<TWCSWorld>();
    SetWorld(world.get());
    state.ResumeTiming();
    TLumaRBlokReader reader;
    reader.Create(sample.block);
    std::unique_ptr<TPolyLineString> lines(reader.ReadLines());
    if (!lines || lines->Children().size() != kLines) state.SkipWithError("not every line was read");
    state.PauseTiming();
    lines.reset();
    SetWorld(nullptr);
    world.reset();
    state.ResumeTiming();
  }
  state.counters["coordinates"] = kLines * kVerticesPerLine;
}
BENCHMARK(BM_ReadBlockLines)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void BM_OgrinfoShapefile(benchmark::State& state) {
  if (std::system("command -v ogrinfo > /dev/null 2>&1") != 0) {
    state.SkipWithError("ogrinfo (gdal-bin) is not installed");
    return;
  }
  const std::string command = "ogrinfo -al -q '" + Sample().shapefile + "' > /dev/null 2>&1";
  for (auto _ : state)
    if (std::system(command.c_str()) != 0) state.SkipWithError("ogrinfo failed");
}
BENCHMARK(BM_OgrinfoShapefile)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace
