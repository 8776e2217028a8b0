#include "bench/geos_reference.h"

#include <geos_c.h>

#include <stdexcept>
#include <vector>

struct TGeosPolygonization::TGeometries {
  TGeometries() : Context(GEOS_init_r()) {
    if (!Context) throw std::runtime_error("GEOS context not made");
  }
  ~TGeometries() {
    if (Faces) GEOSGeom_destroy_r(Context, Faces);
    for (GEOSGeometry* line : Lines) GEOSGeom_destroy_r(Context, line);
    GEOS_finish_r(Context);
  }
  TGeometries(const TGeometries&) = delete;
  TGeometries& operator=(const TGeometries&) = delete;

  GEOSContextHandle_t Context;
  std::vector<GEOSGeometry*> Lines;
  GEOSGeometry* Faces = nullptr;
};

TGeosPolygonization::TGeosPolygonization(const TStandMap& map) : geometries_(std::make_unique<TGeometries>()) {
  GEOSContextHandle_t h = geometries_->Context;
  std::vector<GEOSGeometry*>& lines = geometries_->Lines;
  lines.reserve(map.Lines.size());
  for (const TStandMapLine& line : map.Lines) {
    GEOSCoordSequence* points = GEOSCoordSeq_create_r(h, static_cast<unsigned>(line.size()), 2);
    for (unsigned i = 0; i < line.size(); ++i) GEOSCoordSeq_setXY_r(h, points, i, line[i].X, line[i].Y);
    lines.push_back(GEOSGeom_createLineString_r(h, points));
  }
  geometries_->Faces = GEOSPolygonize_r(h, lines.data(), static_cast<unsigned>(lines.size()));
}

TGeosPolygonization::~TGeosPolygonization() = default;

TGeosFaces TGeosPolygonization::Faces() const {
  GEOSContextHandle_t h = geometries_->Context;
  const GEOSGeometry* faces = geometries_->Faces;
  TGeosFaces counts;
  if (!faces) return counts;
  counts.Polygons = GEOSGetNumGeometries_r(h, faces);
  for (int i = 0; i < counts.Polygons; ++i)
    counts.InteriorRings += GEOSGetNumInteriorRings_r(h, GEOSGetGeometryN_r(h, faces, i));
  return counts;
}

TGeosFaces GeosPolygonize(const TStandMap& map) { return TGeosPolygonization(map).Faces(); }
