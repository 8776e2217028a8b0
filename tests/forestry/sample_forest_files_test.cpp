// samples/forest is what the sample writer writes.
#include <filesystem>
#include <fstream>
#include <map>

#include "platform/gauge_form.h"
#include "tests/forestry/forest_data_fixture.h"
#include "tests/forestry/sample_forest_blocks.h"

namespace {

// The files below the folder by their relative paths, with their bytes; an
// attribute table's date of last change (bytes 1 to 3) reads as zeros.
std::map<std::string, Bytes> FilesBelow(const std::filesystem::path& folder) {
  std::map<std::string, Bytes> files;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
    if (!entry.is_regular_file()) continue;
    Bytes bytes = FileContent(entry.path().string());
    if (entry.path().extension() == ".DBF" && bytes.size() > 4) std::fill(bytes.begin() + 1, bytes.begin() + 4, 0);
    files[std::filesystem::relative(entry.path(), folder).generic_string()] = std::move(bytes);
  }
  return files;
}

class SampleForestFilesTest : public ForestDataTest {};

TEST_F(SampleForestFilesTest, TheSampleFolderIsWhatTheWriterWrites) {
  platform::SetGaugeFormFactory([] { return std::make_unique<platform::RecordingGaugeForm>(); });
  WriteSampleForest(folder.Path());
  platform::SetGaugeFormFactory(nullptr);
  const std::map<std::string, Bytes> written = FilesBelow(folder.Path());
  const std::map<std::string, Bytes> stored = FilesBelow(std::string(KESTX_SAMPLES_DIR) + "/forest");
  std::vector<std::string> names;
  for (const auto& [name, bytes] : written) names.push_back(name);
  std::vector<std::string> storedNames;
  for (const auto& [name, bytes] : stored) storedNames.push_back(name);
  ASSERT_EQ(storedNames, names) << "run sample_forest_writer samples/forestry/lhc.kes samples/forest";
  for (const auto& [name, bytes] : written) EXPECT_TRUE(stored.at(name) == bytes) << name;
}

}  // namespace
