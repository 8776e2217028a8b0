// Writes the repository's sample guide: sample_guide_writer <file.kes>
#include <iostream>
#include <memory>

#include "block/block_classes.h"
#include "framework/tools/world.h"
#include "spatial/sheets/coordinate_systems.h"
#include "tests/block/guide/sample_guide.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: sample_guide_writer <file.kes>\n";
    return 2;
  }
  RegisterBlockClasses();
  auto world = std::make_unique<TWCSWorld>();
  SetWorld(world.get());
  WriteSampleGuide(argv[1]);
  SetWorld(nullptr);
  return 0;
}
