#pragma once
// Splitting area outlines at lines that bound the same area on both sides:
// an outline that reaches an inner ring through a connecting line loses the
// connecting line and the ring, and the ring becomes an area of its own (a
// hole when it runs the other way).
#include <cstdint>
#include <map>
#include <unordered_map>
#include <utility>
#include <vector>

#include "block/topology/walkers.h"

class TPolyLineAreaElement;
class TSpaceEntityQTree;

class TClearAreas : public TProchazecPlochGauge {
  KESTX_CLASS(TClearAreas)
 public:
  // The marks of the boundary lines, kept in their ID.
  enum Mark : std::int32_t { kUnvisited = 0, kBothSides = 1, kInnerRing = 2, kUsed = 3 };

  // Not consulted by the walk.
  bool DontRemoveConectionAreaArea = false;
  std::int32_t Processed = 0;

  // An area index: every area in it; a line-bounded area: that area alone.
  // New areas go into the index, or without one into the Output, an owner
  // entity of the tool's.
  void DoIt() override;
  void Process(TElement* element) override;
  void ClearArea(TPolyLineAreaElement& area);

 private:
  struct Ring {
    bool Closed = false;
    double Sum = 0;
    std::vector<int> Lines;  // boundary indexes, in walking order
  };
  // Where a boundary line occurs and which ways the area holds it, read
  // once per area so that no line is looked for along the whole boundary.
  struct LineUse {
    bool Forward = false;
    bool Backward = false;
    std::vector<int> At;  // boundary indexes, ascending
  };
  // The inner-ring lines by the point they start at, in boundary order.
  using RingStarts = std::map<std::pair<double, double>, std::vector<int>>;

  Ring WalkRing(TPolyLineAreaElement& area, int start) const;
  bool HeldBothWays(const TElement* line) const;
  void MarkInnerRing(TPolyLineAreaElement& area, int start);
  void BuildRing(TPolyLineAreaElement& area, int first, const RingStarts& starts);
  void HandOver(TPolyLineAreaElement* made);

  std::unordered_map<const TElement*, LineUse> uses_;

  TElementLink outputTree_;
};

void RegisterClearAreasClasses();
