#pragma once
// Picture files placed in models: rectangle elements that know their file.
// A plain picture (BMP, JPEG, GIF) is drawn by the picture interpret; a
// raster is opened and rendered by the raster servers, whose raster object
// and view entry it owns.
#include <cstdint>
#include <memory>
#include <string>

#include "spatial/geometry/geometry_elements.h"

namespace platform {
class RasterServer;
class ViewEntry;
}  // namespace platform

class TGraphicFileElement : public TRectEntity {
  KESTX_CLASS(TGraphicFileElement)
 public:
  virtual std::string GetFileName() const;
  // The folder part of the file name, with its separator ("/" or "\").
  virtual std::string GetFilePath() const;
  // A new file name does not move or resize the element.
  virtual void SetFileName(const std::string& name);
  // Moves the file name into the folder, a separator added when missing.
  virtual void SetFilePath(const std::string& path);

 private:
  std::string fileName_;
};

class TBMPFileElement : public TGraphicFileElement {
  KESTX_CLASS(TBMPFileElement)
};

class TRaster : public TGraphicFileElement {
  KESTX_CLASS(TRaster)
 public:
  // Raises when the raster servers cannot be made.
  TRaster();
  ~TRaster() override;

  // The drawing colour of a bi-level raster (0x00BBGGRR).
  std::int32_t Color = 0;

  std::string GetFileName() const override;
  // Closes the open file, opens the new one and lands on its rectangle: the
  // world file's when georeferenced, else its pixels from its origin.  A
  // failed opening raises and leaves the rectangle as it was.
  void SetFileName(const std::string& name) override;

  std::int32_t GetHorizDPI() const { return horizDPI_; }
  std::int32_t GetVertDPI() const { return vertDPI_; }
  // The width at that many pixels an inch (0: the server's extent); nothing
  // changes on a georeferenced raster, and only the value without a file.
  void SetHorizDPI(std::int32_t value);
  void SetVertDPI(std::int32_t value);

  std::int32_t GetFileSize() const;
  std::int16_t GetRasTyp() const;
  std::int16_t GetCompres() const;
  bool GetTiled() const;
  std::int32_t GetPixelWidth() const;
  std::int32_t GetPixelHeight() const;
  double GetVertRes() const;
  double GetHorizRes() const;
  std::int32_t GetRCS() const;
  void SetRCS(std::int32_t value);
  // False only at the origin (0, 0) with resolutions both 1 or both 0.
  bool GetGeoRaster() const;

  platform::RasterServer& Server() const { return *server_; }
  const std::shared_ptr<platform::ViewEntry>& ViewEntry() const { return viewEntry_; }

 private:
  void Place();

  std::shared_ptr<platform::RasterServer> server_;
  std::shared_ptr<platform::ViewEntry> viewEntry_;
  std::int32_t horizDPI_ = 0;
  std::int32_t vertDPI_ = 0;
};

// Whether rasters are shown, for the whole program (on at start).
bool& RastersEnabled();

void RegisterRasterClasses();
