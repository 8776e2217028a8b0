#include "cartography/layouts/text_block.h"

#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "framework/values/typed_values.h"
#include "platform/files.h"
#include "tests/cartography/layouts/layouts_fixture.h"

namespace {

using TextBlockTest = LayoutTest;

TStringListElement* ListOf(const std::vector<std::string>& lines) {
  return TStringListElement::CreateFromStrings(lines);
}

TEST_F(TextBlockTest, LinesPlusJoinsLineByLineOnlyListsOfTheSameLength) {
  struct Case {
    const char* name;
    std::vector<std::string> own;
    bool hasList;
    std::vector<std::string> added;
    const char* lines;
  };
  const Case cases[] = {
      {"A, B joined with X, Y", {"A", "B"}, true, {"X", "Y"}, "A;X B;Y"},
      {"a longer list changes nothing", {"A", "B"}, true, {"X", "Y", "Z"}, "A B"},
      {"a shorter list changes nothing", {"A", "B"}, true, {"X"}, "A B"},
      {"no list of its own", {}, false, {}, ""},
      {"name=value lines stay whole", {"k=v"}, true, {"x=y"}, "k=v;x=y"},
  };
  for (const Case& test : cases) {
    TTextBlock block;
    block.Delimiter = ";";
    if (test.hasList) block.SetLines(ListOf(test.own));
    std::unique_ptr<TStringListElement> added(ListOf(test.added));
    SetObjectPropByName(block, "LinesPlus", added.get());
    EXPECT_EQ(Join(block.LineTexts()), test.lines) << test.name;
    EXPECT_EQ(block.LinesCount(), static_cast<int>(test.own.size())) << test.name;
  }
}

TEST_F(TextBlockTest, AFileThatExistsReplacesTheLinesAsWindows1250TextAndAnyOtherKeepsThem) {
  TempFolder folder;
  struct Case {
    const char* name;
    std::string file;  // "" for none; bytes written when not empty
    std::string bytes;
    bool sorted;
    std::string lines;
  };
  const Case cases[] = {
      {"1250 text", "legenda.txt", "Smrk ztepil\xFD\r\nBorovice lesn\xED\r\nBuk lesn\xED\r\n", false,
       "Smrk ztepilý|Borovice lesní|Buk lesní"},
      {"sorted on loading", "legenda.txt", "Smrk\r\nborovice\r\nBuk\r\n", true, "borovice|Buk|Smrk"},
      {"a missing file keeps the lines", "", "", false, "stará"},
      {"binary bytes are lines too", "data.bin", std::string("\x01\x00\xFF\n\x80", 5), false,
       std::string("\x01\0˙|€", 8)},
      {"an empty file leaves no line", "empty.txt", "", false, ""},
      {"name=value and empty lines stay as written", "legenda.txt", "Scale = 1:5000\r\n\r\n=x\r\nA=\r\n", false,
       "Scale = 1:5000||=x|A="},
  };
  for (const Case& test : cases) {
    TTextBlock block;
    block.SetSorted(test.sorted);
    block.Lines()->NextValue("stará");
    std::string path = folder.File(test.file.empty() ? "chybi.txt" : test.file);
    if (!test.file.empty()) std::ofstream(path, std::ios::binary) << test.bytes;
    SetPropertyTextByName(block, "FileName", path);
    EXPECT_EQ(Join(block.LineTexts(), "|"), test.lines) << test.name;
    EXPECT_EQ(block.FileName(), path) << test.name;
  }
}

TEST_F(TextBlockTest, SortingAppliesToTheListWhenThereIsOneAndANewListTakesTheSetting) {
  TTextBlock block;
  EXPECT_EQ(std::tuple(block.LineHeight, block.TextHeight, block.LinesCount()), std::tuple(0.015, 0.01, 0));
  SetPropertyTextByName(block, "Sorted", "True");
  EXPECT_EQ(block.GetPropertyText("Sorted"), "True") << "kept without a list";
  block.SetLines(ListOf({"c", "a", "b"}));
  EXPECT_EQ(Join(block.LineTexts()), "a b c");
  block.Lines()->NextValue("0");
  block.SetSorted(false);
  EXPECT_EQ(Join(block.LineTexts()), "a b c 0") << "unsorting keeps the order";
  block.SetSorted(true);
  EXPECT_EQ(Join(block.LineTexts()), "0 a b c");
}

TEST_F(TextBlockTest, ReplacedListsAreFreedUnlessHeldElsewhere) {
  using List = Tracked<TStringListElement>;
  List::Alive = 0;
  TOwnerEntity other;
  {
    TTextBlock block;
    auto* shared = new List;
    other.AddElement(shared);
    block.SetLines(shared);
    block.SetLines(new List);
    EXPECT_EQ(List::Alive, 2) << "the shared list lives on";
    block.SetLines(new List);
    EXPECT_EQ(List::Alive, 2) << "the block's own list is freed";
  }
  EXPECT_EQ(List::Alive, 1);
}

}  // namespace
