#include "platform/files.h"

#include <gtest/gtest.h>

#include <tuple>

namespace platform {
namespace {

// The parts of a file name: its folder ended by one delimiter, its name,
// its extension (the dot of the name, not of a folder) and the name with
// another extension.
TEST(FilesTest, ANamesPartsAreTakenAfterItsLastDelimiterAndDot) {
  const struct {
    const char* path;
    const char* withDelimiter;
    const char* name;
    const char* ext;
    const char* asBak;
  } rows[] = {
      {"/data/les.kes", "/data/les.kes/", "les.kes", ".kes", "/data/les.BAK"},
      {"/data/", "/data/", "", "", "/data/.BAK"},
      {"/data.blk/TN", "/data.blk/TN/", "TN", "", "/data.blk/TN.BAK"},
      {"a.b.c", "a.b.c/", "a.b.c", ".c", "a.b.BAK"},
      {"", "", "", "", ".BAK"},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(std::tuple(IncludeTrailingPathDelimiter(row.path), ExtractFileName(row.path), ExtractFileExt(row.path),
                         ChangeFileExt(row.path, ".BAK")),
              std::tuple(row.withDelimiter, row.name, row.ext, row.asBak))
        << row.path;
  }
}

}  // namespace
}  // namespace platform
