// Writes the repository's sample thematic maps of the graphic form:
// thematic_model_writer <file.kes>
#include <iostream>

#include "render/render_classes.h"
#include "tests/app/graphic_forms/thematic_model.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: thematic_model_writer <file.kes>\n";
    return 2;
  }
  RegisterRenderClasses();
  WriteThematicModel(argv[1]);
  return 0;
}
