// The forestry classes that scripts and files make by name.
#include "framework/core/class_registry.h"
#include "framework/core/messages.h"
#include "framework/stream/kes_loader.h"
#include "framework/stream/kes_saver.h"
#include "platform/canvas.h"
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

// The explorer, the property editor and a save read every published
// property of whatever a graph holds: none may raise, in any class the
// program registers.  One of each is saved and read back as its class.
TEST_F(ForestryClassesTest, EveryRegisteredClassReadsEachPropertyAsTextAndIsSaved) {
  // A print device begins a print document: into a folder of ours.
  const std::string printFile = platform::PrintFileName();
  platform::SetPrintFileName(File("sweep.pdf"));
  TKestuClasses& registry = *KestuClasses();
  int made = 0;
  for (int i = 0; i < registry.GetCount(); ++i) {
    const TClass cls = registry.Entry(i)->ElementClass();
    TOwnerEntity keeper;
    TElement* element = NewElement(cls);
    if (!element) continue;  // an abstract class
    ++made;
    keeper.AddElement(element);
    for (const TPropInfo* info : cls->Props()) {
      try {
        // An integer getter that raises reads as this text.
        EXPECT_NE(element->GetPropertyText(info->Name), "Err Ord Value") << cls->ClassName << "." << info->Name;
      } catch (const std::exception& error) {
        ADD_FAILURE() << cls->ClassName << "." << info->Name << " raised: " << error.what();
      }
    }
    const std::string file = File("one.kes");
    try {
      TSave save;
      save.FileName = file;
      save.SetInput(element);
      save.DoIt();
      TLoad load;
      load.FileName = file;
      load.DoIt();
      const std::unique_ptr<TElement> loaded(load.Output());
      ASSERT_NE(loaded, nullptr) << cls->ClassName;
      EXPECT_EQ(loaded->ClassName(), cls->ClassName);
    } catch (const std::exception& error) {
      ADD_FAILURE() << cls->ClassName << " not saved and read back: " << error.what();
    }
    DiscardQueuedKestuMessages();
  }
  platform::SetPrintFileName(printFile);
  EXPECT_GT(made, 400);
}

// A class whose description names no parent, or whose elements answer
// another class, drops out of the class tree: the registry would neither
// make it by its name nor show the properties it inherits.
TEST_F(ForestryClassesTest, EveryRegisteredClassStandsUnderTheElementWithItsParentsPropertiesFirst) {
  TKestuClasses& registry = *KestuClasses();
  for (int i = 0; i < registry.GetCount(); ++i) {
    const TKestuClass& entry = *registry.Entry(i);
    const TClass cls = entry.ElementClass();
    ASSERT_NE(cls, nullptr) << entry.GetName();
    EXPECT_EQ(entry.GetName(), cls->ClassName);
    EXPECT_TRUE(cls == TElement::StaticClass() || cls->InheritsFrom(TElement::StaticClass())) << cls->ClassName;
    ASSERT_NE(cls->Parent, nullptr) << cls->ClassName;
    EXPECT_EQ(entry.AncestorClassName(), cls->Parent->ClassName);
    const auto& own = cls->Props();
    const auto& inherited = cls->Parent->Props();
    ASSERT_GE(own.size(), inherited.size()) << cls->ClassName;
    for (std::size_t k = 0; k < inherited.size(); ++k)
      EXPECT_EQ(own[k]->Name, inherited[k]->Name) << cls->ClassName << " property " << k;
    EXPECT_EQ(entry.PropCount(), static_cast<int>(own.size())) << cls->ClassName;
    if (const std::unique_ptr<TElement> made{NewElement(cls)}) {
      EXPECT_EQ(made->ClassType(), cls) << cls->ClassName << " made answers " << made->ClassName();
    }
  }
}

}  // namespace
