#pragma once
// The raster servers rasters are opened and drawn through, made by their
// identifiers through a replaceable factory:
// - the raster ("LumaR.Raster"): one raster file, its size, kind and place;
// - the view entry ("LumaR.CoViewEntry"): hands a raster to a store's view;
// - the raster store ("LMRastersMan.RasStore"): renders the raster of a
//   view into a tile bitmap;
// - the view transformation ("LMViewTrf.ViewTrfObj"): which part of the
//   raster lands on the tile.
// There is one method per member or operation of the servers (its number in
// the comment); every failure raises ERasterServerError.
//
// The local servers open BMP, JPEG, GIF and PNG pictures, decoded once.
// Their store coordinates are pixels from the lower-left corner, or world
// coordinates when a world file places the picture.
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>

namespace platform {

class Bitmap;
class Canvas;

class ERasterServerError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

inline constexpr const char* kRasterId = "LumaR.Raster";
inline constexpr const char* kViewEntryId = "LumaR.CoViewEntry";
inline constexpr const char* kRasterStoreId = "LMRastersMan.RasStore";
inline constexpr const char* kViewTransformationId = "LMViewTrf.ViewTrfObj";

class RasterObject {
 public:
  virtual ~RasterObject() = default;
};

class RasterServer : public RasterObject {
 public:
  virtual bool FileOpen() = 0;                                                    // 1
  virtual std::string FileName() = 0;                                             // 2
  virtual void SetFileName(const std::string& name) = 0;                          // 2
  virtual std::int32_t PixelWidth() = 0;                                          // 6
  virtual std::int32_t PixelHeight() = 0;                                         // 7
  // 0: bi-level.
  virtual std::int16_t RasTyp() = 0;                                              // 9
  virtual std::int16_t Compres() = 0;                                             // 10
  virtual double OriginY() = 0;                                                   // 13
  virtual double OriginX() = 0;                                                   // 14
  virtual double ExtentY() = 0;                                                   // 15
  virtual double ExtentX() = 0;                                                   // 16
  virtual std::int32_t RCS() = 0;                                                 // 17
  virtual void SetRCS(std::int32_t value) = 0;                                    // 17
  // What the opening noticed (a world file it could not use): "" for nothing.
  virtual std::string OpenNotes() = 0;                                            // 19
  virtual bool Tiled() = 0;                                                       // 20
  virtual std::int32_t FileSize() = 0;                                            // 23
  virtual double VertRes() = 0;                                                   // 24
  virtual double HorizRes() = 0;                                                  // 25
  virtual std::int32_t Open(const std::string& name, std::int32_t mode, std::int32_t share) = 0;  // 28
  virtual std::int32_t Close(bool save) = 0;                                      // 30
};

class ViewEntry : public RasterObject {
 public:
  virtual void SetKind(std::int32_t kind) = 0;                                    // 1
  virtual void SetRaster(std::shared_ptr<RasterServer> raster) = 0;               // 20
  virtual std::shared_ptr<RasterServer> Raster() = 0;                             // 20
};

class ViewTransformation : public RasterObject {
 public:
  virtual void Reset(std::int32_t mode) = 0;                                                         // 34
  // The slice (origin and extent in store coordinates) that the next
  // rendering puts on a tile of the given pixels.
  virtual void SetView(double x0, double y0, double width, double height, std::int32_t view, std::int32_t tileWidth,
                       std::int32_t tileHeight, std::int32_t, std::int32_t, Canvas* tile, std::int32_t) = 0;  // 7
  // The store Y of the upper edge of a tile pixel.
  virtual void PixelTop(double column, double row, double& y) = 0;                                   // 17
  // The store height of a tile row.
  virtual void RowHeight(double& height) = 0;                                                        // 19
  // The store Y of the slice's upper edge.
  virtual void SliceTop(double& y) = 0;                                                              // 13
};

class RasterStore : public RasterObject {
 public:
  virtual void BindView(std::int32_t view, std::shared_ptr<ViewTransformation> transformation,
                        std::int32_t& result) = 0;                                                   // 14
  virtual void SetViewEntry(std::int32_t view, std::shared_ptr<ViewEntry> entry) = 0;                // 7
  // Origin (Y, X) and extent (Y, X) of the view's raster.
  virtual void Extent(std::int32_t view, double& originY, double& originX, double& extentY,
                      double& extentX) = 0;                                                          // 13
  virtual void Render(std::int32_t view, std::int32_t, Canvas& tile, Bitmap& bitmap, std::int32_t) = 0;  // 9
};

// Makes the object of an identifier; nil for one it does not know.
using RasterObjectFactory = std::function<std::shared_ptr<RasterObject>(const std::string& identifier)>;
// An empty factory brings the local servers back.
void SetRasterObjectFactory(RasterObjectFactory factory);
std::shared_ptr<RasterObject> MakeRasterObject(const std::string& identifier);

// The object of the identifier through its interface; raises when the
// identifier is not known or gives another interface.
template <class T>
std::shared_ptr<T> CreateRasterObject(const std::string& identifier) {
  std::shared_ptr<T> object = std::dynamic_pointer_cast<T>(MakeRasterObject(identifier));
  if (!object) throw ERasterServerError("Třída není registrována: " + identifier);
  return object;
}

}  // namespace platform
