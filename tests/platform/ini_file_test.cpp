#include "platform/ini_file.h"

#include "platform/files.h"
#include "tests/platform/temp_folder.h"

namespace {

class IniFileTest : public TempFolderTest {};

TEST_F(IniFileTest, ReadsSectionsAndKeysRegardlessOfCaseWithDefaultsForWhatIsMissing) {
  WriteCp1250File(File("a.ini"), "; komentář\r\n[Options]\r\nDataDirectory = C:\\Data\\Úsek \r\nExport_25=True\r\n"
                                 "[MainForm]\nLeft=12\nTop=x12\nWidth=\nHeight=-3\n");
  const platform::TIniFile ini(File("a.ini"));
  struct Case {
    const char* section;
    const char* key;
    std::string expected;
  } cases[] = {
      {"options", "DATADIRECTORY", "C:\\Data\\Úsek"},
      {"OPTIONS", "export_25", "True"},
      {"Options", "Export_50", "default"},
      {"Missing", "Export_25", "default"},
      {"MainForm", "Options", "default"},  // a section's name is no key
  };
  for (const Case& c : cases)
    EXPECT_EQ(ini.ReadString(c.section, c.key, "default"), c.expected) << c.section << "/" << c.key;
  EXPECT_EQ(ini.ReadInteger("mainform", "left", 0), 12);
  EXPECT_EQ(ini.ReadInteger("MainForm", "Top", 7), 7) << "no number";
  EXPECT_EQ(ini.ReadInteger("MainForm", "Width", 7), 7) << "empty";
  EXPECT_EQ(ini.ReadInteger("MainForm", "Height", 7), -3);
  EXPECT_TRUE(ini.SectionExists("MAINFORM"));
  EXPECT_FALSE(ini.ValueExists("Options", "Export_2"));
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
