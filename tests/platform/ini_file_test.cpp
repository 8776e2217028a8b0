#include "platform/ini_file.h"

#include <string>

#include "platform/files.h"
#include "tests/platform/temp_folder.h"

namespace {

class IniFileTest : public TempFolderTest {};

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

TEST_F(IniFileTest, AValueTheCodePageLacksIsNotWrittenAndTheStoredOneStays) {
  const std::string file = File("w.ini");
  const std::string before = "[Options]\r\nDataDirectory=/data\r\n";
  WriteCp1250File(file, before);
  platform::TIniFile ini(file);
  EXPECT_FALSE(ini.WriteString("Options", "DataDirectory", "/data/a-Дир"));
  EXPECT_FALSE(ini.WriteString("Options", "ScriptDirectory", "日本"));
  EXPECT_EQ(FileBytes(file), before);
  EXPECT_TRUE(ini.WriteString("Options", "DataDirectory", "/data/Žďár"));
  EXPECT_EQ(platform::TIniFile(file).ReadString("Options", "DataDirectory", "?"), "/data/Žďár");
}

}  // namespace
