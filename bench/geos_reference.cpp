#include "bench/geos_reference.h"

#include <geos_c.h>

#include <memory>
#include <stdexcept>
#include <vector>

namespace {

// One GEOS context for one call.
class TGeosContext {
 public:
  TGeosContext() : handle_(GEOS_init_r()) {
    if (!handle_) throw std::runtime_error("GEOS context not made");
  }
  ~TGeosContext() { GEOS_finish_r(handle_); }
  TGeosContext(const TGeosContext&) = delete;
  TGeosContext& operator=(const TGeosContext&) = delete;
  GEOSContextHandle_t Get() const { return handle_; }

 private:
  GEOSContextHandle_t handle_;
};

}  // namespace

TGeosFaces GeosPolygonize(const TStandMap& map) {
  TGeosContext context;
  GEOSContextHandle_t h = context.Get();
  std::vector<GEOSGeometry*> lines;
  lines.reserve(map.Lines.size());
  for (const TStandMapLine& line : map.Lines) {
    GEOSCoordSequence* points = GEOSCoordSeq_create_r(h, static_cast<unsigned>(line.size()), 2);
    for (unsigned i = 0; i < line.size(); ++i) GEOSCoordSeq_setXY_r(h, points, i, line[i].X, line[i].Y);
    lines.push_back(GEOSGeom_createLineString_r(h, points));
  }
  GEOSGeometry* faces = GEOSPolygonize_r(h, lines.data(), static_cast<unsigned>(lines.size()));
  TGeosFaces counts;
  if (faces) {
    counts.Polygons = GEOSGetNumGeometries_r(h, faces);
    for (int i = 0; i < counts.Polygons; ++i)
      counts.InteriorRings += GEOSGetNumInteriorRings_r(h, GEOSGetGeometryN_r(h, faces, i));
    GEOSGeom_destroy_r(h, faces);
  }
  for (GEOSGeometry* line : lines) GEOSGeom_destroy_r(h, line);
  return counts;
}
