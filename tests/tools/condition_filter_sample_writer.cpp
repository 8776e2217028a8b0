// Writes the repository's sample of the condition filter:
// condition_filter_sample_writer <folder> (samples/condition_filter).
#include <iostream>
#include <memory>

#include "block/block_classes.h"
#include "framework/tools/world.h"
#include "spatial/sheets/coordinate_systems.h"
#include "tests/app/condition_filter/sample_condition_filter.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: condition_filter_sample_writer <folder>\n";
    return 2;
  }
  RegisterBlockClasses();
  auto world = std::make_unique<TWCSWorld>();
  SetWorld(world.get());
  WriteSampleConditionFilter(argv[1]);
  SetWorld(nullptr);
  return 0;
}
