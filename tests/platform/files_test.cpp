#include "platform/files.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <tuple>

#include "tests/platform/temp_folder.h"

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

// A file's stamp changes with what a write leaves: its size or its time of
// writing.
TEST(FilesTest, AFilesStampTellsAWrittenFileFromTheOneBefore) {
  TempFolder folder;
  const std::string file = folder.File("a.oil");
  EXPECT_EQ(StampOfFile(file), FileStamp{}) << "no file";
  namespace fs = std::filesystem;
  struct Row {
    const char* name;
    std::function<void()> write;
    bool same;
  };
  const auto rewrite = [&file](const char* text, std::chrono::seconds later) {
    const auto written = fs::last_write_time(file);
    std::ofstream(file, std::ios::binary | std::ios::trunc) << text;
    fs::last_write_time(file, written + later);
  };
  const Row rows[] = {
      {"untouched", [] {}, true},
      {"the same length at the same time", [&] { rewrite("bbb", std::chrono::seconds(0)); }, true},
      {"another length at the same time", [&] { rewrite("cccc", std::chrono::seconds(0)); }, false},
      {"the same length a second later", [&] { rewrite("dddd", std::chrono::seconds(1)); }, false},
  };
  std::ofstream(file, std::ios::binary) << "aaa";
  for (const Row& row : rows) {
    const FileStamp before = StampOfFile(file);
    row.write();
    EXPECT_NE(before, FileStamp{}) << row.name;
    EXPECT_EQ(StampOfFile(file) == before, row.same) << row.name;
  }
}

}  // namespace
}  // namespace platform
