// Image lists, shortcut texts and the tool bars, actions and menu items a
// window gets at run time.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "platform/forms.h"
#include "platform/tool_bars_reference.h"
#include "tests/platform/temp_folder.h"
#include "tests/platform/test_bitmaps.h"

using platform::BarArea;
using platform::Form;
using platform::ImageList;

namespace {

constexpr std::uint32_t kBlue = 0x00FF0000;

class ImageListTest : public TempFolderTest {};

TEST_F(ImageListTest, PicturesAreStretchedToTheListSizeAndMaskedByTheirFirstPixel) {
  struct Row {
    const char* name;
    int fileWidth, fileHeight, listWidth, listHeight;
  };
  const Row rows[] = {
      {"same size", 16, 16, 16, 16},
      {"larger picture shrunk", 40, 40, 16, 16},
      {"smaller picture grown", 16, 16, 32, 32},
      {"wide picture squeezed", 40, 16, 20, 20},
  };
  for (const Row& row : rows) {
    const std::string file = File(std::string(row.name) + ".bmp");
    WriteBytes(file, HalfKeyedBmp(row.fileWidth, row.fileHeight, kBlue));
    ImageList images(row.listWidth, row.listHeight);
    ASSERT_TRUE(images.AddMasked(file)) << row.name;
    ASSERT_EQ(images.Count(), 1) << row.name;
    for (int y = 0; y < row.listHeight; ++y) {
      for (int x = 0; x < row.listWidth; ++x) {
        const bool keyed = x < row.listWidth / 2;
        ASSERT_EQ(images.Transparent(0, x, y), keyed) << row.name << " at " << x << "," << y;
        if (!keyed) {
          ASSERT_EQ(images.Pixel(0, x, y), kBlue) << row.name << " at " << x << "," << y;
        }
      }
    }
  }
}

TEST_F(ImageListTest, AFileThatGivesNoPictureKeepsItsPlaceEmpty) {
  std::vector<std::uint8_t> huge = HalfKeyedBmp(2, 2, kBlue);
  // Width and height of 60000 pixels: far beyond the reader's allocation limit.
  for (int at : {18, 22}) {
    huge[at] = 0x60;
    huge[at + 1] = 0xEA;
  }
  std::vector<std::uint8_t> truncated = HalfKeyedBmp(16, 16, kBlue);
  truncated.resize(60);
  struct Row {
    const char* name;
    std::vector<std::uint8_t> bytes;
    bool write;
  };
  const Row rows[] = {
      {"missing", {}, false},
      {"empty", {}, true},
      {"text", {'h', 'e', 'l', 'l', 'o'}, true},
      {"truncated", truncated, true},
      {"huge", huge, true},
  };
  for (const Row& row : rows) {
    const std::string file = File(std::string(row.name) + ".bmp");
    if (row.write) WriteBytes(file, row.bytes);
    ImageList images(16, 16);
    WriteBytes(File("good.bmp"), HalfKeyedBmp(16, 16, kBlue));
    EXPECT_FALSE(images.AddMasked(file)) << row.name;
    EXPECT_TRUE(images.AddMasked(File("good.bmp"))) << row.name;
    EXPECT_EQ(images.Count(), 2) << row.name;
    EXPECT_TRUE(images.Empty(0)) << row.name;
    EXPECT_FALSE(images.Empty(1)) << row.name << ": the next picture keeps its own index";
  }
}

TEST_F(ImageListTest, AListOfNoWidthOrHeightKeepsEveryPictureEmpty) {
  WriteBytes(File("a.bmp"), HalfKeyedBmp(16, 16, kBlue));
  for (auto [width, height] : {std::pair{0, 16}, std::pair{16, 0}}) {
    ImageList images(width, height);
    images.AddMasked(File("a.bmp"));
    EXPECT_EQ(images.Count(), 1) << width << "x" << height;
    EXPECT_TRUE(images.Empty(0)) << width << "x" << height;
  }
}

// Shift states read in the order Ctrl, Alt, Shift.
TEST(ShortCutText, NamesOneKeyWithItsShiftStatesOrNothing) {
  struct Row {
    const char* text;
    const char* canonical;
  };
  const Row rows[] = {
      {"Ctrl+S", "Ctrl+S"}, {"ctrl+s", "Ctrl+S"},  {"F5", "F5"},     {"Shift+Alt+F6", "Alt+Shift+F6"},
      {"", ""},             {"Ctrl+", ""},         {"Hyper+Q", ""},   {"Ctrl+S, Ctrl+Q", ""},
      {"nonsense", ""},
  };
  for (const Row& row : rows) EXPECT_EQ(platform::ShortCutText(row.text), row.canonical) << '"' << row.text << '"';
}

class ToolBarTest : public ::testing::Test {
 protected:
  void SetUp() override { window = std::make_unique<Form>("TExtendedKESTU_Form"); }
  std::unique_ptr<Form> window;
};

TEST_F(ToolBarTest, ABarMovesBetweenTheFourAreasWithItsButtons) {
  window->AddToolBar("tb_A", BarArea::Top);
  window->AddAction("a1", true);
  window->AddActionButton("tb_A", "a1", -21, {});
  for (BarArea area : {BarArea::Left, BarArea::Bottom, BarArea::Right, BarArea::Top}) {
    window->MoveToolBar("tb_A", area);
    EXPECT_EQ(window->ToolBarArea("tb_A"), area) << static_cast<int>(area);
    EXPECT_EQ(window->ToolButtonCount("tb_A"), 1) << static_cast<int>(area);
  }
}

TEST_F(ToolBarTest, AWindowWithoutBarAreasRefusesBars) {
  Form plain("Tf_Name");
  EXPECT_THROW(plain.AddToolBar("tb_A", BarArea::Top), platform::EFormLayoutError);
}

TEST_F(ToolBarTest, OnlyAToolBarOfAWindowWithBarAreasIsOne) {
  window->AddToolBar("tb_A", BarArea::Left);
  Form strip("TTestStrip");
  struct Row {
    Form& form;
    const char* name;
    bool bar;
  } rows[] = {
      {*window, "tb_A", true},        {*window, "MenuBar", true},       {*window, "MainMenu", false},
      {*window, "nic", false},        {strip, "TTestStrip", false},     {strip, "lb_Fixed", false},
  };
  for (const Row& row : rows) EXPECT_EQ(row.form.HasToolBar(row.name), row.bar) << row.name;
}

TEST_F(ToolBarTest, ClearingABarDestroysItsButtonsAndKeepsTheActions) {
  window->AddToolBar("tb_A", BarArea::Top);
  window->AddAction("a1", true);
  window->SetText("a1", "jedna");
  window->AddActionButton("tb_A", "a1", -21, {});
  window->AddSeparatorButton("tb_A", true);
  window->AddSeparatorButton("tb_A", false);
  ASSERT_EQ(window->ToolButtonCount("tb_A"), 3);
  EXPECT_EQ(window->ToolButtonCursor("tb_A", 0), -21);
  EXPECT_TRUE(window->ToolButtonIsDivider("tb_A", 1));
  EXPECT_TRUE(window->ToolButtonIsSeparator("tb_A", 2));
  EXPECT_FALSE(window->ToolButtonIsDivider("tb_A", 2));
  window->ClearToolBar("tb_A");
  EXPECT_EQ(window->ToolButtonCount("tb_A"), 0);
  EXPECT_EQ(window->Text("a1"), "jedna");
}

TEST_F(ToolBarTest, AButtonTriggersItsActionAndAsksForItsContextMenu) {
  window->AddToolBar("tb_A", BarArea::Left);
  window->AddAction("a1", true);
  std::vector<std::string> events;
  window->OnClick("a1", [&events] { events.push_back("click"); });
  window->AddActionButton("tb_A", "a1", 0, [&events] { events.push_back("menu"); });
  platform::UserClickToolButton(*window, "tb_A", 0);
  platform::UserContextMenuToolButton(*window, "tb_A", 0);
  EXPECT_EQ(events, (std::vector<std::string>{"click", "menu"}));
  EXPECT_THROW(platform::UserClickToolButton(*window, "tb_A", 1), platform::EFormLayoutError);
}

TEST_F(ToolBarTest, MenuItemsBoundToActionsComeAndGo) {
  for (const char* name : {"a1", "a2"}) {
    window->AddAction(name, true);
    window->SetText(name, name);
    window->AddActionMenuItem("Tasks", name);
  }
  window->SetMenuItemVisible("Tasks", true);
  EXPECT_EQ(window->Items("Tasks"), (std::vector<std::string>{"a1", "a2"}));
  EXPECT_TRUE(window->MenuItemVisible("Tasks"));
  window->ClearMenuItem("Tasks");
  EXPECT_TRUE(window->Items("Tasks").empty());
  EXPECT_EQ(window->Text("a2"), "a2") << "the actions outlive their items";
}

class YardstickTest : public TempFolderTest {};

// The yardstick the tool groups are timed against must build what they
// build and show: every tool of every group a checkable action on its bar,
// with the files' pictures in turn, shrunk to the size and keyed out by their
// first pixel (the left half of each picture here), in a window shown once.
TEST_F(YardstickTest, EveryToolIsACheckableActionWithItsPictureKeyedOutInAShownWindow) {
  constexpr std::uint32_t kRed = 0x000000FF;
  WriteBytes(File("blue.bmp"), HalfKeyedBmp(16, 16, kBlue));
  WriteBytes(File("red.bmp"), HalfKeyedBmp(16, 16, kRed));
  const platform::ToolBarsSeen seen =
      platform::WatchToolBarsBuiltWithQt(2, 3, {File("blue.bmp"), File("red.bmp")}, 8);
  EXPECT_EQ(seen.WindowsShown, 1);
  ASSERT_EQ(seen.Added.size(), 6u) << "two bars of three tools";
  for (std::size_t i = 0; i < seen.Added.size(); ++i) {
    const platform::ToolBarAction& action = seen.Added[i];
    const std::uint32_t colour = i % 3 == 1 ? 0xFFFF0000 : 0xFF0000FF;  // tools take the files in turn
    EXPECT_TRUE(action.Checkable) << i;
    ASSERT_EQ(std::pair(action.IconWidth, action.IconHeight), std::pair(8, 8)) << i;
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 8; ++x)
        EXPECT_EQ(action.IconArgb[static_cast<std::size_t>(y * 8 + x)], x < 4 ? 0u : colour)
            << i << ": " << x << "," << y;
  }
}

}  // namespace
