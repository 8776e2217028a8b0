#include "cartography/symbols/parallel.h"

#include <algorithm>
#include <cmath>

#include "framework/core/class_registry.h"
#include "spatial/geometry/geometry_elements.h"
#include "spatial/geometry/plane_math.h"

namespace {

constexpr double kStraightTurn = 0.000001;

TRealPoint Polar(const TRealPoint& base, double angle, double distance) {
  TRealPoint p;
  Mathlib::PolarPoint(base, p, angle, distance);
  return p;
}

// The point beside `from` at the distance, on the side s of the segment from
// `from` to `towards`.
TRealPoint Beside(const TRealPoint& from, const TRealPoint& towards, double s, double distance) {
  return Polar(from, Mathlib::VectorAngle(towards.X - from.X, towards.Y - from.Y) + s * M_PI / 2, distance);
}

}  // namespace

void TParalel::Setup(std::uint8_t side, double tolerance, double distance) {
  side_ = side;
  tolerance_ = tolerance;
  distance_ = distance;
}

// At a corner the side turns round: the corner is measured from P1 back
// towards P0, so the offset side lies at -s from that direction (as it does
// for the end point).
void TParalel::Corner(const TRealPoint& P0, const TRealPoint& P1, const TRealPoint& P2, double tolerance,
                      std::vector<TRealPoint>& out) const {
  const double s = side_ == 1 ? 1 : -1;
  const double d = distance_;
  const double a = Mathlib::VectorAngle(P0.X - P1.X, P0.Y - P1.Y);
  const double phi = Mathlib::VertexAngle(P0, P1, P2);
  // P2 on the offset side: the line turns towards it.
  const bool inner = Mathlib::IsRightOfLine(P0, P1, P2) == (side_ == 0);
  if (inner) {
    out.push_back(phi >= kStraightTurn ? Polar(P1, a - s * phi / 2, d / std::sin(phi / 2))
                                       : Polar(P1, a - s * M_PI / 2, d));
    return;
  }
  if (tolerance == 0) {
    out.push_back(phi == 0 ? Polar(P1, a - s * M_PI / 2, d)
                           : Polar(P1, a - s * (2 * M_PI - phi) / 2, d / std::sin(phi / 2)));
    return;
  }
  if (d * tolerance / 100 <= 2 * d * std::sin((M_PI - phi) / 2)) {
    const double step = 2 * std::acos(1 - tolerance / 100);
    const int n = static_cast<int>((M_PI - phi) / step);
    for (int k = 1; k <= n + 2; ++k)
      out.push_back(Polar(P1, a - s * M_PI / 2 - (k - 1) * s * (M_PI - phi) / (n + 1), d));
    return;
  }
  // A turn too slight for an arc: the one point lies on the outer bisector,
  // where the arc's middle would have been.
  out.push_back(Polar(P1, a - s * (2 * M_PI - phi) / 2, d));
}

std::vector<TRealPoint> TParalel::Parallel(const std::vector<TRealPoint>& vertices) const {
  std::vector<TRealPoint> out;
  // A repeated vertex has no direction: its corner would turn the side round.
  std::vector<TRealPoint> line;
  line.reserve(vertices.size());
  for (const TRealPoint& p : vertices)
    if (line.empty() || p.X != line.back().X || p.Y != line.back().Y) line.push_back(p);
  if (line.size() < 2) return out;
  const double tolerance = std::clamp(tolerance_, 0.0, 99.0);
  const double s = side_ == 1 ? 1 : -1;
  out.push_back(Beside(line[0], line[1], s, distance_));
  for (std::size_t i = 1; i + 1 < line.size(); ++i) Corner(line[i - 1], line[i], line[i + 1], tolerance, out);
  out.push_back(Beside(line.back(), line[line.size() - 2], -s, distance_));
  return out;
}

void TParalel::DoIt() {
  TTool::DoIt();
  std::vector<TRealPoint> line;
  if (auto* input = DynamicCast<TEntity>(Input()))
    for (TElement* child : input->Children())
      if (auto* point = DynamicCast<TCoordinate>(child)) line.push_back({point->GetX(), point->GetY()});
  auto* output = new TRectEntity;
  for (const TRealPoint& p : Parallel(line)) {
    auto* coordinate = new T2DCoordinate;
    coordinate->SetX(p.X);
    coordinate->SetY(p.Y);
    output->AddEntity(coordinate);
  }
  SetOutput(output);
}

TClass TParalel::StaticClass() {
  static const TClassInfo info = DescribeClass<TParalel>("TParalel", TTool::StaticClass(), "Paralel", {});
  return &info;
}

void RegisterParallelClasses() { RegisterKestuClass(TParalel::StaticClass()); }
