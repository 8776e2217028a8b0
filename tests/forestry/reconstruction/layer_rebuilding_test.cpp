#include "forestry/reconstruction/layer_rebuilding.h"

#include <cmath>
#include <map>
#include <memory>
#include <random>
#include <unordered_set>
#include <vector>

#include "block/forest_model/forest_units.h"
#include "block/props/lumar_props.h"
#include "block/props/lumar_registers.h"
#include "tests/forestry/forest_data_fixture.h"
#include "tests/forestry/reconstruction/boundary_fixture.h"

namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

TLumarAreaProps* BlockAreaProps(int number, int kind) {
  auto* props = new TLumarAreaProps;
  props->Cislo = number;
  props->Druh = static_cast<std::int16_t>(kind);
  return props;
}

// A layer "TEZ" gathered from a stand group: a U-shaped area A (1) 0..30 by
// 0..20 open at 10..20 by 10..20, closed above by the area B (2) 0..30 by
// 20..30, so that their lines also enclose a gap no old area stands in.
class LayerRebuildingTest : public ForestDataTest {
 protected:
  // With stale bounds the line e, its end dragged 4 mm past the node, keeps
  // the bounds of where it lay before it was moved there, far off, as a
  // dragged vertex leaves them.
  void Stage(bool propsOfB, bool staleBounds = false) {
    for (TEntity* owner : {static_cast<TEntity*>(data), static_cast<TEntity*>(layers)})
      for (const char* name : {"TEZ", "ARE_TEZ"})
        delete owner->FindElementByName(name);
    TPolyLineElement* a = BoundaryLine({{10, 20}, {10, 10}, {20, 10}, {20, 20}});
    TPolyLineElement* b = BoundaryLine({{20, 20}, {30, 20}});
    TPolyLineElement* c = BoundaryLine({{30, 20}, {30, 0}, {0, 0}, {0, 20}});
    TPolyLineElement* d = BoundaryLine({{0, 20}, {10, 20}});
    TPolyLineElement* e =
        BoundaryLine(staleBounds ? Vertices{{110, 120}, {120.004, 120}} : Vertices{{10, 20}, {20, 20}});
    if (staleBounds) {
      e->SetCoordX(0, 10);
      e->SetCoordY(0, 20);
      e->SetCoordX(1, 20.004);
      e->SetCoordY(1, 20);
    }
    TPolyLineElement* f = BoundaryLine({{0, 20}, {0, 30}, {30, 30}, {30, 20}});
    TPolyLineAreaElement* areaA = BoundedArea({{d, true}, {a, true}, {b, true}, {c, true}}, 5, 5);
    TPolyLineAreaElement* areaB = BoundedArea({{f, true}, {b, false}, {e, false}, {d, false}}, 15, 25);
    areaA->SetProperties(BlockAreaProps(1, 5));
    if (propsOfB) areaB->SetProperties(BlockAreaProps(2, 5));
    auto* layer = AddLayer<TAreaString>("ARE", "TEZ");
    layer->AddEntity(areaA);
    layer->AddEntity(areaB);
    auto* gathered = Named<TRectEntity>("TEZ", data);
    container = Named<TRectEntity>("TEZ", gathered);
    container->AddEntity(areaA);
    container->AddEntity(areaB);
    psk = Named<TPorostniSkupina>("1", hierarchy);
    psk->AddElement(container);
  }
  // The areas of the layer's first list by their size, with "Cislo|Druh"
  // of their properties or "none".
  std::map<long, std::string> Rebuilt(TEntity* group) const {
    std::map<long, std::string> areas;
    auto* list = group ? DynamicCast<TAreaString>(group->GetElement(0)) : nullptr;
    if (!list) return areas;
    for (TElement* child : list->Children()) {
      auto* area = static_cast<TAreaElement*>(child);
      TElement* props = area->Properties();
      areas[std::lround(std::fabs(area->GetCalculatedArea()))] = props ? Texts(*props, {"Cislo", "Druh"}) : "none";
    }
    return areas;
  }
  int Posted(int code) {
    RunMessages();
    return static_cast<int>(std::count_if(recorder.Messages.begin(), recorder.Messages.end(),
                                          [code](const TRecorder::Entry& entry) { return entry.Code == code; }));
  }

  TRectEntity* container = nullptr;
  TPorostniSkupina* psk = nullptr;
};

TEST_F(LayerRebuildingTest, NewAreasTakeTheAttributesOfTheOldAreaInsideThem) {
  struct Row {
    const char* Case;
    bool PropsOfB, CreateHoles;
    std::map<long, std::string> Areas;
    std::vector<std::string> Lines;
    bool StaleBounds = false;
  } rows[] = {
      {"the gap becomes a hole area", true, true, {{500, "1|5"}, {300, "2|5"}, {100, "0|99"}}, {}},
      {"without holes the gap goes", true, false, {{500, "1|5"}, {300, "2|5"}}, {}},
      {"an old area without properties", false, true, {{500, "1|5"}, {300, "none"}, {100, "0|99"}},
       {"TEZ-Old Area no.-1 has no properties!"}},
      {"a line's stale bounds are made anew", true, true, {{500, "1|5"}, {300, "2|5"}, {100, "0|99"}}, {}, true},
  };
  for (const Row& row : rows) {
    Stage(row.PropsOfB, row.StaleBounds);
    recorder.Messages.clear();
    THeleClearLHC tool;
    tool.LayerName = "TEZ";
    tool.CreateHoles = row.CreateHoles;
    tool.HolesGroup = 99;
    tool.DoIt();
    EXPECT_EQ(Rebuilt(DynamicCast<TEntity>(layers->FindElementByName("ARE_TEZ"))), row.Areas) << row.Case;
    for (const std::string& line : row.Lines) EXPECT_THAT(MessageTexts(msgLogText), Contains(line)) << row.Case;
    EXPECT_TRUE(tool.GlobalLayer()->IsEmpty()) << row.Case << ": the working layer is emptied";
    EXPECT_EQ(psk->FindElementByName("TEZ"), nullptr) << row.Case << ": the container left its stand group";
    EXPECT_EQ(Posted(msgDataChanged), 1) << row.Case;
    EXPECT_THAT(MessageTexts(msgProgressText), ElementsAre("Hledání ploch ...", "Nové spojení linií ...",
                                                           "Přeplochování ...", "Přenos atributů ...", "finalizace ..."))
        << row.Case;
    EXPECT_FALSE(tool.InProgress()) << row.Case;
  }
}

// A and B come from a block whose table holds their keys.  Wherever their
// container was, the rebuilt areas answer the keys of the old ones' records,
// whatever their position; an area of the layer in no container stays.
TEST_F(LayerRebuildingTest, AreasOfEveryContainerAreRebuiltWithTheKeysOfTheirRecords) {
  std::filesystem::create_directories(File("SRC.BLK"));
  MakeTable("SRC.BLK/P0005.DBF", "LHC char(10), CISLO decimal(6,0)", {{"404", "1"}, {"505", "2"}});
  struct Row {
    const char* Case;
    const char* Container;
    bool Stray;  // the layer has an area in no container
    std::map<long, std::string> Keys;  // LHC of the rebuilt areas by size
    std::vector<std::string> Lines;
  } rows[] = {
      {"a stand group's container", "TEZ", false, {{500, "404"}, {300, "505"}}, {}},
      {"the container of the unplaced", "TEZ NEZAŘAZENO", false, {{500, "404"}, {300, "505"}}, {}},
      {"an area in no container", "TEZ", true, {{500, "404"}, {300, "505"}, {4, ""}},
       {"ClearLHC: plocha č.3 vrstvy TEZ nebyla v hierarchii, zůstává nepřebudována"}},
  };
  for (const Row& row : rows) {
    Stage(true);
    TLumarBlockRegister source;
    source.SetName(File("SRC.BLK"));
    for (TElement* area : container->Children()) source.RegisterElement(area);
    container->SetName(row.Container);
    if (row.Stray) {
      TAreaElement* stray = SquareAround(100, 100);
      stray->SetProperties(BlockAreaProps(3, 5));
      auto* group = DynamicCast<TEntity>(layers->FindElementByName("ARE_TEZ"));
      DynamicCast<TAreaString>(group->GetElement(0))->AddEntity(stray);
    }
    recorder.Messages.clear();
    THeleClearLHC tool;
    tool.LayerName = "TEZ";
    tool.DoIt();
    std::map<long, std::string> keys;
    auto* rebuilt = DynamicCast<TEntity>(DynamicCast<TEntity>(layers->FindElementByName("ARE_TEZ"))->GetElement(0));
    ASSERT_NE(rebuilt, nullptr) << row.Case;
    for (TElement* child : rebuilt->Children()) {
      auto* area = static_cast<TAreaElement*>(child);
      keys[std::lround(std::fabs(area->GetCalculatedArea()))] = area->GetPropertyText("LHC");
    }
    EXPECT_EQ(keys, row.Keys) << row.Case;
    EXPECT_TRUE(tool.GlobalLayer()->IsEmpty()) << row.Case << ": the container was taken";
    std::vector<std::string> lines;
    for (const std::string& text : MessageTexts(msgLogText))
      if (text.starts_with("ClearLHC")) lines.push_back(text);
    EXPECT_EQ(lines, row.Lines) << row.Case;
  }
}

TEST_F(LayerRebuildingTest, WithoutTheTargetLayerTheNewAreasStayInTheWorkingLayer) {
  struct Row {
    const char* Case;
    const char* Rename;  // the data child renamed away
    const char* Line;
    bool LeftoverLines;  // "LINES" still holds a far line of an earlier run
  } rows[] = {
      {"no LAYERS", "LAYERS", "ClearLHC: LAYERS not found!", false},
      {"no area layer", "ARE_TEZ", "ClearLHC: LAYER TEZ not found!", false},
      {"a rerun over the lines an earlier run left", "LAYERS", "ClearLHC: LAYERS not found!", true},
  };
  for (const Row& row : rows) {
    Stage(true);
    if (row.LeftoverLines) {
      auto* working = DynamicCast<TEntity>(data->FindElementByName("TEZ"));
      Named<TRectEntity>("LINES", working)->AddEntity(BoundaryLine({{100, 100}, {200, 300}}));
    }
    recorder.Messages.clear();
    TElement* renamed = std::string(row.Rename) == "LAYERS" ? static_cast<TElement*>(layers)
                                                             : layers->FindElementByName(row.Rename);
    renamed->SetName("away");
    THeleClearLHC tool;
    tool.LayerName = "TEZ";
    tool.DoIt();
    renamed->SetName(row.Rename);
    EXPECT_THAT(MessageTexts(msgLogText), Contains(row.Line)) << row.Case;
    EXPECT_EQ(Rebuilt(DynamicCast<TEntity>(tool.GlobalLayer()->FindElementByName("NEW_AREAS"))).size(), 2u)
        << row.Case;
    const auto* lines = DynamicCast<TRectEntity>(tool.GlobalLayer()->FindElementByName("LINES"));
    EXPECT_EQ((std::vector<double>{lines->GetMinX(), lines->GetMinY(), lines->GetMaxX(), lines->GetMaxY()}),
              (std::vector<double>{0, 0, 30, 30}))
        << row.Case << ": the bounds of this run's joined lines";
    EXPECT_EQ(Posted(msgDataChanged), 0) << row.Case;
  }
}

TEST_F(LayerRebuildingTest, SnapDistanceZeroJoinsWithOneCentimetre) {
  for (const auto& [given, used] : {std::pair{0.0, 0.01}, {-1.0, -1.0}, {0.5, 0.5}}) {
    Stage(true);
    THeleClearLHC tool;
    tool.LayerName = "TEZ";
    tool.SnapDistance = given;
    tool.DoIt();
    EXPECT_EQ(tool.SnapDistance, used) << given;
  }
}

TEST_F(LayerRebuildingTest, WithNothingGatheredTheLayerIsLeftAsItIs) {
  Stage(true);
  delete container;
  TRectEntity* target = DynamicCast<TRectEntity>(layers->FindElementByName("ARE_TEZ"));
  auto* before = DynamicCast<TAreaString>(target->GetElement(0));
  THeleClearLHC tool;
  tool.LayerName = "TEZ";
  tool.DoIt();
  EXPECT_EQ(target->GetCount(), 1);
  EXPECT_EQ(target->GetElement(0), before);
  EXPECT_EQ(before->GetCount(), 2);
  EXPECT_EQ(Posted(msgDataChanged), 0);
  EXPECT_FALSE(tool.InProgress());
}

TEST_F(LayerRebuildingTest, WithoutTheWorkingLayerNothingHappens) {
  THeleClearLHC tool;
  tool.LayerName = "TEZ";
  tool.DoIt();
  EXPECT_THAT(MessageTexts(msgProgressStart), IsEmpty());
  EXPECT_EQ(Posted(msgDataChanged), 0);
}

// ---------------------------------------------------------------- TExtractLHC

TEST_F(LayerRebuildingTest, ExtractingGathersTheLayersContainersOfEveryStandGroup) {
  auto* first = Named<TPorostniSkupina>("1", hierarchy);
  auto* second = Named<TPorostniSkupina>("2", Named<TRectEntity>("101", hierarchy));
  TRectEntity* containers[] = {Named<TRectEntity>("TEZ", first), Named<TRectEntity>("tez", second)};
  containers[0]->AddEntity(SquareAround(5, 5));
  containers[1]->AddEntity(SquareAround(25, 15));
  // The areas that found no stand group of their own are the layer's too.
  auto* unplaced = Named<TRectEntity>("TEZ NEZAŘAZENO", second);
  unplaced->AddEntity(SquareAround(90, 90));
  TExtractLHC tool;
  tool.LayerName = "TEZ";
  for (int run = 1; run <= 2; ++run) {
    recorder.Messages.clear();
    tool.DoIt();
    auto* gathered = DynamicCast<TRectEntity>(tool.FindDataEntity("TEZ"));
    ASSERT_NE(gathered, nullptr);
    EXPECT_EQ(std::vector<TElement*>(gathered->Children().begin(), gathered->Children().end()),
              (std::vector<TElement*>{containers[0], containers[1], unplaced}))
        << "run " << run;
    EXPECT_EQ(BoxOf(*gathered), (Box4{4, 4, 91, 91})) << "run " << run;
    RunMessages();
    std::vector<std::string> seen;
    for (const TRecorder::Entry& entry : recorder.Messages) seen.push_back(std::to_string(entry.Code) + ":" + entry.Text);
    EXPECT_THAT(seen, ElementsAre("10:TEZextrahování vrstvy z hierarchie", "13:... provádí se", "12:")) << "run " << run;
  }
}

// ---------------------------------------------------------------- TRemoveHoles

TEST_F(LayerRebuildingTest, HoleAreasAreFreedFromTheLastToTheFirst) {
  auto* layer = AddLayer<TAreaString>("ARE", "TEZ");
  TRectEntity* elsewhere = Named<TRectEntity>("TEZ", hierarchy);
  const int kinds[] = {9, 1, 9, 2};
  std::vector<TElementLink> areas;
  for (int i = 0; i < 4; ++i) {
    TAreaElement* area = SquareAround(5, 5);
    area->SetProperties(BlockAreaProps(i + 1, kinds[i]));
    layer->AddEntity(area);
    elsewhere->AddEntity(area);
    areas.emplace_back(area);
  }
  TRemoveHoles tool;
  tool.LayerName = "TEZ";
  tool.HolesGroup = 9;
  tool.DoIt();
  EXPECT_EQ(std::vector<bool>({!areas[0].Get(), !areas[1].Get(), !areas[2].Get(), !areas[3].Get()}),
            std::vector<bool>({true, false, true, false}));
  EXPECT_EQ(elsewhere->GetCount(), 2) << "freed areas leave every owner";
  EXPECT_THAT(MessageTexts(msgProgressText),
              ElementsAre("Plocha c. 4", "Plocha c. 3", "Plocha c. 3 odstraněna", "Plocha c. 2", "Plocha c. 1",
                          "Plocha c. 1 odstraněna"));
  RunMessages();
  EXPECT_EQ(recorder.Messages.front().Text, "TEZ: Odstraňování neploch");
  EXPECT_EQ(recorder.Messages.front().Max, 4);
  EXPECT_EQ(recorder.Messages.back().Code, msgProgressEnd);
}

TEST_F(LayerRebuildingTest, RemovingHolesOfAnEmptyLayerStartsNoProgress) {
  AddLayer<TAreaString>("ARE", "TEZ");
  TRemoveHoles tool;
  tool.LayerName = "TEZ";
  tool.DoIt();
  EXPECT_THAT(MessageTexts(msgProgressStart), IsEmpty());
}

// The old areas behind a new square 0..10 by 0..10 bounded by the lines
// "west" (0,0)-(0,10)-(10,10) and "east" (10,10)-(10,0)-(0,0), with a hole
// 4..6 by 4..6 where a row asks for it.  Each old area owns one of the lines
// and a frame round them all, and has its label where the row puts it.
struct OldArea {
  int line;  // 0 west, 1 east
  double x, y;
  bool fresh;
};

class OldAreaBehindTest : public ::testing::Test {
 protected:
  OldAreaBehindTest()
      : west(BoundaryLine({{0, 0}, {0, 10}, {10, 10}})),
        east(BoundaryLine({{10, 10}, {10, 0}, {0, 0}})),
        holeLine(BoundaryLine({{4, 4}, {4, 6}, {6, 6}, {6, 4}, {4, 4}})),
        frame(BoundaryLine({{-5, -5}, {-5, 15}, {15, 15}, {15, -5}, {-5, -5}})) {
    for (TPolyLineElement* line : {west, east, holeLine, frame}) lines.AddElement(line);
  }
  // The old rule: each candidate's label tested alone, in walking order.
  static TPolyLineAreaElement* OneByOne(const TPolyLineAreaElement& area,
                                       const std::unordered_set<const TElement*>& fresh) {
    for (TElement* line : area.Children())
      for (int i = 0; i < line->GetOwnersCount(); ++i) {
        auto* owner = DynamicCast<TPolyLineAreaElement>(line->GetOwner(i));
        if (owner && !fresh.contains(owner) && area.ContainsPointOutsideHoles(owner->GetAbsRefX(), owner->GetAbsRefY()))
          return owner;
      }
    return nullptr;
  }
  struct Staged {
    std::unique_ptr<TPolyLineAreaElement> square;
    std::vector<std::unique_ptr<TPolyLineAreaElement>> old;
    std::unordered_set<const TElement*> fresh;
  };
  Staged Stage(const std::vector<OldArea>& olds, bool withHole) {
    Staged staged;
    staged.square.reset(BoundedArea({{west, true}, {east, true}}, 5, 1));
    staged.fresh.insert(staged.square.get());
    if (withHole) staged.square->AddHole(BoundedArea({{holeLine, true}}, 5, 5));
    for (const OldArea& old : olds) {
      // The frame widens the old area's bounds, which its label is kept within.
      staged.old.emplace_back(BoundedArea({{old.line == 0 ? west : east, true}, {frame, true}}, old.x, old.y));
      if (old.fresh) staged.fresh.insert(staged.old.back().get());
    }
    return staged;
  }

  TOwnerEntity lines;
  TPolyLineElement *west, *east, *holeLine, *frame;
};

TEST_F(OldAreaBehindTest, TheFirstOldAreaWithItsLabelInsideInWalkingOrder) {
  struct Row {
    const char* name;
    std::vector<OldArea> olds;
    bool withHole;
    int expected;  // index into olds, -1 none
  } rows[] = {
      {"no old area", {}, false, -1},
      {"one inside", {{0, 2, 2, false}}, false, 0},
      {"label outside", {{0, 12, 2, false}}, false, -1},
      {"the west line's owners come first", {{1, 3, 3, false}, {0, 7, 7, false}}, false, 1},
      {"owners of one line in their order", {{0, 12, 2, false}, {0, 3, 3, false}, {0, 7, 7, false}}, false, 1},
      {"a fresh area stands behind nothing", {{0, 3, 3, true}, {1, 7, 7, false}}, false, 1},
      {"a label in the hole", {{0, 5, 5, false}, {1, 2, 8, false}}, true, 1},
      {"the same label without the hole", {{0, 5, 5, false}, {1, 2, 8, false}}, false, 0},
      {"a label on the hole's edge", {{0, 4, 5, false}, {1, 6, 5, false}}, true, -2},
      {"labels on the outline", {{0, 0, 5, false}, {0, 10, 5, false}, {1, 5, 0, false}, {1, 5, 10, false}}, false,
       -2},
  };
  for (const Row& row : rows) {
    Staged staged = Stage(row.olds, row.withHole);
    TPolyLineAreaElement* found = OldAreaBehind(*staged.square, staged.fresh);
    EXPECT_EQ(found, OneByOne(*staged.square, staged.fresh)) << row.name;
    // -2: on an edge, where only agreement with the one-by-one test is asked.
    if (row.expected != -2) {
      EXPECT_EQ(found, row.expected < 0 ? nullptr : staged.old[static_cast<std::size_t>(row.expected)].get())
          << row.name;
    }
  }
}

TEST_F(OldAreaBehindTest, RandomLabelsFindWhatTestingEachAloneFinds) {
  std::mt19937 random(20261207);
  std::uniform_int_distribution<int> coordinate(-2, 24);  // halves: labels on edges and vertices too
  std::uniform_int_distribution<int> count(0, 12);
  for (int round = 0; round < 300; ++round) {
    std::vector<OldArea> olds(static_cast<std::size_t>(count(random)));
    for (OldArea& old : olds)
      old = {static_cast<int>(random() % 2), coordinate(random) / 2.0, coordinate(random) / 2.0,
             random() % 5 == 0};
    const bool withHole = round % 2 == 1;
    Staged staged = Stage(olds, withHole);
    EXPECT_EQ(OldAreaBehind(*staged.square, staged.fresh), OneByOne(*staged.square, staged.fresh))
        << "round " << round;
  }
}

}  // namespace
