#include "render/rasters/raster_interprets.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "framework/tools/system_register.h"
#include "framework/tools/world.h"
#include "framework/values/typed_values.h"
#include "platform/memory_status.h"
#include "platform/pictures.h"
#include "platform/raster_servers.h"
#include "render/rasters/raster.h"
#include "tests/render/drawing_fixture.h"

namespace {

const std::string kSamples = std::string(KESTX_SAMPLES_DIR) + "/pictures/";
constexpr platform::ColorValue kMap = 0x808080;  // what lies under the raster
constexpr platform::ColorValue kGreen = 0x00FF00;

struct Memory {
  std::uint64_t AvailPhys = std::uint64_t{1} << 40;
  std::uint64_t AvailPageFile = std::uint64_t{1} << 40;
};
Memory memory;

platform::MemoryStatus MemoryFigures() {
  platform::MemoryStatus status;
  status.TotalPhys = status.TotalPageFile = std::uint64_t{1} << 40;
  status.AvailPhys = memory.AvailPhys;
  status.AvailPageFile = memory.AvailPageFile;
  return status;
}

// A device of that size filled with the map's colour.
std::unique_ptr<TBitmapDevice> MapDevice(int width, int height) {
  auto device = MakeBitmapDevice(width, height);
  platform::Canvas& canvas = device->Bitmap()->GetCanvas();
  canvas.Brush = {kMap, platform::BrushStyle::Solid};
  canvas.FillRect(canvas.ClipRect());
  return device;
}

// Stands for the local view transformation and notes the number of each
// operation asked of it.
class RecordingView : public platform::ViewTransformation {
 public:
  explicit RecordingView(std::shared_ptr<platform::ViewTransformation> view) : view_(std::move(view)) {}
  void Reset(std::int32_t mode) override { view_->Reset(mode); }
  void SetView(double x0, double y0, double width, double height, std::int32_t view, std::int32_t tileWidth,
               std::int32_t tileHeight, std::int32_t a, std::int32_t b, platform::Canvas* tile,
               std::int32_t c) override {
    Operations.push_back(7);
    view_->SetView(x0, y0, width, height, view, tileWidth, tileHeight, a, b, tile, c);
  }
  void PixelTop(double column, double row, double& y) override {
    Operations.push_back(17);
    view_->PixelTop(column, row, y);
  }
  void RowHeight(double& height) override {
    Operations.push_back(19);
    view_->RowHeight(height);
  }
  void SliceTop(double& y) override {
    Operations.push_back(13);
    view_->SliceTop(y);
  }
  const std::shared_ptr<platform::ViewTransformation>& Local() const { return view_; }
  std::vector<int> Operations;

 private:
  std::shared_ptr<platform::ViewTransformation> view_;
};

// Stands for the local store but fails to render the first n times.
class FailingStore : public platform::RasterStore {
 public:
  FailingStore(std::shared_ptr<platform::RasterStore> store, int failures) : store_(std::move(store)), left_(failures) {}
  void BindView(std::int32_t view, std::shared_ptr<platform::ViewTransformation> t, std::int32_t& result) override {
    // The local store binds only its own transformation.
    if (const auto* recording = dynamic_cast<const RecordingView*>(t.get())) t = recording->Local();
    store_->BindView(view, std::move(t), result);
  }
  void SetViewEntry(std::int32_t view, std::shared_ptr<platform::ViewEntry> entry) override {
    store_->SetViewEntry(view, std::move(entry));
  }
  void Extent(std::int32_t view, double& a, double& b, double& c, double& d) override { store_->Extent(view, a, b, c, d); }
  void Render(std::int32_t view, std::int32_t n, platform::Canvas& tile, platform::Bitmap& bitmap, std::int32_t m) override {
    if (left_ > 0 && left_--) throw platform::ERasterServerError("Vykreslení selhalo");
    store_->Render(view, n, tile, bitmap, m);
  }

 private:
  std::shared_ptr<platform::RasterStore> store_;
  int left_;
};

}  // namespace

class RasterDrawTest : public RenderTest {
 protected:
  void SetUp() override {
    RenderTest::SetUp();
    SetWorld(&world);
    memory = {};
    platform::SetMemoryStatusSource(MemoryFigures);
    MainTool = &recorder;
  }
  void TearDown() override {
    platform::Bitmap::FailNextCreations(0);
    platform::SetMemoryStatusSource(nullptr);
    platform::SetRasterObjectFactory(nullptr);
    SetWorld(nullptr);
    RenderTest::TearDown();
  }
  void SetRaster(const std::string& key, const std::string& value) {
    auto* section = DynamicCast<TStringListElement>(world.SystemRegister()->FindElementByName("RASTER"));
    if (!section) {
      section = new TStringListElement;
      section->SetName("RASTER");
      world.SystemRegister()->AddElement(section);
    }
    section->SetValueByName(key, value);
  }
  static std::unique_ptr<TRaster> Raster(const std::string& file) {
    auto raster = std::make_unique<TRaster>();
    raster->SetFileName(kSamples + file);
    return raster;
  }
  // Draws the element and answers the messages, "code text" each.
  std::vector<std::string> Draw(TInterpret& interpret, TElement& element, TDevice& device) {
    recorder.Messages.clear();
    interpret.AttachDevice(&device);
    interpret.SetInput(&element);
    interpret.DoIt();
    interpret.DetachDevice();
    RunMessages();
    std::vector<std::string> lines;
    for (const auto& m : recorder.Messages) lines.push_back(std::to_string(m.Code) + " " + m.Text);
    return lines;
  }
  std::vector<std::string> Draw(TElement& element, TDevice& device) {
    TRasterInterpret interpret;
    return Draw(interpret, element, device);
  }
  // The lines of a drawing of file in count tiles of rows each, bitmapRows
  // rows high, h rows visible.
  static std::vector<std::string> Header(const std::string& file, int count, int rows, int h, int rowBytes,
                                         int bitmapRows) {
    return {"8 " + file + " Počet dlaždic: " + std::to_string(count), "8  TileY        : " + std::to_string(rows),
            "8  BMY          : " + std::to_string(h),        "8  BM           : " + std::to_string(rowBytes),
            "44 " + file + " Počet dlaždic " + std::to_string(count),
            "8  Bitmap Y     : " + std::to_string(bitmapRows)};
  }
  static std::vector<std::string> Tiles(const std::string& file, int drawn, int count, int rows) {
    std::vector<std::string> lines;
    for (int t = 1; t <= drawn; ++t) {
      lines.push_back("44 " + file + " interpretace " + std::to_string(t) + ". dlaždice z " + std::to_string(count));
      lines.push_back("8 dTileY        : " + std::to_string(rows));
    }
    return lines;
  }
  static std::vector<std::string> Concat(std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
  }

  TWorld world;
  TRecorder recorder;
};

// Pixels that differ from the picture (picture pixel (x, y) at device pixel
// (x, y)), leaving out the rows and columns the frames lie on.
std::string PixelsOffThePicture(platform::Canvas& canvas, const platform::DecodedPicture& picture, int width,
                                int height, const std::function<bool(int, int)>& onFrame) {
  std::string wrong;
  for (int y = 0; y < height && wrong.size() < 300; ++y)
    for (int x = 0; x < width && wrong.size() < 300; ++x)
      if (!onFrame(x, y) && canvas.Pixel(x, y) != picture.At(x, y))
        wrong += " (" + std::to_string(x) + "," + std::to_string(y) + ")";
  return wrong;
}

TEST_F(RasterDrawTest, ALargeColourRasterAtTheDefaultLimitIsTwoTiles) {
  auto raster = Raster("large.jpg");
  auto device = MapDevice(4000, 1000);
  EXPECT_EQ(Draw(*raster, *device),
            Concat(Header("large.jpg", 2, 500, 1000, 12000, 500), Tiles("large.jpg", 2, 2, 500)));
  const platform::DecodedPicture picture = platform::DecodePictureFile(kSamples + "large.jpg");
  platform::Canvas& canvas = device->Bitmap()->GetCanvas();
  const auto onFrame = [](int x, int y) { return x == 0 || x == 3999 || y % 500 == 0 || y % 500 == 499; };
  EXPECT_EQ(PixelsOffThePicture(canvas, picture, 4000, 1000, onFrame), "");
  for (const auto& [x, y] : {std::pair{0, 0}, {3999, 250}, {17, 499}, {17, 500}, {3000, 999}})
    EXPECT_EQ(canvas.Pixel(x, y), kGreen) << "each tile framed green: " << x << "," << y;
}

TEST_F(RasterDrawTest, TheTilesFollowTheMemorySettingAndWhatCanBeHad) {
  struct Row {
    const char* name;
    const char* setting;  // MEMORY_C; nullptr for none
    Memory memory;
    int failures;  // bitmap creations made to fail
    std::vector<std::string> first;  // lines before the header
    int count, rows, bitmapRows;     // count 0: not drawn
  };
  const std::uint64_t plenty = std::uint64_t{1} << 40;
  const Row rows[] = {
      {"no setting: 8,000,000", nullptr, {}, 0, {}, 2, 500, 500},
      {"MEMORY_C 0 is the default", "0", {}, 0, {}, 2, 500, 500},
      {"a negative value counts as 0", "-5", {}, 0, {}, 2, 500, 500},
      {"no number counts as 0", "viel", {}, 0, {}, 2, 500, 500},
      {"a smaller limit", "3000000", {}, 0, {}, 4, 250, 250},
      {"a larger limit", "20000000", {}, 0, {}, 1, 1000, 1000},
      {"less physical memory than the setting", "20000000", {6000000, plenty}, 0, {}, 2, 500, 500},
      {"critical memory with a page file", nullptr, {1000000, 3000000}, 0,
       {"8 large.jpg... kritický stav paměti: 1000000"}, 8, 125, 125},
      {"critical memory without a page file: no limit", nullptr, {1000000, 2000000}, 0,
       {"8 large.jpg... kritický stav paměti: 1000000",
        "8 ... Zoufale kritický stav paměti ... uvolněte místo na swapovacím disku!"},
       1, 1000, 1000},
      {"failed bitmaps halve the tiles further", nullptr, {}, 2, {}, 8, 500, 125},
      {"no bitmap even of one row: not drawn", nullptr, {}, 1000, {}, 0, 500, 0},
  };
  auto raster = Raster("large.jpg");
  for (const Row& row : rows) {
    SetRaster("MEMORY_C", row.setting ? row.setting : "");
    memory = row.memory;
    auto device = MapDevice(4000, 1000);
    platform::Bitmap::FailNextCreations(row.failures);
    std::vector<std::string> expected = row.first;
    if (row.count == 0) {
      expected = Concat(expected, {"8 large.jpg Počet dlaždic: 2", "8  TileY        : 500", "8  BMY          : 1000",
                                   "8  BM           : 12000", "44 large.jpg Počet dlaždic 2",
                                   "8 large.jpg... ani jeden řádek rastru se nevejde do paměti, rastr se nekreslí"});
    } else {
      const int loggedCount = row.failures ? 2 : row.count;
      std::vector<std::string> header = Header("large.jpg", loggedCount, row.rows, 1000, 12000, row.bitmapRows);
      expected = Concat(Concat(expected, header), Tiles("large.jpg", row.count, row.count, row.bitmapRows));
    }
    EXPECT_EQ(Draw(*raster, *device), expected) << row.name;
    platform::Bitmap::FailNextCreations(0);
    if (row.count == 0) {
      EXPECT_EQ(device->Bitmap()->GetCanvas().Pixel(10, 10), kMap) << row.name << ": nothing drawn";
    }
  }
}

TEST_F(RasterDrawTest, ManyTilesEqualOneTilePixelForPixel) {
  auto raster = Raster("large.jpg");
  const platform::DecodedPicture picture = platform::DecodePictureFile(kSamples + "large.jpg");
  // 900 visible rows of 12,000 bytes: one tile within 20,000,000 bytes; 8
  // tiles of 113 rows, the last of 109, within the 2,000,000 that critical
  // memory leaves.
  struct Row {
    const char* name;
    Memory memory;
    int count, rows;
  };
  const Row rows[] = {{"one tile", {}, 1, 900}, {"eight tiles", {1000000, 3000000}, 8, 113}};
  SetRaster("MEMORY_C", "20000000");
  for (const Row& row : rows) {
    memory = row.memory;
    auto device = MapDevice(4000, 900);
    const std::vector<std::string> lines = Draw(*raster, *device);
    const std::size_t first = row.count > 1 ? 1 : 0;
    EXPECT_EQ(std::vector<std::string>(lines.begin() + first, lines.begin() + first + 2),
              (std::vector<std::string>{"8 large.jpg Počet dlaždic: " + std::to_string(row.count),
                                        "8  TileY        : " + std::to_string(row.rows)}))
        << row.name;
    EXPECT_EQ(lines.size(), first + 6 + 2 * row.count) << row.name << ": every tile drawn, none past the last row";
    // The device's rows show the picture's lower 900 rows.
    platform::Canvas& canvas = device->Bitmap()->GetCanvas();
    std::string wrong;
    for (int y = 0; y < 900 && wrong.size() < 300; ++y)
      for (int x = 0; x < 4000 && wrong.size() < 300; ++x) {
        const bool onFrame = x == 0 || x == 3999 || y % row.rows == 0 || y % row.rows == row.rows - 1 || y == 899;
        if (!onFrame && canvas.Pixel(x, y) != picture.At(x, y + 100))
          wrong += " (" + std::to_string(x) + "," + std::to_string(y) + ")";
      }
    EXPECT_EQ(wrong, "") << row.name;
  }
}

TEST_F(RasterDrawTest, OnlyTheVisiblePartIsCopiedThoughTheBitmapIsWiderByToEight) {
  auto raster = Raster("large.jpg");
  raster->SetBounds({0, 10, 13, 20});  // 13 × 10 pixels of the device
  auto device = MapDevice(30, 30);
  const std::vector<std::string> lines = Draw(*raster, *device);
  EXPECT_EQ(lines[3], "8  BM           : 48") << "13 columns make a bitmap of 16";
  platform::Canvas& canvas = device->Bitmap()->GetCanvas();
  std::string wrong;
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 30; ++x) {
      const bool inside = x < 13 && y >= 10 && y < 20;
      if (inside == (canvas.Pixel(x, y) == kMap)) wrong += " (" + std::to_string(x) + "," + std::to_string(y) + ")";
    }
  EXPECT_EQ(wrong, "") << "the raster covers its rectangle and nothing else";
}

// Every pixel that is not white is the raster's, whatever colour the file
// gives its set pixels: white alone is the background.
TEST_F(RasterDrawTest, ABiLevelRasterDrawsOnlyItsColourOnEveryRowAndColumn) {
  for (const char* file : {"mono.bmp", "mono_magenta.bmp"}) {
    SCOPED_TRACE(file);
    auto raster = Raster(file);
    raster->Color = 0x0000FF;
    auto device = MapDevice(20, 10);
    const std::vector<std::string> lines = Draw(*raster, *device);
    EXPECT_EQ(lines[3], "8  BM           : 16") << "a byte a pixel, rounded up to 8";
    const platform::DecodedPicture picture = platform::DecodePictureFile(kSamples + file);
    platform::Canvas& canvas = device->Bitmap()->GetCanvas();
    std::string wrong;
    // The picture (13 × 6) lies at device rows 4 to 9; its frame on its border.
    for (int y = 0; y < 10; ++y)
      for (int x = 0; x < 20; ++x) {
        platform::ColorValue expected = kMap;
        if (x < 13 && y >= 4) {
          const bool border = x == 0 || x == 12 || y == 4 || y == 9;
          expected = picture.At(x, y - 4) != 0xFFFFFF ? 0x0000FF : border ? kGreen : kMap;
        }
        if (canvas.Pixel(x, y) != expected) wrong += " (" + std::to_string(x) + "," + std::to_string(y) + ")";
      }
    EXPECT_EQ(wrong, "");
  }
}

TEST_F(RasterDrawTest, AFailingTileIsReportedAndTheNextOneDrawn) {
  auto raster = Raster("large.jpg");
  auto store = platform::CreateRasterObject<platform::RasterStore>(platform::kRasterStoreId);
  auto view = platform::CreateRasterObject<platform::ViewTransformation>(platform::kViewTransformationId);
  auto failing = std::make_shared<FailingStore>(store, 1);
  platform::SetRasterObjectFactory([&](const std::string& id) -> std::shared_ptr<platform::RasterObject> {
    if (id == platform::kRasterStoreId) return failing;
    if (id == platform::kViewTransformationId) return view;
    return nullptr;
  });
  TRasterInterpret interpret;
  auto device = MapDevice(4000, 1000);
  EXPECT_EQ(Draw(interpret, *raster, *device),
            Concat(Header("large.jpg", 2, 500, 1000, 12000, 500),
                   {"44 large.jpg interpretace 1. dlaždice z 2", "8 Vykreslení selhalo",
                    "8 large.jpg... Chyba v transformaci nebo kde !!!!!!!", "8    Minx: 0", "8    Miny: 500",
                    "8    H   : 500", "8    W   : 4000", "8    x   : 0", "8    y   : 0",
                    "44 large.jpg interpretace 2. dlaždice z 2", "8 dTileY        : 500"}));
  platform::Canvas& canvas = device->Bitmap()->GetCanvas();
  const platform::DecodedPicture picture = platform::DecodePictureFile(kSamples + "large.jpg");
  EXPECT_EQ(canvas.Pixel(100, 100), kMap) << "the failed tile left the map";
  EXPECT_EQ(canvas.Pixel(100, 700), picture.At(100, 700)) << "the next tile drawn";
}

// Each tile's slice is set on the view (operation 7); with more than one
// tile, operations 17, 19 and 13 fit each tile's slice.
TEST_F(RasterDrawTest, WithMoreThanOneTileEachSliceIsFittedByTheViewsOperations) {
  struct Row {
    const char* name;
    const char* setting;  // MEMORY_C
    int tiles;
  };
  const Row rows[] = {{"two tiles", "8000000", 2}, {"one tile", "20000000", 1}};
  for (const Row& row : rows) {
    SetRaster("MEMORY_C", row.setting);
    auto raster = Raster("large.jpg");
    auto view = std::make_shared<RecordingView>(
        platform::CreateRasterObject<platform::ViewTransformation>(platform::kViewTransformationId));
    auto store = std::make_shared<FailingStore>(
        platform::CreateRasterObject<platform::RasterStore>(platform::kRasterStoreId), 0);
    platform::SetRasterObjectFactory([&](const std::string& id) -> std::shared_ptr<platform::RasterObject> {
      if (id == platform::kRasterStoreId) return store;
      if (id == platform::kViewTransformationId) return view;
      return nullptr;
    });
    auto device = MapDevice(4000, 1000);
    Draw(*raster, *device);
    platform::SetRasterObjectFactory(nullptr);
    const std::vector<int>& done = view->Operations;
    const auto count = [&](int operation) { return std::count(done.begin(), done.end(), operation); };
    const int fits = row.tiles > 1 ? row.tiles : 0;
    EXPECT_EQ(std::tuple(count(17), count(19), count(13)), std::tuple(fits, fits, fits)) << row.name;
    EXPECT_GE(count(7), row.tiles) << row.name;
  }
}

// colour.bmp (7 x 5) is placed by its world file: pixels 2 units a side, the
// upper-left one centred on (-700, -1200), so the picture covers X -701 to
// -687 and Y -1209 to -1199.  Each device pixel inside shows the picture
// pixel under its centre, at every scale; the device's rows and columns on
// the picture's edge carry the green frame.
TEST_F(RasterDrawTest, APicturePlacedByItsWorldFileLandsOnItAtEveryScale) {
  struct Row {
    const char* name;
    double unitsAPixel;
    TRealPoint centre;  // of the 40 x 30 device
  };
  const Row rows[] = {
      {"two device pixels a picture pixel", 1, {-694, -1204}},
      {"four device pixels a picture pixel", 0.5, {-694, -1204}},
      {"a device pixel a picture pixel", 2, {-693, -1205}},
  };
  const double left = -701, top = -1199, right = -687, bottom = -1209;
  auto raster = Raster("colour.bmp");
  ASSERT_TRUE(raster->GetGeoRaster());
  EXPECT_EQ(std::tuple(raster->GetMinX(), raster->GetMinY(), raster->GetMaxX(), raster->GetMaxY()),
            std::tuple(left, bottom, right, top));
  const platform::DecodedPicture picture = platform::DecodePictureFile(kSamples + "colour.bmp");
  for (const Row& row : rows) {
    auto device = MapDevice(40, 30);
    device->Projection()->Calculate(row.centre, device->Page(), device->Page()->HRes() * row.unitsAPixel);
    Draw(*raster, *device);
    const double k = row.unitsAPixel;
    const double originX = row.centre.X - 20 * k, originY = row.centre.Y + 15 * k;  // of pixel (0, 0)'s corner
    const int x0 = static_cast<int>(std::lround((left - originX) / k)), x1 = static_cast<int>(std::lround((right - originX) / k));
    const int y0 = static_cast<int>(std::lround((originY - top) / k)), y1 = static_cast<int>(std::lround((originY - bottom) / k));
    std::string wrong;
    for (int y = 0; y < 30 && wrong.size() < 300; ++y)
      for (int x = 0; x < 40 && wrong.size() < 300; ++x) {
        const bool inside = x >= x0 && x < x1 && y >= y0 && y < y1;
        if (inside && (x == x0 || x == x1 - 1 || y == y0 || y == y1 - 1)) continue;
        const double worldX = originX + (x + 0.5) * k, worldY = originY - (y + 0.5) * k;
        const platform::ColorValue expected =
            inside ? picture.At(static_cast<int>(std::floor((worldX - left) / 2)), static_cast<int>(std::floor((top - worldY) / 2)))
                   : kMap;
        if (device->Bitmap()->GetCanvas().Pixel(x, y) != expected)
          wrong += " (" + std::to_string(x) + "," + std::to_string(y) + ")";
      }
    EXPECT_EQ(wrong, "") << row.name << ": the picture at " << x0 << ".." << x1 << " by " << y0 << ".." << y1;
  }
}

TEST_F(RasterDrawTest, WhatIsNotAVisibleRasterOnACanvasIsLeftAlone) {
  struct Row {
    const char* name;
    TRealRect bounds;
  };
  const Row rows[] = {
      {"outside the visible area", {100, 100, 200, 200}},
      {"narrower than a pixel", {1, 1, 1.2, 5}},
      {"lower than a pixel", {1, 1, 5, 1.3}},
  };
  auto raster = Raster("mono.bmp");
  for (const Row& row : rows) {
    raster->SetBounds(row.bounds);
    auto device = MapDevice(20, 10);
    EXPECT_EQ(Draw(*raster, *device), std::vector<std::string>{}) << row.name;
  }
  TGraphicFileElement picture;
  TNullDevice nothing;
  EXPECT_EQ(Draw(*raster, nothing), std::vector<std::string>{}) << "not a canvas device";
  TRasterInterpret interpret;
  EXPECT_FALSE(interpret.QProcessBefore(&picture));
  EXPECT_TRUE(interpret.QProcessBefore(raster.get()));
}

// ---------------------------------------------------------------- picture files

TEST_F(RasterDrawTest, PicturesAreStretchedIntoTheirRectangleOrDrawnAtTheirSize) {
  struct Row {
    const char* name;
    TRealRect bounds;
    int scale;  // device pixels a picture pixel
    int left, top;  // MinX, MaxY
  };
  const Row rows[] = {
      {"stretched twice", {2, 10, 16, 20}, 2, 2, 20},
      {"own size while the width is 0", {3, 5, 3, 15}, 1, 3, 15},
      {"own size while the height is 0", {3, 15, 9, 15}, 1, 3, 15},
  };
  const platform::DecodedPicture picture = platform::DecodePictureFile(kSamples + "colour.bmp");
  for (const Row& row : rows) {
    TBMPFileElement element;
    element.SetFileName(kSamples + "colour.bmp");
    element.SetBounds(row.bounds);
    auto device = MapDevice(30, 30);
    TBMPFileInterpret interpret;
    EXPECT_EQ(Draw(interpret, element, *device), std::vector<std::string>{}) << row.name;
    const int width = picture.Width * row.scale, height = picture.Height * row.scale;
    const int left = row.left, top = 30 - row.top;
    std::string wrong;
    for (int y = 0; y < 30; ++y)
      for (int x = 0; x < 30; ++x) {
        const bool inside = x >= left && x < left + width && y >= top && y < top + height;
        const platform::ColorValue expected =
            inside ? picture.At((x - left) / row.scale, (y - top) / row.scale) : kMap;
        if (device->Bitmap()->GetCanvas().Pixel(x, y) != expected)
          wrong += " (" + std::to_string(x) + "," + std::to_string(y) + ")";
      }
    EXPECT_EQ(wrong, "") << row.name;
  }
}

TEST_F(RasterDrawTest, APictureThatCannotBeLoadedIsLogged) {
  struct Row {
    const char* file;
    const char* reason;
  };
  const Row rows[] = {
      {"truncated.jpg", "Premature end of JPEG file"},
      {"jpeg_named.bmp", "není to soubor BMP"},
      {"huge.gif", "obrázek je příliš velký (65535 × 65535 bodů)"},
      {"missing.gif", "soubor nelze otevřít"},
  };
  for (const Row& row : rows) {
    TGraphicFileElement element;
    element.SetFileName(kSamples + row.file);
    element.SetBounds({0, 0, 10, 10});
    auto device = MapDevice(10, 10);
    TBMPFileInterpret interpret;
    EXPECT_EQ(Draw(interpret, element, *device),
              std::vector<std::string>{"8 " + std::string(row.file) + "... nelze načíst obrázek: " + row.reason});
    EXPECT_EQ(device->Bitmap()->GetCanvas().Pixel(5, 5), kMap) << row.file;
  }
}

TEST_F(RasterDrawTest, ThePictureInterpretTakesPlainFileElementsOnly) {
  TBMPFileInterpret interpret;
  TGraphicFileElement plain;
  TBMPFileElement bmp;
  TRaster raster;
  EXPECT_TRUE(interpret.QProcessBefore(&plain));
  EXPECT_TRUE(interpret.QProcessBefore(&bmp));
  EXPECT_FALSE(interpret.QProcessBefore(&raster));
  EXPECT_FALSE(interpret.QGoInside(&plain));
}
