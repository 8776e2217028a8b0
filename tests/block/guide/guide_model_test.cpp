#include "block/guide/guide_model.h"

#include <gmock/gmock.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <unistd.h>

#include "framework/stream/kes_loader.h"
#include "framework/stream/kes_saver.h"
#include "platform/streams.h"
#include "spatial/sheets/coordinate_systems.h"
#include "spatial/sheets/zm_sheets.h"
#include "tests/block/guide/sample_guide.h"
#include "tests/spatial/spatial_fixture.h"

namespace {

using ::testing::ElementsAre;

// Class, name and selection of every element under root, one line each,
// indented by depth.  Guides are shallow, so recursion is fine here.
void Dump(TElement* element, int depth, std::ostringstream& out) {
  out << std::string(depth * 2, ' ') << element->ClassName() << " \"" << element->GetName() << '"';
  if (auto* space = DynamicCast<TMapSpace>(element); space && space->Selected) out << " selected";
  out << '\n';
  if (auto* entity = DynamicCast<TEntity>(element))
    for (int i = 0; i < entity->GetCount(); ++i) Dump(entity->GetElement(i), depth + 1, out);
}

std::string DumpOf(TElement* root) {
  std::ostringstream out;
  Dump(root, 0, out);
  return out.str();
}

std::vector<std::string> ChildClasses(TEntity& entity) {
  std::vector<std::string> names;
  for (int i = 0; i < entity.GetCount(); ++i) names.push_back(entity.GetElement(i)->ClassName());
  return names;
}

class GuideTest : public SpatialTest {
 protected:
  void SetUp() override {
    SpatialTest::SetUp();
    RegisterGuideClasses();
    world = std::make_unique<TWCSWorld>();
    SetWorld(world.get());
  }
  void TearDown() override {
    SetWorld(nullptr);
    world.reset();
    std::filesystem::remove_all(dir);
    SpatialTest::TearDown();
  }
  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("kestx-guide-" + std::to_string(getpid()));
  std::unique_ptr<TWCSWorld> world;
};

TEST_F(GuideTest, AFreshGuideMakesItsPartsInTheirOrder) {
  TGuide guide;
  EXPECT_EQ(guide.GetName(), "Průvodce ");
  guide.AddElement(new TOwnerEntity());
  TVectors* vectors = guide.Vectors();
  ASSERT_NE(vectors, nullptr);
  EXPECT_EQ(vectors->GetName(), "Vektorová kresba průvodce");
  EXPECT_EQ(guide.UserMapSpaces()->GetName(), "Uživatelské mapové prostory");
  EXPECT_EQ(guide.ZM()->GetName(), "ZM");
  EXPECT_THAT(ChildClasses(guide),
              ElementsAre("TOwnerEntity", "TUserMapSpaces", "TZMSpace", "TMapsZM", "TVectors"));
  EXPECT_EQ(guide.Vectors(), vectors);
  EXPECT_EQ(guide.GetCount(), 5);
}

TEST_F(GuideTest, EverySheetAGuideMakesIsAGuidePage) {
  TGuide guide;
  TSMO_50* sheet = guide.CreateSheet50(0, 0, "Nymburk", "NY");
  sheet->CreateDetail10();
  sheet->CreateDetail25();
  TSMO_5* five = sheet->FindSheet10(0, 0)->CreateSubSheet5(0, 0);
  five->CreateDetail();
  EXPECT_STREQ(sheet->ClassName().c_str(), "TGuidePage_50");
  EXPECT_STREQ(sheet->FindSheet10(0, 0)->ClassName().c_str(), "TGuidePage_10");
  EXPECT_STREQ(sheet->FindSheet25(0, 0)->ClassName().c_str(), "TGuidePage_25");
  EXPECT_STREQ(five->ClassName().c_str(), "TGuidePage_5");
  ASSERT_TRUE(five->HasMatrix());
  EXPECT_STREQ(five->GetRow(0)->GetCell(0)->ClassName().c_str(), "TGuidePage_2");
  EXPECT_EQ(five->GetPropertyText("RAS"), "False");
}

TEST_F(GuideTest, CompactingKeepsTheSelectedSheetsOnly) {
  TGuide guide;
  TSMO_50* sheet = guide.CreateSheet50(0, 0, "Nymburk", "NY");
  sheet->CreateDetail10();
  TSMO_10* ten = sheet->FindSheet10(0, 0);
  ten->CreateDetail();
  ASSERT_EQ(ten->GetRowCount(), 2);
  // One 1:5 000 sheet of four selected.
  static_cast<TMapSpace*>(ten->GetRow(1)->GetCell(0))->Selected = true;
  ten->Compact();
  ASSERT_EQ(ten->GetRowCount(), 1);
  ASSERT_EQ(ten->GetRow(0)->GetCount(), 1);
  EXPECT_TRUE(static_cast<TMapSpace*>(ten->GetRow(0)->GetCell(0))->Selected);

  // A selected 1:10 000 sheet stays though nothing below it was selected;
  // the other 24 go.
  TSMO_10* lone = sheet->FindSheet10(2, 2);
  lone->Selected = true;
  lone->CreateDetail();
  sheet->Compact();
  std::vector<TMapSpace*> left;
  for (int r = 0; r < sheet->GetRowCount(); ++r)
    for (int i = 0; i < sheet->GetRow(r)->GetCount(); ++i)
      left.push_back(static_cast<TMapSpace*>(sheet->GetRow(r)->GetCell(i)));
  EXPECT_THAT(left, ElementsAre(lone, ten));
  EXPECT_FALSE(lone->HasMatrix() && !lone->MatrixIsEmpty());
}

TEST_F(GuideTest, AGuideRoundTripsThroughItsKesFileWithEachPartOnce) {
  auto guide = std::make_unique<TGuide>();
  TSMO_50* sheet = guide->CreateSheet50(0, 0, "Nymburk", "NY");
  sheet->Selected = true;
  sheet->CreateDetail10();
  sheet->FindSheet10(0, 0)->Selected = true;
  auto* user = new TUserMapSpace();
  user->SetName("Obora");
  user->Selected = true;
  guide->UserMapSpaces()->AddElement(user);
  guide->Vectors()->AddElement(new TOwnerEntity());
  const std::string before = DumpOf(guide.get());

  std::filesystem::create_directories(dir);
  const std::string file = (dir / "guide.kes").string();
  {
    TSave save;
    save.FileName = file;
    save.SetInput(guide.get());
    save.DoIt();
  }
  std::unique_ptr<TLoad> load(TKestuLoader::CreateForFile<TLoad>(file));
  load->DoIt();
  std::unique_ptr<TElement> loaded(load->Output());
  RunMessages();
  auto* read = DynamicCast<TGuide>(loaded.get());
  ASSERT_NE(read, nullptr);
  EXPECT_EQ(DumpOf(read), before);
  EXPECT_EQ(read->IndexOf(read->ExistingVectors()), guide->IndexOf(guide->ExistingVectors()));
  EXPECT_EQ(read->ExistingUserMapSpaces()->GetCount(), 1);
}

// The record of a guide without parts whose drawing is the element of that
// number (-1 for none) and which has no user map spaces.
Bytes GuideRecordWithDrawing(std::int32_t drawing) {
  TGuide source;
  const Bytes written = WrittenRecord(source);
  // A guide without parts ends with two references of -1 (02 FF each): keep
  // the class name and series before them.
  EXPECT_EQ(Bytes(written.end() - 4, written.end()), (Bytes{0x02, 0xFF, 0x02, 0xFF}));
  const Bytes series(written.begin(), written.end() - 4);
  platform::TMemoryStream stream;
  platform::TWriter writer(stream, 4096);
  writer.Write(series.data(), series.size());
  writer.WriteInteger(drawing);
  writer.WriteInteger(-1);
  writer.FlushBuffer();
  return stream.Bytes();
}

TEST_F(GuideTest, AnOlderDrawingClassMovesIntoVectorsOfTheSameName) {
  // The stream's map of read records holds each record until the end.
  TGuide guide;
  TOwnerEntity readRecords;
  TQuickEntity elementMap;
  auto* old = new TOwnerEntity();
  readRecords.AddElement(old);
  old->SetName("Kresba");
  old->AddElement(new TOwnerEntity());
  old->AddElement(new TOwnerEntity());
  elementMap.AddElement(&guide);
  elementMap.AddElement(old);
  guide.AddElement(old);

  ReadRecord(GuideRecordWithDrawing(1), guide, elementMap);
  TVectors* vectors = guide.ExistingVectors();
  ASSERT_NE(vectors, nullptr);
  EXPECT_EQ(vectors->GetName(), "Kresba");
  EXPECT_EQ(vectors->GetCount(), 2);
  EXPECT_EQ(guide.IndexOf(old), -1);
  EXPECT_EQ(old->GetOwnersCount(), 1);
  EXPECT_EQ(guide.ExistingUserMapSpaces(), nullptr);
}

TEST_F(GuideTest, TheSampleGuideIsWhatItsWriterMakes) {
  std::filesystem::create_directories(dir);
  const std::string written = (dir / "sample.kes").string();
  WriteSampleGuide(written);
  auto bytes = [](const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  };
  EXPECT_EQ(bytes(written), bytes(std::string(KESTX_SAMPLES_DIR) + "/guide/sample.kes"));
}

TEST_F(GuideTest, AGuideReadWithoutADrawingKeepsNone) {
  TGuide guide;
  TQuickEntity elementMap;
  elementMap.AddElement(&guide);
  ReadRecord(GuideRecordWithDrawing(-1), guide, elementMap);
  EXPECT_EQ(guide.ExistingVectors(), nullptr);
  EXPECT_EQ(guide.GetCount(), 0);
}

}  // namespace
