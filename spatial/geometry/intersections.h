#pragma once
// Plane geometry on device and world coordinates: outcodes and segment
// clipping, segment intersection, crossings of an outline with a horizontal
// line and point in polygon.  An outline is a closed ring of vertices given
// in order; its closing edge runs from the last vertex back to the first.
#include <cstdint>
#include <span>
#include <vector>

#include "spatial/geometry/geometry_types.h"

class TEntity;
class TCoordinate;

namespace AnalInt {

// Side bits of an outcode.
inline constexpr std::uint8_t ocLeft = 1;
inline constexpr std::uint8_t ocRight = 2;
inline constexpr std::uint8_t ocBelow = 4;
inline constexpr std::uint8_t ocAbove = 8;

// Nearest integer (halves to even), kept within +-2147483647.
std::int32_t RoundClamped(double V);

std::uint8_t Outcode(const TDeviceRect& R, std::int32_t X, std::int32_t Y);
void ClipTest(const TDeviceRect& R, std::int32_t X1, std::int32_t Y1, std::int32_t X2, std::int32_t Y2,
              bool& Inside, bool& Crosses);
// The clipped ends can come back exchanged.
void ClipLine(const TDeviceRect& R, std::int32_t X1, std::int32_t Y1, std::int32_t X2, std::int32_t Y2,
              std::int32_t& OX1, std::int32_t& OY1, std::int32_t& OX2, std::int32_t& OY2, bool& Visible);

// Meeting point of the lines X = M1 * Y + C1 and X = M2 * Y + C2.
void LineIntersection(double& X, double& Y, bool& NoPoint, double M1, double C1, double M2, double C2);

// Meeting point of the lines through (X1, Y1)-(X2, Y2) and (X3, Y3)-(X4, Y4)
// and whether it lies on each segment, ends included.  With NoPoint the
// result is (X1, Y1).
void SegmentIntersection(double& X, double& Y, bool& NoPoint, double X1, double Y1, double X2, double Y2,
                         double X3, double Y3, double X4, double Y4, bool& OnFirst, bool& OnSecond);

// SegmentIntersection whose line intersection first passes the slope
// difference through Round.
using TSlopeRounding = double (*)(double);
void SegmentIntersectionRounded(TSlopeRounding Round, double& X, double& Y, bool& NoPoint, double X1, double Y1,
                                double X2, double Y2, double X3, double Y3, double X4, double Y4, bool& OnFirst,
                                bool& OnSecond);

// Even-odd test along the ray from P towards +X.
bool PointInPolygon(std::span<const TRealPoint> E, const TRealPoint& P);
// For each point, whether PointInPolygon holds for it on at least one of the
// rings (1) or on none (0).  One sweep by height: each point meets only the
// edges its horizontal line reaches, not every edge of every ring.
std::vector<std::uint8_t> PointsInAnyPolygon(std::span<const std::vector<TRealPoint>> Rings,
                                             std::span<const TRealPoint> Points);
// An edge of a ring as the even-odd tests by height take it.
struct TRingEdge;

// A ring read once for many even-odd tests: each test meets only the edges
// whose heights reach the point's, found by height in logarithmic time, so
// that testing many points against a ring of many vertices does not cost
// their product.  Contains answers as PointInPolygon on the ring.
class TRingIndex {
 public:
  explicit TRingIndex(std::span<const TRealPoint> Ring);
  ~TRingIndex();
  TRingIndex(TRingIndex&&) noexcept;
  TRingIndex& operator=(TRingIndex&&) noexcept;
  TRingIndex(const TRingIndex&) = delete;
  TRingIndex& operator=(const TRingIndex&) = delete;

  bool Contains(const TRealPoint& P) const;

 private:
  // Kept for a point whose height is no number.
  std::vector<TRealPoint> ring_;
  // The edges with heights that are numbers, by their lower height.
  std::vector<TRingEdge> edges_;
  // The others, tried by every test.
  std::vector<TRingEdge> always_;
  // Over edges_ as the leaves of a complete binary tree: the largest upper
  // height below each node, the root at 1.
  std::vector<double> highs_;
  std::size_t leaves_ = 0;
};

// Crossings with the horizontal line at Y; the nearest on each side of X0.
void HorizontalCrossings(std::span<const TRealPoint> E, double& LeftX, double& RightX, double X0, double Y,
                         std::int32_t& Count);
// Crossings with the ray from (X0, Y) towards +X; the two nearest.
void HorizontalCrossingsTwoNearest(std::span<const TRealPoint> E, double& First, double& Second, double X0,
                                   double Y, std::int32_t& Count);

// The same on a vertex entity: its children that are coordinates, in order.
// A nil entity or point has no inside and no crossings.
bool PointInPolygon(const TEntity* E, const TCoordinate* P);
void HorizontalCrossings(const TEntity* E, double& LeftX, double& RightX, double X0, double Y, std::int32_t& Count);
void HorizontalCrossingsTwoNearest(const TEntity* E, double& First, double& Second, double X0, double Y,
                                   std::int32_t& Count);

}  // namespace AnalInt
