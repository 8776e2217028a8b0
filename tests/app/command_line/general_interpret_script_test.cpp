// A general interpret's FileName runs a command-line script on the interpret.
#include <memory>

#include "app/command_line/command_line.h"
#include "render/render_classes.h"
#include "render/symbology/general_interprets.h"
#include "tests/render/tool_forms/tool_forms_fixture.h"

namespace {

class GeneralInterpretScriptTest : public ToolFormsTest {
 protected:
  void SetUp() override {
    ToolFormsTest::SetUp();
    RegisterRenderClasses();
    RegisterCommandLineClasses();
  }
};

TEST_F(GeneralInterpretScriptTest, TheScriptSetsTheInterpretsProperties) {
  TGeneralPointInterpret interpret;
  const std::string script = std::string(KESTX_SAMPLES_DIR) + "/symbology/obecny_bod.oil";
  interpret.SetPropertyText("FileName", script);
  EXPECT_EQ(interpret.GetPropertyText("FileName"), script);
  EXPECT_EQ(interpret.GetProcessClassName(), "TPointElement");
  EXPECT_EQ(interpret.GetInsideClassName(), "TPointString");
  EXPECT_EQ(interpret.Color, 4);
  EXPECT_TRUE(interpret.ColorByLumar);
  EXPECT_EQ(interpret.PropColor, "Barva");
  EXPECT_EQ(interpret.ValX, 2.5);
  EXPECT_EQ(interpret.GetCount(), 0) << "the command line is freed after its run";
}

}  // namespace
