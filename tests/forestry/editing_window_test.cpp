// The line editors of the sample editing window (samples/forest/editing.oil)
// driven by the mouse and keys over its image.  The handlers' details are
// tested on their own; here the real events must reach them and the results
// land in the forest's data.
#include <gmock/gmock.h>

#include "forestry/editors/graphic_editors.h"
#include "platform/screen_points.h"
#include "tests/forestry/editing_window_fixture.h"

namespace {

using Pixels = std::vector<PixelPoint>;
using ::testing::ElementsAre;

class LineEditingWindowTest : public EditingWindowTest {
 protected:
  void SetUp() override {
    EditingWindowTest::SetUp();
    // Three vertices in three stand groups of the view.
    line = {PixelOf(-850, -750), PixelOf(-750, -750), PixelOf(-750, -850)};
  }
  // The new-line editor chosen and the line drawn by left clicks.
  TPolyLineEditor* DrawLine(const Pixels& vertices) {
    auto* editor = Choose<TPolyLineEditor>("Editory", "Kresba");
    for (const PixelPoint& at : vertices) Click(at);
    return editor;
  }
  // The line drawn and stored by the new-line editor.
  void StoreLine(const Pixels& vertices) {
    DrawLine(vertices);
    AnswerWith({"bt_OK"});
    Click(vertices.back(), 1);
    answers.clear();
  }
  TPolyElement* StoredLine(int index = 0) {
    TEntity* lines = DataChild("LINIE");
    return lines && lines->GetCount() > index ? DynamicCast<TPolyElement>(lines->GetElement(index)) : nullptr;
  }

  Pixels line;
};

TEST_F(LineEditingWindowTest, ALineDrawnByClicksIsStoredIntoTheStandGroupsOfItsVerticesAndTheGlobalStore) {
  TPolyLineEditor* editor = DrawLine(line);
  ASSERT_NE(editor, nullptr);
  ASSERT_NE(editor->WorkingElement(), nullptr);
  EXPECT_EQ(PixelsOf(*editor->WorkingElement()), line);
  EXPECT_THAT(Arrived({27, 28, 31}), ElementsAre("main 27", "main 27", "main 27")) << "one per edit";
  recorder.Messages.clear();
  AnswerWith({"bt_OK"});
  Click(line.back(), 1);
  EXPECT_THAT(captions, ElementsAre("Nová linie"));
  EXPECT_THAT(Arrived({27, 28, 31}), ElementsAre("main 28", "window 31"));
  TPolyElement* stored = StoredLine();
  ASSERT_NE(stored, nullptr) << "in DATA.LINIE";
  EXPECT_EQ(PixelsOf(*stored), line);
  for (const PixelPoint& vertex : line) {
    const auto [x, y] = MapPointOf(vertex);
    TElement* group = StandGroupAt(x, y);
    ASSERT_NE(group, nullptr) << x << "," << y;
    TEntity* lines = Level(group, "LINIE");
    ASSERT_NE(lines, nullptr) << group->GetName();
    EXPECT_GE(lines->IndexOf(stored), 0) << "the stand group at " << x << "," << y;
  }
  EXPECT_EQ(editor->WorkingElement()->GetCoordsCount(), 0) << "a new line begins";
}

TEST_F(LineEditingWindowTest, DraggingInsertsOnASegmentMovesAVertexAndClosesAnEndDroppedWithinSixPixels) {
  const Pixels open = {{100, 100}, {200, 100}, {200, 200}};
  struct Row {
    const char* name;
    PixelPoint from, to;
    Pixels expected;
    bool closed;
  } rows[] = {
      {"a segment dragged inserts", {150, 101}, {150, 60}, {{100, 100}, {150, 60}, {200, 100}, {200, 200}}, false},
      {"a vertex dragged moves", {200, 100}, {240, 80}, {{100, 100}, {240, 80}, {200, 200}}, false},
      {"the end dropped 6 px from the other closes",
       {200, 200},
       {106, 100},
       {{100, 100}, {200, 100}, {100, 100}},
       true},
      {"the end dropped 7 px from the other stays",
       {200, 200},
       {107, 100},
       {{100, 100}, {200, 100}, {107, 100}},
       false},
  };
  for (const Row& row : rows) {
    TPolyLineEditor* editor = DrawLine(open);
    recorder.Messages.clear();
    Drag(row.from, row.to);
    TPolyElement& edited = *editor->WorkingElement();
    EXPECT_EQ(PixelsOf(edited), row.expected) << row.name;
    const int last = edited.GetCoordsCount() - 1;
    EXPECT_EQ(edited.GetCoordX(0) == edited.GetCoordX(last) && edited.GetCoordY(0) == edited.GetCoordY(last),
              row.closed)
        << row.name;
    EXPECT_THAT(Arrived({27}), ::testing::Contains("main 27")) << row.name;
    // The next row starts a line of its own.
    Key(platform::vkDelete, ssCtrl);
  }
}

TEST_F(LineEditingWindowTest, EachKeyReachesTheEditor) {
  const Pixels open = {{100, 100}, {200, 100}, {200, 200}};
  struct Row {
    const char* name;
    int chosen;  // the vertex clicked first; -1: none
    std::uint16_t key;
    std::uint8_t shift;
    Pixels expected;
  } rows[] = {
      {"Backspace", -1, platform::vkBackspace, 0, {{100, 100}, {200, 100}}},
      {"Delete", 1, platform::vkDelete, 0, {{100, 100}, {200, 200}}},
      {"Ctrl+Delete", -1, platform::vkDelete, ssCtrl, {}},
      {"R", -1, 'R', 0, open},
      {"F3", -1, platform::vkF3, 0, open},
  };
  for (const Row& row : rows) {
    TPolyLineEditor* editor = DrawLine(open);
    if (row.chosen >= 0) Click(open[row.chosen]);
    const std::vector<platform::ColorValue> before = ImagePixels();
    Key(row.key, row.shift);
    EXPECT_EQ(PixelsOf(*editor->WorkingElement()), row.expected) << row.name;
    if (row.expected == open) {
      EXPECT_NE(ImagePixels(), before) << row.name << " toggles the overlay";
    }
    Key(platform::vkDelete, ssCtrl);
  }
}

TEST_F(LineEditingWindowTest, TheOverlayDrawnTwiceRestoresEveryPixelOfTheMap) {
  Choose<TPolyLineEditor>("Editory", "Kresba");
  const std::vector<platform::ColorValue> map = ImagePixels();
  for (const PixelPoint& at : line) Click(at);
  EXPECT_NE(ImagePixels(), map);
  Key('R');
  EXPECT_EQ(ImagePixels(), map);
}

TEST_F(LineEditingWindowTest, TheDialogsButtonsFinishDiscardDeleteOrClose) {
  const Pixels open = {{100, 100}, {200, 100}, {200, 200}};
  struct Row {
    const char* name;
    const char* button;
    Pixels working;  // after the answer
    bool stored;
  } rows[] = {
      {"Ukončit linii", "bt_OK", {}, true},
      {"Zrušit linii", "b_DeleteLine", {}, false},
      {"Zrušit bod", "b_DeletePoint", {{100, 100}, {200, 200}}, false},
      {"Uzavřít", "b_Close", {{100, 100}, {200, 100}, {200, 200}, {100, 100}}, false},
      {"Storno", "bt_Storno", open, false},
  };
  for (const Row& row : rows) {
    TPolyLineEditor* editor = DrawLine(open);
    Click(open[1]);
    AnswerWith({row.button});
    Click({300, 300}, 1);
    EXPECT_EQ(PixelsOf(*editor->WorkingElement()), row.working) << row.name;
    EXPECT_EQ(StoredLine() != nullptr, row.stored) << row.name;
    Key(platform::vkDelete, ssCtrl);
    ForgetStored("LINIE", "LINIE");
  }
}

TEST_F(LineEditingWindowTest, TheDialogOpensAtTheCursorKeptOnTheScreen) {
  struct Row {
    const char* name;
    platform::Bounds window;
    PixelPoint at;
    bool clamped;
  } rows[] = {
      {"in the middle", {40, 20, 720, 560}, {100, 100}, false},
      {"at the lower right corner", {80, 240, 720, 560}, {700, 470}, true},
  };
  const platform::ScreenExtent screen = platform::ScreenSize();
  for (const Row& row : rows) {
    Form().SetBounds(row.window);
    RunMessages();
    DrawLine(line);
    platform::Bounds shown{};
    AnswerWith({"bt_Storno"}, [&shown](platform::Form& form) { shown = form.GetBounds(); });
    Click(row.at, 1);
    std::int32_t cursorX = 0, cursorY = 0;
    platform::CursorScreenPosition(cursorX, cursorY);
    if (row.clamped) {
      EXPECT_EQ(std::pair(shown.Left + shown.Width, shown.Top + shown.Height), std::pair(screen.Width, screen.Height))
          << row.name;
      EXPECT_LT(shown.Left, cursorX) << row.name;
      EXPECT_LT(shown.Top, cursorY) << row.name;
    } else {
      EXPECT_EQ(std::pair(shown.Left, shown.Top), std::pair(cursorX, cursorY)) << row.name;
    }
    Key(platform::vkDelete, ssCtrl);
  }
}

// The window's close box over a line still being drawn asks about the line
// once; Ne gives it up and the window closes without another word, Storno
// keeps the window with the line still being drawn.
TEST_F(LineEditingWindowTest, ClosingTheWindowOverANewLineDropsOrKeepsItAsAnswered) {
  struct Row {
    const char* name;
    const char* button;
    bool open;  // the window stays, the line in it
  } rows[] = {
      {"Storno", "bt_Storno", true},
      {"Ne", "bt_Ne", false},
  };
  for (const Row& row : rows) {
    TPolyLineEditor* editor = DrawLine({line[0], line[1]});
    const std::vector<platform::ColorValue> drawn = ImagePixels();
    dialogs.Messages.clear();
    captions.clear();
    AnswerWith({row.button});
    platform::UserCloseWindow(Form());
    RunMessages();
    EXPECT_THAT(captions, ElementsAre("Kresba")) << row.name;
    EXPECT_THAT(Boxes(), ::testing::IsEmpty()) << row.name;
    EXPECT_THAT(Exceptions, ::testing::IsEmpty()) << row.name << ": each shown as a box by the program";
    EXPECT_EQ(StoredLine(), nullptr) << row.name;
    if (!row.open) {
      EXPECT_EQ(window->Form(), nullptr) << row.name << ": the window is closed";
      continue;
    }
    ASSERT_NE(window->Form(), nullptr) << row.name << ": the window stays";
    EXPECT_TRUE(Form().Visible()) << row.name;
    EXPECT_EQ(window->GetActiveTool(), editor) << row.name;
    EXPECT_EQ(PixelsOf(*editor->WorkingElement()), Pixels({line[0], line[1]})) << row.name;
    EXPECT_EQ(ImagePixels(), drawn) << row.name << ": the line still on the picture";
    Key(platform::vkDelete, ssCtrl);
  }
}

// A picked line that was changed asks when another tool is chosen; one left
// unchanged goes back to its places unasked, and onto the picture.
TEST_F(LineEditingWindowTest, LeavingAPickedLineStoresRestoresOrStaysAsAnswered) {
  struct Row {
    const char* name;
    bool change;
    std::vector<std::string> buttons;
    std::vector<std::string> asked;
    bool left;      // the shape editor is chosen
    Pixels stored;  // the line in DATA.LINIE; empty: not there
    bool restored;  // the picture is the one before the pick again
  };
  const Pixels moved = {line[0], {line[1].first + 30, line[1].second}, line[2]};
  const Row rows[] = {
      {"Ano stores the change", true, {"bt_Ano"}, {"Oprava"}, true, moved, false},
      {"Ne restores the line", true, {"bt_Ne"}, {"Oprava"}, true, line, true},
      {"Storno stays", true, {"bt_Storno"}, {"Oprava"}, false, {}, false},
      {"unchanged leaves unasked", false, {}, {}, true, line, true},
  };
  for (const Row& row : rows) {
    StoreLine(line);
    ShowView(kViewX, kViewY, kMetresPerPixel);  // no trace of the rows before
    auto* editor = Choose<TPolyLineEditor>("Editory", "Oprava");
    const std::vector<platform::ColorValue> before = ImagePixels();
    Click(line[1]);
    ASSERT_NE(editor->WorkingElement(), nullptr) << row.name;
    EXPECT_EQ(editor->WorkingElement(), editor->Input()) << row.name << ": the stored line picked";
    if (row.change) Drag(line[1], moved[1]);
    captions.clear();
    AnswerWith(row.buttons);
    Choose<TShapeEditor>("Editory", "Tvar");
    EXPECT_EQ(captions, row.asked) << row.name;
    EXPECT_EQ(window->GetActiveTool() != editor, row.left) << row.name;
    TPolyElement* stored = StoredLine();
    EXPECT_EQ(stored ? PixelsOf(*stored) : Pixels{}, row.stored) << row.name;
    if (!row.stored.empty()) {
      const auto [x, y] = MapPointOf(line[0]);
      EXPECT_GE(Level(StandGroupAt(x, y), "LINIE")->IndexOf(stored), 0) << row.name << ": back in its stand group";
    }
    if (row.restored) {
      const std::vector<platform::ColorValue> after = ImagePixels();
      ASSERT_EQ(after.size(), before.size()) << row.name;
      std::size_t changed = 0;
      for (std::size_t i = 0; i < after.size(); ++i) changed += after[i] != before[i];
      EXPECT_EQ(changed, 0u) << row.name << ": pixels that differ from the picture before the pick";
    }
    answers.clear();
    if (!row.left) {
      AnswerWith({"bt_Ne"});
      Choose<TShapeEditor>("Editory", "Tvar");
    }
    ForgetStored("LINIE", "LINIE");
  }
}

}  // namespace
