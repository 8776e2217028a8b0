#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "platform/files.h"
#include "platform/streams.h"
#include "tests/platform/file_size_limit.h"
#include "tests/platform/temp_folder.h"

namespace {

std::string Content(const std::string& fileName) {
  std::ifstream file(fileName, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

TEST(AppendTextLineTest, AppendsOrCreatesInWindows1250WithCrLfAndRefusesAFileItCannotMake) {
  TempFolder folder;
  const struct {
    const char* name;
    const char* before;  // nullptr: no file yet
    const char* line;
    std::string after;
  } rows[] = {
      {"a missing file is created", nullptr, "Protokol", "Protokol\r\n"},
      {"an existing file keeps its text", "a\r\n", "b", "a\r\nb\r\n"},
      {"Czech letters in Windows-1250", nullptr, "Uloženy segmenty", "Ulo\x9E" "eny segmenty\r\n"},
      {"an empty line is one break", "x\r\n", "", "x\r\n\r\n"},
  };
  for (const auto& row : rows) {
    const std::string file = folder.File("protocol.lae");
    std::filesystem::remove(file);
    if (row.before) std::ofstream(file, std::ios::binary) << row.before;
    platform::AppendTextLine(file, row.line);
    EXPECT_EQ(Content(file), row.after) << row.name;
  }
  EXPECT_THROW(platform::AppendTextLine(folder.File("no/such/folder.lae"), "x"), platform::EFCreateError);
}

// A line the disk takes only in part is a failed write, not a protocol line
// lost without a word: three bytes of "abc\r\n" fit, the call fails.
TEST(AppendTextLineTest, ALineTheDiskDoesNotTakeWholeFailsTheCall) {
  TempFolder folder;
  const std::string file = folder.File("protocol.lae");
  std::ofstream(file, std::ios::binary) << "x\r\n";
  try {
    const FileSizeLimit full(3 + 3);
    platform::AppendTextLine(file, "abc");
    ADD_FAILURE() << "the short write was taken for a whole one";
  } catch (const platform::EFCreateError& error) {
    EXPECT_EQ(std::string(error.what()), "Cannot write file " + file);
  }
  EXPECT_EQ(Content(file), "x\r\nabc");
}

}  // namespace
