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
    // Writes are held until the file is stored, whole.
    EXPECT_EQ(FileBytes(file), platform::Utf8ToCp1250(c.before)) << c.name;
    ini.UpdateFile();
    EXPECT_EQ(FileBytes(file), c.after) << c.name;
    EXPECT_EQ(platform::TIniFile(file).ReadString(c.section, c.key, "?"), c.value) << c.name;
  }
}

// A number is the whole value, with or without its sign; anything else, or
// no such key, reads as the default.
TEST_F(IniFileTest, IntegersAreWholeValuesAnythingElseIsTheDefault) {
  WriteCp1250File(File("n.ini"), "[MainForm]\r\nLeft=15\r\nTop=+7\r\nWidth=-3\r\nHeight=12px\r\nState=\r\nX=+\r\n");
  const platform::TIniFile ini(File("n.ini"));
  const std::pair<const char*, int> rows[] = {{"Left", 15},  {"Top", 7}, {"Width", -3},     {"Height", 99},
                                              {"State", 99}, {"X", 99},  {"Missing", 99}};
  for (const auto& [key, value] : rows) EXPECT_EQ(ini.ReadInteger("MainForm", key, 99), value) << key;
}

// Sections and keys are found wherever they stand, the first line included.
TEST_F(IniFileTest, SectionsAndKeysAreFoundFromTheFirstLineOn) {
  WriteCp1250File(File("k.ini"), "[Options]\r\nX=1\r\n[MainForm]\r\nLeft=3\r\n");
  const platform::TIniFile ini(File("k.ini"));
  const struct {
    const char *section, *key;
    bool sectionExists, valueExists;
  } rows[] = {
      {"Options", "X", true, true},
      {"options", "x", true, true},
      {"Options", "Left", true, false},
      {"MainForm", "Left", true, true},
      {"Missing", "X", false, false},
  };
  for (const auto& row : rows)
    EXPECT_EQ(std::pair(ini.SectionExists(row.section), ini.ValueExists(row.section, row.key)),
              std::pair(row.sectionExists, row.valueExists))
        << row.section << "/" << row.key;
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
  ini.UpdateFile();
  EXPECT_EQ(platform::TIniFile(file).ReadString("Options", "DataDirectory", "?"), "/data/Žďár");
}

}  // namespace

namespace {

// The section goes with its header and every line up to the next section;
// the rest of the file stays byte for byte.
TEST_F(IniFileTest, ErasingASectionRemovesItsLinesUpToTheNextSection) {
  struct Case {
    const char* name;
    std::string before;
    const char* section;
    std::string after;
  } cases[] = {
      {"a middle section, any letter case, comments and blank lines with it",
       "[A]\r\nx=1\r\n[OILFForm]\r\nTop=1\r\n; pozn\r\n\r\n[B]\r\ny=2\r\n", "oilfform", "[A]\r\nx=1\r\n[B]\r\ny=2\r\n"},
      {"the last section", "[A]\r\nx=1\r\n[OILFForm]\r\n0=a.oil\r\n1=b.oil\r\n", "OILFForm", "[A]\r\nx=1\r\n"},
      {"the first section, lines before it kept", "; hlava\r\n[OILFForm]\r\nTop=1\r\n[A]\r\nx=1\r\n", "OILFForm",
       "; hlava\r\n[A]\r\nx=1\r\n"},
      {"no such section: the file untouched", "[A]\r\nx=1", "OILFForm", "[A]\r\nx=1"},
      {"a header of no name ends the section too", "[OILFForm]\r\nTop=1\r\n[]\r\nx=1\r\n", "OILFForm",
       "[]\r\nx=1\r\n"},
  };
  for (const Case& c : cases) {
    const std::string file = File("e.ini");
    WriteCp1250File(file, c.before);
    platform::TIniFile ini(file);
    ini.EraseSection(c.section);
    ini.UpdateFile();
    EXPECT_EQ(FileBytes(file), c.after) << c.name;
    EXPECT_FALSE(ini.SectionExists(c.section)) << c.name;
  }
}

}  // namespace
