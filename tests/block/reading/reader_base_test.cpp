#include "block/reading/reader_base.h"

#include "block/reading/object_readers.h"
#include "tests/block/reading/reading_fixture.h"

namespace {

class ReaderBaseTest : public ReadingTest {};

// Counting whole records is also the block reader's (a truncated line file).
TEST_F(ReaderBaseTest, RecordsAreTheWholeRecordsOfTheFileInMemoryToo) {
  BlockFiles(folder.Path()).Raw(kLineFileName, Bytes(210, 0)).Raw(kCoordFileName, Bytes(24, 0)).Flush();
  auto reader = NewObjectReader<TLumarLinReader>(folder.Path(), Grid());
  reader->UseMemory = true;
  reader->Open();
  // The line's coordinates come from memory too.
  EXPECT_NE(dynamic_cast<platform::TMemoryStream*>(reader->Stream()), nullptr);
  EXPECT_NE(dynamic_cast<platform::TMemoryStream*>(reader->CoordReader()->Stream()), nullptr);
  EXPECT_EQ(std::pair(reader->GetRecordCount(), reader->HasPartialRecord()), std::pair(std::int64_t{2}, true));
  std::vector<std::uint8_t> buffer(TLineRecord::Size);
  reader->SeekRecord(2);
  EXPECT_FALSE(reader->ReadRecord(buffer.data()));  // a record that is not whole
  // No file: no stream and no records, but no failure either.
  auto missing = NewObjectReader<TLumarLinReader>(folder.Path() + "/missing", Grid());
  EXPECT_EQ(missing->Stream(), nullptr);
  EXPECT_EQ(missing->GetRecordCount(), 0);
  EXPECT_NE(ErrorOf([&] { missing->WriteRecord(TLineRecord::Dummy().data()); }), "no error");
}

TEST_F(ReaderBaseTest, ARecordIsReadAtTheSoughtIndexWithProgressEveryFiftieth) {
  BlockFiles block(folder.Path());
  block.Coords({{1, 2}, {3, 4}, {-5.5, 6.25}});
  block.Coords(std::vector<std::pair<double, double>>(117, {1, 1}));
  block.Flush();
  auto reader = NewObjectReader<TLumarCoordReader>(folder.Path(), Grid());
  ASSERT_EQ(reader->GetRecordCount(), 120);
  for (const auto& [index, x, y] : {std::tuple{2, 5.5, -6.25}, {0, -1.0, -2.0}, {1, -3.0, -4.0}}) {
    reader->SeekRecord(index);
    std::unique_ptr<T2DCoordinate> vertex(reader->ReadCoord());
    ASSERT_NE(vertex, nullptr) << index;
    // The national grid negates both coordinates and gives its kind.
    EXPECT_EQ(std::tuple(vertex->GetX(), vertex->GetY(), vertex->CS), std::tuple(x, y, TJTSK::Kind)) << index;
  }
  reader->SeekRecord(120);
  EXPECT_EQ(reader->ReadCoord(), nullptr);  // past the end

  reader->SeekRecord(0);
  reader->BeginProgress();
  std::vector<std::uint8_t> buffer(TCoordRecord::Size);
  while (reader->ReadRecord(buffer.data())) {
  }
  reader->EndProgressFrame();
  RunMessages();
  EXPECT_EQ(log.Progress, (std::vector<int>{50, 100}));
  EXPECT_EQ(log.Codes, (std::vector<int>{msgProgressStart, msgProgress, msgProgress, msgProgressEnd}));
  EXPECT_EQ(dialogs.CursorChanges,
            (std::vector<platform::Cursor>{platform::Cursor::HourGlass, platform::Cursor::Default}));
}

// A descendant's creation steps are its own: the virtual steps run on the
// whole object, as a writer's do.
class TTracingLinReader : public TLumarLinReader {
 public:
  std::vector<std::string> Steps;
  void InitRecordSize() override {
    Steps.push_back("InitRecordSize");
    TLumarLinReader::InitRecordSize();
  }
  void Open() override { Steps.push_back("Open " + platform::ExtractFileName(FileName)); }
  void OpenCoordReader(const std::string& BlockDir, TWCS* WCS) override {
    Steps.push_back("OpenCoordReader");
    TLumarLinReader::OpenCoordReader(BlockDir, WCS);
  }
};

TEST_F(ReaderBaseTest, CreationRunsTheStepsOfTheMostDerivedClass) {
  TTracingLinReader reader;
  reader.UseMemory = true;  // each creation starts on disk
  reader.Create(folder.Path(), Grid());
  EXPECT_EQ(reader.Steps, (std::vector<std::string>{"InitRecordSize", "Open TN.LIN", "OpenCoordReader"}));
  EXPECT_FALSE(reader.UseMemory);
  EXPECT_EQ(reader.RecordSize, 103);
  ASSERT_NE(reader.CoordReader(), nullptr);
  EXPECT_EQ(reader.CoordReader()->FileName, folder.Path() + "/TN.CRD");
  EXPECT_EQ(reader.CoordReader()->GetWCS(), Grid());
}

TEST_F(ReaderBaseTest, ParametersWithAtSetPublishedPropertiesAndTheRegisterIsMadeOnce) {
  TLumaRReader reader;
  reader.SetPropertiesFromList({"@MinSize=2.5", "@Condition=DRUH=5", "MinSize=9", "@Barva=12", "LIN=x", "@Nic=1"});
  EXPECT_EQ(Texts(reader, {"MinSize", "Condition", "Barva"}), "2.5|DRUH=5|12");
  EXPECT_TRUE(reader.UseBarva);
  EXPECT_FALSE(reader.UseZnacka);
  reader.SetPropertyText("Znacka", "-3");
  EXPECT_TRUE(reader.UseZnacka);

  reader.BlockName = "LES.BLK";
  TLumarBlockRegister* block = reader.GetRegister();
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(block->GetName(), "LES.BLK");
  TLumaRReader second;
  second.BlockName = "les.blk";
  EXPECT_EQ(second.GetRegister(), block);
  EXPECT_EQ(world->ObjectModel()->Children().size(), 1u);
}

}  // namespace
