#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "platform/canvas.h"
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
      // Room for what the file holds now and one byte more.
      const FileSizeLimit full(std::filesystem::file_size(pdf) + 1);
      printer.End();
    } catch (const EPrinter& error) {
      failed = printer.PageNumber() == 1 ? "the turn" : "the end";
      EXPECT_EQ(std::string(error.what()).rfind("Soubor tisku " + pdf + " se nepodařilo zapsat: File too large", 0),
                0u)
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

}  // namespace
}  // namespace platform
