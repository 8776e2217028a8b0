// The forestry classes that scripts and files make by name.
#include "framework/core/class_registry.h"
#include "tests/forestry/forestry_fixture.h"

namespace {

class ForestryClassesTest : public ForestryTest {};

TEST_F(ForestryClassesTest, ScriptsMakeTheRegisteredToolsByNameAndNotTheHelpers) {
  struct Row {
    const char* Name;
    bool Registered;
  } rows[] = {
      {"TGroupper", true},          {"TPropsAndClass", true},       {"THeleHier", true},
      {"THeleSkupina", true},       {"THeleNacti", true},           {"THeleZaradLHC", true},
      {"TLocateIntoPSK", true},     {"THeleNactiSlu", true},        {"TExtractLHC", true},
      {"THeleClearLHC", true},      {"TRemoveHoles", true},         {"TDeleteBlockRegister", true},
      {"TClearLines", true},        {"TAreasFromClearLines", true}, {"TCreateAreasFromLinesTool", true},
      {"TClearAreas", true},        {"TKestuProject", true},        {"TKESTULHCProject", true},
      {"TSpatialAnalysisTool", true}, {"TMultiSelectSkupinaByRect", true}, {"TMultiSelectSkupinaByLine", true},
      {"TFindOkolniSkupiny", true},   {"TSelectSkupina", true},       {"TSkupinaSelector", true},
      {"TStoreLineToLHC", true},      {"TStoreAreaToLHC", true},      {"TStorePointToLHC", true},
      {"TStoreToLHCTool", false},     {"TPolyLineSelector", true},    {"TAreaSelector", true},
      {"TPointSelector", true},       {"TGraphicSelector", false},    {"TAllElementKiller", true},
      {"TShiftImage", true},         {"TCoordMonitorFrame", true},   {"TScaleMonitorFrame", true},
      {"TTestControlTool", true},
      {"TSelectByName", false},     {"TLineExtractor", false},      {"THeleBasic", false},
  };
  for (const Row& row : rows) {
    const TClass cls = FindKestuClass(row.Name);
    EXPECT_EQ(cls != nullptr, row.Registered) << row.Name;
    if (!cls) continue;
    std::unique_ptr<TElement> made(CreateElementByClassName(std::string(row.Name).substr(1)));
    ASSERT_NE(made, nullptr) << row.Name << ": made without its T as scripts name it";
    EXPECT_EQ(made->ClassName(), row.Name);
  }
}

}  // namespace
