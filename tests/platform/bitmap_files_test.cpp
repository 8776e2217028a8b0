#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "platform/canvas.h"
#include "platform/forms.h"

namespace {

std::string Seed(const std::string& name) { return std::string(KESTX_SAMPLES_DIR) + "/fuzz/bitmap_files/" + name; }

TEST(BitmapFilesTest, ReadableBitmapFilesReplaceThePictureAndOthersLeaveItAsItWas) {
  struct Case {
    const char* file;
    bool loads;
    int width, height;
  };
  const Case cases[] = {
      {"two_by_two.bmp", true, 2, 2},        {"three_by_one_padded.bmp", true, 3, 1},
      {"top_down.bmp", true, 2, 2},          {"paletted_8bit.bmp", true, 4, 2},
      {"truncated.bmp", false, 5, 7},        {"lying_huge.bmp", false, 5, 7},
      {"zero_width.bmp", false, 5, 7},       {"not_a_bitmap.bmp", false, 5, 7},
      {"empty.bmp", false, 5, 7},            {"missing.bmp", false, 5, 7},
  };
  for (const Case& test : cases) {
    std::unique_ptr<platform::Bitmap> bitmap = platform::Bitmap::Create(5, 7);
    const bool loaded = bitmap->LoadFromFile(Seed(test.file));
    EXPECT_EQ(std::tuple(loaded, bitmap->Width(), bitmap->Height()),
              std::tuple(test.loads, test.width, test.height))
        << test.file;
  }
  // The file's rows run bottom up: red and green below, blue and white above.
  std::unique_ptr<platform::Bitmap> bitmap = platform::Bitmap::Create(1, 1);
  ASSERT_TRUE(bitmap->LoadFromFile(Seed("two_by_two.bmp")));
  platform::Canvas& canvas = bitmap->GetCanvas();
  EXPECT_EQ(std::tuple(canvas.Pixel(0, 1), canvas.Pixel(1, 1), canvas.Pixel(0, 0), canvas.Pixel(1, 0)),
            std::tuple(0x0000FFu, 0x00FF00u, 0xFF0000u, 0xFFFFFFu));
}

TEST(BitmapFilesTest, ASavedPictureLoadsBackPixelForPixelAndAnUnwritablePlaceFails) {
  std::unique_ptr<platform::Bitmap> drawn = platform::Bitmap::Create(7, 3);
  platform::Canvas& canvas = drawn->GetCanvas();
  for (int x = 0; x < 7; ++x) canvas.SetPixel(x, x % 3, 0x102030u * static_cast<unsigned>(x + 1));
  const std::string file = testing::TempDir() + "obraz.bmp";
  ASSERT_TRUE(drawn->SaveToFile(file));
  std::unique_ptr<platform::Bitmap> loaded = platform::Bitmap::Create(1, 1);
  ASSERT_TRUE(loaded->LoadFromFile(file));
  std::string differing;
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 7; ++x)
      if (loaded->GetCanvas().Pixel(x, y) != canvas.Pixel(x, y)) differing += " " + std::to_string(x) + "," + std::to_string(y);
  EXPECT_EQ(std::tuple(loaded->Width(), loaded->Height(), differing), std::tuple(7, 3, std::string()));
  EXPECT_FALSE(drawn->SaveToFile(testing::TempDir() + "chybi/obraz.bmp"));
  std::remove(file.c_str());
}

TEST(BitmapFilesTest, ANewSizeKeepsTheUpperLeftAndEveryDrawingIsToldBeforeItIsDone) {
  std::unique_ptr<platform::Bitmap> bitmap = platform::Bitmap::Create(4, 4);
  platform::Canvas& canvas = bitmap->GetCanvas();
  canvas.SetPixel(1, 1, 0);
  int told = 0;
  bitmap->OnChange([&] { ++told; });
  ASSERT_TRUE(bitmap->SetSize(6, 2));
  EXPECT_EQ(std::tuple(bitmap->Width(), bitmap->Height(), canvas.Pixel(1, 1), canvas.Pixel(5, 1), told),
            std::tuple(6, 2, 0u, 0xFFFFFFu, 1));
  EXPECT_FALSE(bitmap->SetSize(0, 2));
  const std::vector<std::pair<const char*, std::function<void()>>> drawings = {
      {"line", [&] { canvas.LineTo(3, 1); }},
      {"rectangle", [&] { canvas.Rectangle(0, 0, 2, 2); }},
      {"fill", [&] { canvas.FillRect({0, 0, 1, 1}); }},
      {"pixel", [&] { canvas.SetPixel(0, 0, 0); }},
      {"text", [&] { canvas.TextOut(0, 0, "a"); }},
  };
  for (const auto& [name, draw] : drawings) {
    told = 0;
    draw();
    EXPECT_EQ(told, 1) << name;
  }
  bitmap->OnChange(nullptr);
  canvas.SetPixel(0, 0, 0);
  EXPECT_EQ(told, 1);
}

class FormMenusTest : public ::testing::Test {
 protected:
  void SetUp() override { form = std::make_unique<platform::Form>("TStandardImageForm"); }
  std::unique_ptr<platform::Form> form;
};

TEST_F(FormMenusTest, ItemsAddedAtRunTimeAreFoundInAnyCaseCheckedClickedAndRemoved) {
  std::vector<std::string> clicks;
  form->AddMenuItem("tools", "TViewer", "Prohlížeč", [&] { clicks.push_back("viewer"); });
  form->AddMenuItem("TOOLS", "TMarker", "Značka", [&] { clicks.push_back("marker"); });
  EXPECT_EQ(std::tuple(form->MenuItemNames("Tools"), form->Items("Tools"), form->FindMenuItem("tmarker"),
                       form->FindMenuItem("nic")),
            std::tuple(std::vector<std::string>{"TViewer", "TMarker"}, std::vector<std::string>{"Prohlížeč", "Značka"},
                       std::string("TMarker"), std::string()));
  form->SetChecked("TMarker", true);
  platform::UserClick(*form, "TViewer");
  EXPECT_EQ(std::tuple(form->Checked("TMarker"), clicks), std::tuple(true, std::vector<std::string>{"viewer"}));
  const bool removed = form->RemoveMenuItem("Tools", "tviewer");
  const bool again = form->RemoveMenuItem("Tools", "TViewer");
  EXPECT_EQ(std::tuple(removed, again, form->MenuItemNames("Tools")),
            std::tuple(true, false, std::vector<std::string>{"TMarker"}));
  EXPECT_THROW(form->AddMenuItem("Nothing", "x", "x", [] {}), platform::EFormLayoutError);
}

TEST_F(FormMenusTest, APopupMenuOpensAtItsScreenPointAfterTellingItsHandler) {
  int told = 0;
  form->OnPopup("pm_Image", [&] { ++told; });
  form->PopupMenuAt("pm_Image", 120, 80);
  const platform::PopupRecord popup = platform::LastPopup();
  EXPECT_EQ(std::tuple(popup.Menu, popup.X, popup.Y, told), std::tuple(std::string("pm_Image"), 120, 80, 1));
}

}  // namespace
