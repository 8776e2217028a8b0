#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <system_error>
#include <tuple>
#include <vector>

#include "platform/canvas.h"
#include "platform/pictures.h"
#include "platform/print_reference.h"
#include "tests/platform/file_size_limit.h"
#include "tests/platform/pdf_info.h"
#include "tests/platform/temp_folder.h"

namespace platform {
namespace {

constexpr double kPointsPerMm = 72 / 25.4;

class PrinterTest : public ::testing::Test {
 protected:
  void TearDown() override { SetPrintPaperSize({}); }
  TempFolder folder;
};

TEST_F(PrinterTest, TheDocumentHoldsThePagesBegunOnThePaperItWasMadeWithUnderItsTitle) {
  struct Case {
    const char* name;
    PaperSize paper;
    int newPages;
    PixelRect picture;  // the page's pixels at 30 dots per inch
  };
  const Case cases[] = {
      {"A4 until set, one page", {}, 0, {0, 0, 248, 351}},
      {"a landscape slip of three pages", {100, 50}, 2, {0, 0, 118, 59}},
  };
  for (const Case& test : cases) {
    const std::string pdf = folder.File(std::string(test.name) + ".pdf");
    SetPrintPaperSize(test.paper);
    {
      Printer printer(pdf, 30);
      printer.SetTitle("Titulek čísla");
      printer.GetCanvas().FillRect({0, 0, 1, 1});  // a page with nothing drawn prints nothing
      for (int i = 0; i < test.newPages; ++i) printer.NewPage();
      EXPECT_EQ(printer.PageNumber(), test.newPages + 1) << test.name;
      EXPECT_EQ(printer.Name(), pdf) << test.name;
      EXPECT_EQ(printer.GetCanvas().ClipRect(), test.picture) << test.name;
    }
    const PdfInfo info = ReadPdfInfo(pdf);
    EXPECT_EQ(std::tuple(info.Pages, info.Title), std::tuple(test.newPages + 1, std::string("Titulek čísla"))) << test.name;
    EXPECT_NEAR(info.WidthPoints, test.paper.WidthMm * kPointsPerMm, 0.5) << test.name;
    EXPECT_NEAR(info.HeightPoints, test.paper.HeightMm * kPointsPerMm, 0.5) << test.name;
  }
}

TEST_F(PrinterTest, APrinterIsPrintingFromItsMakingToItsEndOrAbortAndAnAbortLeavesNoFile) {
  struct Case {
    const char* name;
    bool abort;
    bool fileLeft;
    bool endFirst = false;
  };
  const Case cases[] = {
      {"ended", false, true},
      {"aborted, then drawn on and ended", true, false},
      {"ended, then aborted: the document stays", true, true, true},
  };
  for (const Case& test : cases) {
    const std::string pdf = folder.File(std::string(test.name) + ".pdf");
    EXPECT_FALSE(Printing()) << test.name;
    {
      Printer printer(pdf, 30);
      EXPECT_TRUE(Printing()) << test.name;
      printer.GetCanvas().FillRect({0, 0, 10, 10});
      if (test.endFirst) {
        printer.End();
        EXPECT_FALSE(Printing()) << test.name;
        printer.Abort();
        EXPECT_FALSE(printer.Aborted()) << test.name;
      } else if (test.abort) {
        printer.Abort();
        EXPECT_TRUE(printer.Aborted()) << test.name;
        EXPECT_FALSE(Printing()) << test.name << ": an aborted job prints no more";
        printer.GetCanvas().FillRect({0, 0, 10, 10});
        printer.NewPage();
      }
    }
    EXPECT_EQ(std::tuple(Printing(), std::filesystem::exists(pdf)), std::tuple(false, test.fileLeft)) << test.name;
  }
}

// Making a printer writes nothing: the file is the document's from its
// first page with something drawn on it or turned, or once the document is
// asked for; before it is written, an end or an abort leaves whatever stood
// under the name as it was.
TEST_F(PrinterTest, TheFileIsWrittenFromTheFirstPageDrawnOrTurned) {
  enum Step { Draw, Turn, Ask, Abort };
  const struct {
    const char* name;
    bool fileBefore;
    std::vector<Step> steps;
    bool pdf;  // else the file as it was before (or none)
  } rows[] = {
      {"nothing drawn", false, {}, false},
      {"nothing drawn, a file there", true, {}, false},
      {"drawn and aborted, a file there", true, {Draw, Abort}, false},
      {"a page turned", false, {Turn}, true},
      {"asked for, nothing drawn", false, {Ask}, true},
      {"asked for and aborted, a file there", true, {Ask, Abort}, false},
      {"drawn, a file there", true, {Draw}, true},
  };
  for (const auto& row : rows) {
    const std::string pdf = folder.File(std::string(row.name) + ".pdf");
    if (row.fileBefore) std::ofstream(pdf) << "dřívější";
    {
      Printer printer(pdf, 30);
      for (const Step step : row.steps) {
        if (step == Draw) printer.GetCanvas().FillRect({0, 0, 5, 5});
        if (step == Turn) printer.NewPage();
        if (step == Ask) printer.Begin();
        if (step == Abort) printer.Abort();
      }
    }
    std::ifstream file(pdf, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    const std::string expected = row.pdf ? "%PDF" : row.fileBefore ? "dřívější" : "";
    EXPECT_EQ(bytes.substr(0, expected.size()), expected) << row.name;
    EXPECT_EQ(std::filesystem::exists(pdf), row.pdf || row.fileBefore) << row.name;
  }
}

TEST_F(PrinterTest, AFileThatCannotBeWrittenFailsTheMakingAndOpensNoDocument) {
  const std::string pdf = folder.File("no such folder/tisk.pdf");
  try {
    Printer printer(pdf, 30);
    ADD_FAILURE() << "the printer was made";
  } catch (const EPrinter& error) {
    EXPECT_EQ(std::string(error.what()), "Soubor tisku " + pdf + " nelze zapsat");
  }
  EXPECT_FALSE(Printing());
}

// A document the disk does not take whole is no document: the turn of the
// page or the end that finds it out raises with the system's reason, the
// job is aborted and its cut file is gone.
TEST_F(PrinterTest, ADocumentTheDiskDoesNotTakeWholeFailsWhereItIsFoundOutAndLeavesNoFile) {
  enum Step { Turn, End };
  for (const Step fails : {Turn, End}) {
    const std::string name = fails == Turn ? "the turn" : "the end";
    const std::string pdf = folder.File(name + ".pdf");
    Printer printer(pdf, 30);
    Canvas& canvas = printer.GetCanvas();
    canvas.FillRect({0, 0, 10, 10});
    std::string failed = "nothing";
    try {
      {
        // Fewer bytes than a document takes, until the first page is in.
        std::optional<FileSizeLimit> full;
        if (fails == Turn) full.emplace(200);
        printer.NewPage();
      }
      canvas.FillRect({0, 0, 10, 10});
      // Room for what the document's file, beside the one it is named
      // for, holds now and one byte more.
      std::uintmax_t written = 0;
      for (const auto& entry : std::filesystem::directory_iterator(folder.Path()))
        if (entry.path().string().starts_with(pdf + ".~part")) written = entry.file_size();
      const FileSizeLimit full(written + 1);
      printer.End();
    } catch (const EPrinter& error) {
      failed = printer.PageNumber() == 1 ? "the turn" : "the end";
      // The system's reason comes in the user's language.
      const std::string tooLarge = std::generic_category().message(EFBIG);
      EXPECT_EQ(std::string(error.what()).rfind("Soubor tisku " + pdf + " se nepodařilo zapsat: " + tooLarge, 0), 0u)
          << name << ": " << error.what();
    }
    EXPECT_EQ(failed, name);
    EXPECT_EQ(std::tuple(printer.Aborted(), Printing(), std::filesystem::exists(pdf)), std::tuple(true, false, false))
        << name;
  }
}

// The page goes into the file in bands cut to their inked columns; drawn
// back at the printer's resolution it is the page drawn, pixel for pixel.
TEST_F(PrinterTest, APrintedPageComesBackPixelForPixel) {
  struct Case {
    const char* name;
    PixelRect rect;
    ColorValue colour;
  };
  // 168 x 120 points: 350 x 250 pixels at 150 dots per inch.
  const Case cases[] = {
      {"the upper-left corner", {0, 0, 3, 2}, 0x0000FF},
      {"the lower-right corner", {346, 247, 350, 250}, 0},
      {"across a band's edge", {100, 60, 140, 70}, 0x00FF00},
      {"alone in the middle of a band, after a white band", {200, 140, 201, 141}, 0xFF0000},
  };
  SetPrintPaperSize({168 / 72.0 * 25.4, 120 / 72.0 * 25.4});
  const std::string pdf = folder.File("pixels.pdf");
  {
    Printer printer(pdf, 150);
    Canvas& canvas = printer.GetCanvas();
    for (const Case& test : cases) {
      canvas.Brush = {test.colour, BrushStyle::Solid};
      canvas.FillRect(test.rect);
    }
  }
  const PdfPagePixels page = RasterisePdfPage(pdf, 1, 150, folder.File("page"));
  ASSERT_EQ(std::tuple(page.Width, page.Height), std::tuple(350, 250));
  std::string wrong;
  for (int y = 0; y < page.Height; ++y)
    for (int x = 0; x < page.Width; ++x) {
      ColorValue expected = 0xFFFFFF;
      for (const Case& test : cases)
        if (x >= test.rect.Left && x < test.rect.Right && y >= test.rect.Top && y < test.rect.Bottom)
          expected = test.colour;
      if (page.At(x, y) != expected && wrong.size() < 200)
        wrong += " (" + std::to_string(x) + "," + std::to_string(y) + ")";
    }
  EXPECT_EQ(wrong, "");
}

// The yardstick the print run is timed against prints what a print run
// prints: per page, in this order, frames (black, filled white, so a later
// one hides what an earlier one drew under it), the part of the picture
// stretched into its place, lines in the page's colour and black texts of
// the page's pixel height.  At 127 dots per inch a millimetre is 5 pixels;
// the checks keep two pixels off every edge, where a reader may round either
// way.
TEST_F(PrinterTest, TheQtYardstickPrintsFramesPictureLinesAndTextsOnEachPage) {
  constexpr ColorValue kBlack = 0, kWhite = 0xFFFFFF, kRed = 0x0000FF, kGreen = 0x00FF00, kBlue = 0xFF0000,
                       kYellow = 0x00FFFF, kMagenta = 0xFF00FF;
  SetPrintPaperSize({60, 40});
  DecodedPicture picture;
  picture.Width = picture.Height = 2;
  picture.Rgb = {0xFF, 0, 0, 0, 0xFF, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0};  // red, green / blue, yellow
  ReferencePrintPage first;
  first.Frames = {{10, 10, 110, 90}, {102, 30, 118, 70}};
  first.Picture = {20, 20, 60, 60};
  first.PicturePart = {0, 0, 2, 2};
  first.Lines = {{{120, 50}, {280, 50}}};
  first.LineColor = kMagenta;
  first.Texts = {{{150, 120}, "Ahoj"}};
  first.TextHeight = 30;
  ReferencePrintPage second;
  second.Lines = {{{20, 100}, {280, 100}}};
  second.LineColor = kGreen;
  const std::string pdf = folder.File("yardstick.pdf");
  PrintPagesWithQt(pdf, 127, picture, {first, second});
  ASSERT_EQ(ReadPdfInfo(pdf).Pages, 2);

  enum Check { Every, Some, EachColumn };  // pixel of the region, or one in it, or one in each of its columns
  const struct {
    const char* name;
    int page;
    PixelRect region;
    Check check;
    ColorValue colour;
  } rows[] = {
      {"the frame's left edge", 1, {8, 50, 13, 51}, Some, kBlack},
      {"the frame's bottom edge", 1, {60, 87, 61, 92}, Some, kBlack},
      {"the frame's fill beside the picture", 1, {64, 14, 100, 86}, Every, kWhite},
      {"the first frame's edge under the second's fill", 1, {107, 34, 112, 66}, Every, kWhite},
      {"the second frame's right edge", 1, {115, 50, 120, 51}, Some, kBlack},
      {"the picture's upper left", 1, {22, 22, 38, 38}, Every, kRed},
      {"the picture's upper right", 1, {42, 22, 58, 38}, Every, kGreen},
      {"the picture's lower left", 1, {22, 42, 38, 58}, Every, kBlue},
      {"the picture's lower right", 1, {42, 42, 58, 58}, Every, kYellow},
      {"the line", 1, {122, 48, 278, 53}, EachColumn, kMagenta},
      {"below the line", 1, {122, 55, 278, 110}, Every, kWhite},
      {"the text", 1, {150, 120, 300, 180}, Some, kBlack},
      {"the second page's line", 2, {22, 98, 278, 103}, EachColumn, kGreen},
      {"the second page has no frame", 2, {8, 8, 13, 92}, Every, kWhite},
  };
  for (const auto& row : rows) {
    const PdfPagePixels page = RasterisePdfPage(pdf, row.page, 127, folder.File("page" + std::to_string(row.page)));
    ASSERT_EQ(std::tuple(page.Width, page.Height), std::tuple(300, 200)) << row.name;
    const PixelRect& r = row.region;
    int matching = 0, columns = 0;
    for (int x = r.Left; x < r.Right; ++x) {
      int inColumn = 0;
      for (int y = r.Top; y < r.Bottom; ++y) inColumn += page.At(x, y) == row.colour;
      matching += inColumn;
      columns += inColumn > 0;
    }
    const int all = (r.Right - r.Left) * (r.Bottom - r.Top);
    const bool holds = row.check == Every ? matching == all
                       : row.check == Some ? matching > 0
                                           : columns == r.Right - r.Left;
    EXPECT_TRUE(holds) << row.name << ": " << matching << " of " << all << " pixels, in " << columns << " columns";
  }
  // "Ahoj" inks from the top of its capital to the bottom of the j's tail:
  // most of the pixel height (the font's ascent and descent) and no more.
  const PdfPagePixels page = RasterisePdfPage(pdf, 1, 127, folder.File("text"));
  int top = 200, bottom = -1;
  for (int y = 100; y < 200; ++y)
    for (int x = 150; x < 300; ++x)
      if (page.At(x, y) == kBlack) top = std::min(top, y), bottom = std::max(bottom, y);
  EXPECT_GE(bottom - top + 1, 24) << top << ".." << bottom;
  EXPECT_LE(bottom - top + 1, 30) << top << ".." << bottom;
}

}  // namespace
}  // namespace platform
