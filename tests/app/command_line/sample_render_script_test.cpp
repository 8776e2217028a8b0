// The sample interpret script, a command-line script, draws the sample model.
#include <map>
#include <memory>

#include "app/command_line/command_line.h"
#include "framework/stream/kes_loader.h"
#include "render/interprets/interpret_script.h"
#include "render/interprets/universal_interpret.h"
#include "render/render_classes.h"
#include "tests/render/drawing_fixture.h"
#include "tests/render/script_tree.h"
#include "tests/render/tool_forms/tool_forms_fixture.h"

namespace {

class SampleRenderScriptTest : public ToolFormsTest {
 protected:
  void SetUp() override {
    ToolFormsTest::SetUp();
    RegisterRenderClasses();
    RegisterCommandLineClasses();
  }
};

TEST_F(SampleRenderScriptTest, TheSampleScriptBuildsTwoPassesThatDrawTheSampleModel) {
  std::unique_ptr<TCommandLine> interpreter(CreateElement<TCommandLine>());
  interpreter->ByDDE = true;
  interpreter->SetFileName(std::string(KESTX_SAMPLES_DIR) + "/render/two_pass_script.oil");
  interpreter->DoIt();
  auto* var = DynamicCast<TVar>(interpreter->Vars()->FindElementByName("SCRIPT"));
  ASSERT_TRUE(var && var->Element());
  auto* script = DynamicCast<TInterpretScript>(var->Element());
  ASSERT_TRUE(script);
  EXPECT_EQ(script->Error, 0);
  script->SetPass(0);
  EXPECT_EQ(ScriptTree(*script),
            "(TRectEntity):[(TSMO_5):TSMO_Interpret (TNode):TNodeInterpret (TMapsZM):TInterpretZM "
            "(TSpaceEntity):TSelectedSpaceElementInterpret]");
  script->SetPass(1);
  EXPECT_EQ(ScriptTree(*script), "(TSelectedElement):TSelectedElementInterpret");

  TLoad load;
  load.FileName = std::string(KESTX_SAMPLES_DIR) + "/render/model.kes";
  load.DoIt();
  std::unique_ptr<TElement> model(load.Output());
  auto device = MakeBitmapDevice(200, 200);
  const TRealPoint origin{-816140.335, -999206.329};
  device->Projection()->Calculate(origin, device->Page(), 5 * device->Page()->HRes());
  TUniversalInterpret universal;
  universal.SetScript(script);
  universal.SetInput(model.get());
  universal.AttachDevice(device.get());
  universal.DoIt();
  universal.DetachDevice();
  std::map<platform::ColorValue, int> colours;
  for (int y = 0; y < 200; ++y)
    for (int x = 0; x < 200; ++x) ++colours[device->Canvas()->Pixel(x, y)];
  // Frames of the 1:5 000 and 1:10 000 sheets (48 and 100 pixels a side),
  // the node's square, the selection's grey handles, the ZM sheets' outlines.
  EXPECT_GE(colours[0x008000], 4 * 48 - 8) << "the 1:5 000 sheet";
  EXPECT_GE(colours[0x0000FF], 4 * 98 - 8) << "the 1:10 000 sheet and the node";
  EXPECT_GE(colours[0x808080], 8 * 36) << "the selection's handles";
  EXPECT_GE(colours[0xFF00FF], 100) << "the ZM outlines";
  EXPECT_GE(colours[0xFFFFFF ^ 0xC0C0C0], 50) << "the map objects highlighted";
}

}  // namespace
