#include "platform/files.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>
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

// Two names are one file only when both reach the same existing file.
TEST(FilesTest, TwoNamesAreTheSameFileOnlyWhenBothReachOneExistingFile) {
  TempFolder folder;
  std::filesystem::create_directories(folder.File("sub"));
  std::ofstream(folder.File("a.dbf")) << "a";
  std::ofstream(folder.File("b.dbf")) << "b";
  const struct {
    const char* name;
    std::string first, second;
    bool same;
  } rows[] = {
      {"one file by two ways", folder.File("a.dbf"), folder.File("sub/../a.dbf"), true},
      {"two files", folder.File("a.dbf"), folder.File("b.dbf"), false},
      {"the second missing", folder.File("a.dbf"), folder.File("c.dbf"), false},
      {"both missing", folder.File("c.dbf"), folder.File("c.dbf"), false},
  };
  for (const auto& row : rows) EXPECT_EQ(SameFile(row.first, row.second), row.same) << row.name;
}

// What is not there has no size and cannot become the current folder.
TEST(FilesTest, AMissingFileHasNoSizeAndAMissingFolderDoesNotBecomeCurrent) {
  TempFolder folder;
  std::ofstream(folder.File("five.txt")) << "12345";
  EXPECT_EQ(std::tuple(FileSize(folder.File("five.txt")), FileSize(folder.File("none.txt"))), std::tuple(5LL, -1LL));
  const std::string current = GetCurrentDir();
  const struct {
    const char* name;
    std::string path;
    bool taken;
  } rows[] = {
      {"a folder", folder.Path(), true},
      {"a missing folder", folder.File("none"), false},
  };
  for (const auto& row : rows) {
    const std::string before = GetCurrentDir();
    EXPECT_EQ(SetCurrentDir(row.path), row.taken) << row.name;
    EXPECT_EQ(GetCurrentDir(), row.taken ? row.path : before) << row.name;
  }
  SetCurrentDir(current);
}

// A program started detached gets each argument whole and in order, and
// runs on while its starter goes on; one that cannot start is told.  The
// stand-in waits for a file the test makes only after the start returned:
// a start that waited for its program would find it gave up waiting.
TEST(FilesTest, AProgramStartedDetachedGetsItsArgumentsWholeAndIsNotWaitedFor) {
  TempFolder folder;
  const std::string go = folder.File("go"), out = folder.File("out");
  const std::string script =
      "i=0; while [ ! -e \"$0\" ] && [ $i -lt 200 ]; do sleep 0.05; i=$((i+1)); done; "
      "if [ -e \"$0\" ]; then printf '%s|%s' \"$2\" \"$3\"; else printf 'waited in vain'; fi > \"$1.tmp\"; "
      "mv \"$1.tmp\" \"$1\"";
  ASSERT_TRUE(StartDetached("/bin/sh", {"-c", script, go, out, "a b", "č"}));
  std::ofstream(go).close();
  for (int i = 0; i < 400 && !std::filesystem::exists(out); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_EQ(FileBytes(out), "a b|č");
  EXPECT_FALSE(StartDetached(folder.File("chybi"), {"1"}));
}

}  // namespace
}  // namespace platform
