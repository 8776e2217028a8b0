#include "cartography/printing/print_dialog_tool.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "cartography/printing/print_dialog_form.h"
#include "cartography/printing/print_pages.h"
#include "platform/forms.h"
#include "platform/ini_file.h"
#include "platform/timer.h"
#include "render/devices/bitmap_device.h"
#include "render/devices/print_device.h"
#include "spatial/geometry/page.h"
#include "spatial/geometry/projection.h"
#include "tests/cartography/printing/printing_fixture.h"

namespace {

class PrintDialogToolTest : public PrintingTest {
 protected:
  void SetUp() override {
    PrintingTest::SetUp();
    printer = std::make_unique<TPrintDevice>();
    desktop.reset(MakeDesktop({0, 0, 0.4, 0.2}));
  }
  void TearDown() override {
    TElement* alive = link.Get();
    FreeAndNil(alive);
    desktop.reset();
    printer->Printer().Abort();
    printer.reset();
    PrintingTest::TearDown();
  }
  // A dialog tool on the desktop, run with the answerer doing what a person would.
  TPrintDialogTool& Run(bool multiPage, std::function<void(platform::Form&)> person) {
    auto* tool = CreateElement<TPrintDialogTool>();
    link.Set(tool);
    tool->MultiPageMode = multiPage;
    tool->SetPrintDevice(printer.get());
    tool->SetInput(desktop.get());
    platform::SetModalAnswerer(std::move(person));
    tool->DoIt();
    return *tool;
  }
  TPrintDialogTool& Tool() { return *static_cast<TPrintDialogTool*>(link.Get()); }
  platform::Form& Window() { return Tool().Form()->Window(); }
  void Deliver(int code) { PostKestuMessage(new TKestuMessage(code, &Tool(), &Tool(), nullptr, false)); RunMessages(); }

  std::unique_ptr<TPrintDevice> printer;
  std::unique_ptr<TDesktop> desktop;
  TElementLink link;
};

TEST_F(PrintDialogToolTest, OnlyADesktopIsTakenAndThePreviewShowsItsPagesInsideARedFrame) {
  auto* tool = CreateElement<TPrintDialogTool>();
  link.Set(tool);
  tool->SetPrintDevice(printer.get());
  TRectEntity other;
  tool->SetInput(&other);
  EXPECT_EQ(tool->Input(), nullptr);
  tool->SetInput(desktop.get());
  auto* preview = DynamicCast<TDesktop>(tool->Input());
  ASSERT_NE(preview, nullptr);
  ASSERT_NE(preview, desktop.get());
  ASSERT_EQ(preview->GetCount(), 2);
  EXPECT_EQ(preview->GetElement(0), tool->PrintPages());
  EXPECT_EQ(tool->PrintPages()->Layout(), desktop.get());
  auto* frame = DynamicCast<TDrawRectangle>(preview->GetElement(1));
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(std::tuple(frame->BrushStyle, frame->PenStyle, frame->BrushColor, frame->PenColor, frame->PenWidth,
                       frame->GetMinX(), frame->GetMinY(), frame->GetMaxX(), frame->GetMaxY()),
            std::tuple(bsClear, psSolid, 0xFFFFFF, 255, 0.002, 0.0, 0.0, 0.4, 0.2));
}

// Without a desktop there is no preview: the dialog does not show, and
// without a printer there are no pages for the settings to change.
TEST_F(PrintDialogToolTest, WithoutADesktopOrAPrinterTheDialogNeitherShowsNorChangesAnything) {
  const struct {
    const char* name;
    bool desktop;
    bool printer;
  } rows[] = {
      {"no desktop", false, true},
      {"no printer", true, false},
  };
  for (const auto& row : rows) {
    auto* tool = CreateElement<TPrintDialogTool>();
    link.Set(tool);
    if (row.printer) tool->SetPrintDevice(printer.get());
    if (row.desktop) tool->SetInput(desktop.get());
    int shown = 0;
    platform::SetModalAnswerer([&](platform::Form& form) {
      ++shown;
      platform::UserClick(form, "OKBtn");
    });
    if (!row.desktop) tool->DoIt();
    Window().SetDown("b_FitToPage", true);
    for (int code : {msgFitToPage, msgScaleEdited, msgOverlapEdited, msgCenterPage}) Deliver(code);
    EXPECT_EQ(std::tuple(shown, tool->Output(), tool->PrintPages()), std::tuple(0, nullptr, nullptr)) << row.name;
    TElement* freed = tool;
    FreeAndNil(freed);
  }
}

TEST_F(PrintDialogToolTest, VisibleShowsAndHidesTheWindow) {
  auto* tool = CreateElement<TPrintDialogTool>();
  link.Set(tool);
  for (const bool visible : {true, false, true}) {
    tool->SetVisible(visible);
    EXPECT_EQ(std::pair(tool->GetVisible(), Window().Visible()), std::pair(visible, visible)) << visible;
  }
}

TEST_F(PrintDialogToolTest, TheModalRunAnswersThePagesOrOnCancelFreesTheWindowAndThePreview) {
  struct Case {
    const char* name;
    bool multiPage;
    const char* button;
    bool pages, sheetsShown;
  };
  const Case cases[] = {
      {"printed", false, "OKBtn", true, false},
      {"printed, sheets of a multi-page desktop", true, "OKBtn", true, true},
      {"cancelled", false, "CancelBtn", false, false},
      {"closed by a program's request while it shows", false, nullptr, false, false},
  };
  for (const Case& test : cases) {
    bool sheetsShown = false;
    TPrintDialogTool& tool = Run(test.multiPage, [&](platform::Form& form) {
      sheetsShown = form.ControlVisible("g_Pages");
      if (test.button) platform::UserClick(form, test.button);
      else Tool().Close();
    });
    EXPECT_EQ(sheetsShown, test.sheetsShown) << test.name;
    if (!test.pages) {
      EXPECT_EQ(std::tuple(tool.Output(), tool.Form(), tool.Input()), std::tuple(nullptr, nullptr, nullptr)) << test.name;
      TElement* cancelled = &tool;
      FreeAndNil(cancelled);
      continue;
    }
    EXPECT_EQ(tool.Output(), tool.PrintPages()) << test.name;
    EXPECT_EQ(tool.PrintPages()->SinglePage, test.multiPage) << test.name;
    EXPECT_EQ(std::tuple(Window().Visible(), tool.Form()->Printing, tool.Form()->Timer().Enabled(),
                         Window().Down("b_CenterPage"), tool.PrintPages()->Centered()),
              std::tuple(true, true, true, true, true))
        << test.name;
    tool.Form()->Timer().SetEnabled(false);
    TElement* freed = &tool;
    FreeAndNil(freed);
  }
}

// Once the pages are printed they are freed: the dialog answers none, and
// the preview keeps only the desktop's frame.
TEST_F(PrintDialogToolTest, FreeingThePrintedPagesTakesThemFromTheOutputAndThePreview) {
  TPrintDialogTool& tool = Run(false, [](platform::Form& form) { platform::UserClick(form, "OKBtn"); });
  tool.Form()->Timer().SetEnabled(false);
  auto* preview = DynamicCast<TDesktop>(tool.Input());
  ASSERT_NE(preview, nullptr);
  const TElementLink pages(tool.Output());
  ASSERT_NE(pages.Get(), nullptr);
  tool.FreePrintPages();
  EXPECT_EQ(std::tuple(pages.Get(), tool.Output(), preview->GetCount()), std::tuple(nullptr, nullptr, 1));
  EXPECT_NE(DynamicCast<TDrawRectangle>(preview->GetElement(0)), nullptr);
}

TEST_F(PrintDialogToolTest, TheSettingsMessagesChangeTheGridAndLetFitToPageGo) {
  Run(false, [](platform::Form& form) { platform::UserClick(form, "OKBtn"); });
  Tool().Form()->Timer().SetEnabled(false);
  TPrintPages& pages = *Tool().PrintPages();
  struct Case {
    const char* name;
    std::function<void()> act;
    double scale, overlap;
    bool centred;
    const char* scaleText;
    bool fitDown;
  };
  const Case cases[] = {
      {"an overlap of 10 mm", [&] { Window().SetText("ed_Overlap", "10"), Deliver(msgOverlapEdited); }, 1, 0.01, true,
       "1", false},
      {"fit to page: 0.4 / 0.04 and 0.2 / 0.02 are equal", [&] {
         Window().SetDown("b_FitToPage", true);
         Deliver(msgFitToPage);
       }, 10, 0.01, true, "10.00", true},
      {"a scale typed in lets fit to page go, which then does nothing", [&] {
         Window().SetText("ed_Scale", "3");
         Deliver(msgScaleEdited);
         Deliver(msgFitToPage);
       }, 3, 0.01, true, "3", false},
      {"a scale typed in while fitting", [&] {
         Window().SetDown("b_FitToPage", true);
         Window().SetText("ed_Scale", "2.5");
         Deliver(msgScaleEdited);
       }, 2.5, 0.01, true, "2.5", false},
      {"centring off", [&] {
         Window().SetDown("b_CenterPage", false);
         Deliver(msgCenterPage);
       }, 2.5, 0.01, false, "2.5", false},
  };
  for (const Case& test : cases) {
    test.act();
    EXPECT_EQ(std::tuple(std::lround(pages.Scale() * 1000), std::lround(pages.Overlap() * 1000), pages.Centered(),
                         Window().Text("ed_Scale"), Window().Down("b_FitToPage")),
              std::tuple(std::lround(test.scale * 1000), std::lround(test.overlap * 1000), test.centred,
                         std::string(test.scaleText), test.fitDown))
        << test.name;
    auto* preview = static_cast<TRectEntity*>(Tool().Input());
    EXPECT_EQ(std::tuple(preview->GetMinX(), preview->GetMaxX()),
              std::tuple(std::min(0.0, pages.GetMinX()), std::max(0.4, pages.GetMaxX())))
        << test.name << ": the preview follows the grid";
  }
}

// The box that refuses a grid of too many pages comes once for each scale
// typed in: a field left again, the scale's or the overlap's, with its value
// unchanged lays no grid again.  On the paper of 0.06 x 0.04 a scale of
// 0.0001 asks for millions of pages.
TEST_F(PrintDialogToolTest, TooManyPagesAreSaidOnceForEachScaleTypedIn) {
  std::vector<std::size_t> said;
  Run(false, [&](platform::Form& form) {
    for (const auto& [field, text] : {std::pair{"ed_Scale", "0.0001"}, {"ed_Overlap", "0"}, {"ed_Scale", "0.0001"},
                                      {"ed_Scale", "0.00001"}}) {
      form.SetText(field, text);
      form.Focus(field);
      platform::UserExit(form, field);
      RunMessages();
      said.push_back(Boxes().size());
    }
    platform::UserClick(form, "CancelBtn");
  });
  EXPECT_EQ(said, (std::vector<std::size_t>{1, 1, 1, 2}));
}

// A desktop of 0.4 x 0.2 on paper of 0.2 x 0.3 with a 10 mm overlap: the
// width asks 0.4 / 0.18, the height 0.2 / 0.28.
TEST_F(PrintDialogToolTest, FitToPageTakesTheLargerRatioShownWithTwoDecimals) {
  printer->Printer().Abort();
  platform::SetPrintPaperSize({200, 300});
  printer = std::make_unique<TPrintDevice>();
  Run(false, [](platform::Form& form) { platform::UserClick(form, "OKBtn"); });
  Tool().Form()->Timer().SetEnabled(false);
  Window().SetText("ed_Overlap", "10");
  Deliver(msgOverlapEdited);
  Window().SetDown("b_FitToPage", true);
  Deliver(msgFitToPage);
  EXPECT_EQ(Window().Text("ed_Scale"), "2.22");
  EXPECT_DOUBLE_EQ(Tool().PrintPages()->Scale(), 0.4 / 0.18);
}

TEST_F(PrintDialogToolTest, LinesAreRasterisedAsTheOptionsSayAndTheButtonWritesTheOption) {
  struct Case {
    const char* name;
    const char* stored;
    bool click;
    bool down;
    const char* written;
  };
  const Case cases[] = {
      {"no option", nullptr, false, false, nullptr},
      {"off", "0", false, false, nullptr},
      {"on", "1", false, true, nullptr},
      {"on, switched off", "1", true, false, "0"},
      {"no option, switched on", nullptr, true, true, "1"},
  };
  const std::string ini = folder.File("KESTX.INI");
  for (const Case& test : cases) {
    std::remove(ini.c_str());
    if (test.stored) {
      platform::TIniFile options(ini);
      options.WriteString("PRINT", "RasterizeLinesByKestu", test.stored);
      options.UpdateFile();
    }
    Run(false, [&](platform::Form& form) {
      if (!test.click) return;
      platform::UserClick(form, "b_RasterLines");
      RunMessages();
    });
    RunMessages();
    EXPECT_EQ(std::tuple(printer->RasterizeLines,
                         platform::TIniFile(ini).ReadString("PRINT", "RasterizeLinesByKestu", "none")),
              std::tuple(test.down, std::string(test.written ? test.written : test.stored ? test.stored : "none")))
        << test.name;
    TElement* freed = link.Get();
    FreeAndNil(freed);
  }
}

TEST_F(PrintDialogToolTest, ThePreviewIsGreyAroundTheWhitePagesAndTheRedFrameOfTheDesktop) {
  Run(false, [](platform::Form& form) { platform::UserClick(form, "OKBtn"); });
  Tool().Form()->Timer().SetEnabled(false);
  RunMessages();
  TPrintPages& pages = *Tool().PrintPages();
  // Seven pages of 0.06 a row, centred, stand 0.01 out on both sides.
  ASSERT_EQ(std::tuple(pages.Columns, pages.Rows), std::tuple(7, 5));
  EXPECT_NEAR(pages.GetMinX(), -0.01, 1e-12);
  platform::Canvas& preview = Tool().Form()->PreviewBitmap()->GetCanvas();
  TPageProjection& projection = *Tool().GetDevice()->Projection();
  struct Case {
    const char* name;
    double x, y;
    int dx, dy;
    platform::ColorValue colour;
  };
  const Case cases[] = {
      {"the red frame's upper-left corner", 0, 0.2, 0, 0, 0x0000FF},
      {"the red frame is two pixels wide", 0, 0.1, 1, 0, 0x0000FF},
      {"a page left of the desktop", -0.005, 0.1, 0, 0, 0xFFFFFF},
      {"the first page's black frame", -0.01, 0.1, 0, 0, 0},
      {"grey above the pages", 0.2, 0.2, 0, -3, 0x808080},
      {"a rectangle of the desktop is not in the preview", 0.1, 0.06, 0, 0, 0xFFFFFF},
  };
  for (const Case& test : cases)
    EXPECT_EQ(preview.Pixel(projection.WorldToDeviceX(test.x) + test.dx, projection.WorldToDeviceY(test.y) + test.dy),
              test.colour)
        << test.name;
}

// The dialog's image shows the preview of all it holds, as large as it
// allows: the grid of 7 x 5 pages of 0.06 x 0.04, centred on the 0.4 x 0.2
// desktop, spans -0.01 to 0.41 across and 0 to 0.2 up.  0.42 / 373 exceeds
// 0.2 / 249, so its width fills the 373 pixels of the image, and its centre
// (0.2, 0.1) lies on the image's middle pixel (186, 124).
TEST_F(PrintDialogToolTest, TheDialogsImageShowsTheGridAcrossItsWidthCentredUpAndDown) {
  Run(false, [](platform::Form& form) { platform::UserClick(form, "OKBtn"); });
  Tool().Form()->Timer().SetEnabled(false);
  RunMessages();
  platform::Bitmap* shown = Window().ImageBitmap("Image");
  ASSERT_NE(shown, nullptr);
  platform::Bitmap& image = *shown;
  ASSERT_EQ(std::tuple(image.Width(), image.Height()), std::tuple(373, 249));
  const double metresPerPixel = 0.42 / 373;
  const int top = static_cast<int>(std::lround(124 - 0.1 / metresPerPixel));
  const int bottom = static_cast<int>(std::lround(124 + 0.1 / metresPerPixel));
  struct Case {
    const char* name;
    int x, y;
    platform::ColorValue colour;
  };
  const Case cases[] = {
      {"grey above the grid", 186, top - 4, 0x808080},
      {"a page just below the grid's top", 186, top + 4, 0xFFFFFF},
      {"a page just above the grid's bottom", 186, bottom - 4, 0xFFFFFF},
      {"grey below the grid", 186, bottom + 4, 0x808080},
      {"the first page at the image's left edge", 2, 124, 0xFFFFFF},
      {"the last page at the image's right edge", 370, 124, 0xFFFFFF},
  };
  for (const Case& test : cases)
    EXPECT_EQ(image.GetCanvas().Pixel(test.x, test.y), test.colour) << test.name << " at " << test.x << ", " << test.y;
}

// Pictures of the dialog for the eye: a desktop on one page, on four pages
// of a sheet of a multi-page desktop, and the dialog while it prints.
TEST_F(PrintDialogToolTest, ScreenshotsOfTheDialogAndItsPreview) {
  struct Case {
    const char* file;
    TRealRect desktop;
    bool multiPage;
    bool printing;
  };
  const Case cases[] = {
      {"print_dialog_one_page.png", {0, 0, 0.05, 0.03}, false, false},
      {"print_dialog_pages.png", {0, 0, 0.1, 0.07}, false, false},
      {"print_dialog_multi_page.png", {0, 0, 0.06, 0.04}, true, false},
      {"print_dialog_printing.png", {0, 0, 0.1, 0.07}, false, true},
  };
  std::filesystem::create_directories(KESTX_SCREENSHOTS_DIR);
  for (const Case& test : cases) {
    desktop.reset(MakeDesktop(test.desktop));
    const std::string png = std::string(KESTX_SCREENSHOTS_DIR) + "/" + test.file;
    TPrintDialogTool& tool = Run(test.multiPage, [&](platform::Form& form) {
      RunMessages();
      if (test.printing) return platform::UserClick(form, "OKBtn");
      EXPECT_TRUE(form.SaveImage(png)) << test.file;
    });
    if (test.printing) {
      tool.Form()->Timer().SetEnabled(false);
      tool.Form()->SetStartTime(46363.5);
      Window().SetText("lbTime", "0:00:03");
      EXPECT_TRUE(Window().SaveImage(png)) << test.file;
    }
    EXPECT_TRUE(std::filesystem::file_size(png) > 0) << test.file;
    TElement* freed = &tool;
    FreeAndNil(freed);
  }
}

}  // namespace
