#pragma once
// The fixture of the model-script tests: the block reading fixture (a world,
// a block folder, log lines) with the cartography's classes registered.
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "cartography/cartography_classes.h"
#include "cartography/models/layer_scripts.h"
#include "framework/values/typed_values.h"
#include "render/render_classes.h"
#include "tests/block/reading/reading_fixture.h"

class ModelScriptTest : public ReadingTest {
 protected:
  void SetUp() override {
    ReadingTest::SetUp();
    RegisterRenderClasses();
    RegisterCartographyClasses();
    std::filesystem::create_directories(Base());
  }
  // Apart from the reading fixture's block.
  std::string Base() const { return folder.Path() + "/base"; }
  // Folders (names ending in "/") and empty files under the base folder.
  void Make(const std::vector<std::string>& entries) const {
    for (const std::string& entry : entries) {
      const std::filesystem::path path = Base() + "/" + entry;
      if (entry.back() == '/') {
        std::filesystem::create_directories(path);
      } else {
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path).put('x');
      }
    }
  }
  // The values of the "PATH" children, in child order, with the base folder
  // written as "~".
  std::vector<std::string> Paths(TEntity& layer) const {
    std::vector<std::string> paths;
    for (int i = 0; i < layer.GetCount(); ++i)
      if (auto* path = DynamicCast<TPathElement>(layer.GetElement(i))) {
        std::string value = path->GetAsString();
        if (value.rfind(Base(), 0) == 0) value = "~" + value.substr(Base().size());
        paths.push_back(value);
      }
    return paths;
  }
};
