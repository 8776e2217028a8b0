#include "forestry/reconstruction/layer_rebuilding.h"

#include <cmath>
#include <map>

#include "block/forest_model/forest_units.h"
#include "block/props/lumar_props.h"
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
  void Stage(bool propsOfB) {
    for (TEntity* owner : {static_cast<TEntity*>(data), static_cast<TEntity*>(layers)})
      for (const char* name : {"TEZ", "ARE_TEZ"})
        delete owner->FindElementByName(name);
    TPolyLineElement* a = BoundaryLine({{10, 20}, {10, 10}, {20, 10}, {20, 20}});
    TPolyLineElement* b = BoundaryLine({{20, 20}, {30, 20}});
    TPolyLineElement* c = BoundaryLine({{30, 20}, {30, 0}, {0, 0}, {0, 20}});
    TPolyLineElement* d = BoundaryLine({{0, 20}, {10, 20}});
    TPolyLineElement* e = BoundaryLine({{10, 20}, {20, 20}});
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
  } rows[] = {
      {"the gap becomes a hole area", true, true, {{500, "1|5"}, {300, "2|5"}, {100, "0|99"}}, {}},
      {"without holes the gap goes", true, false, {{500, "1|5"}, {300, "2|5"}}, {}},
      {"an old area without properties", false, true, {{500, "1|5"}, {300, "none"}, {100, "0|99"}},
       {"TEZ-Old Area no.-1 has no properties!"}},
  };
  for (const Row& row : rows) {
    Stage(row.PropsOfB);
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

TEST_F(LayerRebuildingTest, WithoutTheTargetLayerTheNewAreasStayInTheWorkingLayer) {
  struct Row {
    const char* Case;
    const char* Rename;  // the data child renamed away
    const char* Line;
  } rows[] = {
      {"no LAYERS", "LAYERS", "ClearLHC: LAYERS not found!"},
      {"no area layer", "ARE_TEZ", "ClearLHC: LAYER TEZ not found!"},
  };
  for (const Row& row : rows) {
    Stage(true);
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
  Named<TRectEntity>("TEZ NEZAŘAZENO", second)->AddEntity(SquareAround(90, 90));
  TExtractLHC tool;
  tool.LayerName = "TEZ";
  for (int run = 1; run <= 2; ++run) {
    recorder.Messages.clear();
    tool.DoIt();
    auto* gathered = DynamicCast<TRectEntity>(tool.FindDataEntity("TEZ"));
    ASSERT_NE(gathered, nullptr);
    EXPECT_EQ(std::vector<TElement*>(gathered->Children().begin(), gathered->Children().end()),
              (std::vector<TElement*>{containers[0], containers[1]}))
        << "run " << run;
    EXPECT_EQ(BoxOf(*gathered), (Box4{4, 4, 26, 16})) << "run " << run;
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

}  // namespace
