#include <benchmark/benchmark.h>

#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "block/block_classes.h"
#include "block/export/line_export.h"
#include "block/guide/guide_lines.h"
#include "block/guide/guide_model.h"
#include "framework/tools/world.h"
#include "spatial/sheets/coordinate_systems.h"

namespace {

// Ten 1:50 000 sheets with all their detail, every 1:5 000 and 1:2 000
// sheet selected: 1,000 and 4,000 frames.
std::unique_ptr<TGuide> BuildGuide() {
  auto guide = std::make_unique<TGuide>();
  for (int col = 0; col < 10; ++col) {
    TSMO_50* sheet = guide->CreateSheet50(20 + col, 50, "List " + std::to_string(col), "L");
    sheet->CreateDetail10();
    for (int c = 0; c < 10; c += 2)
      for (int r = 0; r < 10; r += 2) sheet->FindSheet10(c, r)->CreateDetail();
    for (int c = 0; c < 10; ++c)
      for (int r = 0; r < 10; ++r) {
        TSMO_5* five = sheet->FindSheet5(c, r);
        five->Selected = true;
        five->CreateDetail();
        for (int i = 0; i < five->GetRowCount(); ++i)
          for (int j = 0; j < five->GetRow(i)->GetCount(); ++j)
            static_cast<TMapSpace*>(five->GetRow(i)->GetCell(j))->Selected = true;
      }
  }
  return guide;
}

double Seconds(std::chrono::steady_clock::duration d) { return std::chrono::duration<double>(d).count(); }

// The guide export's work for the 1:5 000 and 1:2 000 series: the frames
// selected from the guide and each series written into its block; and `cp`
// of the files it wrote, in the same run.
void BM_GuideExport(benchmark::State& state) {
  RegisterBlockClasses();
  auto world = std::make_unique<TWCSWorld>();
  SetWorld(world.get());
  const std::unique_ptr<TGuide> guide = BuildGuide();
  const std::filesystem::path root = std::filesystem::temp_directory_path() / ("kestx_bench_guide_export_" + std::to_string(::getpid()));
  double exportSeconds = 0;
  double copySeconds = 0;
  double bytes = 0;
  for (auto _ : state) {
    state.PauseTiming();
    std::filesystem::remove_all(root);
    std::filesystem::create_directories(root / "copy");
    state.ResumeTiming();

    const auto start = std::chrono::steady_clock::now();
    TOwnerEntity lines;
    {
      std::unique_ptr<TSelectGuideLines> selection(CreateElement<TSelectGuideLines>());
      selection->Set5(true);
      selection->Set2(true);
      selection->SetInput(guide.get());
      selection->SetOutput(&lines);
      selection->DoIt();
    }
    for (const char* series : {"5", "2"}) {
      std::unique_ptr<TExportLinesToLumar> tool(CreateElement<TExportLinesToLumar>());
      tool->SetInput(lines.FindElementByName(series));
      tool->SetBlockName((root / (std::string(series) + ".BLK")).string());
      tool->DoIt();
    }
    const auto exported = std::chrono::steady_clock::now();

    state.PauseTiming();
    for (const char* series : {"5", "2"})
      for (const char* file : {"TN.LIN", "TN.CRD"})
        bytes += static_cast<double>(std::filesystem::file_size(root / (std::string(series) + ".BLK") / file));
    // Both blocks hold files of the same names: copy them one block at a time.
    const auto copyStart = std::chrono::steady_clock::now();
    for (const char* series : {"5", "2"}) {
      const std::string block = (root / (std::string(series) + ".BLK")).string();
      const std::string one = "cp '" + block + "/TN.LIN' '" + block + "/TN.CRD' '" + (root / "copy").string() + "'";
      if (std::system(one.c_str()) != 0) state.SkipWithError("cp failed");
    }
    const auto copied = std::chrono::steady_clock::now();
    exportSeconds += Seconds(exported - start);
    copySeconds += Seconds(copied - copyStart);
    state.ResumeTiming();
  }
  std::filesystem::remove_all(root);
  SetWorld(nullptr);
  state.counters["export_s"] = exportSeconds / static_cast<double>(state.iterations());
  state.counters["cp_s"] = copySeconds / static_cast<double>(state.iterations());
  state.counters["export_to_cp"] = exportSeconds / copySeconds;
  state.counters["MB"] = bytes / static_cast<double>(state.iterations()) / 1e6;
}
BENCHMARK(BM_GuideExport)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
