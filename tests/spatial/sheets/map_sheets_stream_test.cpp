// Sheets, series and their parts written to a KES file and read back.
#include <filesystem>
#include <memory>
#include <random>
#include <sstream>

#include "framework/core/class_registry.h"
#include "framework/stream/kes_loader.h"
#include "framework/stream/kes_saver.h"
#include "spatial/sheets/map_sheets.h"
#include "spatial/sheets/zm_sheets.h"
#include "tests/spatial/spatial_fixture.h"
#include "spatial/sheets/geometry_holder.h"
#include "spatial/sheets/coordinate_systems.h"

namespace {

// Keeps the log lines the stream tools post.
class TLogLines : public TOwnerEntity {
 public:
  Strings Lines;
  void ReceiveMessage(TKestuMessage*& message, bool& handled) override {
    if (auto* text = DynamicCast<TKestuTextMessage>(message)) Lines.push_back(text->Text);
    handled = true;
  }
};

// Every element under root, depth first, with its class, name and the text
// of its stored published values; shared elements appear under each holder.
// (The older stream names every element, so a name is compared as read.)
void Dump(TElement* element, int depth, std::ostringstream& out) {
  out << std::string(static_cast<std::size_t>(depth) * 2, ' ') << element->ClassName() << " " << element->GetName();
  for (const TPropInfo* info : element->ClassType()->Props()) {
    if (info->Name == "Name" || info->Kind == tkClass || info->Kind == tkMethod || !info->HasRead() || !info->HasWrite() ||
        !info->IsStoredOn(*element))
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
    world = std::make_unique<TWCSWorld>();
    SetWorld(world.get());
    log = new TLogLines;
    keep.AddElement(log);
    MainTool = log;
    std::filesystem::create_directories(dir);
  }
  void TearDown() override {
    std::filesystem::remove_all(dir);
    SetWorld(nullptr);
    world.reset();
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
    for (const std::string& line : log->Lines) {
      bool command = false;
      for (const char* name : {"NextElement", "ElementToRemove", "ElementToFree", "AddAllFrom"})
        command = command || line.find(" property \"" + std::string(name) + "\" is Read or Write Only!") != std::string::npos;
      if (!command) lines.push_back(line);
    }
    return lines;
  }

  std::unique_ptr<TWCSWorld> world;
  TOwnerEntity keep;
  TLogLines* log = nullptr;
  std::filesystem::path dir = std::filesystem::temp_directory_path() /
                              ("kestx-series-" + std::to_string(std::random_device()()) + "-" +
                               ::testing::UnitTest::GetInstance()->current_test_info()->name());
};

TEST_F(SeriesStreamTest, ASeriesWithDetailReadsBackAsItWasWritten) {
  auto smo = std::make_unique<TSMO>();
  smo->SetName("Řada");
  TSMO_50* sheet = smo->CreateSheet50(0, 0, "N", "Z");
  smo->CreateSheet50(1, 0, "W", "ŽV")->Selected = true;
  sheet->CreateDetail10();
  TSMO_10* sheet10 = sheet->FindSheet10(6, 2);
  sheet10->CreateDetail();
  sheet->FindSheet5(7, 3)->CreateDetail();
  sheet->FindSheet5(7, 3)->Selected = true;
  sheet->CreateDetail25();
  sheet->FindSheet25(7, 2)->CreateDetail();
  const std::string before = DumpOf(smo.get());

  std::unique_ptr<TElement> loaded(RoundTrip(smo.get()));
  auto* series = DynamicCast<TSMO>(loaded.get());
  ASSERT_NE(series, nullptr);
  EXPECT_EQ(DumpOf(series), before);
  EXPECT_EQ(UnexpectedLogLines(), Strings{});

  // The loaded series works: its lookups, the shared 1:5 000 sheets and the
  // one matrix per tree.
  EXPECT_EQ(series->FindSheet50At(-100, -100)->GetName(), "N");
  EXPECT_EQ(series->FindSheet5At(-18000, -7000)->GetName(), "Z 7-3");
  EXPECT_EQ(series->SheetFullName2At(-18000, -7000), "N  7-3 / 4");
  TSMO_50* loadedSheet = series->FindSheet50At(-100, -100);
  TSMO_25* quarter = loadedSheet->FindSheet25(7, 2);
  ASSERT_NE(quarter, nullptr);
  int shared = 0;
  for (TElement* child : quarter->Children())
    if (child == loadedSheet->FindSheet5(7, 3) || child == loadedSheet->FindSheet5(6, 2)) ++shared;
  EXPECT_EQ(shared, 2);
  EXPECT_EQ(loadedSheet->Matrix(), loadedSheet->FindElementByClass(TSpaceMatrix::StaticClass()));
  EXPECT_EQ(series->FindSheet50At(-30000, -100)->GetZkratka(), "ŽV");
}

TEST_F(SeriesStreamTest, TheOlderComponentStreamKeepsTheSeriesToo) {
  auto smo = std::make_unique<TSMO>();
  TSMO_50* sheet = smo->CreateSheet50(0, 0, "N", "Z");
  sheet->CreateDetail10();
  sheet->FindSheet10(0, 0)->CreateDetail();
  sheet->FindSheet5(1, 1)->CreateDetail();
  sheet->FindSheet5(1, 1)->Selected = true;
  sheet->CreateDetail25();
  sheet->FindSheet25(0, 0)->CreateDetail();
  const std::string before = DumpOf(smo.get());
  const std::string file = (dir / "guide.tpf").string();
  {
    TSaver saver;
    saver.SetName(file);
    saver.SetInput(smo.get());
    saver.DoIt();
  }
  TLoader loader;
  loader.SetName(file);
  loader.DoIt();
  std::unique_ptr<TElement> loaded(loader.Output());
  ASSERT_NE(DynamicCast<TSMO>(loaded.get()), nullptr);
  EXPECT_EQ(DumpOf(loaded.get()), before);
  EXPECT_EQ(static_cast<TSMO*>(loaded.get())->SheetName2At(-4000, -3500), "Z 1-1 / 3");
}

TEST_F(SeriesStreamTest, SheetsWithoutDetailMakeNoMatricesOnTheWay) {
  auto smo = std::make_unique<TSMO>();
  TSMO_50* sheet = smo->CreateSheet50(0, 0, "N", "Z");
  sheet->CreateDetail10();
  const std::string before = DumpOf(smo.get());
  std::unique_ptr<TElement> loaded(RoundTrip(smo.get()));
  EXPECT_FALSE(sheet->FindSheet10(0, 0)->HasMatrix());
  EXPECT_EQ(DumpOf(smo.get()), before);
  EXPECT_EQ(DumpOf(loaded.get()), before);
}

TEST_F(SeriesStreamTest, ZMUserAndGeometryElementsReadBack) {
  auto root = std::make_unique<TOwnerEntity>();
  auto* zmSpace = new TZMSpace;
  zmSpace->SetName("ZM list");
  zmSpace->GetZM()->SetMapName("12-34-07");
  zmSpace->GetZM()->Color = 255;
  root->AddElement(zmSpace);
  auto* user = new TUserMapSpace;
  user->SetScale(2500);
  user->SetZkratka("ABCDEF");
  user->SetBounds({10, 20, 310, 220});
  root->AddElement(user);
  auto* holder = new TGeometryElement;
  holder->GetGeometry();
  root->AddElement(holder);
  root->AddElement(new TGeometryElement);
  auto* noSheet = new TZMSpace;
  noSheet->SetScale(25000);
  root->AddElement(noSheet);
  const std::string before = DumpOf(root.get());

  std::unique_ptr<TElement> loaded(RoundTrip(root.get()));
  EXPECT_EQ(DumpOf(loaded.get()), before);
  auto* entity = static_cast<TEntity*>(loaded.get());
  auto* zm = static_cast<TZMSpace*>(entity->GetElement(0));
  EXPECT_EQ(zm->GetCount(), 1);
  EXPECT_EQ(zm->GetZM()->GetMapName(), "12-34-07");
  EXPECT_EQ(zm->GetScale(), 10000);
  auto* loadedUser = static_cast<TUserMapSpace*>(entity->GetElement(1));
  EXPECT_EQ(loadedUser->GetScale(), 2500);
  EXPECT_EQ(loadedUser->GetZkratka(), "ABCD");
  auto* loadedHolder = static_cast<TGeometryElement*>(entity->GetElement(2));
  EXPECT_EQ(loadedHolder->GetCount(), 1);
  EXPECT_EQ(loadedHolder->GetGeometry(), loadedHolder->GetElement(0));
  EXPECT_TRUE(static_cast<TGeometryElement*>(entity->GetElement(3))->NoGeometry());
  EXPECT_EQ(static_cast<TZMSpace*>(entity->GetElement(4))->GetScale(), 25000);
  EXPECT_TRUE(dialogs.Messages.empty());
  EXPECT_EQ(UnexpectedLogLines(), Strings{});
}

}  // namespace
