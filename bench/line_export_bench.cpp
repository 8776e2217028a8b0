#include <benchmark/benchmark.h>

#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "block/block_classes.h"
#include "block/export/line_export.h"
#include "block/props/lumar_props.h"
#include "spatial/objects/space_entities.h"

namespace {

constexpr int kLines = 100000;
constexpr int kVerticesPerLine = 10;

std::unique_ptr<TPolyLineString> BuildLines() {
  auto lines = std::make_unique<TPolyLineString>();
  for (int i = 0; i < kLines; ++i) {
    auto* line = new TPolyLineElement;
    for (int v = 0; v < kVerticesPerLine; ++v) line->AddVertex(1000.0 + i * 0.5 + v, 2000.0 + (v % 3));
    line->CalcBounds();
    auto* props = new TLumarLineProps;
    props->Druh = 1;
    line->SetProperties(props);
    lines->AddElement(line);
  }
  return lines;
}

double Seconds(std::chrono::steady_clock::duration d) { return std::chrono::duration<double>(d).count(); }

// The line export of 100,000 lines of 10 vertices into a new block, and `cp`
// of the two files it wrote (TN.LIN and TN.CRD) in the same run: the
// export's throughput as a share of what the disk allows.
void BM_LineExport(benchmark::State& state) {
  RegisterBlockClasses();
  const std::unique_ptr<TPolyLineString> lines = BuildLines();
  const std::filesystem::path root = std::filesystem::temp_directory_path() / ("kestx_bench_line_export_" + std::to_string(::getpid()));
  double exportSeconds = 0;
  double copySeconds = 0;
  double bytes = 0;
  for (auto _ : state) {
    state.PauseTiming();
    std::filesystem::remove_all(root);
    std::filesystem::create_directories(root / "copy");
    const std::string block = (root / "B.BLK").string();
    state.ResumeTiming();

    const auto start = std::chrono::steady_clock::now();
    std::unique_ptr<TExportLinesToLumar> tool(CreateElement<TExportLinesToLumar>());
    tool->SetInput(lines.get());
    tool->SetBlockName(block);
    tool->DoIt();
    tool.reset();
    const auto exported = std::chrono::steady_clock::now();

    state.PauseTiming();
    const std::string command = "cp '" + block + "/TN.LIN' '" + block + "/TN.CRD' '" + (root / "copy").string() + "'";
    const auto copyStart = std::chrono::steady_clock::now();
    if (std::system(command.c_str()) != 0) state.SkipWithError("cp failed");
    const auto copied = std::chrono::steady_clock::now();
    exportSeconds += Seconds(exported - start);
    copySeconds += Seconds(copied - copyStart);
    bytes += static_cast<double>(std::filesystem::file_size(block + "/TN.LIN") +
                                 std::filesystem::file_size(block + "/TN.CRD"));
    state.ResumeTiming();
  }
  std::filesystem::remove_all(root);
  const double exportRate = bytes / exportSeconds / 1e6;
  const double copyRate = bytes / copySeconds / 1e6;
  state.counters["export_MBps"] = exportRate;
  state.counters["cp_MBps"] = copyRate;
  state.counters["export_to_cp"] = exportRate / copyRate;
  state.counters["MB"] = bytes / static_cast<double>(state.iterations()) / 1e6;
}
BENCHMARK(BM_LineExport)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
