// The classes the cartography and the rendering below it register, as the
// registry holds them.
#include "cartography/cartography_classes.h"

#include <string>
#include <vector>

#include "framework/core/class_registry.h"
#include "tests/framework/core/published_properties_sweep.h"
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
  EXPECT_EQ(sweep::ClassesOutOfTheTree(), std::vector<std::string>{});
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
