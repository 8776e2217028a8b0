#include <gmock/gmock.h>

#include <functional>
#include <string>
#include <vector>

#include "block/forest_model/forest_props.h"
#include "block/forest_model/forest_units.h"
#include "block/forest_model/lhc_export.h"
#include "tests/block/block_fixture.h"

namespace {

using ::testing::ElementsAre;

// A unit of class T named name under the parent.
template <class T>
T* Unit(const std::string& name, TEntity* parent) {
  auto* unit = CreateElement<T>();
  unit->SetName(name);
  if (parent) parent->AddElement(unit);
  return unit;
}

class ForestModelTest : public BlockTest {
 protected:
  void SetUp() override {
    BlockTest::SetUp();
    lhc = Unit<TLHC>("101", &root);
    odd = Unit<TOddeleni>("12", lhc);
    dil = Unit<TDilec>("a", odd);
    por = Unit<TPorost>("3", dil);
    psk = Unit<TPorostniSkupina>("2", por);
  }

  TOwnerEntity root;
  TLHC* lhc = nullptr;
  TOddeleni* odd = nullptr;
  TDilec* dil = nullptr;
  TPorost* por = nullptr;
  TPorostniSkupina* psk = nullptr;
};

TEST_F(ForestModelTest, EachLevelAnswersTheUnitsAboveIt) {
  // A stand group whose stand lies under no sub-compartment.
  auto* loosePorost = Unit<TPorost>("9", &root);
  auto* loose = Unit<TPorostniSkupina>("1", loosePorost);
  struct Row {
    const char* Case;
    const TForestUnit* Unit;
    std::vector<const TElement*> Expected;  // LHC, Oddeleni, Dilec, Porost
  } rows[] = {
      {"LHC", lhc, {nullptr, nullptr, nullptr, nullptr}},
      {"compartment", odd, {lhc, nullptr, nullptr, nullptr}},
      {"sub-compartment", dil, {lhc, odd, nullptr, nullptr}},
      {"stand", por, {lhc, odd, dil, nullptr}},
      {"stand group", psk, {lhc, odd, dil, por}},
      {"stand group of a loose stand", loose, {nullptr, nullptr, nullptr, loosePorost}},
      {"stand without owners", Unit<TPorost>("x", nullptr), {nullptr, nullptr, nullptr, nullptr}},
  };
  for (const Row& row : rows) {
    const std::vector<const TElement*> answers = {row.Unit->GetLHC(), row.Unit->GetOddeleni(), row.Unit->GetDilec(),
                                                  row.Unit->GetPorost()};
    EXPECT_EQ(answers, row.Expected) << row.Case;
  }
  delete rows[6].Unit;
}

TEST_F(ForestModelTest, LevelsArePublishedAsReadOnlyElements) {
  struct Row {
    const TElement* Unit;
    const char* Property;
    const TElement* Expected;
  } rows[] = {
      {odd, "LHC", lhc},      {dil, "Oddeleni", odd}, {por, "Dilec", dil},
      {psk, "Porost", por},   {psk, "LHC", lhc},      {dil, "Porost", nullptr},
  };
  for (const Row& row : rows)
    EXPECT_EQ(GetObjectPropByName(*row.Unit, row.Property), row.Expected) << row.Unit->GetName() << row.Property;
  EXPECT_FALSE(SetObjectPropByName(*psk, "Porost", nullptr));
  EXPECT_EQ(psk->GetPorost(), por);
}

TEST_F(ForestModelTest, HarvestAreaPropsAnswerTheKeysOfTheirStandGroup) {
  auto* geometry = Named<TAreaString>("GEOMETRY", psk);
  auto* inside = Named<TAreaElement>("in", geometry);
  auto* outside = Named<TAreaElement>("out", &root);
  auto* loose = new TTezPProps;
  struct Row {
    const char* Case;
    TAreaElement* Area;
    std::string Expected;
  } rows[] = {
      {"area in a stand group", inside, "101|12|a|3|2"},
      {"area outside any stand group", outside, "||||"},
      {"props without an area", nullptr, "||||"},
  };
  for (const Row& row : rows) {
    TTezPProps* props = loose;
    if (row.Area) {
      props = new TTezPProps;
      row.Area->SetProperties(props);
    }
    EXPECT_EQ(Texts(*props, {"LHC", "Oddeleni", "Dilec", "Porost", "Skupina"}), row.Expected) << row.Case;
  }
  delete loose;
  SetTexts(*inside->Properties(), {{"Nalehavost", "3"}, {"Zpusob", "7"}, {"Vymera", "1.25"}});
  EXPECT_EQ(Texts(*inside->Properties(), {"Nalehavost", "Zpusob", "Vymera", "Cislo"}), "3|7|1.25|0");
}

// Counts its living instances: point props the export must not leak.
class TCountedPointProps : public TLumarPointProps {
  KESTX_CLASS(TCountedPointProps)
 public:
  TCountedPointProps() { ++Alive; }
  ~TCountedPointProps() override { --Alive; }
  static inline int Alive = 0;
};
TClass TCountedPointProps::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TCountedPointProps>("TCountedPointProps", TLumarPointProps::StaticClass(), "test", {});
  return &info;
}

class LhcExportTest : public BlockTest {
 protected:
  void SetUp() override {
    BlockTest::SetUp();
    RegisterKestuClass(TCountedPointProps::StaticClass());
    SetWorld(&world);
    MainTool = &log;
  }
  void TearDown() override {
    RunMessages();
    SetWorld(nullptr);
    BlockTest::TearDown();
  }
  // An area with props of class T and kind druh, or without props.
  template <class T = TLumarAreaProps>
  TAreaElement* Area(int druh, bool withProps = true) {
    auto* area = Named<TAreaElement>("", &areas);
    if (!withProps) return area;
    auto* props = new T;
    props->Druh = static_cast<std::int16_t>(druh);
    area->SetProperties(props);
    return area;
  }

  TWorld world;
  TLogLines log;
  TAreaString areas;
};

TEST_F(LhcExportTest, AreasGetPropsOfTheClassAndTheGroupUnlessTheyAreHoles) {
  TAreaElement* bare = Area(0, false);
  TAreaElement* hole = Area<TTezPProps>(9);
  TAreaElement* other = Area<TTezPProps>(4);
  TAreaElement* foreign = Area<TLumarAreaProps>(4);
  Named<TPolyLineElement>("not an area", &areas);
  TExportLHCBasic tool;
  tool.SetPropertyText("PropertyClassName", "TezPProps");
  tool.SetPropertyText("Group", "5");
  tool.SetPropertyText("HolesGroup", "9");
  ASSERT_EQ(tool.PropertyClass(), TTezPProps::StaticClass());
  EXPECT_EQ(tool.GetPropertyText("PropertyClassName"), "TezPProps");
  tool.AssignAreaProperties(areas);
  struct Row {
    const char* Case;
    TAreaElement* Area;
    TClass Class;
    std::string Values;  // Druh|Barva|Znacka
  } rows[] = {
      {"bare area gets new props", bare, TTezPProps::StaticClass(), "5|13|1"},
      {"hole keeps its kind", hole, TTezPProps::StaticClass(), "9|0|0"},
      {"area of the class gets the group", other, TTezPProps::StaticClass(), "5|0|0"},
      {"props of another class stay", foreign, TLumarAreaProps::StaticClass(), "4|0|0"},
  };
  for (const Row& row : rows) {
    ASSERT_NE(row.Area->Properties(), nullptr) << row.Case;
    EXPECT_EQ(row.Area->Properties()->ClassType(), row.Class) << row.Case;
    EXPECT_EQ(Texts(*row.Area->Properties(), {"Druh", "Barva", "Znacka"}), row.Values) << row.Case;
  }
  RunMessages();
  EXPECT_THAT(log.Lines, ElementsAre());
}

TEST_F(LhcExportTest, APropertyClassThatMakesNoAreaPropsLeavesTheAreasAsTheyWere) {
  struct Row {
    const char* Case;
    std::string ClassName;
    std::vector<std::string> Log;
  } rows[] = {
      {"no such class", "TNeniTakova", {"Kestu nenašel třídu TNeniTakova"}},
      {"point props are freed", "TCountedPointProps", {}},
  };
  for (const Row& row : rows) {
    areas.Clear();
    log.Lines.clear();
    TAreaElement* bare = Area(0, false);
    TAreaElement* kept = Area(9);
    TExportLHCBasic tool;
    tool.SetPropertyClassName(row.ClassName);
    tool.Group = 5;
    tool.AssignAreaProperties(areas);
    RunMessages();
    EXPECT_EQ(bare->Properties(), nullptr) << row.Case;
    EXPECT_EQ(kept->GetPropertyInteger("Druh"), 9) << row.Case;
    EXPECT_EQ(TCountedPointProps::Alive, 0) << row.Case;
    EXPECT_EQ(log.Lines, row.Log) << row.Case;
  }
}

TEST_F(LhcExportTest, TheLayerIsFoundUnderDataByName) {
  struct Row {
    const char* Case;
    std::function<TElement*(TEntity& model)> Make;
    bool Found;
  } rows[] = {
      {"no DATA", [](TEntity&) { return nullptr; }, false},
      {"DATA is no entity", [](TEntity& m) { Named<TNameElement>("DATA", &m); return nullptr; }, false},
      {"no such layer", [](TEntity& m) { Named("LES", Named("DATA", &m)); return nullptr; }, false},
      {"layer is no entity", [](TEntity& m) { Named<TNameElement>("TEZ", Named("DATA", &m)); return nullptr; }, false},
      {"layer in any case", [](TEntity& m) { return Named("tez", Named("DATA", &m)); }, true},
  };
  for (const Row& row : rows) {
    world.ObjectModel()->Clear();
    TElement* made = row.Make(*world.ObjectModel());
    TExportLHCBasic tool;
    tool.LayerName = "TEZ";
    EXPECT_EQ(tool.FindLayer(), row.Found ? made : nullptr) << row.Case;
  }
}

TEST(ForestModelClasses, EveryUnitAndPropsClassIsMadeByName) {
  RegisterBlockClasses();
  for (const char* name : {"TForestUnit", "TEtaz", "TPorostniSkupina", "TPorost", "TDilec", "TOddeleni", "TLHC",
                           "TTezPProps", "TTezBProps", "TSRFBProps"}) {
    TElement* made = CreateElementByClassName(name);
    ASSERT_NE(made, nullptr) << name;
    EXPECT_EQ(made->ClassName(), name);
    delete made;
  }
  TSRFBProps age;
  age.SetPropertyText("VEK_ST", "85");
  TTezBProps point;
  point.SetPropertyText("Nalehavost", "2");
  EXPECT_EQ(age.VEK_ST, 85);
  EXPECT_EQ(point.Nalehavost, 2);
}

}  // namespace
