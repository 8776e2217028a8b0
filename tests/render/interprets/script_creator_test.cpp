#include "render/interprets/script_creator.h"

#include <memory>

#include "render/interprets/interpret.h"
#include "render/interprets/interpret_script.h"
#include "render/rasters/raster.h"
#include "render/rasters/raster_interprets.h"
#include "spatial/objects/space_entities.h"
#include "tests/render/render_fixture.h"
#include "tests/render/script_tree.h"

namespace {

// Interprets of the later issues, as the registry will know them.
class TProbePointInterpret : public TInterpret {
  KESTX_CLASS(TProbePointInterpret)
};

TClass TProbePointInterpret::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TProbePointInterpret>("TInterpretLumBodu", TInterpret::StaticClass(), "test", {});
  return &info;
}

using ScriptCreatorTest = RenderTest;

TEST_F(ScriptCreatorTest, TheScriptHoldsTheNodesWhoseClassesAreKnownAndRastersOnlyWhileEnabled) {
  struct Case {
    const char* name;
    bool probes, rasters;
    const char* tree;
  };
  const Case cases[] = {
      {"today's classes", false, true, "(TRectEntity):[(TRaster):TRasterInterpret (TSMO_5):TSMO_Interpret]"},
      {"with point interprets",
       true,
       true,
       "(TRectEntity):[(TRaster):TRasterInterpret (TPointElement):TInterpretLumBodu "
       "(TPointString):TInterpretLumBodu (TSMO_5):TSMO_Interpret]"},
      {"rasters off",
       true,
       false,
       "(TRectEntity):[(TPointElement):TInterpretLumBodu (TPointString):TInterpretLumBodu (TSMO_5):TSMO_Interpret]"},
  };
  for (const Case& test : cases) {
    if (test.probes) {
      RegisterKestuClass(TProbePointInterpret::StaticClass());
    }
    RastersEnabled() = test.rasters;
    TUniversalLumarScriptCreator creator;
    creator.DoIt();
    std::unique_ptr<TInterpretScript> script(DynamicCast<TInterpretScript>(creator.Output()));
    ASSERT_TRUE(script) << test.name;
    EXPECT_EQ(std::tuple(script->PassesCount(), ScriptTree(*script)), std::tuple(1, std::string(test.tree))) << test.name;
    if (test.rasters) {
      TRaster raster;
      EXPECT_TRUE(DynamicCast<TRasterInterpret>(script->FindInterpret(&raster))) << test.name << ": found by name";
    }
    if (test.probes) {
      TPointElement point;
      TPointString points;
      TInterpret* drawsPoint = script->FindInterpret(&point);
      EXPECT_TRUE(drawsPoint && drawsPoint == script->FindInterpret(&points)) << "one interpret for both";
      EXPECT_EQ(drawsPoint->GetOwnersCount(), 2) << "held by both nodes";
    }
  }
  RastersEnabled() = true;
}

}  // namespace
