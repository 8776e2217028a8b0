#include "platform/ini_file.h"

#include <string>
#include <tuple>

#include "platform/files.h"
#include "tests/platform/temp_folder.h"

namespace {

class IniFileTest : public TempFolderTest {};

TEST_F(IniFileTest, ReadsSectionsAndKeysRegardlessOfCaseWithDefaultsForWhatIsMissing) {
  WriteCp1250File(File("a.ini"), "; komentář\r\n[Options]\r\nDataDirectory = C:\\Data\\Úsek \r\nExport_25=True\r\n"
                                 "[MainForm]\nLeft=12\nTop=x12\nWidth=\nHeight=-3\n");
  const platform::TIniFile ini(File("a.ini"));
  const std::tuple<const char*, const char*, std::string> cases[] = {  // section, key, value
      {"options", "DATADIRECTORY", "C:\\Data\\Úsek"},
      {"OPTIONS", "export_25", "True"},
      {"Options", "Export_50", "default"},
      {"Missing", "Export_25", "default"},
      {"MainForm", "Options", "default"},  // a section's name is no key
  };
  for (const auto& [section, key, value] : cases)
    EXPECT_EQ(ini.ReadString(section, key, "default"), value) << section << "/" << key;
  // A value that is no number, or empty, reads as the default.
  EXPECT_EQ(std::tuple(ini.ReadInteger("mainform", "left", 0), ini.ReadInteger("MainForm", "Top", 7),
                       ini.ReadInteger("MainForm", "Width", 7), ini.ReadInteger("MainForm", "Height", 7)),
            std::tuple(12, 7, 7, -3));
  EXPECT_EQ(std::pair(ini.SectionExists("MAINFORM"), ini.ValueExists("Options", "Export_2")), std::pair(true, false));
}

TEST_F(IniFileTest, WritesChangeOnlyTheirLineAndKeepEverythingElseByteForByte) {
  struct Case {
    const char* name;
    std::string before;
    const char* section;
    const char* key;
    std::string value;
    std::string after;
  } cases[] = {
      {"replaced in place, spelling of the file kept for the rest",
       "; hlava\r\n[OPTIONS]\r\nstartscript=a.oil\r\nX=1\r\n\r\n[Jiná]\r\nY=ž\r\n", "Options", "StartScript", "b.oil",
       "; hlava\r\n[OPTIONS]\r\nStartScript=b.oil\r\nX=1\r\n\r\n[Jin\xe1]\r\nY=\x9e\r\n"},
      {"added after the section's last entry, before its blank line", "[Options]\r\nX=1\r\n\r\n[MainForm]\r\nLeft=3\r\n",
       "options", "Export_2", "False", "[Options]\r\nX=1\r\nExport_2=False\r\n\r\n[MainForm]\r\nLeft=3\r\n"},
      {"a new section at the end, after a blank line", "[MainForm]\nLeft=3", "Options", "DataDirectory", "/data/lesy",
       "[MainForm]\r\nLeft=3\r\n\r\n[Options]\r\nDataDirectory=/data/lesy\r\n"},
      {"a missing file is created", "", "Options", "PaletteFile", "PALETA.TXT", "[Options]\r\nPaletteFile=PALETA.TXT\r\n"},
      {"Windows-1250 on disk", "", "Options", "DataDirectory", "Školní polesí", "[Options]\r\nDataDirectory=\x8akoln\xed poles\xed\r\n"},
  };
  for (const Case& c : cases) {
    const std::string file = File("w.ini");
    platform::DeleteFile(file);
    if (!c.before.empty()) WriteCp1250File(file, c.before);
    platform::TIniFile ini(file);
    ini.WriteString(c.section, c.key, c.value);
    EXPECT_EQ(FileBytes(file), c.after) << c.name;
    EXPECT_EQ(platform::TIniFile(file).ReadString(c.section, c.key, "?"), c.value) << c.name;
  }
}

}  // namespace
