// Writes the repository's sample symbol library of the tests:
// symbol_library_writer <folder>
#include <iostream>

#include "tests/cartography/symbols/sample_symbols.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: symbol_library_writer <folder>\n";
    return 2;
  }
  WriteSampleSymbolLibrary(argv[1]);
  return 0;
}
