#pragma once
// Where a batch of line ends lands in a line-end index, worked out on plain
// numbers before any cell or list element exists.  Filing one end at a time
// files every end again at each split above its final leaf, and each of those
// filings adds the line to a list element and drops it from another; the plan
// replays the same splits on small records, so that the index's elements are
// made once, each end filed once, in the order the one-at-a-time filing would
// leave them.
#include <cstdint>
#include <vector>

#include "spatial/geometry/geometry_types.h"

class TPolyElement;

// One line end waiting to be filed: the line (never read by the plan), which
// end, and its point.
struct TLineEndToFile {
  TPolyElement* Line = nullptr;
  bool AtBegin = false;
  double X = 0;
  double Y = 0;
};

class TLineEndPlan {
 public:
  // Quarter slots, in the order a split makes them.
  enum Slot { LowerLeft, UpperLeft, LowerRight, UpperRight };
  static constexpr int NoCell = -1;

  struct Cell {
    TRealRect Bounds;
    double SplitX = 0;
    double SplitY = 0;
    // Cells of the plan by slot; NoCell while a leaf.
    int Quarters[4] = {NoCell, NoCell, NoCell, NoCell};
    // A leaf's ends, begins and ends apart, each chained in the order they
    // were filed here (indices into the batch; NoCell ends a chain).
    int Count = 0;
    int First[2] = {NoCell, NoCell};
    int Last[2] = {NoCell, NoCell};
    bool IsLeaf() const { return Quarters[0] == NoCell; }
  };

  // An empty root over bounds; a leaf splits at its (Capacity + 1)th end
  // while both its sides are at least MinSize.
  TLineEndPlan(const TRealRect& bounds, int capacity, double minSize);

  // Files the batch's ends one after another.
  void File(const std::vector<TLineEndToFile>& batch);

  // Cells in the order they were made: a cell's quarters come after it.
  const std::vector<Cell>& Cells() const { return cells_; }
  // The ends in the order of their last filing: the order in which the
  // one-at-a-time filing last added each line to a list.
  std::vector<int> EndsInFilingOrder() const;
  // The leaf holding an end.
  int LeafOf(int end) const { return leafOf_[static_cast<std::size_t>(end)]; }

  // The quarter's bounds and the split point, as a split computes them.
  static double SplitOf(double min, double max) { return (min + max) / 2; }
  static TRealRect QuarterBounds(const TRealRect& bounds, double splitX, double splitY, Slot slot);

 private:
  void FileOne(int end);
  void Split(int cell);
  // Appends the end to the leaf's chain of its kind.
  void Place(int end, int leaf);
  int QuarterFor(const Cell& cell, double x, double y) const;

  const std::vector<TLineEndToFile>* batch_ = nullptr;
  std::vector<Cell> cells_;
  std::vector<int> leafOf_;
  // The next end of the same leaf and kind.
  std::vector<int> next_;
  // The filing count when each end was filed last.
  std::vector<std::int64_t> filedAt_;
  std::int64_t filings_ = 0;
  int capacity_;
  double minSize_;
};
