// Writes the repository's sample forestry data: sample_forest_writer
// <file.kes> [<forest folder>]; the folder (samples/forest) is made when
// missing.
#include <filesystem>
#include <iostream>
#include <memory>

#include "block/block_classes.h"
#include "framework/tools/world.h"
#include "platform/gauge_form.h"
#include "spatial/sheets/coordinate_systems.h"
#include "tests/block/forest_model/sample_forest_layer.h"
#include "tests/forestry/sample_forest_blocks.h"

int main(int argc, char** argv) {
  if (argc != 2 && argc != 3) {
    std::cerr << "usage: sample_forest_writer <file.kes> [<forest folder>]\n";
    return 2;
  }
  RegisterBlockClasses();
  auto world = std::make_unique<TWCSWorld>();
  SetWorld(world.get());
  WriteSampleForestData(argv[1]);
  if (argc == 3) {
    // No window shows the topology's progress.
    platform::SetGaugeFormFactory([] { return std::make_unique<platform::RecordingGaugeForm>(); });
    std::filesystem::create_directories(argv[2]);
    WriteSampleForest(argv[2]);
  }
  SetWorld(nullptr);
  return 0;
}
