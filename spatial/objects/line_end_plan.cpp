#include "spatial/objects/line_end_plan.h"

TLineEndPlan::TLineEndPlan(const TRealRect& bounds, int capacity, double minSize)
    : capacity_(capacity), minSize_(minSize) {
  cells_.push_back({});
  cells_.back().Bounds = bounds;
}

TRealRect TLineEndPlan::QuarterBounds(const TRealRect& b, double splitX, double splitY, Slot slot) {
  switch (slot) {
    case LowerLeft:
      return {b.MinX, b.MinY, splitX, splitY};
    case UpperLeft:
      return {b.MinX, splitY, splitX, b.MaxY};
    case LowerRight:
      return {splitX, b.MinY, b.MaxX, splitY};
    case UpperRight:
      break;
  }
  return {splitX, splitY, b.MaxX, b.MaxY};
}

void TLineEndPlan::File(const std::vector<TLineEndToFile>& batch) {
  batch_ = &batch;
  leafOf_.resize(batch.size(), NoCell);
  next_.resize(batch.size(), NoCell);
  filedAt_.resize(batch.size(), 0);
  for (std::size_t end = 0; end < batch.size(); ++end) FileOne(static_cast<int>(end));
  batch_ = nullptr;
}

int TLineEndPlan::QuarterFor(const Cell& cell, double x, double y) const {
  // The same tests as the index's cells: left below SplitX, upper from SplitY.
  const bool left = x < cell.SplitX;
  const bool upper = y >= cell.SplitY;
  if (left) return cell.Quarters[upper ? UpperLeft : LowerLeft];
  return cell.Quarters[upper ? UpperRight : LowerRight];
}

void TLineEndPlan::FileOne(int end) {
  const TLineEndToFile& point = (*batch_)[static_cast<std::size_t>(end)];
  int at = 0;
  for (;;) {
    while (!cells_[static_cast<std::size_t>(at)].IsLeaf())
      at = QuarterFor(cells_[static_cast<std::size_t>(at)], point.X, point.Y);
    const Cell& leaf = cells_[static_cast<std::size_t>(at)];
    const double width = leaf.Bounds.MaxX - leaf.Bounds.MinX;
    const double height = leaf.Bounds.MaxY - leaf.Bounds.MinY;
    const bool bigEnough = width >= minSize_ && height >= minSize_;
    if (leaf.Count < capacity_ || !bigEnough) break;
    Split(at);
  }
  Place(end, at);
}

void TLineEndPlan::Place(int end, int leaf) {
  const auto e = static_cast<std::size_t>(end);
  Cell& cell = cells_[static_cast<std::size_t>(leaf)];
  const int kind = (*batch_)[e].AtBegin ? 0 : 1;
  if (cell.Last[kind] == NoCell) cell.First[kind] = end;
  else next_[static_cast<std::size_t>(cell.Last[kind])] = end;
  cell.Last[kind] = end;
  ++cell.Count;
  next_[e] = NoCell;
  leafOf_[e] = leaf;
  filedAt_[e] = filings_++;
}

void TLineEndPlan::Split(int at) {
  const auto first = static_cast<int>(cells_.size());
  Cell cell = cells_[static_cast<std::size_t>(at)];
  cell.SplitX = SplitOf(cell.Bounds.MinX, cell.Bounds.MaxX);
  cell.SplitY = SplitOf(cell.Bounds.MinY, cell.Bounds.MaxY);
  for (Slot slot : {LowerLeft, UpperLeft, LowerRight, UpperRight}) {
    Cell quarter;
    quarter.Bounds = QuarterBounds(cell.Bounds, cell.SplitX, cell.SplitY, slot);
    cells_.push_back(quarter);
    cell.Quarters[slot] = first + slot;
  }
  cells_[static_cast<std::size_t>(at)] = {cell.Bounds, cell.SplitX, cell.SplitY,
                                          {cell.Quarters[0], cell.Quarters[1], cell.Quarters[2], cell.Quarters[3]}};
  // A leaf splits as its count reaches the capacity, so no quarter can take
  // more than the capacity from it: they are filed one level down without
  // the test, begins first, each chain in its order, as the index does.
  for (int kind : {0, 1}) {
    for (int end = cell.First[kind]; end != NoCell;) {
      const int following = next_[static_cast<std::size_t>(end)];
      const TLineEndToFile& point = (*batch_)[static_cast<std::size_t>(end)];
      Place(end, QuarterFor(cells_[static_cast<std::size_t>(at)], point.X, point.Y));
      end = following;
    }
  }
}

std::vector<int> TLineEndPlan::EndsInFilingOrder() const {
  // Filing counts are distinct and below filings_: placed by count, read in order.
  std::vector<int> byCount(static_cast<std::size_t>(filings_), NoCell);
  for (std::size_t end = 0; end < filedAt_.size(); ++end)
    if (leafOf_[end] != NoCell) byCount[static_cast<std::size_t>(filedAt_[end])] = static_cast<int>(end);
  std::vector<int> order;
  order.reserve(filedAt_.size());
  for (int end : byCount)
    if (end != NoCell) order.push_back(end);
  return order;
}
