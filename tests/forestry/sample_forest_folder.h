#pragma once
// The tests that run the sample forest's scripts: a written copy of the
// sample folder (samples/forest) as the working folder, and the areas of a
// block written there read back.
#include <filesystem>
#include <memory>
#include <string>

#include "app/command_line/command_line.h"
#include "block/reading/block_reader.h"
#include "platform/gauge_form.h"
#include "tests/forestry/forest_data_fixture.h"
#include "tests/forestry/sample_forest_blocks.h"

class SampleForestFolderTest : public ForestDataTest {
 protected:
  void SetUp() override {
    ForestDataTest::SetUp();
    // The scripts make their own data entities.
    delete data;
    RegisterCommandLineClasses();
    platform::SetGaugeFormFactory([] { return std::make_unique<platform::RecordingGaugeForm>(); });
    WriteSampleForest(folder.Path());
    home = std::filesystem::current_path();
    std::filesystem::current_path(folder.Path());
  }
  void TearDown() override {
    std::filesystem::current_path(home);
    platform::SetGaugeFormFactory(nullptr);
    ForestDataTest::TearDown();
  }
  static std::unique_ptr<TAreaString> ReadAreas(const std::string& block) {
    TLumaRBlokReader reader;
    reader.Create(block);
    return std::unique_ptr<TAreaString>(reader.ReadAreas());
  }

  std::filesystem::path home;
};
