#include "render/palette/color_form.h"

#include "tests/render/render_fixture.h"

namespace {

using ColorFormTest = PaletteTest;

// Acts at the dialog, then ends it with the button.
void Answer(std::vector<std::string> clicks) {
  platform::SetModalAnswerer([clicks](platform::Form& form) {
    for (const std::string& control : clicks) platform::UserClick(form, control);
  });
}

TEST_F(ColorFormTest, SquaresTakeChosenColoursAndOkPutsThemIntoTheTable) {
  dialogs.ColorAnswers = {0x123456};
  Answer({"S3", "S4", "b_OK"});  // the second colour dialog is cancelled
  EXPECT_TRUE(EditColorTable());
  EXPECT_EQ(std::tuple(ColorTable()[3], ColorTable()[4]), std::tuple(0x123456u, OriginalColorTable()[4]));
  dialogs.ColorAnswers = {0xABCDEF};
  Answer({"S3", "b_Storno"});
  EXPECT_FALSE(EditColorTable());
  EXPECT_EQ(ColorTable()[3], 0x123456u) << "Storno keeps the table";
  Answer({"b_Orig", "b_OK"});
  EXPECT_TRUE(EditColorTable());
  EXPECT_EQ(ColorTable(), OriginalColorTable());
}

TEST_F(ColorFormTest, LoadAndSaveGoThroughTheSquaresAndNameThePaletteFile) {
  WriteCp1250File(folder.File("moje.txt"), "0 63 0\r\n");
  dialogs.FileAnswers = {folder.File("moje.txt"), folder.File("nova.txt")};
  TFormColor form;
  Answer({"b_Load", "b_Save", "b_Storno"});
  TColorTable table = OriginalColorTable();
  EXPECT_FALSE(form.Edit(table));
  EXPECT_EQ(table, OriginalColorTable()) << "loaded into the squares only";
  EXPECT_EQ(std::tuple(form.Squares()[0], form.Window().Color("S0"), PaletteFileName()),
            std::tuple(0x00FF00u, 0x00FF00u, folder.File("nova.txt")));
  EXPECT_EQ(FileBytes(folder.File("nova.txt")).substr(0, 30), "  0  63   0 ;  0,      65280\r\n");
  ASSERT_EQ(dialogs.FileDialogs.size(), 2u);
  EXPECT_EQ(std::tuple(dialogs.FileDialogs[0].Filter, dialogs.FileDialogs[1].Save),
            std::tuple("PALETA.TXT|PALETA.TXT|Texty (*.TXT)|*.TXT", true));
}

}  // namespace
