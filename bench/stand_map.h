#pragma once
// A synthetic stand map: the lines a forest map's stands are digitised as,
// for topology tests, fuzz seeds and benchmarks alike.  A jittered k x k grid
// of stands; every stand edge is one line of s segments (4 by default) shared
// by the two stands beside it; every 10th stand holds an island, one exactly
// closed ring; every 10th stand further on holds a dangle, a line that leaves
// the stand's corner node and ends free inside the stand.  No line crosses
// another and no line is a bridge, so the faces are the k*k stands and the
// islands, and every island is a hole of its stand.  The same seed gives the
// same map on every machine (no standard distribution is used).
#include <cstddef>
#include <cstdint>
#include <vector>

class TPolyLineString;

struct TStandMapPoint {
  double X = 0;
  double Y = 0;
  bool operator==(const TStandMapPoint&) const = default;
};

using TStandMapLine = std::vector<TStandMapPoint>;

struct TStandMap {
  // Stand edges row by row, then the islands, then the dangles; each line's
  // direction is drawn at random.  An island's last point is its first.
  std::vector<TStandMapLine> Lines;
  // Faces a topology has to find: the stands and the islands.
  int ExpectedAreas = 0;
  // Islands, each a hole of the stand around it.
  int ExpectedHoles = 0;
  // Lines with one free end.
  int ExpectedDangles = 0;

  std::size_t SegmentCount() const;
};

// side stands a row and a column (at least 1), cells of 100 m from (0, 0);
// segmentsPerEdge at least 1.
TStandMap MakeStandMap(int side, std::uint64_t seed, int segmentsPerEdge = 4);

// The smallest side whose map has at least segments segments.
int StandMapSideFor(std::size_t segments, int segmentsPerEdge = 4);

// The system's lines of the map: one polyline per line, in order, each with
// its own vertices and bounds, held by a new line string whose bounds cover
// them all.  The caller owns the string.
TPolyLineString* MakeStandMapLines(const TStandMap& map);
