#pragma once
// The same stand map polygonized by GEOS: the reference the topology's
// areas and holes are checked and timed against.  Built only where GEOS is
// installed.
#include <memory>

#include "bench/stand_map.h"

// A GEOS context and the geometries made in it, freed with it.
struct TGeosGeometries;

struct TGeosFaces {
  int Polygons = 0;
  int InteriorRings = 0;
};

// The map's lines made into GEOS line strings and polygonized when this is
// made; its geometries are freed only with it, so a benchmark can leave the
// freeing out of its timing as it does for the topology's own output.
class TGeosPolygonization {
 public:
  explicit TGeosPolygonization(const TStandMap& map);
  ~TGeosPolygonization();
  TGeosPolygonization(const TGeosPolygonization&) = delete;
  TGeosPolygonization& operator=(const TGeosPolygonization&) = delete;

  // The counts of the polygons and of their interior rings.
  TGeosFaces Faces() const;

 private:
  std::unique_ptr<TGeosGeometries> geometries_;
};

// The faces of the map, its geometries freed at once.
TGeosFaces GeosPolygonize(const TStandMap& map);

// The map's lines as GEOS line strings, made once, for timing GEOS's own
// operations on them again and again; each operation frees its result.
class TGeosLines {
 public:
  explicit TGeosLines(const TStandMap& map);
  ~TGeosLines();
  TGeosLines(const TGeosLines&) = delete;
  TGeosLines& operator=(const TGeosLines&) = delete;

  // The number of polygons the lines close.
  int Polygonize();
  // The lines noded where they meet and merged where they overlap; the
  // number of line strings in the union.
  int UnaryUnion();

 private:
  std::unique_ptr<TGeosGeometries> geometries_;
};
