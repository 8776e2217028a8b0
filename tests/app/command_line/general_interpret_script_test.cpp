// A general interpret's FileName runs a command-line script on the interpret.
#include <gmock/gmock.h>

#include <memory>

#include "app/command_line/command_line.h"
#include "cartography/cartography_classes.h"
#include "cartography/symbology/general_interprets.h"
#include "tests/platform/temp_folder.h"
#include "tests/render/tool_forms/tool_forms_fixture.h"

namespace {

class GeneralInterpretScriptTest : public ToolFormsTest {
 protected:
  void SetUp() override {
    ToolFormsTest::SetUp();
    RegisterCartographyClasses();
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

// Each write of FileName runs its script with a new interpreter: nested so,
// the runs count towards the nesting limit of CALL, and the write beyond it
// is an error of its line.
TEST_F(GeneralInterpretScriptTest, AScriptThatSetsFileNameAgainStopsAtTheNestingLimit) {
  TempFolder folder;
  const std::string a = folder.File("a.oil");
  const std::string b = folder.File("b.oil");
  struct Row {
    const char* name;
    std::string aNames;  // what a.oil sets FileName to
  };
  const Row rows[] = {{"itself", a}, {"two files naming each other", b}};
  WriteCp1250File(b, "CREATEELEMENT(OwnerEntity, x)\nFileName = '" + a + "'\n");
  for (const Row& row : rows) {
    WriteCp1250File(a, "CREATEELEMENT(OwnerEntity, x)\nFileName = '" + row.aNames + "'\n");
    TGeneralAreaInterpret interpret;
    interpret.SetPropertyText("FileName", a);
    // The first run and the 64 runs nested in it; the 65th nested run,
    // asked by a.oil (which runs at every odd depth), is refused.
    EXPECT_EQ(interpret.GetCount(), 1 + TCommandLine::kMaxCallDepth) << row.name;
    EXPECT_THAT(Boxes(), ::testing::ElementsAre("Příliš mnoho vnořených volání skriptů (nejvýše 64): " + row.aNames +
                                                "\n" + a + " ř.č.2\nFileName = '" + row.aNames + "'"))
        << row.name;
    dialogs.Messages.clear();
  }
}

}  // namespace
