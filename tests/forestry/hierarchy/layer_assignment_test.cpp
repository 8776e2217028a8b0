#include "forestry/hierarchy/layer_assignment.h"

#include <functional>
#include <stdexcept>

#include "block/forest_model/forest_props.h"
#include "block/props/lumar_props.h"
#include "tests/forestry/forest_data_fixture.h"
#include "tests/forestry/reconstruction/boundary_fixture.h"

namespace {

// Area properties that refuse every value written by name.
class TRefusingProps : public TLumarAreaProps {
  KESTX_CLASS(TRefusingProps)
 public:
  void SetPropertyText(const std::string& name, const std::string&) override {
    throw std::runtime_error("refused " + name);
  }
};

}  // namespace

TClass TRefusingProps::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TRefusingProps>("TRefusingProps", TLumarAreaProps::StaticClass(), "LayerAssignmentTest", {});
  return &info;
}

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// Stands 10 by 10: 101/12/a/3/2 at (0,0), 101/12/a/3/1 at (10,0) and
// 101/13/b/1/1 at (0,10) with a 4 by 4 hole in its middle.
class LayerAssignmentTest : public ForestDataTest {
 protected:
  void SetUp() override {
    ForestDataTest::SetUp();
    PlaceStands({{{"101", "12", "a", "3", "2"}, 0, 0},
                 {{"101", "12", "a", "3", "1"}, 10, 0},
                 {{"101", "13", "b", "1", "1"}, 0, 10, 4}});
  }
  // An area of the layer with the keys and number as dynamic properties.
  static TAreaElement* KeyedArea(TAreaString& layer, const StandKeys& keys, int number, double x, double y) {
    TAreaElement* area = SquareAround(x, y);
    area->SetProperties(new TDynamicProperties);
    for (std::size_t i = 0; i < keys.size(); ++i)
      if (!keys[i].empty()) area->SetPropertyText(kStandKeyNames[i], keys[i]);
    area->SetPropertyText("SPACEID", std::to_string(number));
    layer.AddEntity(area);
    return area;
  }
};

TEST_F(LayerAssignmentTest, ThePositionDecidesAndTheKeysOnlyWhereNoStandLies) {
  auto* layer = AddLayer<TAreaString>("ARE", "TEZ");
  struct Row {
    const char* Case;
    StandKeys Keys;
    double X, Y;
    const char* Path;
  } rows[] = {
      {"keys and point agree", {"101", "12", "a", "3", "2"}, 5, 5, "/101/12/a/3/2/TEZ"},
      {"the point wins over other keys", {"101", "12", "a", "3", "1"}, 4, 4, "/101/12/a/3/2/TEZ"},
      {"no keys, in a stand", {"", "", "", "", ""}, 15, 5, "/101/12/a/3/1/TEZ"},
      {"outside, complete keys", {"101", "12", "a", "3", "1"}, 50, 50, "/101/12/a/3/1/TEZ"},
      {"in a hole, keys decide", {"101", "13", "b", "1", "1"}, 5, 15, "/101/13/b/1/1/TEZ"},
      {"outside, keys end at the compartment", {"101", "12", "x", "3", "1"}, 50, 60, "/101/12/TEZ NEZAŘAZENO"},
      {"outside, no LHC matches", {"999", "12", "a", "3", "2"}, 60, 50, "/TEZ NEZAŘAZENO"},
  };
  std::vector<TAreaElement*> areas;
  for (int i = 0; i < static_cast<int>(std::size(rows)); ++i)
    areas.push_back(KeyedArea(*layer, rows[i].Keys, i + 1, rows[i].X, rows[i].Y));
  THeleZaradLHC tool;
  tool.LayerName = "TEZ";
  tool.DoIt();
  for (std::size_t i = 0; i < areas.size(); ++i) {
    const Row& row = rows[i];
    ASSERT_EQ(areas[i]->GetOwnersCount(), 2) << row.Case << ": the layer and one container";
    EXPECT_EQ(PathBelow(areas[i]->GetOwner(1), hierarchy), row.Path) << row.Case;
    auto* node = static_cast<TRectEntity*>(areas[i]->GetOwner(1)->GetOwner(0));
    EXPECT_TRUE(node->ContainsPoint(row.X, row.Y)) << row.Case << ": the node's bounds grew";
  }
  const std::string tail = " zařazování přes atributy - pod touto plochou neleží regulérní PSK";
  EXPECT_THAT(MessageTexts(msgLogText),
              ElementsAre("Zařazování plochy TEZ č.4" + tail, "Zařazování plochy TEZ č.5" + tail,
                          "Zařazování plochy TEZ č.6" + tail, "Zařazování plochy TEZ č.7" + tail));
  EXPECT_NE(tool.FindDataEntity("TEZ NEZAŘAZENO"), nullptr) << "the data rect is made and stays empty";
}

TEST_F(LayerAssignmentTest, AssigningReportsOneProgressStepPerArea) {
  auto* layer = AddLayer<TAreaString>("ARE", "TEZ");
  KeyedArea(*layer, {}, 7, 5, 5);
  KeyedArea(*layer, {}, 8, 15, 5);
  THeleZaradLHC tool;
  tool.SetName("zarad");
  tool.LayerName = "TEZ";
  tool.DoIt();
  RunMessages();
  std::vector<std::string> seen;
  for (const TRecorder::Entry& entry : recorder.Messages)
    seen.push_back(std::to_string(entry.Code) + ":" + entry.Text + ":" + std::to_string(entry.Progress));
  EXPECT_THAT(seen, ElementsAre("10:TEZ: Zařazování ploch do hierarchie:0", "11::0", "13:Plocha c. 7:0", "11::1",
                                "13:Plocha c. 8:0", "12::0"));
  EXPECT_FALSE(tool.InProgress());
}

TEST_F(LayerAssignmentTest, PropertiesChangeClassOnlyWhereTheyAreGiven) {
  auto* layer = AddLayer<TAreaString>("ARE", "TEZ");
  struct Row {
    const char* Case;
    TElement* Props;  // nil: none
    const char* Class;
    std::string Values;  // Cislo|Druh|Barva|Znacka|LineNo|PaterNo
  };
  auto block = [](int druh) {
    auto* props = new TLumarAreaProps;
    SetTexts(*props, {{"Cislo", "12"}, {"Barva", "5"}, {"Znacka", "3"}, {"LineNo", "44"}, {"PaterNo", "2"}});
    props->Druh = static_cast<std::int16_t>(druh);
    return props;
  };
  const Row rows[] = {
      {"block area props are converted", block(1), "TTezPProps", "12|1|5|3|44|2"},
      {"no props: new ones with the group", nullptr, "TTezPProps", "0|77|0|0|0|0"},
      {"hole areas keep theirs", block(9), "TLumarAreaProps", "12|9|5|3|44|2"},
      {"props of another kind are kept", new TDynamicProperties, "TDynamicProperties", "|||||"},
      {"props of the class already stay", new TTezPProps, "TTezPProps", "0|0|0|0|0|0"},
  };
  std::vector<TAreaElement*> areas;
  for (const Row& row : rows) {
    TAreaElement* area = SquareAround(5, 5);
    if (row.Props) area->SetProperties(row.Props);
    layer->AddEntity(area);
    areas.push_back(area);
  }
  THeleZaradLHC tool;
  tool.LayerName = "TEZ";
  tool.Group = 77;
  tool.HolesGroup = 9;
  tool.SetPropertyClassName("TTezPProps");
  tool.DoIt();
  for (std::size_t i = 0; i < areas.size(); ++i) {
    TElement* props = areas[i]->Properties();
    ASSERT_NE(props, nullptr) << rows[i].Case;
    EXPECT_EQ(props->ClassName(), rows[i].Class) << rows[i].Case;
    EXPECT_EQ(Texts(*props, {"Cislo", "Druh", "Barva", "Znacka", "LineNo", "PaterNo"}), rows[i].Values)
        << rows[i].Case;
    EXPECT_EQ(PathBelow(areas[i]->GetOwner(1), hierarchy), "/101/12/a/3/2/TEZ") << rows[i].Case;
  }
  EXPECT_EQ(ErrorOf([&] { tool.SetPropertyClassName("TNoSuchProps"); }), "Kestu nenašel třídu TNoSuchProps");
}

// Each of the three tools, on a layer it would read, makes nothing in DATA,
// starts no progress and writes nothing.
TEST_F(LayerAssignmentTest, MissingOrEmptyLayerOrHierarchyDoNothing) {
  struct Row {
    const char* Case;
    bool Layer, Element, Hierarchy;
  } rows[] = {
      {"no layer", false, false, true},
      {"an empty layer", true, false, true},
      {"no hierarchy", true, true, false},
  };
  struct Assigner {
    const char* Tool;
    const char* Type;   // of the layer it reads
    const char* Block;  // nullptr: the row's own
    // Runs the tool on the block; answers the child of DATA a run makes.
    std::function<std::string(const std::string& block)> Run;
  } assigners[] = {
      {"THeleZaradLHC", "ARE", nullptr,
       [](const std::string& block) {
         THeleZaradLHC tool;
         tool.LayerName = block;
         tool.DoIt();
         return block + " NEZAŘAZENO";
       }},
      {"TLocateIntoPSK", "ARE", nullptr,
       [](const std::string& block) {
         TLocateIntoPSK tool;
         tool.LayerName = block;
         tool.FeatureName = "ARE";
         tool.DoIt();
         return block + "_ARE";
       }},
      {"THeleNactiSlu", "LIN", "SLU",
       [](const std::string&) {
         THeleNactiSlu tool;
         tool.DoIt();
         return std::string("SLUCLIN");
       }},
  };
  for (const Assigner& assigner : assigners) {
    for (const Row& row : rows) {
      const std::string label = std::string(assigner.Tool) + ", " + row.Case;
      const std::string block = assigner.Block ? assigner.Block : row.Case;
      if (row.Layer) {
        if (std::string(assigner.Type) == "LIN") {
          auto* lines = AddLayer<TPolyLineString>(assigner.Type, block);
          if (row.Element) lines->AddEntity(BoundaryLine({{4, 5}, {6, 5}}));
        } else {
          auto* areas = AddLayer<TAreaString>(assigner.Type, block);
          if (row.Element) areas->AddEntity(SquareAround(5, 5));
        }
      }
      if (!row.Hierarchy) hierarchy->SetName("elsewhere");
      recorder.Messages.clear();
      const std::string made = assigner.Run(block);
      hierarchy->SetName("HIERARCHY");
      delete layers->FindElementByName(std::string(assigner.Type) + "_" + block);
      EXPECT_EQ(data->FindElementByName(made), nullptr) << label;
      EXPECT_THAT(MessageTexts(msgProgressStart), IsEmpty()) << label;
      EXPECT_THAT(MessageTexts(msgLogText), IsEmpty()) << label;
      EXPECT_THAT(Boxes(), IsEmpty()) << label;
    }
  }
}

TEST_F(LayerAssignmentTest, AnErrorInTheLoopEndsTheRunWithABoxAndKeepsWhatWasPlaced) {
  auto* layer = AddLayer<TAreaString>("ARE", "TEZ");
  TAreaElement* first = SquareAround(5, 5);
  first->SetProperties(new TRefusingProps);
  layer->AddEntity(first);
  TAreaElement* second = SquareAround(15, 5);
  layer->AddEntity(second);
  RegisterKestuClass(TRefusingProps::StaticClass());
  // The second area's new properties refuse the kind written into them.
  THeleZaradLHC tool;
  tool.LayerName = "TEZ";
  tool.SetPropertyClassName("TRefusingProps");
  tool.DoIt();
  EXPECT_THAT(Boxes(), ElementsAre("Chyba při zařazování ploch vrstvy TEZ"));
  EXPECT_EQ(PathBelow(first->GetOwner(1), hierarchy), "/101/12/a/3/2/TEZ");
  EXPECT_EQ(second->GetOwnersCount(), 1) << "the run ended before placing it";
  EXPECT_FALSE(tool.InProgress());
}

// ---------------------------------------------------------------- TLocateIntoPSK

TEST_F(LayerAssignmentTest, ElementsGoUnderTheStandGroupOfTheirPointAndAreCollected) {
  auto* points = AddLayer<TPointString>("PNT", "BOD");
  struct Row {
    const char* Case;
    double X, Y;
    const char* Path;  // empty: placed nowhere
  } rows[] = {
      {"in a stand", 5, 5, "/101/12/a/3/2/BOD_PNT"},
      {"in another stand", 15, 5, "/101/12/a/3/1/BOD_PNT"},
      {"in a hole", 5, 15, ""},
      {"outside", 50, 50, ""},
  };
  std::vector<TPointElement*> made;
  for (int i = 0; i < static_cast<int>(std::size(rows)); ++i) {
    auto* point = new TPointElement;
    point->SetBounds({rows[i].X, rows[i].Y, rows[i].X, rows[i].Y});
    auto* props = new TLumarPointProps;
    props->Cislo = i + 1;
    props->Druh = 4;
    point->SetProperties(props);
    points->AddEntity(point);
    made.push_back(point);
  }
  TLocateIntoPSK tool;
  tool.LayerName = "BOD";
  tool.FeatureName = "PNT";
  tool.SetPropertyClassName("TTezBProps");
  tool.DoIt();
  for (std::size_t i = 0; i < made.size(); ++i) {
    const Row& row = rows[i];
    EXPECT_EQ(made[i]->Properties()->ClassName(), "TTezBProps") << row.Case << ": converted all the same";
    EXPECT_EQ(Texts(*made[i]->Properties(), {"Cislo", "Druh"}), std::to_string(i + 1) + "|4") << row.Case;
    EXPECT_EQ(made[i]->GetOwnersCount() == 2 ? PathBelow(made[i]->GetOwner(1), hierarchy) : "", row.Path)
        << row.Case;
  }
  EXPECT_THAT(MessageTexts(msgLogText),
              ElementsAre("Pro BOD_PNT c.3 není nalezena PSK", "Pro BOD_PNT c.4 není nalezena PSK"));
  TEntity* collected = tool.FindDataEntity("BOD_PNT");
  ASSERT_NE(collected, nullptr);
  EXPECT_EQ(collected->GetCount(), 2) << "the two stand groups' containers";
  tool.DoIt();
  EXPECT_EQ(collected->GetCount(), 2) << "a second run lists each container once";
}

TEST_F(LayerAssignmentTest, AnUnknownPropertyClassIsReportedWithTheToolsName) {
  TLocateIntoPSK tool;
  tool.SetName("bod");
  tool.SetPropertyClassName("TNoSuchProps");
  EXPECT_THAT(MessageTexts(msgLogText), ElementsAre("bod: Class TNoSuchProps not found!"));
}

// ---------------------------------------------------------------- THeleNactiSlu

TEST_F(LayerAssignmentTest, LinesGoUnderTheirStandGroupAndUnplacedOnesAreBoxed) {
  auto* lines = AddLayer<TPolyLineString>("LIN", "SLU");
  const std::pair<double, double> places[] = {{5, 5}, {50, 50}, {15, 5}};
  std::vector<TPolyLineElement*> made;
  for (std::size_t i = 0; i < std::size(places); ++i) {
    auto* line = new TPolyLineElement;
    line->AddVertex(places[i].first - 1, places[i].second);
    line->AddVertex(places[i].first + 1, places[i].second);
    line->CalcBounds();
    line->SetAbsRefX(places[i].first);
    line->SetAbsRefY(places[i].second);
    auto* props = new TLumarLineProps;
    props->Cislo = static_cast<std::int32_t>(i) + 1;
    line->SetProperties(props);
    lines->AddEntity(line);
    made.push_back(line);
  }
  THeleNactiSlu tool;
  tool.DoIt();
  EXPECT_EQ(PathBelow(made[0]->GetOwner(1), hierarchy), "/101/12/a/3/2/SLUCLIN");
  EXPECT_EQ(made[1]->GetOwnersCount(), 1);
  EXPECT_EQ(PathBelow(made[2]->GetOwner(1), hierarchy), "/101/12/a/3/1/SLUCLIN");
  EXPECT_THAT(Boxes(), ElementsAre("Pro linii c.2 není nalezen objekt pro přidání"));
  TEntity* collected = tool.FindDataEntity("SLUCLIN");
  ASSERT_NE(collected, nullptr);
  EXPECT_EQ(collected->GetCount(), 2);
}

}  // namespace
