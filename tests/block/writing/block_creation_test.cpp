#include "block/writing/block_creation.h"

#include "tests/block/writing/writing_fixture.h"

namespace {

using BlockCreationTest = WritingTest;

TEST_F(BlockCreationTest, EveryFileGetsItsDummyRecordOrAWindows1250HeaderLineAndEarlierContentGoes) {
  const std::string block = "Lesy Žďár.BLK";
  std::filesystem::create_directories(Block(block));
  WriteCp1250File(BlockFile(kLineFileName, block), std::string(500, 'x'));
  CreateBlockFiles(Block(block));
  const std::string header =
      "Kestu-export pro Lumar (1998) ... soubor textu pro blok " + folder.Path() + "/Lesy \x8E\xEF\xE1r.BLK\r\n";
  const std::pair<const char*, Bytes> cases[] = {
      {kCoordFileName, AsBytes(TCoordRecord::Dummy())},     {kLineFileName, AsBytes(TLineRecord::Dummy())},
      {kAreaFileName, AsBytes(TAreaRecord::Dummy())},       {kPointFileName, AsBytes(TPointRecord::Dummy())},
      {kTextBoxFileName, AsBytes(TTextBoxRecord::Dummy())}, {kTextFileName, Bytes(header.begin(), header.end())}};
  for (const auto& [file, bytes] : cases) EXPECT_EQ(FileContent(BlockFile(file, block)), bytes) << file;
}

}  // namespace
