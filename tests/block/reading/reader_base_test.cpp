#include "block/reading/reader_base.h"

#include <gtest/gtest.h>

#include "block/reading/object_readers.h"
#include "framework/core/class_registry.h"
#include "platform/files.h"
#include "platform/streams.h"
#include "spatial/objects/space_entities.h"
#include "tests/block/reading/reading_fixture.h"

namespace {

class ReaderBaseTest : public ReadingTest {};

TEST_F(ReaderBaseTest, EachReaderKnowsItsFileRecordSizeAndKindLetter) {
  const struct {
    const char* cls;
    const char* file;
    std::int32_t size;
    char letter;
  } cases[] = {{"TLumarCoordReader", "TN.CRD", 12, ' '}, {"TLumarLinReader", "TN.LIN", 103, 'L'}};
  for (const auto& c : cases) {
    std::unique_ptr<TElement> made(CreateElementByClassName(c.cls));
    auto* reader = DynamicCast<TLumaRObjectReader>(made.get());
    ASSERT_NE(reader, nullptr) << c.cls;
    reader->Create(folder.Path(), Grid());
    EXPECT_EQ(reader->RecordSize, c.size) << c.cls;
    EXPECT_EQ(reader->FileName, folder.Path() + "/" + c.file) << c.cls;
    EXPECT_EQ(reader->BlockName, folder.Path()) << c.cls;
    EXPECT_EQ(reader->GetObjectTypeLetter(), c.letter) << c.cls;
    EXPECT_EQ(reader->GetWCS(), Grid()) << c.cls;
    // No file: no stream and no records, but no failure either.
    EXPECT_EQ(reader->Stream(), nullptr) << c.cls;
    EXPECT_EQ(reader->GetRecordCount(), 0) << c.cls;
  }
}

TEST_F(ReaderBaseTest, RecordsAreTheWholeRecordsOfTheFile) {
  const struct {
    std::size_t bytes;
    std::int64_t records;
    bool partial;
  } cases[] = {{0, 0, false}, {102, 0, true}, {103, 1, false}, {206, 2, false}, {210, 2, true}};
  for (const auto& c : cases) {
    BlockFiles(folder.Path()).Raw(kLineFileName, Bytes(c.bytes, 0)).Flush();
    for (bool memory : {false, true}) {
      auto reader = NewObjectReader<TLumarLinReader>(folder.Path(), Grid());
      if (memory) {
        reader->UseMemory = true;
        reader->Open();
        EXPECT_NE(dynamic_cast<platform::TMemoryStream*>(reader->Stream()), nullptr);
      }
      EXPECT_EQ(reader->GetRecordCount(), c.records) << c.bytes << " memory " << memory;
      EXPECT_EQ(reader->HasPartialRecord(), c.partial) << c.bytes << " memory " << memory;
      // A record that is not whole is not read.
      std::vector<std::uint8_t> buffer(TLineRecord::Size);
      reader->SeekRecord(c.records);
      EXPECT_FALSE(reader->ReadRecord(buffer.data())) << c.bytes;
    }
  }
}

TEST_F(ReaderBaseTest, ARecordIsReadAtTheSoughtIndex) {
  BlockFiles block(folder.Path());
  block.Coords({{1, 2}, {3, 4}, {-5.5, 6.25}});
  block.Flush();
  auto reader = NewObjectReader<TLumarCoordReader>(folder.Path(), Grid());
  ASSERT_EQ(reader->GetRecordCount(), 3);
  const struct {
    std::int64_t index;
    double x, y;
  } cases[] = {{2, 5.5, -6.25}, {0, -1, -2}, {1, -3, -4}};
  for (const auto& c : cases) {
    reader->SeekRecord(c.index);
    std::unique_ptr<T2DCoordinate> vertex(reader->ReadCoord());
    ASSERT_NE(vertex, nullptr) << c.index;
    // The national grid negates both coordinates and gives its kind.
    EXPECT_EQ(vertex->GetX(), c.x) << c.index;
    EXPECT_EQ(vertex->GetY(), c.y) << c.index;
    EXPECT_EQ(vertex->CS, TJTSK::Kind) << c.index;
  }
  reader->SeekRecord(3);
  EXPECT_EQ(reader->ReadCoord(), nullptr);  // past the end
  reader->CloseStream();
  EXPECT_EQ(reader->GetRecordCount(), 0);
}

TEST_F(ReaderBaseTest, EveryFiftiethRecordReportsProgressInsideTheFrame) {
  BlockFiles block(folder.Path());
  block.Coords(std::vector<std::pair<double, double>>(120, {1, 1}));
  block.Flush();
  auto reader = NewObjectReader<TLumarCoordReader>(folder.Path(), Grid());
  reader->BeginProgress();
  std::vector<std::uint8_t> buffer(TCoordRecord::Size);
  while (reader->ReadRecord(buffer.data())) {
  }
  reader->EndProgressFrame();
  RunMessages();
  EXPECT_EQ(log.Progress, (std::vector<int>{50, 100}));
  ASSERT_FALSE(log.Codes.empty());
  EXPECT_EQ(log.Codes.front(), msgProgressStart);
  EXPECT_EQ(log.Codes.back(), msgProgressEnd);
  EXPECT_EQ(dialogs.CursorChanges, (std::vector<platform::Cursor>{platform::Cursor::HourGlass, platform::Cursor::Default}));
}

TEST_F(ReaderBaseTest, WritingARecordNeedsAStream) {
  auto reader = NewObjectReader<TLumarCoordReader>(folder.Path(), Grid());
  const TCoordRecord::Bytes bytes{};
  EXPECT_NE(ErrorOf([&] { reader->WriteRecord(bytes.data()); }), "no error");
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
  reader.UseMemory = true;
  reader.Create(folder.Path(), Grid());
  EXPECT_EQ(reader.Steps, (std::vector<std::string>{"InitRecordSize", "Open TN.LIN", "OpenCoordReader"}));
  EXPECT_FALSE(reader.UseMemory);
  ASSERT_NE(reader.CoordReader(), nullptr);
  EXPECT_EQ(reader.CoordReader()->FileName, folder.Path() + "/TN.CRD");
  EXPECT_EQ(reader.CoordReader()->GetWCS(), Grid());
}

TEST_F(ReaderBaseTest, FilterAndClipRectangleAreHeldAsChildrenAndReplaced) {
  TLumaRReader reader;
  auto* first = new Tracked<TFiltrDruhuObjektu>;
  reader.SetObjectFilter(first);
  EXPECT_EQ(reader.ObjectFilter(), first);
  EXPECT_TRUE(first->HasOwner(&reader));
  // A second reader shares it; the first letting go leaves it alive.
  TLumaRReader other;
  other.SetObjectFilter(first);
  reader.SetObjectFilter(new TFiltrDruhuObjektu);
  EXPECT_EQ(Tracked<TFiltrDruhuObjektu>::Alive, 1);
  other.SetObjectFilter(nullptr);
  EXPECT_EQ(Tracked<TFiltrDruhuObjektu>::Alive, 0);
  EXPECT_EQ(other.ObjectFilter(), nullptr);

  auto* clip = new Tracked<TRectEntity>;
  reader.SetClipRect(clip);
  EXPECT_EQ(reader.ClipRect(), clip);
  reader.SetClipRect(nullptr);
  EXPECT_EQ(Tracked<TRectEntity>::Alive, 0);
}

TEST_F(ReaderBaseTest, ParametersWithAtSetPublishedProperties) {
  TLumaRReader reader;
  reader.SetPropertiesFromList({"@MinSize=2.5", "@Condition=DRUH=5", "MinSize=9", "@Barva=12", "LIN=x", "@Nic=1"});
  EXPECT_EQ(reader.MinSize, 2.5);
  EXPECT_EQ(reader.Condition, "DRUH=5");
  EXPECT_EQ(reader.Barva, 12);
  EXPECT_TRUE(reader.UseBarva);
  EXPECT_FALSE(reader.UseZnacka);
  reader.SetPropertyText("Znacka", "-3");
  EXPECT_EQ(reader.Znacka, -3);
  EXPECT_TRUE(reader.UseZnacka);
}

TEST_F(ReaderBaseTest, TheRegisterIsTheBlocksInTheWorldsModelMadeOnce) {
  TLumaRReader reader;
  reader.BlockName = "LES.BLK";
  TLumarBlockRegister* block = reader.GetRegister();
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(block->GetName(), "LES.BLK");
  TLumaRReader second;
  second.BlockName = "les.blk";
  EXPECT_EQ(second.GetRegister(), block);
  EXPECT_EQ(reader.GetPropertyText("Register"), Handle(block));
  EXPECT_EQ(world->ObjectModel()->Children().size(), 1u);
}

// Records every object handed to it.
struct TCollector {
  std::vector<TElement*> Seen;
  void Take(TElement*& object) { Seen.push_back(object); }
};

TEST_F(ReaderBaseTest, TheNewObjectEventCallsTheHandlersObject) {
  TCollector collector;
  TLumaRObjectReader reader;
  TElement* object = &reader;
  reader.DoNewObject(object);  // no handler: nothing happens
  reader.OnNewObject = NewObjectHandler<TCollector, &TCollector::Take>(&collector);
  reader.DoNewObject(object);
  EXPECT_EQ(collector.Seen, (std::vector<TElement*>{&reader}));
  // The event is published; a text never sets it.
  reader.SetPropertyText("OnNewObject", "1;2");
  const TMethod expected = NewObjectHandler<TCollector, &TCollector::Take>(&collector);
  EXPECT_EQ(reader.OnNewObject, expected);
}

}  // namespace
