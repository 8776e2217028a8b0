#pragma once
// The same stand map polygonized by GEOS: the reference the topology's
// areas and holes are checked and timed against.  Built only where GEOS is
// installed.
#include "bench/stand_map.h"

struct TGeosFaces {
  int Polygons = 0;
  int InteriorRings = 0;
};

// The map's lines as GEOS line strings, polygonized; the counts of the
// polygons and of their interior rings.
TGeosFaces GeosPolygonize(const TStandMap& map);
