// The classes the cartography and the rendering below it register, as the
// registry holds them.
#include "cartography/cartography_classes.h"

#include <string>
#include <vector>

#include "framework/core/class_registry.h"
#include "tests/render/render_fixture.h"

namespace {

class CartographyClassesTest : public RenderTest {
 protected:
  void SetUp() override {
    RenderTest::SetUp();
    RegisterCartographyClasses();
  }
};

// A class whose description went missing would sit in the registry without
// a name, unseen by scripts and files, its published properties with it.
TEST_F(CartographyClassesTest, EveryRegisteredClassIsFoundByItsNameInTheTreeUnderTheElementRoot) {
  TKestuClasses& registry = *KestuClasses();
  std::vector<std::string> wrong;
  for (int i = 0; i < registry.GetCount(); ++i) {
    const TClass cls = registry.Entry(i)->ElementClass();
    if (!cls) {
      wrong.push_back("entry " + std::to_string(i) + " has no class");
      continue;
    }
    if (FindKestuClass(cls->ClassName) != cls) wrong.push_back(cls->ClassName + " is not found by its name");
    if (cls != TElement::StaticClass() && !cls->InheritsFrom(TElement::StaticClass()))
      wrong.push_back(cls->ClassName + " is not under " + TElement::StaticClass()->ClassName);
  }
  EXPECT_EQ(wrong, std::vector<std::string>{});
}

// Views (with the projection each holds as a child), desktops, grid marks,
// pictures, rasters and model scripts are made by scripts and read from
// files by their class names.
TEST_F(CartographyClassesTest, TheLayoutRasterAndModelClassesAreMadeByTheirNames) {
  for (const char* name :
       {"TView", "TViewProjection", "TViewInterpret", "TDesktop", "TDeskTopFile", "TMultiPageDesktop",
        "TDesktopInterpret",
        "TDrawRectInterpret", "TTileTemplate", "TTextBlock", "TCross", "TLines", "TInterpretKrizku", "TLinesInterpret",
        "TGraphicFileElement", "TBMPFileElement", "TRaster", "TRasterInterpret", "TModelScript", "TLayerScript",
        "TModelScriptCreator", "TStringListFromModelScript", "TModelByScriptCreator", "TDynamicModel",
        "TModelScriptToDynamicModel"}) {
    const TClass cls = FindKestuClass(name);
    EXPECT_TRUE(cls && cls->ClassName == name) << name;
  }
}

}  // namespace
