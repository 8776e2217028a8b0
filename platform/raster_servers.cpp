#include "platform/raster_servers.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <map>
#include <vector>

#include "platform/canvas.h"
#include "platform/files.h"
#include "platform/pictures.h"
#include "platform/world_files.h"

namespace platform {

namespace {

std::string UpperExt(const std::string& name) {
  std::string ext = ExtractFileExt(name);
  std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return char(std::toupper(c)); });
  return ext;
}

// Where a georeferenced picture lies (world coordinates) and how big its
// pixels are.
struct Placement {
  bool Georeferenced = false;
  WorldFile World;
};

class LocalRaster : public RasterServer {
 public:
  bool FileOpen() override { return picture_ != nullptr; }
  std::string FileName() override { return fileName_; }
  void SetFileName(const std::string& name) override { fileName_ = name; }
  std::int32_t PixelWidth() override { return picture_ ? picture_->Width : 0; }
  std::int32_t PixelHeight() override { return picture_ ? picture_->Height : 0; }
  std::int16_t RasTyp() override { return picture_ && !picture_->BiLevel ? 1 : 0; }
  std::int16_t Compres() override { return 0; }
  double OriginY() override { return place_.Georeferenced ? -place_.World.Top : 0; }
  double OriginX() override { return place_.Georeferenced ? -(place_.World.Left + ExtentX()) : 0; }
  double ExtentY() override { return place_.Georeferenced ? place_.World.PixelHeight * PixelHeight() : PixelHeight(); }
  double ExtentX() override { return place_.Georeferenced ? place_.World.PixelWidth * PixelWidth() : PixelWidth(); }
  std::int32_t RCS() override { return rcs_; }
  void SetRCS(std::int32_t value) override { rcs_ = value; }
  std::string OpenNotes() override { return notes_; }
  bool Tiled() override { return false; }
  std::int32_t FileSize() override { return fileSize_; }
  double VertRes() override { return place_.Georeferenced ? place_.World.PixelHeight : 0; }
  double HorizRes() override { return place_.Georeferenced ? place_.World.PixelWidth : 0; }

  std::int32_t Open(const std::string& name, std::int32_t, std::int32_t) override {
    Close(false);
    fileName_ = name;
    const std::string ext = UpperExt(name);
    if (ext == ".RAS" || ext == ".RAK" || ext == ".CIT" || ext == ".TIF" || ext == ".TIFF")
      throw ERasterServerError(name + ": rastry " + ext + " nelze otevřít");
    try {
      picture_ = std::make_shared<const DecodedPicture>(DecodePictureFile(name));
    } catch (const EPictureError& error) {
      throw ERasterServerError(error.what());
    }
    fileSize_ = static_cast<std::int32_t>(std::min<long long>(platform::FileSize(name), INT32_MAX));
    ReadPlacement(name);
    return 0;
  }

  std::int32_t Close(bool) override {
    picture_.reset();
    place_ = {};
    notes_.clear();
    fileSize_ = 0;
    return 0;
  }

  const DecodedPicture* Picture() const { return picture_.get(); }
  const Placement& Place() const { return place_; }

 private:
  void ReadPlacement(const std::string& name) {
    const std::string worldName = FindWorldFile(name);
    if (worldName.empty()) return;
    std::ifstream file(worldName, std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    std::string reason;
    WorldFile world;
    if (ParseWorldFile(text, world, reason) && WorldExtentIsFinite(world, picture_->Width, picture_->Height, reason))
      place_ = {true, world};
    else
      notes_ = worldName + " nepoužit: " + reason;
  }

  std::string fileName_;
  std::shared_ptr<const DecodedPicture> picture_;
  Placement place_;
  std::string notes_;
  std::int32_t rcs_ = 0;
  std::int32_t fileSize_ = 0;
};

class LocalViewEntry : public ViewEntry {
 public:
  void SetKind(std::int32_t kind) override { kind_ = kind; }
  void SetRaster(std::shared_ptr<RasterServer> raster) override { raster_ = std::move(raster); }
  std::shared_ptr<RasterServer> Raster() override { return raster_; }

 private:
  std::int32_t kind_ = 0;
  std::shared_ptr<RasterServer> raster_;
};

struct Slice {
  double X0 = 0, Y0 = 0, Width = 0, Height = 0;
  std::int32_t TileWidth = 0, TileHeight = 0;
};

class LocalViewTransformation : public ViewTransformation {
 public:
  void Reset(std::int32_t) override { slice_ = {}; }
  void SetView(double x0, double y0, double width, double height, std::int32_t, std::int32_t tileWidth,
               std::int32_t tileHeight, std::int32_t, std::int32_t, Canvas*, std::int32_t) override {
    if (tileWidth <= 0 || tileHeight <= 0 || !(width > 0) || !(height > 0))
      throw ERasterServerError("Neplatný výřez rastru");
    slice_ = {x0, y0, width, height, tileWidth, tileHeight};
  }
  void PixelTop(double, double row, double& y) override { y = Top() - row * slice_.Height / Rows(); }
  void RowHeight(double& height) override { height = slice_.Height / Rows(); }
  void SliceTop(double& y) override { y = Top(); }
  const Slice& Current() const { return slice_; }

 private:
  double Top() const { return slice_.Y0 + slice_.Height; }
  double Rows() const {
    if (slice_.TileHeight <= 0) throw ERasterServerError("Výřez rastru není nastaven");
    return slice_.TileHeight;
  }
  Slice slice_;
};

class LocalRasterStore : public RasterStore {
 public:
  void BindView(std::int32_t view, std::shared_ptr<ViewTransformation> transformation, std::int32_t& result) override {
    auto local = std::dynamic_pointer_cast<LocalViewTransformation>(transformation);
    if (!local) throw ERasterServerError("Neznámá transformace pohledu");
    views_[view].Transformation = std::move(local);
    result = 0;
  }
  void SetViewEntry(std::int32_t view, std::shared_ptr<ViewEntry> entry) override {
    views_[view].Entry = std::move(entry);
  }
  void Extent(std::int32_t view, double& originY, double& originX, double& extentY, double& extentX) override {
    LocalRaster& raster = RasterOf(view);
    const Placement& place = raster.Place();
    originY = place.Georeferenced ? place.World.Top - raster.ExtentY() : 0;
    originX = place.Georeferenced ? place.World.Left : 0;
    extentY = raster.ExtentY();
    extentX = raster.ExtentX();
  }
  void Render(std::int32_t view, std::int32_t, Canvas&, Bitmap& bitmap, std::int32_t) override {
    LocalRaster& raster = RasterOf(view);
    const auto& transformation = views_[view].Transformation;
    if (!transformation) throw ERasterServerError("Pohled rastru nemá transformaci");
    Resample(*raster.Picture(), raster.Place(), transformation->Current(), bitmap);
  }

 private:
  struct View {
    std::shared_ptr<LocalViewTransformation> Transformation;
    std::shared_ptr<ViewEntry> Entry;
  };

  LocalRaster& RasterOf(std::int32_t view) {
    const auto found = views_.find(view);
    auto raster = found == views_.end() || !found->second.Entry
                      ? nullptr
                      : std::dynamic_pointer_cast<LocalRaster>(found->second.Entry->Raster());
    if (!raster || !raster->Picture()) throw ERasterServerError("Pohled rastru nemá otevřený rastr");
    return *raster;
  }

  // Nearest neighbour: each tile pixel takes the picture pixel under its
  // centre; what lies outside the picture is left as it was.
  static void Resample(const DecodedPicture& picture, const Placement& place, const Slice& slice, Bitmap& bitmap) {
    if (slice.TileWidth <= 0 || slice.TileHeight <= 0) throw ERasterServerError("Výřez rastru není nastaven");
    const std::int32_t columns = std::min(slice.TileWidth, bitmap.Width());
    const std::int32_t rows = std::min(slice.TileHeight, bitmap.Height());
    const double stepX = slice.Width / slice.TileWidth, stepY = slice.Height / slice.TileHeight;
    // Store coordinates to picture pixels.
    const auto pixelX = [&](double x) {
      return place.Georeferenced ? std::floor((x - place.World.Left) / place.World.PixelWidth) : std::floor(x);
    };
    const auto pixelY = [&](double y) {
      return place.Georeferenced ? std::floor((place.World.Top - y) / place.World.PixelHeight)
                                 : picture.Height - 1 - std::floor(y);
    };
    // The byte offset in a picture row of each tile column inside the
    // picture; they form one run, since columns map in order.
    std::vector<std::size_t> offset(static_cast<std::size_t>(columns));
    std::int32_t first = columns, last = -1;
    for (std::int32_t c = 0; c < columns; ++c) {
      const double px = pixelX(slice.X0 + (c + 0.5) * stepX);
      if (!(px >= 0 && px < picture.Width)) continue;
      offset[std::size_t(c)] = std::size_t(px) * 3;
      first = std::min(first, c);
      last = std::max(last, c);
    }
    for (std::int32_t r = 0; r < rows; ++r) {
      const double py = pixelY(slice.Y0 + slice.Height - (r + 0.5) * stepY);
      if (!(py >= 0 && py < picture.Height)) continue;
      const std::uint8_t* from = picture.Row(static_cast<std::int32_t>(py));
      std::uint8_t* to = bitmap.ScanLine(r) + std::size_t(std::max(first, 0)) * 3;
      for (std::int32_t c = first; c <= last; ++c, to += 3) {
        const std::uint8_t* pixel = from + offset[std::size_t(c)];
        to[0] = pixel[0], to[1] = pixel[1], to[2] = pixel[2];
      }
    }
  }

  std::map<std::int32_t, View> views_;
};

RasterObjectFactory& Factory() {
  static RasterObjectFactory factory;
  return factory;
}

std::shared_ptr<RasterObject> MakeLocal(const std::string& identifier) {
  if (identifier == kRasterId) return std::make_shared<LocalRaster>();
  if (identifier == kViewEntryId) return std::make_shared<LocalViewEntry>();
  if (identifier == kRasterStoreId) return std::make_shared<LocalRasterStore>();
  if (identifier == kViewTransformationId) return std::make_shared<LocalViewTransformation>();
  return nullptr;
}

}  // namespace

void SetRasterObjectFactory(RasterObjectFactory factory) { Factory() = std::move(factory); }

std::shared_ptr<RasterObject> MakeRasterObject(const std::string& identifier) {
  return Factory() ? Factory()(identifier) : MakeLocal(identifier);
}

}  // namespace platform
