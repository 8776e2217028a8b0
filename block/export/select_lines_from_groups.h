#pragma once
// Picks the lines that separate two groups of areas: a line passes when it
// has fewer than two owners, or when its first two owners belong to
// different groups.  An owner's group is, among the owners of the owner (of
// the outer area for a hole), the one whose ID is GroupId.
#include <cstdint>

#include "block/topology/walkers.h"

class TPolyLineElement;

class TSelectLinesFromGroups : public TProchazecLiniiGauge {
  KESTX_CLASS(TSelectLinesFromGroups)
 public:
  std::int32_t GroupId = 0;

  // Runs only when Output is a line string; each passing line is added to
  // it once, however many containers lead to it.
  void DoIt() override;
  void Process(TElement* element) override;

  bool PassesGroupTest(const TPolyLineElement& Line) const;
};
