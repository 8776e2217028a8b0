#include "forestry/tools/store_to_lhc.h"

#include <memory>
#include <string>
#include <vector>

#include "forestry/selectors/skupina_selectors.h"
#include "tests/forestry/forest_data_fixture.h"
#include "tests/forestry/reconstruction/boundary_fixture.h"

namespace {

// P1 101/12/a/1/1 at (0,0), P2 101/12/a/1/2 at (10,0), P3 101/12/b/1/1 at
// (20,0); the global store DATA/STORE.
class StoreToLHCTest : public ForestDataTest {
 protected:
  void SetUp() override {
    ForestDataTest::SetUp();
    PlaceStands({{{"101", "12", "a", "1", "1"}, 0, 0},
                 {{"101", "12", "a", "1", "2"}, 10, 0},
                 {{"101", "12", "b", "1", "1"}, 20, 0}});
    store = Named<TRectEntity>("STORE", data);
  }
  TElement* Group(int index) const {
    const std::vector<std::string> paths[] = {
        {"101", "12", "a", "1", "1"}, {"101", "12", "a", "1", "2"}, {"101", "12", "b", "1", "1"}};
    return Unit(paths[index]);
  }
  // Per group: "-" without a container, else the container's class and
  // whether it holds the element.
  std::vector<std::string> Containers(const TElement* element) const {
    std::vector<std::string> states;
    for (int i = 0; i < 3; ++i) {
      auto* container = DynamicCast<TEntity>(DynamicCast<TEntity>(Group(i))->FindElementByName("LINIE"));
      states.push_back(!container ? "-"
                                  : container->ClassName() + (container->IndexOf(element) >= 0 ? " holds" : " empty"));
    }
    return states;
  }
  int Count(TEntity* entity, const TElement* element) const {
    int count = 0;
    for (TElement* child : entity->Children()) count += child == element;
    return count;
  }

  TRectEntity* store = nullptr;
};

TEST_F(StoreToLHCTest, ALineGoesIntoEveryGroupItTouchesAndTheGlobalStore) {
  struct Row {
    const char* name;
    const char* globalPath;
    const char* containerClass;
    Vertices line;
    std::vector<std::string> containers;
    int inGlobal;
  } rows[] = {
      {"across three groups", "ObjectModel.DATA.STORE", "", {{5, 5}, {25, 5}},
       {"TRectEntity holds", "TRectEntity holds", "TRectEntity holds"}, 1},
      {"inside one group", "ObjectModel.DATA.STORE", "TOwnerEntity", {{11, 1}, {12, 2}},
       {"-", "TOwnerEntity holds", "-"}, 1},
      {"an unregistered container class", "ObjectModel.DATA.STORE", "TNothing", {{21, 1}, {22, 2}},
       {"-", "-", "TRectEntity holds"}, 1},
      {"no global path", "", "", {{5, 5}, {15, 5}}, {"TRectEntity holds", "TRectEntity holds", "-"}, 0},
      {"a path to no element", "ObjectModel.DATA.Name", "", {{5, 5}, {6, 5}}, {"TRectEntity holds", "-", "-"}, 0},
      {"outside every group", "ObjectModel.DATA.STORE", "", {{50, 50}, {60, 60}}, {"-", "-", "-"}, 1},
  };
  for (const Row& row : rows) {
    for (int i = 0; i < 3; ++i)
      if (TElement* old = DynamicCast<TEntity>(Group(i))->FindElementByName("LINIE")) delete old;
    store->Clear();
    TStoreLineToLHC tool;
    tool.FrameStorePath = "LINIE";
    tool.SetGlobalStorePath(row.globalPath);
    if (*row.containerClass) tool.SetFrameStoreClassName(row.containerClass);
    TPolyLineElement* line = BoundaryLine(row.line);
    layers->AddElement(line);
    tool.SetInput(line);
    tool.DoIt();
    EXPECT_EQ(Containers(line), row.containers) << row.name;
    EXPECT_EQ(Count(store, line), row.inGlobal) << row.name;
  }
}

TEST_F(StoreToLHCTest, StoringTheSameLineTwiceKeepsOnePlaceAndWidensTheStore) {
  TStoreLineToLHC tool;
  tool.FrameStorePath = "LINIE";
  tool.SetGlobalStorePath("ObjectModel.DATA.STORE");
  TPolyLineElement* line = BoundaryLine({{5, 5}, {15, 6}});
  layers->AddElement(line);
  tool.SetInput(line);
  tool.DoIt();
  tool.DoIt();
  EXPECT_EQ(Count(store, line), 1);
  auto* container = DynamicCast<TEntity>(DynamicCast<TEntity>(Group(1))->FindElementByName("LINIE"));
  ASSERT_NE(container, nullptr);
  EXPECT_EQ(Count(container, line), 1);
  EXPECT_EQ(std::vector<double>({store->GetMinX(), store->GetMinY(), store->GetMaxX(), store->GetMaxY()}),
            std::vector<double>({5, 5, 15, 6}));
}

// The group comes from the store's own frame selector, or, without one,
// from what an editor hands over as the parameter "FrameSelector": the group
// its frame selector chose, or that selector.
TEST_F(StoreToLHCTest, AreasAndPointsGoIntoTheGroupTheFrameSelectorChose) {
  enum Frame { kOwnSelector, kGroupHanded, kSelectorHanded };
  struct Row {
    const char* name;
    const char* tool;
    double x, y;
    Frame frame;
    std::vector<std::string> containers;
  } rows[] = {
      {"an area in the second group", "TStoreAreaToLHC", 15, 5, kOwnSelector, {"-", "TRectEntity holds", "-"}},
      {"a point in the third group", "TStorePointToLHC", 25, 5, kOwnSelector, {"-", "-", "TRectEntity holds"}},
      {"a point outside every group", "TStorePointToLHC", 50, 50, kOwnSelector, {"-", "-", "-"}},
      {"an area whose group is handed over", "TStoreAreaToLHC", 15, 5, kGroupHanded, {"-", "TRectEntity holds", "-"}},
      {"a point whose selector is handed over", "TStorePointToLHC", 25, 5, kSelectorHanded,
       {"-", "-", "TRectEntity holds"}},
  };
  for (const Row& row : rows) {
    for (int i = 0; i < 3; ++i)
      if (TElement* old = DynamicCast<TEntity>(Group(i))->FindElementByName("LINIE")) delete old;
    std::unique_ptr<TStoreToLHCTool> tool(DynamicCast<TStoreToLHCTool>(CreateElementByClassName(row.tool)));
    ASSERT_NE(tool, nullptr) << row.name;
    tool->FrameStorePath = "LINIE";
    tool->SetGlobalStorePath("ObjectModel.DATA.STORE");
    auto* selector = new TSkupinaSelector;
    std::unique_ptr<TSkupinaSelector> editorsSelector;
    if (row.frame == kOwnSelector) tool->SetFrameSelector(selector);
    else editorsSelector.reset(selector);
    selector->X = row.x;
    selector->Y = row.y;
    selector->DoIt();
    if (row.frame == kGroupHanded) tool->SetParameter("FrameSelector", selector->Output());
    if (row.frame == kSelectorHanded) tool->SetParameter("FrameSelector", selector);
    auto* element = SquareAround(row.x, row.y);
    layers->AddElement(element);
    tool->SetInput(element);
    tool->DoIt();
    EXPECT_EQ(Containers(element), row.containers) << row.name;
    EXPECT_EQ(Count(store, element), 1) << row.name;
  }
}

TEST_F(StoreToLHCTest, TheContainerClassReadsItsNameAndDefaultsToRectEntities) {
  struct Row {
    const char* written;
    const char* read;
  } rows[] = {{"TOwnerEntity", "TOwnerEntity"}, {"Neni", "TRectEntity"}, {"", "TRectEntity"}};
  for (const Row& row : rows) {
    TStoreAreaToLHC tool;
    EXPECT_EQ(tool.FrameStoreClassName(), "TRectEntity") << "unset";
    tool.SetPropertyText("FrameStoreClassName", row.written);
    EXPECT_EQ(tool.GetPropertyText("FrameStoreClassName"), row.read) << row.written;
  }
}

}  // namespace
