#include "block/writing/block_creation.h"

#include <gtest/gtest.h>

#include "tests/block/writing/writing_fixture.h"

namespace {

using BlockCreationTest = WritingTest;

// Zero bytes but one flag byte.
Bytes Dummy(std::size_t size, std::size_t flagAt, std::uint8_t flag) {
  Bytes bytes(size, 0);
  if (flag) bytes[flagAt] = flag;
  return bytes;
}

TEST_F(BlockCreationTest, EveryFileGetsItsDummyRecordOrHeaderLineAndEarlierContentGoes) {
  std::filesystem::create_directories(Block());
  WriteCp1250File(BlockFile(kLineFileName), std::string(500, 'x'));
  CreateBlockFiles(Block());
  const std::string header = "Kestu-export pro Lumar (1998) ... soubor textu pro blok " + Block() + "\r\n";
  const struct {
    const char* file;
    Bytes bytes;
  } cases[] = {{kCoordFileName, Dummy(12, 0, 0)},
               {kLineFileName, Dummy(103, 7, 1)},
               {kAreaFileName, Dummy(71, 6, 4)},
               {kPointFileName, Dummy(35, 7, 1)},
               {kTextBoxFileName, Dummy(85, 11, 1)},
               {kTextFileName, Bytes(header.begin(), header.end())}};
  for (const auto& c : cases) EXPECT_EQ(FileContent(BlockFile(c.file)), c.bytes) << c.file;
}

TEST_F(BlockCreationTest, TheHeaderLineNamesTheFolderInWindows1250) {
  std::filesystem::create_directories(Block("Lesy Žďár.BLK"));
  CreateBlockFiles(Block("Lesy Žďár.BLK"));
  const Bytes text = FileContent(BlockFile(kTextFileName, "Lesy Žďár.BLK"));
  const std::string tail = std::string("Lesy \x8E\xEF\xE1r.BLK\r\n");
  ASSERT_GE(text.size(), tail.size());
  EXPECT_EQ(std::string(text.end() - static_cast<std::ptrdiff_t>(tail.size()), text.end()), tail);
}

}  // namespace
