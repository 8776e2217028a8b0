#include "forestry/hierarchy/hierarchy_lookup.h"

#include "block/forest_model/forest_units.h"
#include "forestry/hierarchy/groupper.h"
#include "tests/forestry/forestry_fixture.h"

namespace {

using ::testing::ElementsAre;

// A hierarchy built by the grouping tool from stand areas 10 by 10:
//   A, B: 101/12/a/3/2 at (0,0) with a 4 by 4 hole in its middle, and at (10,0)
//   C:    101/12/b/1/1 at (0,10)
//   D:    202/1/a/1/1 at (100,100)
class LookupTest : public ForestryTest {
 protected:
  void SetUp() override {
    ForestryTest::SetUp();
    TGroupper groupper;
    GroupStandsInto(groupper, &hierarchy);
    PlaceStands(groupper,
                {{"A", {"101", "12", "a", "3", "2"}, 0, 0, 4},
                 {"B", {"101", "12", "a", "3", "2"}, 10, 0, 0},
                 {"C", {"101", "12", "b", "1", "1"}, 0, 10, 0},
                 {"D", {"202", "1", "a", "1", "1"}, 100, 100, 0}},
                [this](TAreaElement* area) { areas.AddElement(area); });
  }

  TElement* Unit(const std::vector<const char*>& path) {
    TElement* at = &hierarchy;
    for (const char* name : path) at = DynamicCast<TEntity>(at)->FindElementByName(name);
    return at;
  }

  TRectEntity hierarchy;
  TOwnerEntity areas;
};

TEST_F(LookupTest, NamesLeadDownToTheDeepestUnitFound) {
  struct Row {
    const char* Case;
    std::vector<std::pair<const char*, const char*>> Writes;
    std::vector<const char*> Expected;  // path of the Output; empty: nil
  } rows[] = {
      {"all five levels", {{"LHC", "101"}, {"Odd", "12"}, {"Dil", "a"}, {"Por", "3"}, {"PSK", "2"}},
       {"101", "12", "a", "3", "2"}},
      {"down to the stand", {{"LHC", "101"}, {"Odd", "12"}, {"Dil", "b"}, {"Por", "1"}}, {"101", "12", "b", "1"}},
      {"missing compartment stops there", {{"LHC", "202"}, {"Odd", "12"}, {"Dil", "a"}}, {"202"}},
      {"missing LHC gives nil though deeper names exist", {{"LHC", "303"}, {"Odd", "12"}, {"Dil", "a"}}, {}},
      {"writing a level clears the deeper ones",
       {{"LHC", "101"}, {"Odd", "12"}, {"Dil", "a"}, {"Por", "3"}, {"LHC", "202"}}, {"202"}},
  };
  for (const Row& row : rows) {
    THeleHier tool;
    tool.SetInput(&hierarchy);
    for (const auto& [level, name] : row.Writes) tool.SetPropertyText(level, name);
    tool.DoIt();
    EXPECT_EQ(tool.Output(), row.Expected.empty() ? nullptr : Unit(row.Expected)) << row.Case;
    EXPECT_EQ(tool.GetPropertyText("LHC"), row.Expected.empty() ? "" : row.Expected[0]) << row.Case;
  }
}

TEST_F(LookupTest, ARunThatFindsNothingForgetsTheOutputOfTheRunBefore) {
  THeleHier tool;
  tool.SetInput(&hierarchy);
  tool.SetNodeName(THeleHier::kLHC, "101");
  tool.DoIt();
  ASSERT_EQ(tool.Output(), Unit({"101"}));
  tool.SetNodeName(THeleHier::kLHC, "303");
  tool.DoIt();
  EXPECT_EQ(tool.Output(), nullptr);
}

TEST_F(LookupTest, APointFindsItsStandAreaAndStandGroup) {
  struct Row {
    const char* Case;
    double X, Y;
    std::string Area;  // empty: none
    std::string OutString;
    std::vector<const char*> PSK;
  } rows[] = {
      {"first area", 1, 1, "A", "101 12a3 2", {"101", "12", "a", "3", "2"}},
      {"in the hole", 5, 5, "", "", {}},
      {"second area of the group", 15, 5, "B", "101 12a3 2", {"101", "12", "a", "3", "2"}},
      {"another sub-compartment", 2, 19, "C", "101 12b1 1", {"101", "12", "b", "1", "1"}},
      {"another LHC", 105, 105, "D", "202 1a1 1", {"202", "1", "a", "1", "1"}},
      {"outside every area", 50, 50, "", "", {}},
  };
  THeleSkupina tool;
  tool.SetInput(&hierarchy);
  for (const Row& row : rows) {
    tool.X = row.X;
    tool.Y = row.Y;
    tool.Found = false;
    tool.DoIt();
    EXPECT_EQ(tool.Found, !row.Area.empty()) << row.Case;
    EXPECT_EQ(tool.Output() ? tool.Output()->GetName() : "", row.Area) << row.Case;
    EXPECT_EQ(tool.GetPropertyText("OutString"), row.OutString) << row.Case;
    EXPECT_EQ(tool.PSKObject(), row.PSK.empty() ? nullptr : Unit(row.PSK)) << row.Case;
    EXPECT_EQ(tool.GetPropertyText("PSk"), row.PSK.empty() ? "" : row.PSK.back()) << row.Case;
    EXPECT_FALSE(tool.Busy()) << row.Case;
  }
}

TEST_F(LookupTest, NearbyPointsTestTheRememberedAreaFirst) {
  THeleSkupina tool;
  tool.SetInput(&hierarchy);
  const auto at = [&](double x, double y) {
    tool.X = x;
    tool.Y = y;
    tool.Found = false;
    tool.DoIt();
    return tool.Output() ? tool.Output()->GetName() : std::string();
  };
  EXPECT_EQ(at(1, 1), "A");
  // Without the hierarchy only the remembered area can still be found.
  TOwnerEntity aside;
  aside.AddElement(Unit({"101"}));
  hierarchy.RemoveElement(Unit({"101"}));
  struct Row {
    const char* Case;
    double X, Y;
    std::string Area;
  } rows[] = {
      {"moved within the area", 9, 9, "A"},
      {"into its hole", 5, 5, ""},
      {"back into the area: forgotten after the miss", 1, 1, ""},
  };
  for (const Row& row : rows) EXPECT_EQ(at(row.X, row.Y), row.Area) << row.Case;
  EXPECT_EQ(areas.GetCount(), 4) << "a miss frees no stand area";
}

// A point that misses the remembered area, with no hierarchy to walk,
// answers nothing: the area found before is no longer the Output.
TEST_F(LookupTest, WithoutAnInputAMissOfTheRememberedAreaAnswersNothing) {
  THeleSkupina tool;
  tool.SetInput(&hierarchy);
  tool.X = tool.Y = 1;
  tool.DoIt();
  ASSERT_EQ(tool.Output(), areas.GetElement(0)) << "stand area A";
  tool.SetInput(nullptr);
  tool.X = tool.Y = 50;
  tool.DoIt();
  EXPECT_FALSE(tool.Found);
  EXPECT_EQ(tool.Output(), nullptr);
  EXPECT_EQ(tool.GetPropertyText("OutString"), "");
}

// Callers that do not clear Found between points get the answer of each
// point all the same.
TEST_F(LookupTest, EachLookupStartsFromNothingFound) {
  struct Row {
    const char* Case;
    double X, Y;
    std::string Area;  // empty: none
  } rows[] = {
      {"a stand area", 1, 1, "A"},
      {"outside every area after a find", 50, 50, ""},
      {"another stand group", 2, 19, "C"},
      {"the hole of the area found before", 5, 5, ""},
      {"the area again", 9, 9, "A"},
  };
  THeleSkupina tool;
  tool.SetInput(&hierarchy);
  for (const Row& row : rows) {
    tool.X = row.X;
    tool.Y = row.Y;
    tool.DoIt();
    EXPECT_EQ(tool.Found, !row.Area.empty()) << row.Case;
    EXPECT_EQ(tool.Output() ? tool.Output()->GetName() : "", row.Area) << row.Case;
    EXPECT_EQ(tool.PSKObject() != nullptr, !row.Area.empty()) << row.Case;
  }
}

// Two stand groups of one stand side by side, (0,0)-(10,10) and
// (10,0)-(20,10); the first also holds a harvest area reaching into the
// second's stand area, which has grown the group's bounds.  A point there
// lies in the second group's stand: only a group's GEOMETRY answers.
TEST_F(LookupTest, InsideAStandGroupOnlyItsGeometryIsSearched) {
  TRectEntity groups;
  TOwnerEntity stands;
  TGroupper groupper;
  GroupStandsInto(groupper, &groups);
  PlaceStands(groupper,
              {{"first", {"303", "1", "a", "1", "1"}, 0, 0, 0}, {"second", {"303", "1", "a", "1", "2"}, 10, 0, 0}},
              [&](TAreaElement* area) { stands.AddElement(area); });
  auto* first = DynamicCast<TRectEntity>(groups.FindElementByName("303"));
  for (const char* name : {"1", "a", "1", "1"}) first = DynamicCast<TRectEntity>(first->FindElementByName(name));
  ASSERT_NE(DynamicCast<TPorostniSkupina>(first), nullptr);
  auto* harvests = Named<TRectEntity>("TEZ", first);
  TAreaElement* harvest = StandArea({}, 5, 2, 10);
  harvest->SetName("harvest");
  harvests->AddEntity(harvest);
  first->IncludeElement(harvest);
  THeleSkupina tool;
  tool.SetInput(&groups);
  tool.X = 13;
  tool.Y = 5;
  tool.DoIt();
  ASSERT_TRUE(tool.Found);
  EXPECT_EQ(tool.Output()->GetName(), "second");
  EXPECT_EQ(tool.GetPropertyText("PSk"), "2");
}

TEST_F(LookupTest, AnAreaOfLinesIsTestedAsAPlainCopyAndABusyToolDoesNothing) {
  auto* geometry = DynamicCast<TEntity>(Unit({"202", "1", "a", "1", "1", "GEOMETRY"}));
  auto* bounded = new TPolyLineAreaElement;
  bounded->SetName("lines");
  const double corners[][2] = {{100, 100}, {100, 105}, {105, 105}, {105, 100}, {100, 100}};
  for (int i = 0; i < 4; ++i) {
    auto* line = new TPolyLineElement;
    line->AddVertex(corners[i][0], corners[i][1]);
    line->AddVertex(corners[i + 1][0], corners[i + 1][1]);
    bounded->AddLine(line, true);
  }
  bounded->CalcBounds();
  // Ahead of the stand area that covers it too.
  geometry->InsertElement(0, bounded);
  THeleSkupina tool;
  tool.SetInput(&hierarchy);
  tool.X = 102;
  tool.Y = 102;
  tool.DoIt();
  ASSERT_EQ(tool.Output(), bounded);
  ASSERT_NE(tool.KeptArea(), nullptr);
  EXPECT_NE(tool.KeptArea(), bounded);
  EXPECT_EQ(tool.KeptArea()->ClassType(), TAreaElement::StaticClass());
  TElementLink alive(bounded);
  tool.X = 300;
  tool.Found = false;
  tool.DoIt();
  EXPECT_EQ(tool.Output(), nullptr);
  EXPECT_EQ(alive.Get(), bounded);
  EXPECT_EQ(tool.KeptArea(), nullptr);

  tool.SetBusy(true);
  tool.X = 1;
  tool.Y = 1;
  tool.DoIt();
  EXPECT_FALSE(tool.Found);
  tool.SetBusy(false);
}

TEST_F(LookupTest, SelectingByNameWholeOrPartInEitherCase) {
  TOwnerEntity root;
  for (const char* name : {"A12B", "a12b", "x", "ab"}) Named(name, Named("wrap", &root));
  struct Row {
    const char* Case;
    std::string Name;
    bool CaseSensitive, Partialy;
    std::vector<std::string> Expected;
  } rows[] = {
      {"part", "12", false, true, {"A12B", "a12b"}},
      {"part ab in neither", "ab", false, true, {"ab"}},
      {"part in lower case meets both", "2b", false, true, {"A12B", "a12b"}},
      {"part as written", "2b", true, true, {"a12b"}},
      {"whole name in any case", "a12B", false, false, {"A12B", "a12b"}},
      {"whole name as written", "a12b", true, false, {"a12b"}},
      {"the walked groups count too", "WRAP", false, false, {"wrap", "wrap", "wrap", "wrap"}},
  };
  for (const Row& row : rows) {
    // The settings are published properties, written by name.
    TSelectByName tool;
    tool.SetPropertyText("SelectedName", row.Name);
    tool.SetPropertyText("CaseSensitive", row.CaseSensitive ? "True" : "False");
    tool.SetPropertyText("Partialy", row.Partialy ? "True" : "False");
    tool.SetInput(&root);
    tool.DoIt();
    auto* selected = DynamicCast<TEntity>(tool.Output());
    ASSERT_NE(selected, nullptr) << row.Case;
    EXPECT_EQ(selected->GetName(), "Selected elements") << row.Case;
    std::vector<std::string> names;
    for (TElement* child : selected->Children()) names.push_back(child->GetName());
    EXPECT_EQ(names, row.Expected) << row.Case;
  }
}

}  // namespace
