#include "render/palette/palette.h"

#include "render/palette/color_form.h"
#include "tests/render/render_fixture.h"

namespace {

TEST_F(PaletteTest, ColourCodesIndexTheTableOrCarryFiveBitsAChannel) {
  const std::pair<std::int16_t, std::uint32_t> cases[] = {
      {0, 0xFFFFFF},  {13, 0x000000},  {11, 0x0000FF}, {15, 0xC0C0C0},
      {16, 0},        {-32767, 0xFFFFFF},  // every channel 31 * 8 = 248, above 247
      {-31, 0xFF0000},                     // blue only
      {-(1 << 10), 0x000008},              // red 1 * 8
      {-(30 << 5), 0x00F000},              // green 30 * 8 = 240 stays
  };
  for (const auto& [code, colour] : cases) EXPECT_EQ(ColourOfCode(code), colour) << "code " << code;
}

TEST_F(PaletteTest, PaletteFileLinesGiveColoursAndBadLinesKeepTheirEntries) {
  WriteCp1250File(folder.File("PALETA.TXT"),
                  "63 0 0 ; červená\r\n16 16 16\r\n32 33 1\r\nnic\r\n64 0 0\r\n0 0\r\n 0  63   0\r\n");
  LoadPalette(folder.File("PALETA.TXT"));
  const TColorTable& original = OriginalColorTable();
  const std::pair<int, std::uint32_t> cases[] = {
      {0, 0x0000FF},       // 63 * 4 + 3
      {1, 0x404040},       // 64 is not above 128
      {2, 0x048780},       // 128, 135, 4
      {3, original[3]},    // no numbers
      {4, original[4]},    // beyond the file's range
      {5, original[5]},    // two channels only
      {6, 0x00FF00},       // blanks of any width
      {7, original[7]},    // no line
  };
  for (const auto& [index, colour] : cases) EXPECT_EQ(ColorTable()[index], colour) << "entry " << index;
  LoadPalette(folder.File("NENI.TXT"));
  EXPECT_EQ(ColorTable()[0], 0x0000FFu) << "a missing file changes nothing";
}

TEST_F(PaletteTest, SavedPaletteHasTheFixedLayoutAndReadsBackEveryMultipleOfFour) {
  TColorTable table = OriginalColorTable();
  table[1] = 0x00800400;  // red 0, green 4, blue 128
  ASSERT_TRUE(SavePalette(folder.File("P.TXT"), table));
  const std::string bytes = FileBytes(folder.File("P.TXT"));
  EXPECT_EQ(bytes.substr(0, 60),
            " 63  63  63 ;  0,   16777215\r\n"
            "  0   1  32 ;  1,    8389632\r\n");
  TColorTable read{};
  LoadPalette(folder.File("P.TXT"), read);
  EXPECT_EQ(std::tuple(read[1], read[4]), std::tuple(table[1], 0x000080u));
  EXPECT_FALSE(SavePalette(folder.File("missing/P.TXT"), table));
}

TEST_F(PaletteTest, SymbolLibraryFolderDropsOneTrailingDelimiter) {
  for (const char* folderName : {"C:\\LIB\\", "C:\\LIB", "C:/LIB/"}) {
    SetSymbolLibraryDirectory(folderName);
    EXPECT_EQ(SymbolLibraryFile("Fonty.txt"), "C:/LIB/Fonty.txt") << folderName;
  }
}

// The colour form shows the table it edits, square by square; OK gives the
// squares back.
TEST_F(PaletteTest, TheColourFormShowsTheTableInItsSquares) {
  platform::EnsureWindowSystem();
  std::vector<std::string> answered;
  platform::SetUnattended([&answered](const std::string& line) { answered.push_back(line); });
  TColorTable table = OriginalColorTable();
  for (std::size_t i = 0; i < table.size(); ++i) table[i] = 0x010203u * static_cast<std::uint32_t>(i + 1);
  const TColorTable edited = table;
  TFormColor form;
  EXPECT_TRUE(form.Edit(table));
  for (std::size_t i = 0; i < table.size(); ++i)
    EXPECT_EQ(form.Window().Color("S" + std::to_string(i)), edited[i]) << "square " << i;
  EXPECT_EQ(table, edited);
}

// The program's own table edited and accepted: the edit answers that it was
// taken, and the table holds what the squares showed.
TEST_F(PaletteTest, TheProgramsTableEditedWithOkAnswersThatItWasTaken) {
  platform::EnsureWindowSystem();
  platform::SetUnattended([](const std::string&) {});
  const TColorTable before = ColorTable();
  EXPECT_TRUE(EditColorTable());
  EXPECT_EQ(ColorTable(), before);
}

// A script's palette: colours appended in turn, read back by their place.
TEST_F(PaletteTest, AScriptsPaletteGivesItsColoursByPlace) {
  TColorPalette palette;
  palette.SetPropertyText("NextColor", "255");
  const struct {
    const char* text;
    std::int32_t colour;  // 0x00BBGGRR
  } appended[] = {
      {"10,20,30", 0x1E140A},
      {" 1 , 2 , 3 ", 0x030201},
      {"255,128", 0x0080FF},
      {"", 0},
  };
  for (const auto& row : appended) palette.SetPropertyText("NextRGBColor", row.text);
  EXPECT_EQ(palette.GetElement(0)->GetName(), "Color 0");
  const std::pair<int, std::int32_t> places[] = {{0, 255}, {1, 0x1E140A}, {2, 0x030201}, {3, 0x0080FF},
                                                 {4, 0},   {5, 0},        {-1, 0}};
  for (const auto& [index, colour] : places) EXPECT_EQ(palette.GetColor(index), colour) << "entry " << index;
}

// The form's buttons load a palette file into the squares and save the
// squares into one; the file used becomes the program's palette file.
TEST_F(PaletteTest, TheColourFormLoadsAndSavesPaletteFilesItNames) {
  platform::EnsureWindowSystem();
  WriteCp1250File(folder.File("JINA.TXT"), "63 0 0\r\n0 63 0\r\n");
  SetDialogs(&dialogs);
  TFormColor form;
  dialogs.FileAnswers = {folder.File("JINA.TXT")};
  platform::UserClick(form.Window(), "b_Load");
  EXPECT_EQ(std::tuple(form.Squares()[0], form.Squares()[1], form.Window().Color("S1")),
            std::tuple(0x0000FFu, 0x00FF00u, 0x00FF00u));
  EXPECT_EQ(PaletteFileName(), folder.File("JINA.TXT"));
  dialogs.FileAnswers = {folder.File("ULOZENA.TXT")};
  platform::UserClick(form.Window(), "b_Save");
  EXPECT_EQ(PaletteFileName(), folder.File("ULOZENA.TXT"));
  TColorTable saved = OriginalColorTable();
  LoadPalette(folder.File("ULOZENA.TXT"), saved);
  EXPECT_EQ(saved, form.Squares());
  dialogs.FileAnswers = {};  // cancelled: nothing changes
  platform::UserClick(form.Window(), "b_Load");
  EXPECT_EQ(PaletteFileName(), folder.File("ULOZENA.TXT"));
  // A square clicked, the first and the last too, takes the colour the
  // colour dialog answers, and shows it.
  for (const int square : {0, 2, 15}) {
    const std::uint32_t answer = 0x123400u + static_cast<std::uint32_t>(square);
    dialogs.ColorAnswers = {answer};
    const std::string name = "S" + std::to_string(square);
    platform::UserClick(form.Window(), name);
    EXPECT_EQ(std::tuple(form.Squares()[static_cast<std::size_t>(square)], form.Window().Color(name)),
              std::tuple(answer, answer))
        << name;
  }
}

}  // namespace
