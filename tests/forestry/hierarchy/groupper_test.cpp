#include "forestry/hierarchy/groupper.h"

#include <functional>
#include <stdexcept>

#include "block/forest_model/forest_units.h"
#include "tests/forestry/forestry_fixture.h"

namespace {

using ::testing::ElementsAre;

// The path of names from the root down to the element, "/"-joined.
std::string PathOf(TElement* element, const TElement* root) {
  std::string path;
  for (TElement* at = element; at && at != root; at = at->HolderCount() ? at->GetOwner(0) : nullptr)
    path = "/" + at->GetName() + path;
  return path;
}

class GroupperTest : public ForestryTest {
 protected:
  // One level of the given property names.
  static TPropsAndClass* Level(std::initializer_list<const char*> names, const char* ownerClass = "",
                               const char* socketClass = "", const char* socketName = "") {
    auto* level = new TPropsAndClass;
    for (const char* name : names) level->NextName(name);
    level->OwnerClassName = ownerClass;
    level->SocketClassName = socketClass;
    level->SocketName = socketName;
    return level;
  }
  // The five levels of the forest hierarchy, stand groups with a geometry socket.
  static TOwnerEntity* ForestCriterion() {
    auto* criterion = new TOwnerEntity;
    criterion->AddElement(Level({"LHC"}, "TLHC"));
    criterion->AddElement(Level({"ODDELENI"}, "TOddeleni"));
    criterion->AddElement(Level({"DILEC"}, "TDilec"));
    criterion->AddElement(Level({"POROST"}, "TPorost"));
    criterion->AddElement(Level({"SKUPINA"}, "TPorostniSkupina", "TAREASTRING", "GEOMETRY"));
    return criterion;
  }
  TElement* Place(TElement* element) {
    tool.SetInput(element);
    tool.DoIt();
    return element;
  }

  TGroupper tool;
  TOwnerEntity root;
  TOwnerEntity stands;  // keeps the stand areas alive
};

TEST_F(GroupperTest, StandsGoIntoTheGroupsOfTheirKeysAndTheGeometrySocket) {
  tool.SetCriterion(ForestCriterion());
  tool.SetOutput(&root);
  struct Row {
    const char* Case;
    StandKeys Keys;
    std::string Path;
  } rows[] = {
      {"full keys", {"101", "12", "a", "3", "2"}, "/101/12/a/3/2/GEOMETRY/"},
      {"same keys share the group", {"101", "12", "a", "3", "2"}, "/101/12/a/3/2/GEOMETRY/"},
      {"another group of the stand", {"101", "12", "a", "3", "1"}, "/101/12/a/3/1/GEOMETRY/"},
      {"keys in another case meet the group", {"101", "12", "A", "3", "1"}, "/101/12/a/3/1/GEOMETRY/"},
      {"empty key goes under ___", {"101", "", "a", "3", "2"}, "/101/___/a/3/2/GEOMETRY/"},
      {"outside text as names", {"1/2\\3.4", std::string(250, 'x'), "ř", " ", "."},
       "/1/2\\3.4/" + std::string(250, 'x') + "/ř/ /./GEOMETRY/"},
  };
  for (const Row& row : rows) {
    TAreaElement* area = StandArea(row.Keys, 0, 0);
    stands.AddElement(area);
    area->SetName("");
    Place(area);
    ASSERT_EQ(area->HolderCount(), 2) << row.Case;
    EXPECT_EQ(PathOf(area->GetOwner(1), &root) + "/", row.Path) << row.Case;
  }
  EXPECT_EQ(root.GetCount(), 2);
  auto* lhc = DynamicCast<TLHC>(root.FindElementByName("101"));
  ASSERT_NE(lhc, nullptr);
  auto* psk = DynamicCast<TPorostniSkupina>(
      DynamicCast<TEntity>(DynamicCast<TEntity>(DynamicCast<TEntity>(lhc->FindElementByName("12"))
                                                    ->FindElementByName("a"))
                               ->FindElementByName("3"))
          ->FindElementByName("2"));
  ASSERT_NE(psk, nullptr);
  EXPECT_EQ(psk->GetLHC(), lhc);
  EXPECT_EQ(DynamicCast<TAreaString>(psk->FindElementByName("GEOMETRY"))->GetCount(), 2);
}

TEST_F(GroupperTest, BoundsOfEveryRectGroupEncloseWhatWasPlacedBelow) {
  tool.SetCriterion(ForestCriterion());
  TRectEntity top;
  tool.SetOutput(&top);
  stands.AddElement(Place(StandArea({"1", "1", "a", "1", "1"}, 0, 0)));
  stands.AddElement(Place(StandArea({"1", "1", "a", "1", "1"}, 100, 50)));
  stands.AddElement(Place(StandArea({"1", "2", "a", "1", "1"}, -20, -30)));
  auto* lhc = DynamicCast<TRectEntity>(top.FindElementByName("1"));
  auto* odd1 = DynamicCast<TRectEntity>(lhc->FindElementByName("1"));
  auto* odd2 = DynamicCast<TRectEntity>(lhc->FindElementByName("2"));
  struct Row {
    const char* Case;
    const TRectEntity* Group;
    Box4 Bounds;
  } rows[] = {
      {"compartment of two stands", odd1, {0, 0, 110, 60}},
      {"other compartment", odd2, {-20, -30, -10, -20}},
      {"LHC", lhc, {-20, -30, 110, 60}},
      {"output itself", &top, {-20, -30, 110, 60}},
  };
  for (const Row& row : rows) EXPECT_EQ(BoxOf(*row.Group), row.Bounds) << row.Case;
}

// A group whose property "Strict" refuses every text by raising.
class TStrictGroup : public TNameEntity {
  KESTX_CLASS(TStrictGroup)
 public:
  void SetPropertyText(const std::string& name, const std::string& text) override {
    if (name == "Strict") throw std::runtime_error("refused");
    TNameEntity::SetPropertyText(name, text);
  }
};
TClass TStrictGroup::StaticClass() {
  static const TClassInfo info = DescribeClass<TStrictGroup>("TStrictGroup", TNameEntity::StaticClass(), "test", {});
  return &info;
}

TEST_F(GroupperTest, ASingleLevelClassesRulesAndEmptyRuns) {
  RegisterKestuClass(TStrictGroup::StaticClass());
  struct Row {
    const char* Case;
    std::function<void(TGroupper&)> Setup;
    std::string GroupClass;
    int Members;
    std::string Name;
  } rows[] = {
      {"default class is a name entity", [](TGroupper&) {}, "TNameEntity", 1, "101-12"},
      {"tool's owner class", [](TGroupper& t) { t.SetOwnerClass("TRectEntity"); }, "TRectEntity", 1, "101-12"},
      {"owner class without its T", [](TGroupper& t) { t.SetOwnerClass("OwnerEntity"); }, "TOwnerEntity", 1, "101-12"},
      {"unknown owner class falls back", [](TGroupper& t) { t.SetPropertyText("OwnerClass", "TZadna"); },
       "TNameEntity", 1, "101-12"},
      {"rules copy input properties", [](TGroupper& t) { t.SetNextAssigment("Name=LHC"); t.SetNextAssigment("bez"); },
       "TNameEntity", 1, "101"},
      {"a rule that fails is skipped", [](TGroupper& t) {
         t.SetOwnerClass("TStrictGroup");
         t.SetNextAssigment("Strict=LHC");
         t.SetNextAssigment("Name=ODDELENI");
       }, "TStrictGroup", 1, "12"},
      {"empty run builds without the input", [](TGroupper& t) { t.DoItEmpty = true; }, "TNameEntity", 0, "101-12"},
  };
  for (const Row& row : rows) {
    TGroupper groupper;
    TOwnerEntity out;
    auto* level = new TPropertyList;
    level->NextName("LHC");
    level->NextName("ODDELENI");
    level->Delimiter = "-";
    groupper.SetCriterion(level);
    groupper.SetOutput(&out);
    row.Setup(groupper);
    TAreaElement* area = StandArea({"101", "12", "a", "", ""}, 0, 0);
    stands.AddElement(area);
    groupper.SetInput(area);
    groupper.DoIt();
    ASSERT_EQ(out.GetCount(), 1) << row.Case;
    TElement* group = out.GetElement(0);
    EXPECT_EQ(group->GetName(), row.Name) << row.Case;
    EXPECT_EQ(group->ClassName(), row.GroupClass) << row.Case;
    EXPECT_EQ(DynamicCast<TEntity>(group)->GetCount(), row.Members) << row.Case;
  }
}

TEST_F(GroupperTest, AGroupFoundWithoutItsSocketGetsOne) {
  tool.SetCriterion(Level({"LHC"}, "", "TAreaString", "GEOMETRY"));
  tool.SetOutput(&root);
  Named<TNameEntity>("101", &root);  // made earlier, without a socket
  TAreaElement* area = StandArea({"101", "", "", "", ""}, 0, 0);
  stands.AddElement(Place(area));
  EXPECT_EQ(root.GetCount(), 1);
  auto* group = DynamicCast<TEntity>(root.GetElement(0));
  ASSERT_EQ(group->GetCount(), 1);
  EXPECT_EQ(group->GetElement(0)->GetName(), "GEOMETRY");
  EXPECT_EQ(group->GetElement(0)->ClassName(), "TAreaString");
  EXPECT_EQ(area->GetOwner(0), group->GetElement(0));
}

TEST_F(GroupperTest, TheSocketIsFoundByNameAmongTheGroupsChildren) {
  struct Row {
    const char* Case;
    std::vector<const char*> Children;  // of the group made earlier
    std::vector<std::string> After;     // the group's children after placing
    int Socket;                         // the index of the child receiving the area
  } rows[] = {
      {"another child first, no socket", {"TEZ"}, {"TEZ", "GEOMETRY"}, 1},
      {"the socket after another child", {"TEZ", "GEOMETRY"}, {"TEZ", "GEOMETRY"}, 1},
      {"the socket first", {"GEOMETRY", "TEZ"}, {"GEOMETRY", "TEZ"}, 0},
  };
  for (const Row& row : rows) {
    TGroupper groupper;
    groupper.SetCriterion(Level({"LHC"}, "", "TAreaString", "GEOMETRY"));
    TOwnerEntity owner;
    groupper.SetOutput(&owner);
    auto* group = Named<TNameEntity>("101", &owner);
    for (const char* name : row.Children) Named<TAreaString>(name, group);
    TAreaElement* area = StandArea({"101", "", "", "", ""}, 0, 0);
    stands.AddElement(area);
    groupper.SetInput(area);
    groupper.DoIt();
    std::vector<std::string> names;
    for (TElement* child : group->Children()) names.push_back(child->GetName());
    EXPECT_EQ(names, row.After) << row.Case;
    EXPECT_TRUE(area->HasOwner(group->GetElement(row.Socket))) << row.Case;
  }
}

TEST_F(GroupperTest, WithoutAnOutputTheToolMakesAndKeepsOne) {
  tool.SetCriterion(Level({"LHC"}));
  Place(nullptr);
  EXPECT_EQ(tool.Output(), nullptr) << "no input, no run";
  stands.AddElement(Place(StandArea({"7", "", "", "", ""}, 0, 0)));
  auto* made = DynamicCast<TOwnerEntity>(tool.Output());
  ASSERT_NE(made, nullptr);
  EXPECT_EQ(made->GetOwner(0), &tool);
  EXPECT_EQ(made->GetElement(0)->GetName(), "7");
}

TEST_F(GroupperTest, GroupsAddedOrRemovedByOthersAreFoundOrRemade) {
  tool.SetCriterion(Level({"LHC"}, "TOwnerEntity"));
  tool.SetOutput(&root);
  stands.AddElement(Place(StandArea({"1", "", "", "", ""}, 0, 0)));
  TElement* second = Named("2", &root);  // added behind the tool's back
  stands.AddElement(Place(StandArea({"2", "", "", "", ""}, 0, 0)));
  root.FreeElement(root.GetElement(0));  // group "1" goes
  TAreaElement* again = StandArea({"1", "", "", "", ""}, 0, 0);
  stands.AddElement(Place(again));
  std::vector<std::string> names;
  for (TElement* child : root.Children()) names.push_back(child->GetName());
  EXPECT_THAT(names, ElementsAre("2", "1"));
  EXPECT_EQ(DynamicCast<TEntity>(second)->GetCount(), 1);
  EXPECT_EQ(again->GetOwner(0)->GetName(), "1");
  // The group just used goes too: the next element of its key gets a new one.
  root.FreeElement(again->GetOwner(0));
  TAreaElement* third = StandArea({"1", "", "", "", ""}, 0, 0);
  stands.AddElement(Place(third));
  names.clear();
  for (TElement* child : root.Children()) names.push_back(child->GetName());
  EXPECT_THAT(names, ElementsAre("2", "1"));
  EXPECT_EQ(third->GetOwner(0), root.GetElement(1));
}

TEST_F(GroupperTest, ManyGroupsOfOneOwnerAreFoundThroughTheIndexAsBySearch) {
  tool.SetCriterion(Level({"LHC"}, "TOwnerEntity"));
  tool.SetOutput(&root);
  const auto place = [&](const std::string& key) {
    TAreaElement* area = StandArea({key, "", "", "", ""}, 0, 0);
    stands.AddElement(Place(area));
    return area->GetOwner(0)->GetName();
  };
  for (int i = 0; i < 40; ++i) place("k" + std::to_string(i));
  Named("x", &root);  // added behind the tool's back
  root.FreeElement(root.FindElementByName("k10"));
  struct Row {
    const char* Case;
    std::string Key;
    std::string Group;
    int Count;  // of the root's children afterwards
  } rows[] = {
      {"an indexed group", "k7", "k7", 40},
      {"another case", "K39", "k39", 40},
      {"a group added by others", "X", "x", 40},
      {"a freed group is made anew", "k10", "k10", 41},
      {"and found again", "k10", "k10", 41},
      {"non-ASCII in another case", "řez", "řez", 42},
      {"non-ASCII found", "ŘEZ", "řez", 42},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(place(row.Key), row.Group) << row.Case;
    EXPECT_EQ(root.GetCount(), row.Count) << row.Case;
  }
}

TEST_F(GroupperTest, AGroupJustUsedAndThenChangedByOthersIsNotTakenAgain) {
  struct Row {
    const char* Case;
    std::function<void(TEntity& owner, TElement& used)> Change;
    bool IntoTheUsedGroup;
  } rows[] = {
      {"left alone", [](TEntity&, TElement&) {}, true},
      {"renamed", [](TEntity&, TElement& used) { used.SetName("9"); }, false},
      {"moved to another owner",
       [](TEntity& owner, TElement& used) {
         owner.RemoveElement(&used);
         Named("elsewhere", &owner)->AddElement(&used);
       },
       false},
      {"another of its name put first",
       [](TEntity& owner, TElement&) { owner.InsertElement(0, Named<TOwnerEntity>("1", nullptr)); }, false},
  };
  // Few siblings are searched, many are indexed: both ways meet the change.
  for (const int siblings : {0, 40}) {
    for (const Row& row : rows) {
      TOwnerEntity owner;
      TGroupper groupper;
      groupper.SetCriterion(Level({"LHC"}, "TOwnerEntity"));
      groupper.SetOutput(&owner);
      for (int i = 0; i < siblings; ++i) {
        TAreaElement* sibling = StandArea({"s" + std::to_string(i), "", "", "", ""}, 0, 0);
        stands.AddElement(sibling);
        groupper.SetInput(sibling);
        groupper.DoIt();
      }
      // Placed before the stands keep them: a group is each one's first owner.
      TAreaElement* first = StandArea({"1", "", "", "", ""}, 0, 0);
      TAreaElement* second = StandArea({"1", "", "", "", ""}, 0, 0);
      groupper.SetInput(first);
      groupper.DoIt();
      TElement* used = first->GetOwner(0);
      row.Change(owner, *used);
      groupper.SetInput(second);
      groupper.DoIt();
      stands.AddElement(first);
      stands.AddElement(second);
      const std::string label = std::string(row.Case) + ", siblings " + std::to_string(siblings);
      EXPECT_EQ(second->GetOwner(0) == used, row.IntoTheUsedGroup) << label;
      EXPECT_EQ(second->GetOwner(0), owner.FindElementByName("1")) << label << ": the first group of the name";
    }
  }
}

}  // namespace
