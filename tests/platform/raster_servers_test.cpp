#include "platform/raster_servers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>

#include "platform/canvas.h"
#include "platform/pictures.h"
#include "platform/world_files.h"
#include "tests/platform/picture_samples.h"
#include "tests/platform/temp_folder.h"

namespace {

const std::string kSamples = std::string(KESTX_SAMPLES_DIR) + "/pictures/";

void WriteText(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

std::string OpenError(platform::RasterServer& raster, const std::string& file) {
  try {
    raster.Open(file, 1, 2);
  } catch (const platform::ERasterServerError& error) {
    return error.what();
  }
  return "no error";
}

std::string ErrorOfCreating(const std::string& identifier) {
  try {
    platform::CreateRasterObject<platform::RasterStore>(identifier);
  } catch (const platform::ERasterServerError& error) {
    return error.what();
  }
  return "no error";
}

}  // namespace

TEST(WorldFiles, SixNumbersPlaceThePicture) {
  struct Row {
    const char* name;
    const char* text;
    bool valid;
    const char* reason;
    platform::WorldFile placed;
  };
  const Row rows[] = {
      {"lines", "2\n0\n0\n-3\n100\n200\n", true, "", {2, 3, 100 - 1, 200 + 1.5}},
      {"blanks and CR LF, text after the six", " 0.5\r\n0\r\n0\r\n-0.5\r\n-10.25\r\n-20.25\r\nrest", true, "",
       {0.5, 0.5, -10.5, -20}},
      {"short", "2\n0\n0\n-3\n100\n", false, "má méně než šest čísel", {}},
      {"empty", "", false, "má méně než šest čísel", {}},
      {"not numeric", "2\n0\n0\n-3\nX\n200\n", false, "není číslo: X", {}},
      {"decimal comma", "0,5\n0\n0\n-3\n1\n2\n", false, "není číslo: 0,5", {}},
      {"zero width", "0\n0\n0\n-3\n1\n2\n", false, "nulová nebo záporná velikost bodu", {}},
      {"zero height", "2\n0\n0\n0\n1\n2\n", false, "nulová nebo záporná velikost bodu", {}},
      {"rows running up", "2\n0\n0\n3\n1\n2\n", false, "nulová nebo záporná velikost bodu", {}},
      {"infinite", "inf\n0\n0\n-3\n1\n2\n", false, "obsahuje nekonečné číslo", {}},
      {"not a number", "2\n0\n0\n-3\nnan\n2\n", false, "obsahuje nekonečné číslo", {}},
      {"too large", "2\n0\n0\n-3\n1e999\n2\n", false, "obsahuje nekonečné číslo", {}},
      {"a leading plus", "+2\n0\n0\n-3\n1\n+2\n", true, "", {2, 3, 1 - 1, 2 + 1.5}},
      {"two signs", "+-2\n0\n0\n-3\n1\n2\n", false, "není číslo: +-2", {}},
      {"rotated", "2\n0.1\n0\n-3\n1\n2\n", false, "otočený rastr", {}},
      {"skewed", "2\n0\n-0.1\n-3\n1\n2\n", false, "otočený rastr", {}},
      {"a corner beyond finite numbers", "1.7e308\n0\n0\n-1\n-1.7e308\n0\n", false,
       "rastr by ležel mimo konečné souřadnice", {}},
  };
  for (const Row& row : rows) {
    platform::WorldFile placed;
    std::string reason;
    EXPECT_EQ(platform::ParseWorldFile(row.text, placed, reason), row.valid) << row.name;
    EXPECT_EQ(reason, row.reason) << row.name;
    if (!row.valid) continue;
    EXPECT_EQ((std::vector<double>{placed.PixelWidth, placed.PixelHeight, placed.Left, placed.Top}),
              (std::vector<double>{row.placed.PixelWidth, row.placed.PixelHeight, row.placed.Left, row.placed.Top}))
        << row.name;
  }
}

TEST(WorldFiles, AreFoundBesideThePicture) {
  struct Row {
    const char* picture;
    std::vector<std::string> files;
    const char* found;
  };
  const Row rows[] = {
      {"a.bmp", {"a.bpw"}, "a.bpw"},
      {"a.BMP", {"a.BPW"}, "a.BPW"},
      {"a.jpeg", {"a.jgw"}, "a.jgw"},
      {"a.jpg", {"a.jpgw"}, "a.jpgw"},
      {"a.gif", {"a.gfw", "a.gifw"}, "a.gfw"},
      {"a.png", {"a.pgw"}, "a.pgw"},
      {"a.PNG", {"a.PNGW"}, "a.PNGW"},
      {"a.PNG", {"a.pngw"}, "a.pngw"},
      {"a.gif", {"b.gfw", "a.jgw"}, ""},
      {"a.gif", {"a.gfw/"}, ""},
  };
  for (const Row& row : rows) {
    TempFolder folder;
    for (const std::string& file : row.files) {
      if (file.back() == '/') std::filesystem::create_directory(folder.File(file));
      else WriteText(folder.File(file), "1");
    }
    const std::string found = platform::FindWorldFile(folder.File(row.picture));
    EXPECT_EQ(found, *row.found ? folder.File(row.found) : "") << row.picture;
  }
}

TEST(LocalRasterServer, AnswersForTheOpenedPicture) {
  struct Row {
    const char* file;
    int width, height;
    int rasTyp;
    double pixel, left, top;  // the world file's; pixel 0 for none
  };
  const Row rows[] = {
      {"colour.bmp", samples::kColourBmp.Width, samples::kColourBmp.Height, 1, 2, -700 - 1, -1200 + 1},
      {"mono.bmp", samples::kMonoBmp.Width, samples::kMonoBmp.Height, 0, 0, 0, 0},
      {"colour.jpg", samples::kColourJpeg.Width, samples::kColourJpeg.Height, 1, 0.5, -1000.25 - 0.25, -2000.25 + 0.25},
      {"colour.gif", samples::kColourGif.Width, samples::kColourGif.Height, 1, 10, -500005 - 5, -1100005 + 5},
  };
  for (const Row& row : rows) {
    auto raster = platform::CreateRasterObject<platform::RasterServer>(platform::kRasterId);
    EXPECT_FALSE(raster->FileOpen()) << row.file;
    raster->Open(kSamples + row.file, 1, 2);
    EXPECT_TRUE(raster->FileOpen()) << row.file;
    EXPECT_EQ(raster->FileName(), kSamples + row.file);
    EXPECT_EQ(raster->PixelWidth(), row.width) << row.file;
    EXPECT_EQ(raster->PixelHeight(), row.height) << row.file;
    EXPECT_EQ(raster->RasTyp(), row.rasTyp) << row.file;
    EXPECT_EQ(raster->Compres(), 0) << row.file;
    EXPECT_FALSE(raster->Tiled()) << row.file;
    EXPECT_EQ(raster->FileSize(), std::filesystem::file_size(kSamples + row.file)) << row.file;
    EXPECT_EQ(raster->OpenNotes(), "") << row.file;
    const bool geo = row.pixel != 0;
    const double width = geo ? row.width * row.pixel : row.width, height = geo ? row.height * row.pixel : row.height;
    EXPECT_EQ(raster->ExtentX(), width) << row.file;
    EXPECT_EQ(raster->ExtentY(), height) << row.file;
    EXPECT_EQ(raster->OriginX(), geo ? -(row.left + width) : 0) << row.file;
    EXPECT_EQ(raster->OriginY(), geo ? -row.top : 0) << row.file;
    EXPECT_EQ(raster->HorizRes(), row.pixel) << row.file;
    EXPECT_EQ(raster->VertRes(), row.pixel) << row.file;
    raster->Close(false);
    EXPECT_FALSE(raster->FileOpen()) << row.file;
  }
}

TEST(LocalRasterServer, RefusesWhatItCannotOpen) {
  TempFolder folder;
  struct Row {
    std::string file;
    std::string error;
  };
  std::vector<Row> rows;
  for (const char* ext : {".RAS", ".rak", ".CIT", ".tif"}) {
    const std::string file = folder.File(std::string("a") + ext);
    WriteText(file, "x");
    std::string upper = ext;
    for (char& c : upper) c = char(std::toupper(static_cast<unsigned char>(c)));
    rows.push_back({file, file + ": rastry " + upper + " nelze otevřít"});
  }
  rows.push_back({kSamples + "truncated.jpg", kSamples + "truncated.jpg: Premature end of JPEG file"});
  rows.push_back({kSamples + "huge.bmp", kSamples + "huge.bmp: obrázek je příliš velký (20000 × 20000 bodů)"});
  for (const Row& row : rows) {
    auto raster = platform::CreateRasterObject<platform::RasterServer>(platform::kRasterId);
    EXPECT_EQ(OpenError(*raster, row.file), row.error);
    EXPECT_FALSE(raster->FileOpen()) << row.file;
  }
}

TEST(LocalRasterServer, AWorldFileItCannotUseIsNotedAndIgnored) {
  TempFolder folder;
  std::filesystem::copy_file(kSamples + "colour.bmp", folder.File("a.bmp"));
  WriteText(folder.File("a.bpw"), "1\n0\n0\n-1\n");
  auto raster = platform::CreateRasterObject<platform::RasterServer>(platform::kRasterId);
  raster->Open(folder.File("a.bmp"), 1, 2);
  EXPECT_EQ(raster->OpenNotes(), folder.File("a.bpw") + " nepoužit: má méně než šest čísel");
  EXPECT_EQ(raster->OriginX(), 0);
  EXPECT_EQ(raster->HorizRes(), 0);
}

// The 7 x 5 picture would reach beyond finite numbers: the world file is
// named and not used.
TEST(LocalRasterServer, AWorldFilePlacingThePictureBeyondFiniteNumbersIsNotedAndIgnored) {
  struct Row {
    const char* name;
    const char* text;
    bool used;
  };
  const Row rows[] = {
      {"far, but within", "1e300\n0\n0\n-1e300\n1e300\n1e300\n", true},
      {"pixels too wide", "1e308\n0\n0\n-1\n0\n0\n", false},
      {"the right edge beyond", "1e307\n0\n0\n-1\n1.7e308\n0\n", false},
      {"the lower edge beyond", "1\n0\n0\n-1e307\n0\n-1.7e308\n", false},
      {"the corner beyond", "1.7e308\n0\n0\n-1\n-1.7e308\n0\n", false},
  };
  for (const Row& row : rows) {
    TempFolder folder;
    std::filesystem::copy_file(kSamples + "colour.bmp", folder.File("a.bmp"));
    WriteText(folder.File("a.bpw"), row.text);
    auto raster = platform::CreateRasterObject<platform::RasterServer>(platform::kRasterId);
    raster->Open(folder.File("a.bmp"), 1, 2);
    EXPECT_EQ(raster->OpenNotes(),
              row.used ? "" : folder.File("a.bpw") + " nepoužit: rastr by ležel mimo konečné souřadnice")
        << row.name;
    EXPECT_EQ(raster->HorizRes(), row.used ? 1e300 : 0) << row.name;
    for (const double value : {raster->OriginX(), raster->OriginY(), raster->ExtentX(), raster->ExtentY()})
      EXPECT_TRUE(std::isfinite(value)) << row.name;
  }
}

TEST(LocalRasterStore, ResamplesTheSliceNearestNeighbour) {
  struct Row {
    const char* name;
    const char* file;
    double x0, y0, width, height;  // the slice in store coordinates
    int tileWidth, tileHeight;
    // The picture pixel a tile pixel shows; x -1 for none (left white).
    std::function<std::pair<int, int>(int, int)> source;
  };
  const int h = samples::kColourBmp.Height;
  const Row rows[] = {
      {"the whole picture, pixel for pixel", "mono.bmp", 0, 0, 13, 6, 13, 6, [](int x, int y) { return std::pair{x, y}; }},
      {"twice the size", "mono.bmp", 0, 0, 13, 6, 26, 12, [](int x, int y) { return std::pair{x / 2, y / 2}; }},
      {"the lower rows, counted from the bottom", "mono.bmp", 2, 0, 4, 2, 4, 2,
       [](int x, int y) { return std::pair{x + 2, 4 + y}; }},
      {"a slice reaching past the picture", "mono.bmp", 10, 4, 6, 4, 6, 4,
       [](int x, int y) { return x < 3 && y >= 2 ? std::pair{10 + x, y - 2} : std::pair{-1, 0}; }},
      {"georeferenced: world coordinates", "colour.bmp", -701 + 2 * 2, -1199 - 2 * h, 4, 4, 2, 2,
       [=](int x, int y) { return std::pair{2 + x, h - 2 + y}; }},
  };
  for (const Row& row : rows) {
    const platform::DecodedPicture picture = platform::DecodePictureFile(kSamples + row.file);
    auto raster = platform::CreateRasterObject<platform::RasterServer>(platform::kRasterId);
    raster->Open(kSamples + row.file, 1, 2);
    auto entry = platform::CreateRasterObject<platform::ViewEntry>(platform::kViewEntryId);
    entry->SetRaster(raster);
    auto store = platform::CreateRasterObject<platform::RasterStore>(platform::kRasterStoreId);
    auto view = platform::CreateRasterObject<platform::ViewTransformation>(platform::kViewTransformationId);
    std::int32_t result = -1;
    store->BindView(123, view, result);
    store->SetViewEntry(123, entry);
    auto tile = platform::Bitmap::Create(row.tileWidth, row.tileHeight);
    view->SetView(row.x0, row.y0, row.width, row.height, 123, row.tileWidth, row.tileHeight, 0, 0,
                  &tile->GetCanvas(), -1);
    store->Render(123, 0, tile->GetCanvas(), *tile, 0);
    std::string wrong;
    for (int y = 0; y < row.tileHeight; ++y)
      for (int x = 0; x < row.tileWidth; ++x) {
        const auto [sx, sy] = row.source(x, y);
        const platform::ColorValue expected = sx < 0 ? 0xFFFFFF : picture.At(sx, sy);
        if (tile->GetCanvas().Pixel(x, y) != expected) wrong += " (" + std::to_string(x) + "," + std::to_string(y) + ")";
      }
    EXPECT_EQ(wrong, "") << row.name;
  }
}

TEST(LocalRasterStore, ReportsExtentsAndRowsInStoreCoordinates) {
  struct Row {
    const char* file;
    std::vector<double> extent;  // origin Y, origin X, extent Y, extent X
  };
  const Row rows[] = {
      {"mono.bmp", {0, 0, 6, 13}},
      {"colour.bmp", {-1199 - 2.0 * samples::kColourBmp.Height, -701, 2.0 * samples::kColourBmp.Height,
                      2.0 * samples::kColourBmp.Width}},
  };
  for (const Row& row : rows) {
    auto raster = platform::CreateRasterObject<platform::RasterServer>(platform::kRasterId);
    raster->Open(kSamples + row.file, 1, 2);
    auto entry = platform::CreateRasterObject<platform::ViewEntry>(platform::kViewEntryId);
    entry->SetRaster(raster);
    auto store = platform::CreateRasterObject<platform::RasterStore>(platform::kRasterStoreId);
    store->SetViewEntry(123, entry);
    std::vector<double> extent(4);
    store->Extent(123, extent[0], extent[1], extent[2], extent[3]);
    EXPECT_EQ(extent, row.extent) << row.file;
  }
  auto view = platform::CreateRasterObject<platform::ViewTransformation>(platform::kViewTransformationId);
  view->SetView(10, 20, 8, 40, 123, 4, 10, 0, 0, nullptr, -1);
  double top = 0, rowHeight = 0, third = 0;
  view->SliceTop(top);
  view->RowHeight(rowHeight);
  view->PixelTop(0, 3, third);
  EXPECT_EQ((std::vector<double>{top, rowHeight, third}), (std::vector<double>{60, 4, 48}));
}

TEST(RasterObjects, AreMadeByIdentifierThroughAReplaceableFactory) {
  struct Fake : platform::RasterObject {};
  EXPECT_EQ(ErrorOfCreating("LumaR.Nic"), "Třída není registrována: LumaR.Nic");
  platform::SetRasterObjectFactory([](const std::string& id) -> std::shared_ptr<platform::RasterObject> {
    return id == platform::kRasterId ? std::make_shared<Fake>() : nullptr;
  });
  EXPECT_EQ(ErrorOfCreating(platform::kRasterId), std::string("Třída není registrována: ") + platform::kRasterId)
      << "an object of another interface";
  EXPECT_EQ(ErrorOfCreating(platform::kRasterStoreId), std::string("Třída není registrována: ") +
                                                           platform::kRasterStoreId);
  platform::SetRasterObjectFactory(nullptr);
  EXPECT_EQ(ErrorOfCreating(platform::kRasterStoreId), "no error");
}
