#pragma once
// The line parallel to a polyline at a distance on its left or right side,
// with mitred or rounded outer corners.
#include <cstdint>
#include <vector>

#include "framework/tools/tools.h"
#include "spatial/geometry/geometry_types.h"

class TRectEntity;

class TParalel : public TTool {
  KESTX_CLASS(TParalel)
 public:
  // Side 1 left, 0 right, along the line; tolerance in percent (0 mitres
  // the outer corners, more rounds them with arcs of that chord error).
  void Setup(std::uint8_t side, double tolerance, double distance);
  // Builds the parallel of Input (an entity of coordinates) into a new
  // Output, which the caller owns.  Repeated consecutive vertices count
  // once; under two distinct vertices Output stays empty.
  void DoIt() override;

  // The parallel of the points, as DoIt builds it.
  std::vector<TRealPoint> Parallel(const std::vector<TRealPoint>& line) const;

 private:
  void Corner(const TRealPoint& P0, const TRealPoint& P1, const TRealPoint& P2, double tolerance,
              std::vector<TRealPoint>& out) const;

  std::uint8_t side_ = 1;
  double tolerance_ = 0;
  double distance_ = 0;
};

void RegisterParallelClasses();
