#include "render/rasters/raster.h"

#include "framework/core/class_registry.h"

std::string TGraphicFileElement::GetFileName() const { return fileName_; }

void TGraphicFileElement::SetFileName(const std::string& name) { fileName_ = name; }

TClass TGraphicFileElement::StaticClass() {
  using E = TGraphicFileElement;
  static const TClassInfo info = DescribeClass<E>("TGraphicFileElement", TRectEntity::StaticClass(), "e_RASTER",
                                                  {ReadWriteProp("FileName", &E::GetFileName, &E::SetFileName)});
  return &info;
}

TClass TRaster::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TRaster>("TRaster", TGraphicFileElement::StaticClass(), "e_RASTER", {});
  return &info;
}

bool& RastersEnabled() {
  static bool enabled = true;
  return enabled;
}

void RegisterRasterClasses() {
  for (TClass cls : {TGraphicFileElement::StaticClass(), TRaster::StaticClass()}) RegisterKestuClass(cls);
}
