#include "tests/cartography/symbols/sample_symbols.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "tests/platform/temp_folder.h"

namespace {

// samples/symbols is exactly what symbol_library_writer writes: rerun it
// after changing the samples here.
TEST(SampleSymbolLibraryTest, TheRepositoryFolderIsWhatTheWriterWrites) {
  const std::filesystem::path folder = std::filesystem::path(KESTX_SAMPLES_DIR) / "symbols";
  const auto files = SampleSymbolLibrary();
  std::set<std::string> onDisk;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
    if (entry.is_regular_file()) onDisk.insert(std::filesystem::relative(entry.path(), folder).generic_string());
  std::set<std::string> written;
  for (const auto& [name, bytes] : files) {
    written.insert(name);
    EXPECT_EQ(FileBytes((folder / name).string()), bytes) << name;
  }
  EXPECT_EQ(onDisk, written);
}

}  // namespace
