#include "forestry/hierarchy/hierarchy_building.h"

#include <fstream>
#include <functional>

#include "app/startup/main_tool.h"
#include "block/props/lumar_props.h"
#include "forestry/reconstruction/layer_rebuilding.h"
#include "framework/values/typed_values.h"
#include "platform/gauge_form.h"
#include "tests/forestry/forest_data_fixture.h"
#include "tests/forestry/sample_forest_blocks.h"

namespace {

using ::testing::ElementsAre;

// The sample forest written into the test's folder, its data model in the
// object model, and a main tool whose status text the run may write.
class HierarchyBuildingTest : public ForestDataTest {
 protected:
  void SetUp() override {
    ForestDataTest::SetUp();
    platform::SetGaugeFormFactory([] { return std::make_unique<platform::RecordingGaugeForm>(); });
    WriteSampleForest(folder.Path());
    std::vector<std::string> lines;
    std::ifstream model(folder.File("model.txt"));
    for (std::string line; std::getline(model, line);) lines.push_back(line);
    TStringListElement* description = TStringListElement::CreateFromStrings(lines);
    description->SetName("DATAMODEL");
    world->ObjectModel()->AddElement(description);
    main = new TMainTool;
    main->ProgressVisible = true;
    world->SetMainTool(main);
    tool.Directory = folder.Path();
  }
  void TearDown() override {
    platform::SetGaugeFormFactory(nullptr);
    ForestDataTest::TearDown();
  }

  // Every unit below the hierarchy as "path (class) bounds", and every area
  // as "path: number", in walk order.
  std::vector<std::string> Tree() const {
    std::vector<std::string> lines;
    std::function<void(TElement*, const std::string&)> walk = [&](TElement* element, const std::string& path) {
      auto* entity = DynamicCast<TEntity>(element);
      for (TElement* child : entity->Children()) {
        if (auto* area = DynamicCast<TAreaElement>(child)) {
          lines.push_back(path + ": " + std::to_string(area->GetSpaceID()));
          continue;
        }
        const std::string below = path + "/" + child->GetName();
        const auto* rect = static_cast<TRectEntity*>(child);
        lines.push_back(below + " (" + child->ClassName() + ") " + FloatToText(rect->GetMinX()) + " " +
                        FloatToText(rect->GetMaxY()));
        walk(child, below);
      }
    };
    walk(hierarchy, "");
    return lines;
  }
  TAreaString* DetLayer() const { return DynamicCast<TAreaString>(tool.FindLayerEntity("DET", "ARE")); }

  TMainTool* main = nullptr;
  THeleNacti tool;
};

const char* const kLevelClasses[] = {"TLHC", "TOddeleni", "TDilec", "TPorost", "TPorostniSkupina", "TAreaString"};

TEST_F(HierarchyBuildingTest, EveryStandAreaLandsOnceUnderTheGroupsOfItsKeys) {
  tool.DoIt();
  ASSERT_FALSE(tool.Failed());
  TAreaString* det = DetLayer();
  ASSERT_NE(det, nullptr);
  ASSERT_GT(det->GetCount(), 60);
  for (TElement* child : det->Children()) {
    auto* area = static_cast<TAreaElement*>(child);
    const std::string where = "area " + std::to_string(area->GetSpaceID());
    std::vector<TElement*> geometries;
    for (int i = 0; i < area->GetOwnersCount(); ++i)
      if (area->GetOwner(i)->GetName() == "GEOMETRY") geometries.push_back(area->GetOwner(i));
    ASSERT_EQ(geometries.size(), 1u) << where << ": one stand group's geometry";
    TElement* at = geometries.front();
    for (int level = 4; level >= 0; --level) {
      EXPECT_EQ(at->ClassName(), kLevelClasses[level + 1]) << where;
      at = at->GetOwner(0);
      const std::string key = area->GetPropertyText(kStandKeyNames[level]);
      EXPECT_EQ(at->GetName(), key.empty() ? "___" : key) << where << ", level " << level;
      EXPECT_TRUE(static_cast<TRectEntity*>(at)->ContainsRect(area->GetMinX(), area->GetMinY(), area->GetMaxX(),
                                                               area->GetMaxY()))
          << where << ": the bounds of level " << level;
    }
    EXPECT_EQ(at->GetOwner(0), hierarchy) << where;
  }
  auto* shared = DynamicCast<TEntity>(Unit({"101", "1", "a", "1", "1", "GEOMETRY"}));
  ASSERT_NE(shared, nullptr);
  EXPECT_EQ(shared->GetCount(), 2) << "two stands share a stand group";
  EXPECT_NE(Unit({"___", "___", "___", "___", "___", "GEOMETRY"}), nullptr) << "islands have no record";
  EXPECT_EQ(Unit({"303"}), nullptr) << "a record without an area makes no group";
  EXPECT_EQ(det->GetName() == THeleNacti::StandAreasName, false) << "the layer keeps its name";
  EXPECT_EQ(tool.StandAreas()->GetCount(), det->GetCount());
}

// The stands' keys come from the table of DET.BLK.  One that cannot be read
// gives no keys: every stand goes under the groups of empty keys, and the
// log names the table once.  One that claims more records than it holds is
// read as far as it holds them, and named too.
TEST_F(HierarchyBuildingTest, AnUnreadableOrShortKeyTableGivesEmptyKeysAndIsNamedOnce) {
  const std::string table = folder.File("DET.BLK/P0000.DBF");
  Bytes bytes = FileContent(table);
  const int records = bytes[4] | bytes[5] << 8;
  const struct {
    const char* name;
    Bytes content;
    std::string line;  // the end of the one line naming the table
    bool keys;         // the stands keep their keys
  } rows[] = {
      {"no dBASE table", Bytes{'n', 'o', ' ', 't', 'a', 'b', 'l', 'e'}, "P0000.DBF nelze číst", false},
      {"ten records more in the header",
       [&] {
         Bytes more = bytes;
         more[4] = static_cast<std::uint8_t>(records + 10);
         return more;
       }(),
       "P0000.DBF uvádí " + std::to_string(records + 10) + " záznamů, obsahuje jen " + std::to_string(records), true},
  };
  for (const auto& row : rows) {
    WriteFileBytes(table, row.content);
    platform::DeleteFile(folder.File("DET.BLK/P0000.IND"));
    world->ObjectModel()->Clear();
    data = Named<TOwnerEntity>("DATA", world->ObjectModel());
    hierarchy = Named<TRectEntity>("HIERARCHY", data);
    layers = Named<TRectEntity>("LAYERS", data);
    world->ObjectModel()->AddElement(TStringListElement::CreateFromStrings({"ARE=DET.BLK"}));
    world->ObjectModel()->GetElement(world->ObjectModel()->GetCount() - 1)->SetName("DATAMODEL");
    recorder.Messages.clear();
    THeleNacti nacti;
    nacti.Directory = folder.Path();
    nacti.DoIt();
    ASSERT_FALSE(nacti.Failed()) << row.name;
    std::vector<std::string> named;
    for (const std::string& text : MessageTexts(msgLogText))
      if (text.find("P0000.DBF") != std::string::npos) named.push_back(text);
    ASSERT_EQ(named.size(), 1u) << row.name;
    EXPECT_TRUE(named[0].ends_with(row.line)) << row.name << ": " << named[0];
    // Every stand under the groups of its keys, or all under "___".
    std::vector<std::string> lhcs;
    for (TElement* child : hierarchy->Children()) lhcs.push_back(child->GetName());
    EXPECT_EQ(lhcs, row.keys ? (std::vector<std::string>{"101", "202", "___"}) : std::vector<std::string>{"___"})
        << row.name;
  }
}

TEST_F(HierarchyBuildingTest, ProgressIsReportedAboutTwentyTimes) {
  tool.SetName("hele");
  tool.DoIt();
  RunMessages();
  const int n = DetLayer()->GetCount();
  std::vector<int> steps;
  int starts = 0, ends = 0;
  for (const TRecorder::Entry& entry : recorder.Messages) {
    if (entry.Sender != "hele") continue;  // the block readers report their own
    if (entry.Code == msgProgressStart) {
      ++starts;
      EXPECT_EQ(entry.Text, "Vytváření lesnické hierarchie ...");
      EXPECT_EQ(entry.Max, n - 1);
    }
    if (entry.Code == msgProgress) steps.push_back(entry.Progress);
    if (entry.Code == msgProgressEnd) ++ends;
  }
  EXPECT_EQ(std::tuple(starts, ends), std::tuple(1, 1));
  EXPECT_GE(steps.size(), 18u);
  EXPECT_LE(steps.size(), 25u);
  EXPECT_TRUE(std::is_sorted(steps.begin(), steps.end()));
  EXPECT_LE(steps.back(), n - 1);
  // The marks lie at 0, s, 2s ... with s = (n - 1) div 20: each report is
  // the first area past a mark.
  const int s = (n - 1) / 20;
  ASSERT_GT(s, 0) << "the sample holds more than twenty stand areas";
  std::vector<int> expected;
  for (int at = 1; at <= n - 1; at += s) expected.push_back(at);
  EXPECT_EQ(steps, expected);
  EXPECT_FALSE(tool.Busy());
}

TEST_F(HierarchyBuildingTest, ASecondRunGivesTheSameTreeAndLayers) {
  tool.DoIt();
  const std::vector<std::string> first = Tree();
  const int layerGroups = layers->GetCount();
  const int detLists = DynamicCast<TEntity>(layers->FindElementByName("ARE_DET"))->GetCount();
  tool.DoIt();
  EXPECT_EQ(Tree(), first);
  EXPECT_EQ(layers->GetCount(), layerGroups);
  EXPECT_EQ(DynamicCast<TEntity>(layers->FindElementByName("ARE_DET"))->GetCount(), detLists);
  EXPECT_EQ(detLists, 1);
}

TEST_F(HierarchyBuildingTest, WithoutADataModelTheStatusTextSaysSo) {
  delete world->ObjectModel()->FindElementByName("DATAMODEL");
  tool.DoIt();
  EXPECT_TRUE(tool.Failed());
  EXPECT_EQ(main->Text(), "Chyba vytváření popisu modelu ...");
  EXPECT_FALSE(main->ProgressVisible);
  EXPECT_TRUE(layers->IsEmpty());
  EXPECT_TRUE(hierarchy->IsEmpty());
  EXPECT_FALSE(tool.Busy());
}

TEST_F(HierarchyBuildingTest, WithoutAHierarchyTheStandAreasAreFoundButNotGrouped) {
  hierarchy->SetName("elsewhere");
  tool.DoIt();
  EXPECT_TRUE(tool.Failed());
  ASSERT_NE(tool.StandAreas(), nullptr);
  EXPECT_EQ(tool.StandAreas()->GetName(), "DETTEMP");
  EXPECT_EQ(tool.StandAreas()->GetCount(), DetLayer()->GetCount());
  EXPECT_TRUE(hierarchy->IsEmpty());
  EXPECT_EQ(main->Text(), "");
}

TEST_F(HierarchyBuildingTest, TheBlockRegisterOfALayersBlockIsFreed) {
  tool.DoIt();
  struct Row {
    const char* Case;
    const char* Block;
    const char* Type;  // the layer whose first element tells the register
  } rows[] = {
      {"an area layer", "DET", "ARE"},
      {"a point layer when there is no area layer", "BOD", "PNT"},
  };
  for (const Row& row : rows) {
    TSpaceEntityString* layer = tool.FindLayerEntity(row.Block, row.Type);
    ASSERT_NE(layer, nullptr) << row.Case;
    auto* props = DynamicCast<TLumarProps>(static_cast<TSpaceEntity*>(layer->GetElement(0))->Properties());
    ASSERT_NE(props, nullptr) << row.Case;
    const TElementLink registered(props->GetBlockRegister());
    ASSERT_NE(registered.Get(), nullptr) << row.Case;
    const int count = layer->GetCount();
    TDeleteBlockRegister remover;
    remover.LayerName = row.Block;
    remover.DoIt();
    EXPECT_EQ(registered.Get(), nullptr) << row.Case;
    EXPECT_EQ(layer->GetCount(), count) << row.Case << ": the objects stay";
  }
  TDeleteBlockRegister remover;
  remover.LayerName = "NONE";
  remover.DoIt();
  EXPECT_TRUE(Exceptions.empty());
}

}  // namespace
