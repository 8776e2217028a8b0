// Writes the repository's sample layouts: layout_samples_writer <folder>
#include <iostream>

#include "cartography/cartography_classes.h"
#include "tests/cartography/layouts/sample_layouts.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: layout_samples_writer <folder>\n";
    return 2;
  }
  RegisterCartographyClasses();
  WriteSampleLayouts(argv[1]);
  return 0;
}
