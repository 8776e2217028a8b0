// The area export of the 100,000-segment stand map (about 12,000 areas,
// their boundary lines and an attribute table of the areas) beside
// shapelib writing the same polygons, holes as parts, with the same
// records (.shp, .shx, .dbf), in one run: the ratio of the two times is the
// figure to watch.
#include <benchmark/benchmark.h>
#include <shapefil.h>

#include <unistd.h>

#include <ctime>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "bench/stand_map.h"
#include "block/block_classes.h"
#include "block/export/area_export.h"
#include "block/props/lumar_props.h"
#include "block/topology/area_building.h"
#include "framework/core/messages.h"
#include "platform/app_queue.h"
#include "spatial/objects/space_entities.h"
#include "spatial/sheets/coordinate_systems.h"

namespace {

constexpr std::size_t kSegments = 100000;

// The stand map's areas, built once per process, with the table template
// of their kind.
struct TStandAreas {
  TWCSWorld world;
  std::unique_ptr<TPolyLineString> lines;
  std::unique_ptr<TMakeNodesAndAreas> topology;
  TAreaString* areas = nullptr;
  std::filesystem::path folder;

  TStandAreas() {
    SetWorld(&world);
    const TStandMap map = MakeStandMap(StandMapSideFor(kSegments), 11);
    lines.reset(MakeStandMapLines(map));
    for (TElement* line : lines->Children()) static_cast<TSpaceEntity*>(line)->SetProperties(new TLumarLineProps);
    topology = std::make_unique<TMakeNodesAndAreas>();
    topology->SetInput(lines.get());
    topology->DoIt();
    areas = DynamicCast<TAreaString>(topology->Output());
    folder = std::filesystem::temp_directory_path() / ("kestx_bench_area_export_" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder / "control");
    std::ofstream((folder / "control" / "P0001.CRT").string())
        << "CISLO N 6 0\r\nDRUH N 4 0\r\nX N 12 2\r\nY N 12 2\r\nPLOCHA N 14 4\r\n";
  }
  ~TStandAreas() {
    std::filesystem::remove_all(folder);
    topology.reset();
    SetWorld(nullptr);
  }
};

// Framework messages (progress, log lines) go nowhere and are freed.
void DropMessages() {
  platform::Application::Instance().SetMessageHook([](platform::AppMessage& message, bool& handled) {
    if (TKestuMessage* kestu = KestuMessageOf(message))
      DeliverKestuMessage(kestu, handled, [] { return static_cast<TElement*>(nullptr); });
  });
}

void ExportBlock(const TStandAreas& stands, const std::string& block) {
  std::unique_ptr<TExportAreasToLumar> tool(CreateElement<TExportAreasToLumar>());
  tool->SetInput(stands.areas);
  tool->SetBlockName(block);
  tool->ControlDir = (stands.folder / "control").string();
  tool->ExportDBF = true;
  tool->DruhPloch = 1;
  tool->DoIt();
}

// The area's outline and its holes as the parts of one polygon.
void AddRing(const TAreaElement& ring, std::vector<int>& starts, std::vector<double>& xs, std::vector<double>& ys) {
  starts.push_back(static_cast<int>(xs.size()));
  for (int i = 0; i < ring.GetCoordsCount(); ++i) {
    xs.push_back(ring.GetCoordX(i));
    ys.push_back(ring.GetCoordY(i));
  }
  xs.push_back(ring.GetCoordX(0));
  ys.push_back(ring.GetCoordY(0));
}

void WriteShapefile(const TStandAreas& stands, const std::string& base) {
  SHPHandle shp = SHPCreate((base + ".shp").c_str(), SHPT_POLYGON);
  DBFHandle dbf = DBFCreate((base + ".dbf").c_str());
  DBFAddField(dbf, "CISLO", FTInteger, 6, 0);
  DBFAddField(dbf, "DRUH", FTInteger, 4, 0);
  DBFAddField(dbf, "X", FTDouble, 12, 2);
  DBFAddField(dbf, "Y", FTDouble, 12, 2);
  DBFAddField(dbf, "PLOCHA", FTDouble, 14, 4);
  std::vector<int> starts;
  std::vector<double> xs;
  std::vector<double> ys;
  int number = 0;
  for (TElement* child : stands.areas->Children()) {
    const auto& area = *static_cast<TAreaElement*>(child);
    starts.clear();
    xs.clear();
    ys.clear();
    AddRing(area, starts, xs, ys);
    if (area.Holes())
      for (TElement* hole : area.Holes()->Children()) AddRing(*static_cast<TAreaElement*>(hole), starts, xs, ys);
    SHPObject* object = SHPCreateObject(SHPT_POLYGON, -1, static_cast<int>(starts.size()), starts.data(), nullptr,
                                        static_cast<int>(xs.size()), xs.data(), ys.data(), nullptr, nullptr);
    const int id = SHPWriteObject(shp, -1, object);
    SHPDestroyObject(object);
    DBFWriteIntegerAttribute(dbf, id, 0, ++number);
    DBFWriteIntegerAttribute(dbf, id, 1, 1);
    DBFWriteDoubleAttribute(dbf, id, 2, -area.GetAbsRefY());
    DBFWriteDoubleAttribute(dbf, id, 3, -area.GetAbsRefX());
    DBFWriteDoubleAttribute(dbf, id, 4, area.GetCalculatedArea());
  }
  SHPClose(shp);
  DBFClose(dbf);
}

// The process's processor time, user and system: on a machine busy with
// other work the wall clock would charge either side with others' turns.
double CpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

void BM_AreaExportBesideShapelib(benchmark::State& state) {
  RegisterBlockClasses();
  DropMessages();
  // Built and freed inside the benchmark, while the framework is alive.
  const TStandAreas stands;
  double exportSeconds = 0;
  double shapelibSeconds = 0;
  for (auto _ : state) {
    state.PauseTiming();
    const std::filesystem::path run = stands.folder / "run";
    std::filesystem::remove_all(run);
    std::filesystem::create_directories(run);
    state.ResumeTiming();
    const double start = CpuSeconds();
    ExportBlock(stands, (run / "P.BLK").string());
    const double exported = CpuSeconds();
    WriteShapefile(stands, (run / "plochy").string());
    const double written = CpuSeconds();
    exportSeconds += exported - start;
    shapelibSeconds += written - exported;
  }
  state.counters["areas"] = stands.areas->GetCount();
  state.counters["export_s"] = exportSeconds / static_cast<double>(state.iterations());
  state.counters["shapelib_s"] = shapelibSeconds / static_cast<double>(state.iterations());
  state.counters["export_to_shapelib"] = exportSeconds / shapelibSeconds;
}
BENCHMARK(BM_AreaExportBesideShapelib)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
