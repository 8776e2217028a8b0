#include "render/devices/tile_device.h"

#include "render/devices/print_device.h"

#include <vector>

#include "framework/tools/system_register.h"
#include "framework/tools/world.h"
#include "framework/values/typed_values.h"
#include "platform/memory_status.h"
#include "tests/render/drawing_fixture.h"
#include "tests/spatial/spatial_fixture.h"

namespace {

platform::MemoryStatus plentiful() {
  platform::MemoryStatus status;
  status.TotalPhys = status.TotalPageFile = std::uint64_t{1} << 40;
  return status;
}

class TileTest : public RenderTest {
 protected:
  void SetUp() override {
    RenderTest::SetUp();
    SetWorld(&world);
    platform::SetMemoryStatusSource(plentiful);
    MainTool = &log;
  }
  void TearDown() override {
    platform::Bitmap::FailNextCreations(0);
    platform::SetMemoryStatusSource(nullptr);
    SetWorld(nullptr);
    RenderTest::TearDown();
  }
  void SetMemoryTile(const std::string& value) {
    auto* section = DynamicCast<TStringListElement>(world.SystemRegister()->FindElementByName("RASTER"));
    if (!section) {
      section = new TStringListElement;
      section->SetName("RASTER");
      world.SystemRegister()->AddElement(section);
    }
    section->SetValueByName("MEMORY_TILE", value);
  }
  // A device of that page without a canvas.
  static std::unique_ptr<TCanvasDevice> PageOf(int width, int height) {
    auto device = std::make_unique<TCanvasDevice>();
    device->Page()->PageRect = device->Page()->ClipRect = {0, 0, width, height};
    device->Page()->SetResolution(3779.5, 3779.5);
    device->Projection()->Calculate({0, 0}, device->Page(), 3779.5);
    return device;
  }
  // Band heights of every band, walking them all.  Each band's projection
  // is centred on the world Y of the target's row in the band's middle.
  static std::vector<int> Bands(TTileDevice& tiles, const TDevice& target) {
    std::vector<int> heights;
    for (; !tiles.Done; tiles.NextTile()) {
      heights.push_back(tiles.Bitmap()->Height());
      const std::int32_t middle = tiles.TileTop + tiles.Bitmap()->Height() / 2;
      EXPECT_DOUBLE_EQ(tiles.Projection()->Center_Y(), target.Projection()->DeviceToWorldY(middle))
          << "the band at row " << tiles.TileTop;
    }
    return heights;
  }

  TWorld world;
  TLogLines log;
};

TEST_F(TileTest, BandsHalveRoundingUpAsTheirCountDoublesAndNoneLiesBelowThePage) {
  struct Case {
    const char* name;
    int width, height;
    const char* memoryTile;
    int failures;
    std::vector<int> bands;
  };
  const auto repeat = [](int band, int times, std::vector<int> last) {
    std::vector<int> all(static_cast<std::size_t>(times), band);
    all.insert(all.end(), last.begin(), last.end());
    return all;
  };
  const Case cases[] = {
      {"1001 rows in 8 bands of 126, the last cut", 8000, 1001, "4000000", 0, repeat(126, 7, {119})},
      {"1001 rows in 16 bands of 63", 8000, 1001, "2500000", 0, repeat(63, 15, {56})},
      {"two failed bitmaps double the count twice", 8000, 1001, "4000000", 2, repeat(32, 31, {9})},
      {"a page that fits is one band", 10, 7, "", 0, {7}},
      {"a setting that is no number is the default 20,000,000", 8000, 1001, "abc", 0, {501, 500}},
      {"no band lies wholly below the page", 8000, 9, "2000000", 3, {2, 2, 2, 2, 1}},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    SetMemoryTile(test.memoryTile);
    auto target = PageOf(test.width, test.height);
    TTileDevice tiles;
    platform::Bitmap::FailNextCreations(test.failures);
    tiles.Setup(target.get());
    EXPECT_EQ(tiles.TileCount, static_cast<int>(test.bands.size()));
    EXPECT_EQ(Bands(tiles, *target), test.bands);
    EXPECT_EQ(tiles.Bitmap(), nullptr) << "the last band's bitmap is freed";
  }
}

// Notes the status texts it is sent.
class TStatusLine : public TOwnerEntity {
 public:
  std::vector<std::string> Texts;
  void ReceiveMessage(TKestuMessage*& message, bool& handled) override {
    if (auto* text = DynamicCast<TKestuTextMessage>(message); text && text->Message == msgStatusText)
      Texts.push_back(text->Text);
    handled = true;
  }
};

// The count of bands reaches the status line while the bands are set up,
// before the first is drawn: 1001 rows at 4,000,000 bytes are 8 bands.
TEST_F(TileTest, TheBandCountIsShownBeforeTheFirstBandIsDrawn) {
  TStatusLine status;
  MainTool = &status;
  SetMemoryTile("4000000");
  auto target = PageOf(8000, 1001);
  TTileDevice tiles;
  tiles.Setup(target.get());
  EXPECT_EQ(status.Texts, std::vector<std::string>{"TILE... Počet dlaždic 8"});
  MainTool = &log;
}

TEST_F(TileTest, LowMemoryIsLoggedAndABandThatCannotBeMadeDrawsNothing) {
  struct Case {
    const char* name;
    std::uint64_t availPageFile;
    int failures;
    std::vector<std::string> lines;
    int tileCount;
  };
  const Case cases[] = {
      {"low memory, the page file helps", 5000000, 0, {"TILE... kritický stav paměti: 1000000"}, 1},
      {"low memory and no page file: one-row bands",
       1000000,
       0,
       {"TILE... kritický stav paměti: 1000000",
        "TILE... Zoufale kritický stav paměti ... uvolněte místo na swapovacím disku!"},
       3},
      {"not even one row", 5000000, 10,
       {"TILE... kritický stav paměti: 1000000", "TILE... nelze vytvořit ani jednořádkovou dlaždici"}, 0},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    static std::uint64_t pageFile;
    pageFile = test.availPageFile;
    platform::SetMemoryStatusSource([] {
      platform::MemoryStatus status;
      status.TotalPhys = 1000000;
      status.TotalPageFile = status.AvailPageFile = pageFile;
      return status;
    });
    log.Lines.clear();
    auto target = PageOf(100, 3);
    TTileDevice tiles;
    platform::Bitmap::FailNextCreations(test.failures);
    tiles.Setup(target.get());
    RunMessages();
    EXPECT_EQ(log.Lines, test.lines);
    EXPECT_EQ(std::tuple(tiles.TileCount, tiles.Done), std::tuple(test.tileCount, test.tileCount == 0));
  }
}

// Lines, areas with holes, wide pens and text across the band borders.
void DrawScene(TDevice& device) {
  device.GetPen()->Width = 1;
  device.GetPen()->Color = 0x0000FF;
  std::unique_ptr<TPolyLineElement> line(
      WithVertices(new TPolyLineElement, {{3, 195}, {97, 130}, {10, 70}, {90, 3}, {-20, 100}}));
  device.DrawPolyline(line.get());
  device.GetPen()->Width = 5;
  device.MoveTo(5, 5);
  device.LineTo(95, 190);
  device.GetBrush()->Color = 0x00AA00;
  std::unique_ptr<TAreaElement> area(
      WithVertices(new TAreaElement, {{10.4, 30.2}, {85.1, 40.7}, {70.3, 170.9}, {20.6, 150.5}}));
  area->AddHole(WithVertices(new TAreaElement, {{30, 60}, {60, 60}, {45, 120}}));
  device.GetPen()->Width = 1;
  device.DrawArea(area.get());
  device.GetFont()->Height = -16;
  device.SetFontAngle(30);
  device.TextOutAt("Lesy", 20, 105);
  // A line, a polyline and an area cut on half rows where bands begin at odd
  // rows (75, 125 and 175): at the clip's left edge 7, at the page's edge 0
  // and 3 pixels beyond it, where an unclipped thin pen is cut.
  device.GetPen()->Width = 1;
  for (const double edge : {7.0, 0.0, -3.0}) {
    device.MoveTo(edge - 6, 120);
    device.LineTo(edge + 6, 119);
    std::unique_ptr<TPolyLineElement> cut(WithVertices(new TPolyLineElement, {{edge - 6, 70}, {edge + 6, 69}}));
    device.DrawPolyline(cut.get());
    std::unique_ptr<TAreaElement> half(
        WithVertices(new TAreaElement, {{edge - 6, 20}, {edge + 6, 19}, {edge + 6, 10}, {edge - 6, 11}}));
    device.DrawArea(half.get());
  }
}

TEST_F(TileTest, ABandedPictureIsTheWholePictureByteForByte) {
  const std::pair<const char*, bool> cases[] = {{"page unclipped", false}, {"page clipped", true}};
  for (const auto& [name, clipped] : cases) {
    SCOPED_TRACE(name);
    auto whole = MakeBitmapDevice(100, 200);
    auto banded = MakeBitmapDevice(100, 200);
    for (TBitmapDevice* device : {whole.get(), banded.get()}) {
      device->Page()->ClipActive = clipped;
      if (clipped) device->Page()->ClipRect = {7, 23, 91, 181};
    }
    DrawScene(*whole);

    SetMemoryTile("2000000");
    platform::Bitmap::FailNextCreations(3);
    TTileDevice tiles;
    tiles.Setup(banded.get());
    ASSERT_EQ(tiles.TileCount, 8);
    for (; !tiles.Done; tiles.NextTile()) {
      tiles.BeginDraw();
      DrawScene(tiles);
      tiles.EndDraw();
    }
    std::string differ;
    for (int y = 0; y < 200; ++y)
      for (int x = 0; x < 100; ++x)
        if (banded->Canvas()->Pixel(x, y) != whole->Canvas()->Pixel(x, y))
          differ += " (" + std::to_string(x) + "," + std::to_string(y) + ")";
    EXPECT_EQ(differ.substr(0, 300), "");
  }
}

TEST_F(TileTest, APrinterTargetReceivesEachBandAtItsRow) {
  TempFolder folder;
  const std::string pdf = folder.File("bands.pdf");
  platform::SetPrintFileName(pdf);
  platform::SetPrintResolution(30);
  {
    TPrintDevice printer;
    OnePixelAUnit(printer);
    const int height = printer.Page()->Height();
    SetMemoryTile("2000000");
    platform::Bitmap::FailNextCreations(3);
    TTileDevice tiles;
    tiles.Setup(&printer);
    ASSERT_EQ(tiles.TileCount, 8);
    for (; !tiles.Done; tiles.NextTile()) {
      tiles.BeginDraw();
      tiles.GetBrush()->Color = 0x0000FF;
      // A red bar across every band border, in world units one a pixel.
      tiles.FillRect(50, height - 300, 150, height - 10);
      tiles.EndDraw();
    }
  }
  platform::SetPrintFileName("kestx.pdf");
  platform::SetPrintResolution(300);
  const PpmPicture page = RasterisePdf(pdf, 30, folder.File("page"));
  ASSERT_GT(page.Height, 300);
  std::string wrong;
  for (int y = 0; y < page.Height; ++y)
    for (int x = 40; x < 160; ++x)
      if ((page.At(x, y) == 0x0000FF) != (x >= 50 && x < 150 && y >= 10 && y < 300))
        wrong += " (" + std::to_string(x) + "," + std::to_string(y) + ")";
  EXPECT_EQ(wrong.substr(0, 300), "");
}

}  // namespace
