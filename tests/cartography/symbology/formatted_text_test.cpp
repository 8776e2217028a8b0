// The formatted text model as scripts build it: styles owned by their runs,
// paragraphs chosen by name, and plain text blocks read from files.
#include "cartography/symbology/formatted_text.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "cartography/cartography_classes.h"
#include "framework/core/class_registry.h"
#include "framework/values/typed_values.h"
#include "tests/platform/temp_folder.h"
#include "tests/render/drawing_fixture.h"

namespace {

class FormattedTextTest : public RenderTest {
 protected:
  void SetUp() override {
    RenderTest::SetUp();
    RegisterCartographyClasses();
  }
};

TEST_F(FormattedTextTest, StylesAreOwnedByTheirRunsAndReplacedByNewStyle) {
  struct Row {
    const char* Name;
    const char* Class;
    std::function<void(TPlainText&)> Build;
    const char* StyleClass;  // nullptr: no style
    bool OldStyleFreed;
  };
  const Row rows[] = {
      {"NewStyle True on a run", "TFormatedText", [](TPlainText& t) { t.SetPropertyText("NewStyle", "True"); },
       "TTextStyle", true},
      {"NewStyle False changes nothing", "TFormatedText", [](TPlainText& t) { t.SetPropertyText("NewStyle", "False"); },
       "TTextStyle", false},
      {"NewStyle True on a paragraph", "TParagraph", [](TPlainText& t) { t.SetPropertyText("NewStyle", "True"); },
       "TParagraphStyle", true},
      {"a given style replaces the old", "TFormatedText", [](TPlainText& t) { t.SetTextStyle(new TParagraphStyle); },
       "TParagraphStyle", true},
      {"the same style again is kept once", "TFormatedText", [](TPlainText& t) { t.SetTextStyle(t.GetTextStyle()); },
       "TTextStyle", false},
      {"nil frees the old", "TFormatedText", [](TPlainText& t) { t.SetTextStyle(nullptr); }, nullptr, true},
      {"a plain run has no style", "TPlainText", [](TPlainText& t) { t.SetPropertyText("NewStyle", "True"); },
       nullptr, false},
  };
  for (const Row& row : rows) {
    std::unique_ptr<TElement> made(CreateElementByClassName(row.Class));
    auto& text = *DynamicCast<TPlainText>(made.get());
    auto* old = new TTextStyle;
    text.SetTextStyle(old);
    const bool owned = text.GetTextStyle() == old;
    if (!owned) delete old;
    const TElementLink oldLink(owned ? old : nullptr);
    row.Build(text);
    TTextStyle* style = text.GetTextStyle();
    EXPECT_EQ(style ? style->ClassName() : std::string("nil"), row.StyleClass ? row.StyleClass : "nil") << row.Name;
    EXPECT_EQ(owned && oldLink.IsDangling(), row.OldStyleFreed) << row.Name;
    if (style) {
      EXPECT_EQ(style->GetOwner(0), &text) << row.Name;
      EXPECT_EQ(text.GetCount(), 1) << row.Name << ": one style child";
    }
  }
}

TEST_F(FormattedTextTest, ScriptsChooseTheParagraphTheyBuild) {
  struct Row {
    const char* Name;
    std::vector<std::pair<const char*, const char*>> Script;  // property, value
    const char* Actual;                                       // name, or nullptr for none
    int Paragraphs;
  };
  const Row rows[] = {
      {"next paragraph by name", {{"NextParagraphName", "první"}, {"NextParagraphName", "druhý"}}, "druhý", 2},
      {"found by name", {{"NextParagraphName", "první"}, {"NextParagraphName", "druhý"}, {"FindParagraphName", "první"}},
       "první", 2},
      {"unknown name leaves none", {{"NextParagraphName", "první"}, {"FindParagraphName", "třetí"}}, nullptr, 1},
      {"nothing chosen yet", {}, nullptr, 0},
  };
  for (const Row& row : rows) {
    TFormatedTextBlock block;
    for (const auto& [property, value] : row.Script) block.SetPropertyText(property, value);
    TParagraph* actual = block.ActualParagraph();
    EXPECT_EQ(actual ? actual->GetName() : std::string("nil"), row.Actual ? row.Actual : "nil") << row.Name;
    EXPECT_EQ(block.GetCount(), row.Paragraphs) << row.Name;
  }
}

TEST_F(FormattedTextTest, RunsAreAddedInOrder) {
  TParagraph paragraph;
  paragraph.SetPropertyText("NextTextName", "a");
  auto* variable = new TVariableText;
  variable->SetName("b");
  paragraph.SetNextText(variable);
  paragraph.SetNextText(nullptr);
  paragraph.SetPropertyText("NextTextName", "c");
  std::vector<std::string> names;
  for (TElement* child : paragraph.Children()) names.push_back(child->ClassName() + ":" + child->GetName());
  EXPECT_EQ(names, (std::vector<std::string>{"TFormatedText:a", "TVariableText:b", "TFormatedText:c"}));
}

TEST_F(FormattedTextTest, APlainTextBlockReadsItsFileInPlaceOfItsLines) {
  struct Row {
    const char* Name;
    const char* Bytes;  // nullptr: no file
    std::vector<std::string> Lines;
  };
  const Row rows[] = {
      {"Windows-1250 lines", "p\xF8" "edn\xED\r\nzadn\xED\r\n", {"přední", "zadní"}},
      {"empty file clears", "", {}},
      {"missing file keeps the lines", nullptr, {"dřívější"}},
  };
  for (const Row& row : rows) {
    TempFolder folder;
    const std::string file = folder.File("blok.txt");
    if (row.Bytes) std::ofstream(file, std::ios::binary) << row.Bytes;
    TPlainTextBlock block;
    block.Lines()->NextValue("dřívější");
    block.SetFileName(file);
    EXPECT_EQ(block.Lines()->GetValueList(), row.Lines) << row.Name;
  }
}

// Scripts reach the lines by name: one list, made on first use, that a
// written list fills with copies of its items.
TEST_F(FormattedTextTest, APlainTextBlocksLinesArePublishedAsItsOwnList) {
  TPlainTextBlock block;
  auto* lines = DynamicCast<TStringListElement>(GetObjectPropByName(block, "Lines"));
  ASSERT_NE(lines, nullptr);
  EXPECT_EQ(lines->GetCount(), 0);
  EXPECT_EQ(GetObjectPropByName(block, "Lines"), lines) << "made once";
  auto given = std::make_unique<TStringListElement>();
  given->NextValue("první");
  given->AddNameValue("klíč", "druhá");
  EXPECT_TRUE(SetObjectPropByName(block, "Lines", given.get()));
  EXPECT_EQ(GetObjectPropByName(block, "Lines"), lines) << "the list stays the block's own";
  given->SetValue(0, "změněná");
  given.reset();
  EXPECT_EQ(lines->GetValueList(), (std::vector<std::string>{"první", "druhá"}));
  EXPECT_EQ(lines->GetItemName(1), "klíč");
  EXPECT_TRUE(SetObjectPropByName(block, "Lines", nullptr));
  EXPECT_EQ(lines->GetCount(), 0) << "no list: no lines";
}

}  // namespace
