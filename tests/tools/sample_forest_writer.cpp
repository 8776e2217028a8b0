// Writes the repository's sample forestry data: sample_forest_writer <file.kes>
#include <iostream>
#include <memory>

#include "block/block_classes.h"
#include "framework/tools/world.h"
#include "spatial/sheets/coordinate_systems.h"
#include "tests/block/forest_model/sample_forest_layer.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: sample_forest_writer <file.kes>\n";
    return 2;
  }
  RegisterBlockClasses();
  auto world = std::make_unique<TWCSWorld>();
  SetWorld(world.get());
  WriteSampleForestData(argv[1]);
  SetWorld(nullptr);
  return 0;
}
