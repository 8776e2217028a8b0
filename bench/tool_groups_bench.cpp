// A window of 20 tool groups of 25 tools with 32 x 32 images, built from tool
// models, against the same bars built by plain Qt code in the same run.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "app/app_classes.h"
#include "app/extended_forms/extended_form_tool.h"
#include "app/tool_groups/tool_groups.h"
#include "app/startup/main_tool.h"
#include "framework/core/framework_classes.h"
#include "framework/forms/base_forms.h"
#include "framework/values/tool_models.h"
#include "platform/tool_bars_reference.h"

namespace {

constexpr int kGroups = 20;
constexpr int kTools = 25;
constexpr int kImages = 4;

// 32 x 32 bitmaps with a key colour at (0, 0), in the program's folder.
struct ImageFolder {
  ImageFolder() {
    folder = std::filesystem::temp_directory_path() / "kestx_tool_groups_bench";
    std::filesystem::create_directories(folder);
    SetProgramFile((folder / "kestx").string());
    for (int i = 0; i < kImages; ++i) {
      const std::string name = "i" + std::to_string(i) + ".bmp";
      WriteBitmap(folder / name, i);
      names.push_back(name);
      paths.push_back((folder / name).string());
    }
  }
  static void WriteBitmap(const std::filesystem::path& file, int seed) {
    constexpr int side = 32;
    std::vector<std::uint8_t> bytes = {'B', 'M'};
    auto put = [&bytes](std::uint32_t v, int n) {
      for (int i = 0; i < n; ++i) bytes.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    };
    put(54 + side * side * 3, 4), put(0, 4), put(54, 4), put(40, 4), put(side, 4), put(side, 4);
    put(1, 2), put(24, 2), put(0, 4), put(side * side * 3, 4), put(2835, 4), put(2835, 4), put(0, 4), put(0, 4);
    for (int p = 0; p < side * side; ++p) put(p % side < side / 2 ? 0xFF00FF : 0x102030u * (seed + 1), 3);
    std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  }
  std::filesystem::path folder;
  std::vector<std::string> names;
  std::vector<std::string> paths;
};

ImageFolder& Images() {
  static ImageFolder images;
  return images;
}

// The window's model: every group model lists the images and its tools.
std::unique_ptr<TToolModel> WindowModel() {
  auto model = std::make_unique<TToolModel>();
  for (int g = 0; g < kGroups; ++g) {
    model->NewToolName("G" + std::to_string(g));
    TToolModel* group = model->LastToolModel();
    group->ElementClassName = "TExtendedToolGroup";
    for (const char* size : {"ImageWidth", "ImageHeight"}) {
      group->NewPropertyName(size);
      group->LastPropertyModel()->Value = "32";
    }
    for (const std::string& name : Images().names) group->NewImage(name);
    for (int t = 0; t < kTools; ++t) {
      group->NewToolName("T" + std::to_string(t));
      group->LastToolModel()->ElementClassName = "TTool";
      group->LastToolModel()->Comment = "hint";
      group->LastToolModel()->ImageIndex = t % kImages;
    }
  }
  return model;
}

void BM_ToolGroupsFromModels(benchmark::State& state) {
  RegisterFrameworkClasses();
  RegisterAppClasses();
  Images();
  // The keeper holds the model as each window does while it lives.
  TOwnerEntity keeper;
  TToolModel* model = WindowModel().release();
  keeper.AddElement(model);
  for (auto _ : state) {
    std::unique_ptr<TExtendedFormTool> window(CreateElement<TExtendedFormTool>());
    window->SetSelfModel(model);
    window->CreateModelTools();
    window->Form()->Window().Show();
  }
}
BENCHMARK(BM_ToolGroupsFromModels)->Unit(benchmark::kMillisecond);

void BM_ToolBarsWithPlainQt(benchmark::State& state) {
  for (auto _ : state) platform::BuildToolBarsWithQt(kGroups, kTools, Images().paths, 32);
}
BENCHMARK(BM_ToolBarsWithPlainQt)->Unit(benchmark::kMillisecond);

}  // namespace
