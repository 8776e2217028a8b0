#include "platform/packages.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "tests/platform/temp_folder.h"

namespace {

// A package is loaded and registers its classes; a file that is missing or
// no library is refused with the system's reason.
TEST(PackagesTest, APackageIsLoadedAndRegistersItsClassesOtherFilesAreRefused) {
  TempFolder folder;
  std::ofstream(folder.File("text.so")) << "no library";
  const struct {
    const char* name;
    std::string file;
    bool loaded;
  } rows[] = {
      {"a package", KESTX_SAMPLE_PACKAGE, true},
      {"a text file", folder.File("text.so"), false},
      {"a missing file", folder.File("missing.so"), false},
  };
  for (const auto& row : rows) {
    unsetenv("KESTX_SAMPLE_PACKAGE_REGISTERED");
    std::string error;
    EXPECT_EQ(platform::LoadPackage(row.file, error), row.loaded) << row.name;
    EXPECT_EQ(error.empty(), row.loaded) << row.name << ": " << error;
    EXPECT_EQ(std::getenv("KESTX_SAMPLE_PACKAGE_REGISTERED") != nullptr, row.loaded) << row.name;
  }
}

}  // namespace
