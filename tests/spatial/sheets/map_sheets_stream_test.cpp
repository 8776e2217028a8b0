// Sheets, series and their parts written to a KES file and read back, and
// sheets read from files that others wrote.
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
#include "tests/framework/stream/kes_stream_files.h"
#include "tests/spatial/spatial_fixture.h"

namespace {

using kes::I;
using kes::S;

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
    return Load(file);
  }
  TElement* Load(const std::string& file) {
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
  EXPECT_EQ(UnexpectedLogLines(), Strings{});
  // The loaded series works: its lookups and the one matrix per tree.
  EXPECT_EQ(series->SheetFullName2At(-18000, -7000), "N  7-3 / 4");
  TSMO_50* sheet = series->FindSheet50At(-100, -100);
  EXPECT_EQ(sheet->Matrix(), sheet->FindElementByClass(TSpaceMatrix::StaticClass()));

  const std::string file = (dir / "guide.tpf").string();  // the older component stream keeps it too
  TSaver saver;
  saver.SetName(file);
  saver.SetInput(smo.get());
  saver.DoIt();
  TLoader loader;
  loader.SetName(file);
  loader.DoIt();
  std::unique_ptr<TElement> older(loader.Output());
  ASSERT_NE(DynamicCast<TSMO>(older.get()), nullptr);
  EXPECT_EQ(DumpOf(older.get()), before);
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

// 25000 as a float item: tag 05, then the 80-bit extended value.
const Bytes kFloat25000{0x05, 0, 0, 0, 0, 0, 0, 0x50, 0xC3, 0x0D, 0x40};

Bytes SheetClass(int number) {
  return kes::Concat({I(-1), S("TZMSpace"), I(number), {0x01}, S("Name"), I(10), S("Scale"), I(4), {0x00}});
}

// The sheet's record stores Scale, as every writer that stores the published
// scale of a map space does (the map editor's guides among them).
Bytes SheetRecord(int cls, int number) {
  return kes::Concat({I(cls), I(number), {0x01}, I(0), S("List"), I(1), kFloat25000, {0x00}});
}

// Loading a ZM sheet gives exactly the locator its file lists, with that
// locator's values; a sheet whose file lists none gets one with the stored
// scale when it first needs it.
TEST_F(SeriesStreamTest, ASheetLoadsWithExactlyTheLocatorOfItsFile) {
  struct Case {
    const char* Name;
    Bytes Stream;
    int ChildrenAfterLoad;
    int Color;
  };
  const Case cases[] = {
      {"a stored scale and a listed locator",
       kes::Stream({I(-1),      S("TMapsZM"), I(0),   {0x01},   S("Name"), I(10),  S("Color"),    I(1),
                    S("Scale"), I(1),         {0x00}, I(0),     I(0),      {0x01}, I(0),          S("ZM"),
                    I(1),       I(255),       I(2),   I(25000), {0x00},    I(0),   SheetClass(1), SheetRecord(1, 1),
                    I(1),       {0x01},       I(0),   {0x00}}),
       1, 255},
      {"a stored scale and no locator", kes::Stream({SheetClass(0), SheetRecord(0, 0), I(0)}), 0, 0},
  };
  for (const Case& c : cases) {
    const std::string file = (dir / "zm.kes").string();
    kes::WriteFile(file, c.Stream);
    std::unique_ptr<TZMSpace> sheet(DynamicCast<TZMSpace>(Load(file)));
    ASSERT_NE(sheet, nullptr) << c.Name;
    EXPECT_EQ(std::tuple(sheet->GetName(), sheet->GetCount(), sheet->GetScale()),
              std::tuple("List", c.ChildrenAfterLoad, 25000.0))
        << c.Name;
    TMapsZM* zm = sheet->GetZM();
    EXPECT_EQ(std::tuple(sheet->GetCount(), sheet->GetElement(0), zm->GetName(), zm->Color, zm->GetScale()),
              std::tuple(1, static_cast<TElement*>(zm), "ZM", c.Color, 25000))
        << c.Name;
  }
  EXPECT_TRUE(dialogs.Messages.empty());
}

// A value that a setter refuses while a file is read (a ZM sheet's scale
// beyond 32 bits) is a bad record, never an exception of the setter: the KES
// reader reports the property and reads on; the component stream, whose
// records cannot be stepped over, fails the whole load with EBadStream and
// frees what it had read.
std::string Seed(const std::string& folder, const std::string& name) {
  return std::string(KESTX_SAMPLES_DIR) + "/fuzz/" + folder + "/" + name;
}

TEST_F(SeriesStreamTest, AKesRecordKeepsWhatFitsAndReportsTheRefusedScale) {
  std::unique_ptr<TElement> root(Load(Seed("kes_stream", "zm_scale.kes")));
  auto* sheet = DynamicCast<TZMSpace>(root.get());
  ASSERT_NE(sheet, nullptr);
  EXPECT_EQ(std::tuple(sheet->GetName(), sheet->GetScale(), dialogs.Messages.size()), std::tuple("ZM", 200000.0, 1u));
  EXPECT_EQ(dialogs.Messages.at(0).Text, "Property Set Error TZMSpace Scale");
}

TEST_F(SeriesStreamTest, AComponentStreamFailsWholeWithEBadStream) {
  // The corpus keeps the stream without its signature, which the fuzzing entry adds.
  const kes::Bytes body = kes::ReadFile(Seed("component_stream", "zm_scale.tpf"));
  ASSERT_FALSE(body.empty());
  const std::string file = (dir / "zm_scale.tpf").string();
  kes::WriteFile(file, kes::Concat({{'T', 'P', 'F', '0'}, body}));
  for (const bool throughTLoad : {true, false}) {
    SCOPED_TRACE(throughTLoad ? "TLoad" : "TLoader");
    std::unique_ptr<TTool> reader;
    if (throughTLoad)
      reader.reset(TKestuLoader::CreateForFile<TLoad>(file));
    else
      reader = std::make_unique<TLoader>();
    reader->SetName(file);  // TLoader reads the file its name gives
    try {
      reader->DoIt();
      ADD_FAILURE() << "the load did not fail";
    } catch (const EBadStream& error) {
      EXPECT_NE(std::string(error.what()).find("Invalid floating point operation"), std::string::npos) << error.what();
    }
    EXPECT_EQ(reader->Output(), nullptr);
  }
}

}  // namespace
