#pragma once
// Picture files placed in models: an element that knows its file.  A
// raster is a picture of the GIS's own raster formats; showing it belongs
// to the raster server that will stand behind it.
#include <string>

#include "spatial/geometry/geometry_elements.h"

class TGraphicFileElement : public TRectEntity {
  KESTX_CLASS(TGraphicFileElement)
 public:
  virtual std::string GetFileName() const;
  // A new file name does not move or resize the element.
  virtual void SetFileName(const std::string& name);

 private:
  std::string fileName_;
};

class TRaster : public TGraphicFileElement {
  KESTX_CLASS(TRaster)
};

// Whether rasters are shown, for the whole program (on at start).
bool& RastersEnabled();

void RegisterRasterClasses();
