// Writes the repository's sample model of the rendering tests:
// sample_render_model_writer <file.kes>
#include <iostream>

#include "render/render_classes.h"
#include "tests/render/sample_model.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: sample_render_model_writer <file.kes>\n";
    return 2;
  }
  RegisterRenderClasses();
  WriteSampleRenderModel(argv[1]);
  return 0;
}
