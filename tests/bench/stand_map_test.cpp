#include "bench/stand_map.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "spatial/objects/space_entities.h"
#include "spatial/spatial_classes.h"

namespace {

struct MapRow {
  const char* name;
  int side;
  std::uint64_t seed;
  int segmentsPerEdge;
};

const MapRow kMaps[] = {
    {"one stand, one island", 1, 1, 4},
    {"six by six, default edges", 6, 7, 4},
    {"straight edges, triangle islands", 5, 99, 1},
    {"seven segments an edge", 4, 3, 7},
    {"eleven by eleven, other seed", 11, 12345, 4},
};

double Orientation(const TStandMapPoint& a, const TStandMapPoint& b, const TStandMapPoint& c) {
  return (b.X - a.X) * (c.Y - a.Y) - (b.Y - a.Y) * (c.X - a.X);
}

// p lies on the segment from a to b, not at either end.
bool InsideSegment(const TStandMapPoint& p, const TStandMapPoint& a, const TStandMapPoint& b) {
  return Orientation(a, b, p) == 0 && std::min(a.X, b.X) <= p.X && p.X <= std::max(a.X, b.X) &&
         std::min(a.Y, b.Y) <= p.Y && p.Y <= std::max(a.Y, b.Y) && !(p == a) && !(p == b);
}

// Whether two segments meet anywhere but at an end point they share.
bool MeetOutsideSharedEnds(const TStandMapPoint& a, const TStandMapPoint& b, const TStandMapPoint& c,
                           const TStandMapPoint& d) {
  const double o1 = Orientation(a, b, c), o2 = Orientation(a, b, d);
  const double o3 = Orientation(c, d, a), o4 = Orientation(c, d, b);
  const bool cross = ((o1 < 0 && o2 > 0) || (o1 > 0 && o2 < 0)) && ((o3 < 0 && o4 > 0) || (o3 > 0 && o4 < 0));
  return cross || InsideSegment(c, a, b) || InsideSegment(d, a, b) || InsideSegment(a, c, d) ||
         InsideSegment(b, c, d);
}

struct Graph {
  int vertices = 0;
  int components = 0;
  int freeEnds = 0;
};

// Line ends are the graph's vertices (equal when their numbers are equal),
// lines its edges.
Graph GraphOf(const TStandMap& map) {
  std::map<std::pair<double, double>, int> ids;
  std::vector<int> degree;
  std::vector<int> parent;
  auto idOf = [&](const TStandMapPoint& p) {
    auto [found, added] = ids.try_emplace({p.X, p.Y}, static_cast<int>(ids.size()));
    if (added) {
      degree.push_back(0);
      parent.push_back(found->second);
    }
    return found->second;
  };
  auto root = [&](int id) {
    while (parent[static_cast<std::size_t>(id)] != id) id = parent[static_cast<std::size_t>(id)];
    return id;
  };
  for (const TStandMapLine& line : map.Lines) {
    const int from = idOf(line.front());
    const int to = idOf(line.back());
    ++degree[static_cast<std::size_t>(from)];
    ++degree[static_cast<std::size_t>(to)];
    parent[static_cast<std::size_t>(root(from))] = root(to);
  }
  Graph graph;
  graph.vertices = static_cast<int>(ids.size());
  for (int id = 0; id < graph.vertices; ++id) {
    if (root(id) == id) ++graph.components;
    if (degree[static_cast<std::size_t>(id)] == 1) ++graph.freeEnds;
  }
  return graph;
}

TEST(StandMap, HoldsTheFacesHolesAndDanglesItPromisesWithNoLinesCrossing) {
  for (const MapRow& row : kMaps) {
    const TStandMap map = MakeStandMap(row.side, row.seed, row.segmentsPerEdge);
    std::vector<std::pair<TStandMapPoint, TStandMapPoint>> segments;
    for (const TStandMapLine& line : map.Lines)
      for (std::size_t i = 1; i < line.size(); ++i) segments.emplace_back(line[i - 1], line[i]);
    ASSERT_EQ(segments.size(), map.SegmentCount()) << row.name;
    int crossings = 0;
    for (std::size_t i = 0; i < segments.size(); ++i)
      for (std::size_t j = i + 1; j < segments.size(); ++j)
        crossings += MeetOutsideSharedEnds(segments[i].first, segments[i].second, segments[j].first,
                                           segments[j].second);
    EXPECT_EQ(crossings, 0) << row.name;
    // Without crossings the bounded faces of a plane graph are E - V + C.
    const Graph graph = GraphOf(map);
    const int lines = static_cast<int>(map.Lines.size());
    EXPECT_EQ(lines - graph.vertices + graph.components, map.ExpectedAreas) << row.name;
    EXPECT_EQ(graph.components - 1, map.ExpectedHoles) << row.name;
    EXPECT_EQ(graph.freeEnds, map.ExpectedDangles) << row.name;
    EXPECT_EQ(map.ExpectedAreas, row.side * row.side + map.ExpectedHoles) << row.name;
  }
}

TEST(StandMap, TheSameSeedGivesTheSameMapAndAnotherSeedAnother) {
  for (const MapRow& row : kMaps) {
    const TStandMap map = MakeStandMap(row.side, row.seed, row.segmentsPerEdge);
    EXPECT_EQ(MakeStandMap(row.side, row.seed, row.segmentsPerEdge).Lines, map.Lines) << row.name;
    EXPECT_NE(MakeStandMap(row.side, row.seed + 1, row.segmentsPerEdge).Lines, map.Lines) << row.name;
  }
}

TEST(StandMap, SideForACountIsTheSmallestReachingIt) {
  const struct {
    std::size_t segments;
    int segmentsPerEdge;
  } rows[] = {{1, 4}, {100, 4}, {10000, 4}, {100000, 4}, {20000, 1}, {5000, 9}};
  for (const auto& row : rows) {
    const int side = StandMapSideFor(row.segments, row.segmentsPerEdge);
    const std::string name = std::to_string(row.segments) + " by " + std::to_string(row.segmentsPerEdge);
    EXPECT_GE(MakeStandMap(side, 1, row.segmentsPerEdge).SegmentCount(), row.segments) << name;
    if (side > 1) {
      EXPECT_LT(MakeStandMap(side - 1, 1, row.segmentsPerEdge).SegmentCount(), row.segments) << name;
    }
  }
}

TEST(StandMap, TheSystemsLinesHoldThePointsInOrderWithinTheirBounds) {
  RegisterSpatialClasses();
  for (const MapRow& row : kMaps) {
    const TStandMap map = MakeStandMap(row.side, row.seed, row.segmentsPerEdge);
    std::unique_ptr<TPolyLineString> lines(MakeStandMapLines(map));
    ASSERT_EQ(lines->GetCount(), static_cast<int>(map.Lines.size())) << row.name;
    for (std::size_t i = 0; i < map.Lines.size(); ++i) {
      auto* line = DynamicCast<TPolyLineElement>(lines->GetElement(static_cast<int>(i)));
      ASSERT_NE(line, nullptr) << row.name;
      std::vector<TStandMapPoint> points;
      for (int v = 0; v < line->GetCoordsCount(); ++v) points.push_back({line->GetCoordX(v), line->GetCoordY(v)});
      ASSERT_EQ(points, map.Lines[i]) << row.name << ", line " << i;
      for (const TStandMapPoint& p : points) {
        EXPECT_TRUE(line->GetMinX() <= p.X && p.X <= line->GetMaxX() && line->GetMinY() <= p.Y &&
                    p.Y <= line->GetMaxY())
            << row.name << ", line " << i;
        EXPECT_TRUE(lines->GetMinX() <= p.X && p.X <= lines->GetMaxX() && lines->GetMinY() <= p.Y &&
                    p.Y <= lines->GetMaxY())
            << row.name << ", line " << i;
      }
    }
  }
}

}  // namespace
