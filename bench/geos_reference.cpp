#include "bench/geos_reference.h"

#include <geos_c.h>

#include <stdexcept>
#include <vector>

struct TGeosGeometries {
  TGeosGeometries() : Context(GEOS_init_r()) {
    if (!Context) throw std::runtime_error("GEOS context not made");
  }
  ~TGeosGeometries() {
    if (Faces) GEOSGeom_destroy_r(Context, Faces);
    // The collection holds copies of the lines: each is freed once.
    if (Collection) GEOSGeom_destroy_r(Context, Collection);
    for (GEOSGeometry* line : Lines) GEOSGeom_destroy_r(Context, line);
    GEOS_finish_r(Context);
  }
  TGeosGeometries(const TGeosGeometries&) = delete;
  TGeosGeometries& operator=(const TGeosGeometries&) = delete;

  GEOSContextHandle_t Context;
  std::vector<GEOSGeometry*> Lines;
  GEOSGeometry* Faces = nullptr;
  GEOSGeometry* Collection = nullptr;
};

namespace {

std::vector<GEOSGeometry*> LineStrings(GEOSContextHandle_t h, const TStandMap& map) {
  std::vector<GEOSGeometry*> lines;
  lines.reserve(map.Lines.size());
  for (const TStandMapLine& line : map.Lines) {
    GEOSCoordSequence* points = GEOSCoordSeq_create_r(h, static_cast<unsigned>(line.size()), 2);
    for (unsigned i = 0; i < line.size(); ++i) GEOSCoordSeq_setXY_r(h, points, i, line[i].X, line[i].Y);
    lines.push_back(GEOSGeom_createLineString_r(h, points));
  }
  return lines;
}

}  // namespace

TGeosPolygonization::TGeosPolygonization(const TStandMap& map) : geometries_(std::make_unique<TGeosGeometries>()) {
  GEOSContextHandle_t h = geometries_->Context;
  std::vector<GEOSGeometry*>& lines = geometries_->Lines;
  lines = LineStrings(h, map);
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

TGeosLines::TGeosLines(const TStandMap& map) : geometries_(std::make_unique<TGeosGeometries>()) {
  GEOSContextHandle_t h = geometries_->Context;
  geometries_->Lines = LineStrings(h, map);
  std::vector<GEOSGeometry*> copies = LineStrings(h, map);
  geometries_->Collection =
      GEOSGeom_createCollection_r(h, GEOS_MULTILINESTRING, copies.data(), static_cast<unsigned>(copies.size()));
}

TGeosLines::~TGeosLines() = default;

int TGeosLines::Polygonize() {
  GEOSContextHandle_t h = geometries_->Context;
  std::vector<GEOSGeometry*>& lines = geometries_->Lines;
  GEOSGeometry* faces = GEOSPolygonize_r(h, lines.data(), static_cast<unsigned>(lines.size()));
  const int polygons = faces ? GEOSGetNumGeometries_r(h, faces) : -1;
  if (faces) GEOSGeom_destroy_r(h, faces);
  return polygons;
}

int TGeosLines::UnaryUnion() {
  GEOSContextHandle_t h = geometries_->Context;
  GEOSGeometry* merged = GEOSUnaryUnion_r(h, geometries_->Collection);
  const int parts = merged ? GEOSGetNumGeometries_r(h, merged) : -1;
  if (merged) GEOSGeom_destroy_r(h, merged);
  return parts;
}
