#include "app/options/options.h"

#include <memory>

#include "platform/ini_file.h"
#include "render/palette/library_paths.h"
#include "render/palette/palette.h"
#include "tests/app/shell_fixture.h"

namespace {

using OptionsTest = ShellTest;

TEST_F(OptionsTest, ReadsOnlyTheKeysThereAreAndWritesEveryOptionInDeclarationOrderKeepingOtherContent) {
  WriteCp1250File(Ini(), "[MainForm]\r\nLeft=5\r\n\r\n[options]\r\nEndScript=konec.oil\r\nexport_25=True\r\n"
                         "Neznámý=1\r\nDataDirectory=D:\\Lesy\\\r\n");
  TOptions options;
  options.StartScript = "a.oil";
  LoadOptionsFromIni(options, Ini());
  EXPECT_TRUE(options.Export_25);
  EXPECT_FALSE(options.Export_50 || options.Export_10 || options.BLK_25);
  EXPECT_EQ(options.DataDirectory, "D:\\Lesy\\") << "kept as written";
  EXPECT_EQ(options.StartScript, "a.oil") << "kept as created";
  options.Export_User = true;
  options.SetServiceDirectory("C:\\LIB\\");
  SaveOptionsToIni(options, Ini());
  EXPECT_EQ(SymbolLibraryFile("Fonty.txt"), "C:/LIB/Fonty.txt") << "the service folder is the symbol library's";
  // Keys there are change in place, the others follow in declaration order.
  EXPECT_EQ(FileBytes(Ini()),
            "[MainForm]\r\nLeft=5\r\n\r\n[options]\r\nEndScript=konec.oil\r\nExport_25=True\r\nNezn\xe1m\xfd=1\r\n"
            "DataDirectory=D:\\Lesy\\\r\nStartScript=a.oil\r\nExportControlDirectory=\r\nServiceDirectory=C:\\LIB\\\r\n"
            "ScriptDirectory=\r\nTemplateDirectory=\r\nPaletteFile=PALETA.TXT\r\nExport_50=False\r\nExport_10=False\r\n"
            "Export_5=False\r\nExport_2=False\r\nExport_User=True\r\nBLK_50=False\r\nBLK_25=False\r\nBLK_10=False\r\n"
            "BLK_5=False\r\nBLK_2=False\r\nBLK_User=False\r\n");
}

// Naming the palette file loads it into the program's colours.
TEST_F(OptionsTest, ThePaletteFileOptionLoadsThePalette) {
  WriteCp1250File(File("JINA.TXT"), "0 63 0\r\n");
  TOptions options;
  options.SetPropertyText("PaletteFile", File("JINA.TXT"));
  EXPECT_EQ(std::pair(options.GetPropertyText("PaletteFile"), ColorTable()[0]),
            std::pair(File("JINA.TXT"), std::uint32_t{0x00FF00}));
}

TEST_F(OptionsTest, OptionsTheFileCannotHoldKeepTheirStoredValuesAndOneLineSaysSo) {
  WriteCp1250File(Ini(), "[Options]\r\nDataDirectory=/data/lesy\r\n");
  const auto main = static_cast<TMainTool*>(TOldMainTool::Create(TMainTool::StaticClass()));
  TOptions& options = *main->GetOptions();
  options.DataDirectory = "/data/a-Дир";
  options.StartScript = "Дир.oil";
  options.EndScript = "konec.oil";
  SaveOptionsToIni(options, Ini());
  RunMessages();
  const platform::TIniFile ini(Ini());
  EXPECT_EQ(std::tuple(ini.ReadString("Options", "DataDirectory", "?"), ini.ReadString("Options", "StartScript", "?"),
                       ini.ReadString("Options", "EndScript", "?")),
            std::tuple("/data/lesy", "?", "konec.oil"));
  EXPECT_EQ(main->MessageLines(),
            (std::vector<std::string>{"Volby obsahují znaky mimo kódovou stránku 1250 a nebyly uloženy do " + Ini() +
                                      ", zůstávají uložené hodnoty: StartScript (Дир.oil), DataDirectory (/data/a-Дир)"}));
}

// Option files name both classes; each is made by its name.
TEST_F(OptionsTest, BothOptionClassesAreMadeByName) {
  RegisterOptionsClasses();
  for (const char* name : {"TBaseOptions", "TOptions"}) {
    std::unique_ptr<TElement> made(CreateElementByClassName(name));
    ASSERT_NE(made, nullptr) << name;
    EXPECT_EQ(made->ClassName(), name);
  }
}

}  // namespace
