#include "render/interprets/script_creator.h"

#include <memory>

#include "cartography/cartography_classes.h"
#include "cartography/layouts/desktop.h"
#include "cartography/layouts/text_block.h"
#include "cartography/symbology/symbology_interprets.h"
#include "render/interprets/interpret.h"
#include "render/interprets/interpret_script.h"
#include "render/rasters/raster.h"
#include "render/rasters/raster_interprets.h"
#include "spatial/objects/space_entities.h"
#include "tests/render/render_fixture.h"
#include "tests/render/script_tree.h"

namespace {

class ScriptCreatorTest : public RenderTest {
 protected:
  void SetUp() override {
    RenderTest::SetUp();
    RegisterCartographyClasses();
  }
};

// The symbology interprets' nodes, in the script's order.
#define SYMBOLOGY_NODES                                                     \
  "(TTextElement):TInterpretLumTextu (TTextString):TInterpretLumTextu "     \
  "(TPointElement):TInterpretLumBodu (TPointString):TInterpretLumBodu "     \
  "(TAreaElement):TInterpretLumPloch "                                      \
  "(TAreaString):TInterpretLumPloch (TPolyLineElement):TInterpretLumLinii " \
  "(TPolyLineString):TInterpretLumLinii "

// Grid marks are no rectangle entities: their nodes sit beside that of the rectangle entities.
#define GRID_NODES "(TCross):TInterpretKrizku (TLines):TLinesInterpret"

TEST_F(ScriptCreatorTest, TheScriptHoldsTheNodesWhoseClassesAreKnownAndRastersOnlyWhileEnabled) {
  struct Case {
    const char* name;
    bool rasters;
    const char* tree;
  };
  const Case cases[] = {
      {"rasters on", true,
       "(TRectEntity):[(TRaster):TRasterInterpret " SYMBOLOGY_NODES "(TDesktop):TDesktopInterpret "
       "(TSMO_5):TSMO_Interpret] " GRID_NODES},
      {"rasters off", false,
       "(TRectEntity):[" SYMBOLOGY_NODES "(TDesktop):TDesktopInterpret (TSMO_5):TSMO_Interpret] " GRID_NODES},
  };
  for (const Case& test : cases) {
    RastersEnabled() = test.rasters;
    TUniversalLumarScriptCreator creator;
    creator.DoIt();
    std::unique_ptr<TInterpretScript> script(DynamicCast<TInterpretScript>(creator.Output()));
    ASSERT_TRUE(script) << test.name;
    EXPECT_EQ(std::tuple(script->PassesCount(), ScriptTree(*script)), std::tuple(1, std::string(test.tree)))
        << test.name;
    if (test.rasters) {
      TRaster raster;
      EXPECT_TRUE(DynamicCast<TRasterInterpret>(script->FindInterpret(&raster))) << test.name << ": found by name";
    }
    // Desktops (map sheets too) and grid marks get the interprets made by their class names.
    TmapSheet sheet;
    TCross cross;
    TLines grid;
    EXPECT_EQ(std::tuple(script->FindInterpret(&sheet)->ClassName(), script->FindInterpret(&cross)->ClassName(),
                         script->FindInterpret(&grid)->ClassName()),
              std::tuple(std::string("TDesktopInterpret"), std::string("TInterpretKrizku"),
                         std::string("TLinesInterpret")))
        << test.name;
    TTextElement text;
    TTextString texts;
    TPointElement point;
    TPointString points;
    TPolyLineElement line;
    TPolyLineString lines;
    TAreaElement area;
    TAreaString areas;
    const struct {
      TElement* Element;
      TElement* Layer;
      TClass Interpret;
    } kinds[] = {{&text, &texts, TInterpretLumTextu::StaticClass()},
                 {&point, &points, TInterpretLumBodu::StaticClass()},
                 {&line, &lines, TInterpretLumLinii::StaticClass()},
                 {&area, &areas, TInterpretLumPloch::StaticClass()}};
    for (const auto& kind : kinds) {
      TInterpret* draws = script->FindInterpret(kind.Element);
      ASSERT_TRUE(draws) << test.name << " " << kind.Element->ClassName();
      EXPECT_EQ(draws->ClassType(), kind.Interpret) << test.name;
      EXPECT_EQ(draws, script->FindInterpret(kind.Layer)) << test.name << ": one interpret for element and layer";
      EXPECT_EQ(draws->GetOwnersCount(), 2) << test.name << ": held by both nodes";
    }
  }
  RastersEnabled() = true;
}

}  // namespace
