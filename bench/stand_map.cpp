#include "bench/stand_map.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "spatial/objects/space_entities.h"

namespace {

constexpr double kCell = 100;
// Node jitter and the sideways jitter of an edge's inner points, both well
// inside what keeps every stand convex and its edges apart: corners moved by
// up to 15 m leave every corner angle above 43 degrees, and an inner point
// 3 m aside turns an edge by less than 10 degrees at its node.
constexpr double kNodeJitter = 15;
constexpr double kEdgeJitter = 3;
constexpr double kIslandRadius = 10;
constexpr double kIslandJitter = 2;
// A dangle runs this share of the way from its stand's corner to the centre.
constexpr double kDangleReach = 0.3;

// splitmix64: the same numbers from the same seed everywhere.
class TSeededNumbers {
 public:
  explicit TSeededNumbers(std::uint64_t seed) : state_(seed) {}
  std::uint64_t Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  // Uniform in [-1, 1).
  double Signed() { return static_cast<double>(Next() >> 11) * 0x1.0p-52 - 1.0; }
  bool Coin() { return (Next() >> 63) != 0; }

 private:
  std::uint64_t state_;
};

int IslandCount(int stands) { return (stands + 9) / 10; }
int DangleCount(int stands) { return (stands + 4) / 10; }
int IslandSegments(int segmentsPerEdge) { return std::max(3, segmentsPerEdge); }

std::size_t SegmentsOf(int side, int segmentsPerEdge) {
  const auto k = static_cast<std::size_t>(side);
  const int stands = side * side;
  return 2 * k * (k + 1) * static_cast<std::size_t>(segmentsPerEdge) +
         static_cast<std::size_t>(IslandCount(stands) * IslandSegments(segmentsPerEdge)) +
         static_cast<std::size_t>(DangleCount(stands) * segmentsPerEdge);
}

class TStandMapMaker {
 public:
  TStandMapMaker(int side, std::uint64_t seed, int segmentsPerEdge)
      : side_(std::max(1, side)), segments_(std::max(1, segmentsPerEdge)), numbers_(seed) {}

  TStandMap Make() {
    JitterNodes();
    TStandMap map;
    map.Lines.reserve(static_cast<std::size_t>(2 * side_ * (side_ + 1) + side_ * side_ / 5 + 2));
    for (int row = 0; row <= side_; ++row) {
      for (int column = 0; column < side_; ++column) AddEdge(map, Node(column, row), Node(column + 1, row));
      if (row < side_)
        for (int column = 0; column <= side_; ++column) AddEdge(map, Node(column, row), Node(column, row + 1));
    }
    const int stands = side_ * side_;
    for (int stand = 0; stand < stands; stand += 10) AddIsland(map, stand);
    for (int stand = 5; stand < stands; stand += 10) AddDangle(map, stand);
    map.ExpectedHoles = IslandCount(stands);
    map.ExpectedAreas = stands + map.ExpectedHoles;
    map.ExpectedDangles = DangleCount(stands);
    return map;
  }

 private:
  void JitterNodes() {
    nodes_.resize(static_cast<std::size_t>((side_ + 1) * (side_ + 1)));
    for (int row = 0; row <= side_; ++row)
      for (int column = 0; column <= side_; ++column) {
        const double x = column * kCell + kNodeJitter * numbers_.Signed();
        const double y = row * kCell + kNodeJitter * numbers_.Signed();
        nodes_[static_cast<std::size_t>(row * (side_ + 1) + column)] = {x, y};
      }
  }
  const TStandMapPoint& Node(int column, int row) const {
    return nodes_[static_cast<std::size_t>(row * (side_ + 1) + column)];
  }
  TStandMapPoint StandCentre(int stand) const {
    const int column = stand % side_;
    const int row = stand / side_;
    const TStandMapPoint corners[] = {Node(column, row), Node(column + 1, row), Node(column + 1, row + 1),
                                      Node(column, row + 1)};
    TStandMapPoint centre;
    for (const TStandMapPoint& corner : corners) {
      centre.X += corner.X / 4;
      centre.Y += corner.Y / 4;
    }
    return centre;
  }

  // The ends are the nodes' own numbers, so that lines meet exactly.
  void AddEdge(TStandMap& map, const TStandMapPoint& from, const TStandMapPoint& to) {
    const double dx = to.X - from.X;
    const double dy = to.Y - from.Y;
    const double length = std::hypot(dx, dy);
    TStandMapLine line{from};
    for (int i = 1; i < segments_; ++i) {
      const double t = static_cast<double>(i) / segments_;
      const double aside = kEdgeJitter * numbers_.Signed() / length;
      line.push_back({from.X + t * dx - aside * dy, from.Y + t * dy + aside * dx});
    }
    line.push_back(to);
    AddDrawn(map, std::move(line));
  }
  void AddIsland(TStandMap& map, int stand) {
    const TStandMapPoint centre = StandCentre(stand);
    const int count = IslandSegments(segments_);
    const double phase = numbers_.Signed() * std::numbers::pi;
    TStandMapLine ring;
    for (int i = 0; i < count; ++i) {
      const double angle = phase + 2 * std::numbers::pi * i / count;
      const double radius = kIslandRadius + kIslandJitter * numbers_.Signed();
      ring.push_back({centre.X + radius * std::cos(angle), centre.Y + radius * std::sin(angle)});
    }
    ring.push_back(ring.front());
    AddDrawn(map, std::move(ring));
  }
  void AddDangle(TStandMap& map, int stand) {
    const TStandMapPoint& corner = Node(stand % side_, stand / side_);
    const TStandMapPoint centre = StandCentre(stand);
    TStandMapLine line{corner};
    for (int i = 1; i <= segments_; ++i) {
      const double t = kDangleReach * i / segments_;
      line.push_back({corner.X + t * (centre.X - corner.X), corner.Y + t * (centre.Y - corner.Y)});
    }
    AddDrawn(map, std::move(line));
  }
  void AddDrawn(TStandMap& map, TStandMapLine line) {
    if (numbers_.Coin()) std::reverse(line.begin(), line.end());
    map.Lines.push_back(std::move(line));
  }

  int side_;
  int segments_;
  TSeededNumbers numbers_;
  std::vector<TStandMapPoint> nodes_;
};

}  // namespace

std::size_t TStandMap::SegmentCount() const {
  std::size_t count = 0;
  for (const TStandMapLine& line : Lines) count += line.empty() ? 0 : line.size() - 1;
  return count;
}

TStandMap MakeStandMap(int side, std::uint64_t seed, int segmentsPerEdge) {
  return TStandMapMaker(side, seed, segmentsPerEdge).Make();
}

int StandMapSideFor(std::size_t segments, int segmentsPerEdge) {
  const int perEdge = std::max(1, segmentsPerEdge);
  // Edges alone give 2k(k+1)s segments: start just below that root.
  int side = std::max(1, static_cast<int>(std::sqrt(static_cast<double>(segments) / (2.0 * perEdge))) - 1);
  while (side > 1 && SegmentsOf(side - 1, perEdge) >= segments) --side;
  while (SegmentsOf(side, perEdge) < segments) ++side;
  return side;
}

TPolyLineString* MakeStandMapLines(const TStandMap& map) {
  auto* lines = CreateElement<TPolyLineString>();
  for (const TStandMapLine& points : map.Lines) {
    auto* line = CreateElement<TPolyLineElement>();
    for (const TStandMapPoint& point : points) line->AddVertex(point.X, point.Y);
    line->CalcBounds();
    lines->BoundRect()->IncludeRect(line->BoundRect());
    lines->AddElement(line);
  }
  return lines;
}
