// Sheets, series and their parts written to a KES file and read back.
#include <filesystem>
#include <memory>
#include <random>
#include <sstream>

#include "framework/core/class_registry.h"
#include "framework/stream/kes_loader.h"
#include "framework/stream/kes_saver.h"
#include "spatial/sheets/coordinate_systems.h"
#include "spatial/sheets/geometry_holder.h"
#include "spatial/sheets/map_sheets.h"
#include "spatial/sheets/zm_sheets.h"
#include "tests/spatial/spatial_fixture.h"

namespace {

// Every element under root, depth first, with its class, name and the text
// of its stored published values; shared elements appear under each holder.
// (The older stream names every element, so a name is compared as read.)
void Dump(TElement* element, int depth, std::ostringstream& out) {
  out << std::string(static_cast<std::size_t>(depth) * 2, ' ') << element->ClassName() << " " << element->GetName();
  for (const TPropInfo* info : element->ClassType()->Props()) {
    if (info->Name == "Name" || info->Kind == tkClass || info->Kind == tkMethod || !info->HasRead() ||
        !info->HasWrite() || !info->IsStoredOn(*element))
      continue;
    out << " " << info->Name << "=" << element->GetPropertyText(info->Name);
  }
  if (auto* sheet = DynamicCast<TSMO_2>(element)) out << " owners=" << sheet->GetOwnersCount();
  out << "\n";
  if (auto* entity = DynamicCast<TEntity>(element))
    for (TElement* child : entity->Children()) Dump(child, depth + 1, out);
}

std::string DumpOf(TElement* root) {
  std::ostringstream out;
  Dump(root, 0, out);
  return out.str();
}

class SeriesStreamTest : public SpatialTest {
 protected:
  void SetUp() override {
    SpatialTest::SetUp();
    SetWorld(&world);
    MainTool = &log;
    std::filesystem::create_directories(dir);
  }
  void TearDown() override {
    std::filesystem::remove_all(dir);
    SetWorld(nullptr);
    SpatialTest::TearDown();
  }

  // Writes root to a file and reads it back; the caller owns the result.
  TElement* RoundTrip(TElement* root) {
    const std::string file = (dir / "guide.kes").string();
    {
      std::unique_ptr<TSave> save(new TSave);
      save->FileName = file;
      save->SetInput(root);
      save->DoIt();
    }
    std::unique_ptr<TLoad> load(TKestuLoader::CreateForFile<TLoad>(file));
    load->DoIt();
    TElement* result = load->Output();
    RunMessages();
    return result;
  }

  // The log lines other than those about the entity's write-only commands,
  // which every entity class shares.
  Strings UnexpectedLogLines() const {
    Strings lines;
    for (const std::string& line : log.Lines) {
      bool command = false;
      for (const char* name : {"NextElement", "ElementToRemove", "ElementToFree", "AddAllFrom"})
        command =
            command || line.find(" property \"" + std::string(name) + "\" is Read or Write Only!") != std::string::npos;
      if (!command) lines.push_back(line);
    }
    return lines;
  }

  TWCSWorld world;
  TLogLines log;
  std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("kestx-series-" + std::to_string(std::random_device()()) + "-" +
                                                ::testing::UnitTest::GetInstance()->current_test_info()->name());
};

// A series with detail at every level, a selected sheet and a Windows-1250 abbreviation.
std::unique_ptr<TSMO> Series() {
  auto smo = std::make_unique<TSMO>();
  smo->SetName("Řada");
  TSMO_50* sheet = smo->CreateSheet50(0, 0, "N", "Z");
  smo->CreateSheet50(1, 0, "W", "ŽV")->Selected = true;
  sheet->CreateDetail10();
  sheet->FindSheet10(6, 2)->CreateDetail();
  sheet->FindSheet5(7, 3)->CreateDetail();
  sheet->FindSheet5(7, 3)->Selected = true;
  sheet->CreateDetail25();
  sheet->FindSheet25(7, 2)->CreateDetail();
  return smo;
}

TEST_F(SeriesStreamTest, ASeriesWithDetailReadsBackAsItWasWrittenAndSavingAddsNothing) {
  auto smo = Series();
  const std::string before = DumpOf(smo.get());
  std::unique_ptr<TElement> loaded(RoundTrip(smo.get()));
  auto* series = DynamicCast<TSMO>(loaded.get());
  ASSERT_NE(series, nullptr);
  EXPECT_EQ(DumpOf(series), before);
  EXPECT_EQ(DumpOf(smo.get()), before);  // sheets without detail got no matrices on the way
  EXPECT_FALSE(smo->FindSheet50At(-100, -100)->FindSheet10(0, 0)->HasMatrix());
  EXPECT_EQ(UnexpectedLogLines(), Strings{});
  // The loaded series works: its lookups, the shared 1:5 000 sheets and the one matrix per tree.
  EXPECT_EQ(series->SheetFullName2At(-18000, -7000), "N  7-3 / 4");
  TSMO_50* sheet = series->FindSheet50At(-100, -100);
  TSMO_25* quarter = sheet->FindSheet25(7, 2);
  ASSERT_NE(quarter, nullptr);
  const auto& covered = quarter->Children();
  for (TSMO_5* shared : {sheet->FindSheet5(7, 3), sheet->FindSheet5(6, 2)})
    EXPECT_NE(std::find(covered.begin(), covered.end(), shared), covered.end());
  EXPECT_EQ(sheet->Matrix(), sheet->FindElementByClass(TSpaceMatrix::StaticClass()));
}

TEST_F(SeriesStreamTest, TheOlderComponentStreamKeepsTheSeriesToo) {
  auto smo = Series();
  const std::string before = DumpOf(smo.get());
  const std::string file = (dir / "guide.tpf").string();
  TSaver saver;
  saver.SetName(file);
  saver.SetInput(smo.get());
  saver.DoIt();
  TLoader loader;
  loader.SetName(file);
  loader.DoIt();
  std::unique_ptr<TElement> loaded(loader.Output());
  ASSERT_NE(DynamicCast<TSMO>(loaded.get()), nullptr);
  EXPECT_EQ(DumpOf(loaded.get()), before);
  EXPECT_EQ(static_cast<TSMO*>(loaded.get())->SheetName2At(-18000, -7000), "Z 7-3 / 4");
}

TEST_F(SeriesStreamTest, ZMUserAndGeometryElementsReadBack) {
  auto root = std::make_unique<TOwnerEntity>();
  auto* zmSpace = new TZMSpace;
  zmSpace->SetName("ZM list");
  zmSpace->GetZM()->SetMapName("12-34-07");
  zmSpace->GetZM()->Color = 255;
  auto* user = new TUserMapSpace;
  user->SetScale(2500);
  user->SetZkratka("ABCDEF");
  user->SetBounds({10, 20, 310, 220});
  auto* holder = new TGeometryElement;
  holder->GetGeometry();
  auto* noSheet = new TZMSpace;
  noSheet->SetScale(25000);
  for (TElement* e : {static_cast<TElement*>(zmSpace), static_cast<TElement*>(user), static_cast<TElement*>(holder),
                      static_cast<TElement*>(new TGeometryElement), static_cast<TElement*>(noSheet)})
    root->AddElement(e);
  const std::string before = DumpOf(root.get());
  std::unique_ptr<TElement> loaded(RoundTrip(root.get()));
  EXPECT_EQ(DumpOf(loaded.get()), before);
  auto* entity = static_cast<TEntity*>(loaded.get());
  EXPECT_EQ(entity->GetElement(0)->GetPropertyText("Count"), "1");  // no second locator
  auto* loadedHolder = static_cast<TGeometryElement*>(entity->GetElement(2));
  EXPECT_EQ(loadedHolder->Children(), std::vector<TElement*>{loadedHolder->GetGeometry()});
  EXPECT_TRUE(dialogs.Messages.empty());
  EXPECT_EQ(UnexpectedLogLines(), Strings{});
}

}  // namespace
