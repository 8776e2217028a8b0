// A four-page desktop printed into a PDF file against its anchor in the
// same run: Qt's painter printing the same primitives (frames, the view's
// picture, its grid lines and the texts) onto a PDF printer.  The ratio of
// the two times is the figure to watch; both report pages a second.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>


#include "bench/smooth_jpeg.h"
#include "cartography/cartography_classes.h"
#include "cartography/layouts/desktop.h"
#include "cartography/layouts/text_block.h"
#include "cartography/layouts/view.h"
#include "platform/canvas.h"
#include "platform/pictures.h"
#include "platform/print_reference.h"
#include "render/devices/print_device.h"
#include "render/interprets/interpret_script.h"
#include "render/interprets/script_creator.h"
#include "render/interprets/universal_interpret.h"
#include "render/rasters/raster.h"
#include "spatial/geometry/page.h"
#include "spatial/geometry/projection.h"

namespace {

constexpr int kDpi = 150;
constexpr int kPages = 4;
constexpr double kPageWidth = 0.21, kPageHeight = 0.297;
// The picture: 2000 x 2000 world units, one a pixel; grid lines every 200.
constexpr int kPicture = 2000;
constexpr double kGrid = 200;
constexpr int kTexts = 5;

std::string TempFile(const std::string& name) {
  return (std::filesystem::temp_directory_path() / ("kestx_bench_print_" + std::to_string(getpid()) + "_" + name))
      .string();
}

// A smooth picture, written once per run.
std::string PictureFile() {
  const std::string path = TempFile("picture.jpg");
  if (std::filesystem::exists(path)) return path;
  WriteSmoothJpeg(path, kPicture, kPicture);
  return path;
}

// Where things stand on a page, in sheet units from its lower-left corner.
// The views of the four pages show the four quarters of the picture, as a
// map spread over the pages would (Qt's file would hold a picture drawn
// whole on every page only once).
constexpr TRealRect kView{0.02, 0.08, 0.19, 0.25};
constexpr TRealRect kFrames[] = {{0.01, 0.01, 0.20, 0.287}, {0.02, 0.26, 0.19, 0.28}, {0.12, 0.015, 0.19, 0.045}};

double PageLeft(int n) { return (n % 2) * kPageWidth; }
// The quarter of the picture page n shows, in world units.
TRealRect Quarter(int n) {
  const double half = kPicture / 2.0, x = (n % 2) * half, y = (n / 2) * half;
  return {x, y, x + half, y + half};
}
double PageBottom(int n) { return (n / 2) * kPageHeight; }

TRealRect OnPage(int n, const TRealRect& r) {
  return {PageLeft(n) + r.MinX, PageBottom(n) + r.MinY, PageLeft(n) + r.MaxX, PageBottom(n) + r.MaxY};
}

TRealRect TextBox(int t) { return {0.12, 0.04 - 0.005 * t, 0.19, 0.045 - 0.005 * t}; }
std::string TextOf(int n, int t) { return "Lesní hospodářský celek " + std::to_string(n * kTexts + t); }

// Two pages across and two up, each with a view of the picture and its grid,
// three frames and five texts.
std::unique_ptr<TDesktop> MakeDesktop(const std::string& picture) {
  auto desktop = std::make_unique<TDesktop>();
  desktop->SetBounds({0, 0, 2 * kPageWidth, 2 * kPageHeight});
  for (int n = 0; n < kPages; ++n) {
    for (const TRealRect& r : kFrames) {
      auto* frame = new TDrawRectangle;
      frame->SetBounds(OnPage(n, r));
      frame->BrushStyle = bsClear;
      desktop->AddElement(frame);
    }
    auto* view = new TView;
    view->SetBounds(OnPage(n, kView));
    auto* model = new TRectEntity;
    auto* raster = new TRaster;
    raster->SetFileName(picture);
    model->AddEntity(raster);
    auto* grid = new TLines;
    grid->Width = grid->Height = kGrid;
    grid->Color = 0xFF0000;
    grid->PenWidth = 1;
    model->AddElement(grid);
    view->SetModel(model);
    view->Projection()->FitRect(Quarter(n));
    desktop->AddElement(view);
    for (int t = 0; t < kTexts; ++t) {
      auto* text = new TText;
      text->Text = TextOf(n, t);
      text->SetBounds(OnPage(n, TextBox(t)));
      desktop->AddElement(text);
    }
  }
  return desktop;
}

// The printer's page projected as the print device projects it.
struct PagePixels {
  T_Page page;
  TPageProjection projection;
  explicit PagePixels(int n) {
    // A4 at 150 dots per inch.
    page.PageRect = {0, 0, 1240, 1754};
    page.ClipRect = page.PageRect;
    page.SetResolution(kDpi * 1000 / 25.4, kDpi * 1000 / 25.4);
    projection.SetPage(&page);
    projection.Calculate({PageLeft(n) + kPageWidth / 2, PageBottom(n) + kPageHeight / 2}, &page, 1);
  }
  platform::PixelRect Rect(const TRealRect& r) const {
    return {projection.WorldToDeviceX(r.MinX), projection.WorldToDeviceY(r.MaxY), projection.WorldToDeviceX(r.MaxX),
            projection.WorldToDeviceY(r.MinY)};
  }
};

// The same pages as the anchor draws them.
std::vector<platform::ReferencePrintPage> ReferencePages() {
  std::vector<platform::ReferencePrintPage> pages(kPages);
  for (int n = 0; n < kPages; ++n) {
    const PagePixels pixels(n);
    platform::ReferencePrintPage& page = pages[std::size_t(n)];
    page.Frames.push_back(pixels.Rect({0, 0, 2 * kPageWidth, 2 * kPageHeight}));
    for (const TRealRect& r : kFrames) page.Frames.push_back(pixels.Rect(OnPage(n, r)));
    const platform::PixelRect view = pixels.Rect(OnPage(n, kView));
    page.Frames.push_back(view);
    // The picture's rows run downward, the world's upward.
    const TRealRect quarter = Quarter(n);
    page.Picture = view;
    page.PicturePart = {int(quarter.MinX), int(kPicture - quarter.MaxY), int(quarter.MaxX), int(kPicture - quarter.MinY)};
    const double step = (view.Right - view.Left) * kGrid / (quarter.MaxX - quarter.MinX);
    for (double x = view.Left; x <= view.Right; x += step) page.Lines.push_back({{int(x), view.Top}, {int(x), view.Bottom}});
    for (double y = view.Top; y <= view.Bottom; y += step) page.Lines.push_back({{view.Left, int(y)}, {view.Right, int(y)}});
    page.LineColor = 0xFF0000;
    for (int t = 0; t < kTexts; ++t) {
      const platform::PixelRect box = pixels.Rect(OnPage(n, TextBox(t)));
      page.Texts.push_back({{box.Left, box.Top}, TextOf(n, t)});
    }
  }
  return pages;
}

void PagesPerSecond(benchmark::State& state) {
  state.counters["pages/s"] = benchmark::Counter(double(state.iterations()) * kPages, benchmark::Counter::kIsRate);
}

void BM_QtPainterPrintsPagesToPdf(benchmark::State& state) {
  platform::SetPrintPaperSize({});
  const platform::DecodedPicture picture = platform::DecodePictureFile(PictureFile());
  const std::vector<platform::ReferencePrintPage> pages = ReferencePages();
  const std::string pdf = TempFile("anchor.pdf");
  for (auto _ : state) platform::PrintPagesWithQt(pdf, kDpi, picture, pages);
  PagesPerSecond(state);
  std::filesystem::remove(pdf);
}
BENCHMARK(BM_QtPainterPrintsPagesToPdf)->Unit(benchmark::kMillisecond);

void BM_PrintDesktopToPdf(benchmark::State& state) {
  RegisterCartographyClasses();
  platform::SetPrintPaperSize({});
  platform::SetPrintResolution(kDpi);
  const std::string pdf = TempFile("desktop.pdf");
  platform::SetPrintFileName(pdf);
  const auto desktop = MakeDesktop(PictureFile());
  TUniversalLumarScriptCreator creator;
  creator.DoIt();
  TUniversalInterpret interpret;
  interpret.SetScript(DynamicCast<TInterpretScript>(creator.Output()));
  interpret.SetInput(desktop.get());
  interpret.Printing = true;
  for (auto _ : state) {
    TPrintDevice printer;
    interpret.SetDevice(&printer);
    for (int n = 0; n < kPages; ++n) {
      if (n > 0) printer.Printer().NewPage();
      printer.Projection()->Calculate({PageLeft(n) + kPageWidth / 2, PageBottom(n) + kPageHeight / 2},
                                      printer.Page(), 1);
      interpret.DoIt();
    }
    interpret.SetDevice(nullptr);
  }
  PagesPerSecond(state);
  std::filesystem::remove(pdf);
  platform::SetPrintFileName("kestx.pdf");
  platform::SetPrintResolution(300);
}
BENCHMARK(BM_PrintDesktopToPdf)->Unit(benchmark::kMillisecond);

}  // namespace
