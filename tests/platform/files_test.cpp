#include "platform/files.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
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
