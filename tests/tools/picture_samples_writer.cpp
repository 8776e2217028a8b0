// Writes the sample pictures into the folder given (samples/pictures).
#include <iostream>

#include "tests/platform/picture_samples.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: picture_samples_writer <folder>\n";
    return 2;
  }
  samples::WritePictureSamples(argv[1]);
  return 0;
}
