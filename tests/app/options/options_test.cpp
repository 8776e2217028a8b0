#include "app/options/options.h"

#include "platform/ini_file.h"
#include "render/palette/library_paths.h"
#include "render/palette/palette.h"
#include "tests/app/shell_fixture.h"

namespace {

class OptionsTest : public ShellTest {
 protected:
  void TearDown() override {
    ColorTable() = OriginalColorTable();
    SetPaletteFileName("PALETA.TXT");
    SetSymbolLibraryDirectory("");
    ShellTest::TearDown();
  }
};

TEST_F(OptionsTest, ReadsOnlyTheKeysThereAreAndKeepsTheRestAsCreated) {
  WriteCp1250File(Ini(), "[options]\r\nexport_25=True\r\nNeznámý=1\r\nDataDirectory=D:\\Lesy\\\r\n");
  TOptions options;
  options.DataDirectory = "/home";
  LoadOptionsFromIni(options, Ini());
  EXPECT_TRUE(options.Export_25);
  for (bool flag : {options.Export_50, options.Export_10, options.Export_5, options.Export_2, options.Export_User,
                    options.BLK_25})
    EXPECT_FALSE(flag);
  EXPECT_EQ(options.DataDirectory, "D:\\Lesy\\") << "kept as written";
  EXPECT_EQ(options.StartScript, "");
}

TEST_F(OptionsTest, WritesEveryOptionInDeclarationOrderAndKeepsOtherContent) {
  WriteCp1250File(Ini(), "[MainForm]\r\nLeft=5\r\n\r\n[Options]\r\nEndScript=konec.oil\r\n");
  TOptions options;
  LoadOptionsFromIni(options, Ini());
  options.Export_User = true;
  options.SetServiceDirectory("C:\\LIB\\");
  SaveOptionsToIni(options, Ini());
  EXPECT_EQ(FileBytes(Ini()),
            "[MainForm]\r\nLeft=5\r\n\r\n[Options]\r\nEndScript=konec.oil\r\nStartScript=\r\n"
            "ExportControlDirectory=\r\nServiceDirectory=C:\\LIB\\\r\nDataDirectory=\r\nScriptDirectory=\r\n"
            "TemplateDirectory=\r\nPaletteFile=PALETA.TXT\r\nExport_50=False\r\nExport_25=False\r\n"
            "Export_10=False\r\nExport_5=False\r\nExport_2=False\r\nExport_User=True\r\nBLK_50=False\r\n"
            "BLK_25=False\r\nBLK_10=False\r\nBLK_5=False\r\nBLK_2=False\r\nBLK_User=False\r\n");
}

TEST_F(OptionsTest, ServiceDirectoryPointsTheSymbolLibraryAndPaletteFileLoadsThePalette) {
  TOptions options;
  for (const char* folderName : {"C:\\LIB\\", "C:\\LIB"}) {
    options.SetPropertyText("ServiceDirectory", folderName);
    EXPECT_EQ(options.GetPropertyText("ServiceDirectory"), folderName);
    EXPECT_EQ(SymbolLibraryFile("Fonty.txt"), "C:/LIB/Fonty.txt") << folderName;
  }
  WriteCp1250File(File("moje.txt"), "0 0 63\r\n");
  options.SetPropertyText("PaletteFile", File("moje.txt"));
  EXPECT_EQ(PaletteFileName(), File("moje.txt"));
  EXPECT_EQ(options.GetPropertyText("PaletteFile"), File("moje.txt"));
  EXPECT_EQ(ColourOfCode(0), 0xFF0000u);
}

}  // namespace
