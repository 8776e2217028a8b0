#include "block/forest_model/lhc_export.h"

#include "block/forest_model/forest_props.h"
#include "block/reading/block_reader.h"
#include "framework/stream/kes_loader.h"
#include "platform/dbase_table.h"
#include "platform/gauge_form.h"
#include "tests/block/forest_model/sample_forest_layer.h"
#include "tests/block/reading/reading_fixture.h"

namespace {

// A forestry layer "TEZBA" under the model's "DATA": two stands beside
// each other drawn as three lines without properties, their areas in a
// list named like the layer, and two points in another.
class LayerExportTest : public ReadingTest {
 protected:
  void SetUp() override {
    ReadingTest::SetUp();
    platform::SetGaugeFormFactory([] { return std::make_unique<platform::RecordingGaugeForm>(); });
    data = Named("DATA", world->ObjectModel());
    layer = Named<TSpaceEntityString>("TEZBA", data);
    auto* drawn = new TPolyLineString;
    shared = Line(*drawn, {{100, 0}, {100, 100}});
    TPolyLineElement* leftRest = Line(*drawn, {{100, 100}, {0, 100}, {0, 0}, {100, 0}});
    TPolyLineElement* rightRest = Line(*drawn, {{100, 0}, {200, 0}, {200, 100}, {100, 100}});
    layer->AddEntity(drawn);
    auto* areas = new TAreaString;
    areas->SetName("TEZBA");
    layer->AddElement(areas);
    // Clockwise, as the topology makes them.
    left = Area(*areas, {{leftRest, false}, {shared, false}}, 50);
    right = Area(*areas, {{shared, true}, {rightRest, false}}, 150);
  }
  void TearDown() override {
    platform::SetGaugeFormFactory(nullptr);
    ReadingTest::TearDown();
  }

  static TPolyLineElement* Line(TPolyLineString& list, std::initializer_list<TRealPoint> points) {
    auto* line = new TPolyLineElement;
    for (const TRealPoint& p : points) line->AddVertex(p.X, p.Y);
    line->CalcBounds();
    list.AddEntity(line);
    return line;
  }
  static TPolyLineAreaElement* Area(TAreaString& list, std::initializer_list<std::pair<TPolyLineElement*, bool>> ring,
                                    double labelX) {
    auto* area = new TPolyLineAreaElement;
    for (const auto& [line, forward] : ring) area->AddLine(line, forward);
    area->CalcBounds();
    area->SetAbsRefX(labelX);
    area->SetAbsRefY(50);
    list.AddEntity(area);
    return area;
  }
  template <class T>
  std::unique_ptr<T> Tool() {
    auto tool = std::make_unique<T>();
    tool->BlockName = block;
    tool->LayerName = "TEZBA";
    tool->SetPropertyClassName("TTezPProps");
    tool->Group = 12;
    tool->HolesGroup = 99;
    tool->LinesGroup = 5;
    tool->LinesColor = 7;
    tool->LinesSymbol = 8;
    return tool;
  }
  std::unique_ptr<TLumaRBlokReader> Reader() {
    auto reader = std::make_unique<TLumaRBlokReader>();
    reader->Create(block);
    return reader;
  }

  TEntity* data = nullptr;
  TSpaceEntityString* layer = nullptr;
  TPolyLineElement* shared = nullptr;
  TPolyLineAreaElement* left = nullptr;
  TPolyLineAreaElement* right = nullptr;
  const std::string block = folder.Path() + "/LHC.BLK";
};

TEST_F(LayerExportTest, TheLayersAreasGoOutWithTheirKindsAndItsLinesAsBoundaryLinesThatWalkRoundThem) {
  auto* kept = new TTezPProps;
  kept->Druh = 99;  // the holes' kind stays
  left->SetProperties(kept);
  auto tool = Tool<TExportLHC>();
  tool->DoIt();
  // The graph of the lines stays the tool's.
  EXPECT_NE(tool->FindElementByClass(TSpaceLineBegEndCell::StaticClass()), nullptr);
  ASSERT_NE(DynamicCast<TTezPProps>(right->Properties()), nullptr);
  const auto& given = *static_cast<TTezPProps*>(right->Properties());
  EXPECT_EQ(std::tuple(given.Barva, given.Znacka, given.Druh), std::tuple(13, 1, 12));
  auto reader = Reader();
  std::unique_ptr<TAreaString> areas(reader->ReadAreas());
  ASSERT_EQ(areas->GetCount(), 2) << Join(LogLines(), "\n");
  std::map<double, int> kinds;  // by label X
  for (TElement* area : areas->Children())
    kinds[static_cast<TAreaElement*>(area)->GetAbsRefX()] = area->GetPropertyInteger("Druh");
  EXPECT_EQ(kinds, (std::map<double, int>{{50, 99}, {150, 12}}));
  std::unique_ptr<TPolyLineString> lines(reader->ReadLines());
  ASSERT_EQ(lines->GetCount(), 3);
  for (TElement* line : lines->Children()) {
    const auto& props = *static_cast<TLumarLineProps*>(static_cast<TSpaceEntity*>(line)->Properties());
    EXPECT_EQ(std::tuple(props.Druh, props.Barva, props.Znacka), std::tuple(5, 7, 8)) << props.Cislo;
  }
  EXPECT_EQ(LogLines(), std::vector<std::string>{});
  // The areas' list went into the layer.
  EXPECT_EQ(layer->GetCount(), 3);
}

TEST_F(LayerExportTest, TheLayersListsAreFoundWhateverTheCaseOfTheirNames) {
  const struct {
    const char* name;
    const char* listName;
  } rows[] = {{"lower case", "tezba"}, {"mixed case", "TeZbA"}, {"as the layer", "TEZBA"}};
  auto* areas = DynamicCast<TEntity>(layer->FindElementByClass(TAreaString::StaticClass()));
  for (const auto& row : rows) {
    areas->SetName(row.listName);
    Tool<TExportLHC>()->DoIt();
    std::unique_ptr<TAreaString> read(Reader()->ReadAreas());
    EXPECT_EQ(read->GetCount(), 2) << row.name;
  }
}

// Areas read from a block as kind 0, whose table holds their method, are
// exported as kind 12: their records are still found.
TEST_F(LayerExportTest, EachAreasSourceRecordIsLookedUpUnderTheKindItWasReadWith) {
  for (const char* dir : {"SRC.BLK", "CTRL"}) std::filesystem::create_directories(folder.File(dir));
  MakeTable("SRC.BLK/P0000.DBF", "ZPUSOB decimal(2,0), CISLO decimal(6,0)", {{"3", "1"}, {"4", "2"}});
  WriteCp1250File(folder.File("CTRL/P0012.CRT"), "ZPUSOB N 2 0\r\nNALEHAV N 3 0\r\n");
  WriteCp1250File(folder.File("CTRL/P0012.TDS"), "ZPUSOB ZPUSOB\r\n*Nalehavost NALEHAV\r\n");
  TLumarBlockRegister source;
  source.SetName(folder.File("SRC.BLK"));
  for (const auto& [area, cislo, urgency] : {std::tuple{left, 1, 5}, {right, 2, 6}}) {
    auto* props = new TTezPProps;
    props->Cislo = cislo;
    props->Nalehavost = urgency;
    area->SetProperties(props);
    source.RegisterElement(area);
  }
  auto tool = Tool<TExportLHC>();
  tool->ControlDIR = folder.File("CTRL");
  tool->DoIt();
  // ZPUSOB, NALEHAV, CISLO: the left area is the first of the list.
  EXPECT_EQ(Rows(block + "/P0012.DBF"), (std::vector<std::vector<std::string>>{{"3", "5", "1"}, {"4", "6", "2"}}));
  EXPECT_EQ(MessageTexts(), std::vector<std::string>{});
}

// The areas that found no stand group of their own are the layer's too;
// an area of the layer that the export does not take is named.
TEST_F(LayerExportTest, TheUnplacedAreasGoOutAndAnyOtherAreaOfTheLayerIsNamed) {
  auto* props = new TTezPProps;
  right->SetProperties(props);
  auto* areas = DynamicCast<TEntity>(layer->FindElementByClass(TAreaString::StaticClass()));
  const struct {
    const char* name;
    const char* listName;
    bool rightElsewhere;  // the right area lies in another list of the layer
    int exported;
    std::vector<std::string> log;
  } rows[] = {
      {"the list of the unplaced", "tezba NEZAŘAZENO", false, 2, {}},
      {"an area in another list", "TEZBA", true, 1, {"Export vrstvy TEZBA: plocha č.7 v JINE se neexportuje"}},
  };
  for (const auto& row : rows) {
    areas->SetName(row.listName);
    if (row.rightElsewhere) {
      props->Cislo = 7;
      Named<TRectEntity>("JINE", layer)->AddElement(right);
      areas->RemoveElement(right);
    }
    Tool<TExportLHC>()->DoIt();
    std::unique_ptr<TAreaString> read(Reader()->ReadAreas());
    EXPECT_EQ(read->GetCount(), row.exported) << row.name;
    EXPECT_EQ(LogLines(), row.log) << row.name;
    log.Lines.clear();
  }
}

TEST_F(LayerExportTest, WithoutTheDataEntityOrTheLayerBothExportsDoNothing) {
  const struct {
    const char* name;
    std::function<void()> spoil;
    bool blockMade;
  } rows[] = {
      {"no layer of that name", [&] { layer->SetName("JINA"); }, false},
      {"DATA is no entity", [&] { data->SetName("DATA2"); world->ObjectModel()->AddElement(new TStringElement); },
       false},
  };
  for (const auto& row : rows) {
    row.spoil();
    auto areas = Tool<TExportLHC>();
    auto points = Tool<TExportSimpleLHC>();
    areas->DoIt();
    points->DoIt();
    EXPECT_EQ(platform::DirectoryExists(block), row.blockMade) << row.name;
    // A run that finds nothing is still a tool's run.
    EXPECT_TRUE(areas->RunFlag()) << row.name << ": areas";
    EXPECT_TRUE(points->RunFlag()) << row.name << ": points";
  }
}

TEST_F(LayerExportTest, TheSimpleExportWritesTheLayersPointsByTheirPlaceInTheCollectedList) {
  auto* points = new TPointString;
  points->SetName("TEZBA");
  layer->AddElement(points);
  // Stored coordinates are the model's negated: a block holds them positive.
  for (double x : {-10.0, -20.0}) {
    auto* point = new TPointElement;
    point->SetBounds({x, -5, x, -5});
    auto* props = new TTezBProps;
    props->Druh = 3;
    point->SetProperties(props);
    points->AddElement(point);
  }
  Tool<TExportSimpleLHC>()->DoIt();
  std::unique_ptr<TPointString> read(Reader()->ReadPoints());
  // The points list is the last child named so: it comes first; the area
  // list's areas are no points and keep their places.
  std::vector<std::pair<int, double>> got;
  for (TElement* point : read->Children())
    got.emplace_back(point->GetPropertyInteger("Cislo"), static_cast<TPointElement*>(point)->GetAbsRefX());
  EXPECT_EQ(got, (std::vector<std::pair<int, double>>{{1, -10}, {2, -20}}));
}

TEST_F(LayerExportTest, TheSampleForestDataIsWhatItsWriterMakesAndExportsWithItsStandGroupsKeys) {
  const std::string sample = std::string(KESTX_SAMPLES_DIR) + "/forestry/lhc.kes";
  const std::string written = folder.File("lhc.kes");
  // Loaded first, as the program loads it: the saver would make the
  // registry know the classes it writes.
  std::unique_ptr<TLoad> load(TKestuLoader::CreateForFile<TLoad>(sample));
  load->DoIt();
  TElement* loaded = load->Output();
  ASSERT_NE(DynamicCast<TEntity>(loaded), nullptr);
  WriteSampleForestData(written);
  EXPECT_EQ(FileContent(written), FileContent(sample));
  world->ObjectModel()->Clear();
  world->ObjectModel()->AddElement(loaded);
  // The saver's notes on the write-only properties are not the export's.
  LogLines();
  log.Lines.clear();
  auto tool = Tool<TExportLHC>();
  tool->ControlDIR = std::string(KESTX_SAMPLES_DIR) + "/control";
  tool->DoIt();
  platform::DbaseTable table;
  table.SetTableName(block + "/P0012.DBF");
  table.Open();
  std::map<std::string, std::string> keysByUrgency;  // NALEHAV -> LHC/ODDELENI/DILEC/POROST/SKUPINA
  for (table.First(); !table.Eof(); table.Next()) {
    std::string keys;
    for (const char* field : {"LHC", "ODDELENI", "DILEC", "POROST", "SKUPINA"})
      keys += table.GetFieldText(table.FindField(field)) + "/";
    keysByUrgency[table.GetFieldText(table.FindField("NALEHAV"))] = keys;
  }
  EXPECT_EQ(keysByUrgency, (std::map<std::string, std::string>{{"3", "LHC1/12/A/1/1a/"}, {"0", "/////"}}));
  std::unique_ptr<TAreaString> areas(Reader()->ReadAreas());
  EXPECT_EQ(areas->GetCount(), 2);
  // The three drawn lines are the boundary lines, of the tool's kind,
  // colour and symbol.
  std::unique_ptr<TPolyLineString> lines(Reader()->ReadLines());
  ASSERT_EQ(lines->GetCount(), 3);
  for (TElement* line : lines->Children()) {
    const auto& props = *static_cast<TLumarLineProps*>(static_cast<TSpaceEntity*>(line)->Properties());
    EXPECT_EQ(std::tuple(props.Druh, props.Barva, props.Znacka), std::tuple(5, 7, 8)) << "line " << props.Cislo;
  }
  EXPECT_EQ(LogLines(), std::vector<std::string>{});
}

}  // namespace
