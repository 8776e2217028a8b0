#include "spatial/geometry/segment_sweep.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace {

// A segment's box as the pairwise test computes it; Second tells its set.
struct TSweepBox {
  double MinX, MaxX, MinY, MaxY;
  const TSweepSegment* Segment;
  bool Second;
};

TSweepBox BoxOf(const TSweepSegment& S, bool Second) {
  return {std::min(S.X1, S.X2), std::max(S.X1, S.X2), std::min(S.Y1, S.Y2), std::max(S.Y1, S.Y2), &S, Second};
}

bool HasNaN(const TSweepBox& B) {
  return std::isnan(B.MinX) || std::isnan(B.MaxX) || std::isnan(B.MinY) || std::isnan(B.MaxY);
}

}  // namespace

bool AnyMeetingPair(std::span<const TSweepSegment> First, std::span<const TSweepSegment> Second,
                    TSegmentMeeting Meet) {
  std::vector<TSweepBox> boxes;
  boxes.reserve(First.size() + Second.size());
  for (const TSweepSegment& S : First) boxes.push_back(BoxOf(S, false));
  for (const TSweepSegment& S : Second) boxes.push_back(BoxOf(S, true));
  // Every comparison with a side that is no number fails: such a box meets none.
  std::erase_if(boxes, HasNaN);
  // Sorting small keys rather than the boxes themselves moves far less memory.
  std::vector<std::pair<double, std::size_t>> byLeft(boxes.size());
  for (std::size_t i = 0; i < boxes.size(); ++i) byLeft[i] = {boxes[i].MinX, i};
  std::sort(byLeft.begin(), byLeft.end());
  // Boxes begun left of the sweep and not yet ended, one list per set.
  std::vector<const TSweepBox*> open[2];
  for (const auto& [left, index] : byLeft) {
    const TSweepBox& box = boxes[index];
    std::vector<const TSweepBox*>& others = open[box.Second ? 0 : 1];
    for (std::size_t k = 0; k < others.size();) {
      const TSweepBox& other = *others[k];
      // Boxes begin in rising order: one ended before this one begins ends
      // before every later one too.
      if (other.MaxX < box.MinX) {
        others[k] = others.back();
        others.pop_back();
        continue;
      }
      ++k;
      if (!(box.MaxY >= other.MinY && other.MaxY >= box.MinY)) continue;
      const bool meets = box.Second ? Meet(*other.Segment, *box.Segment) : Meet(*box.Segment, *other.Segment);
      if (meets) return true;
    }
    open[box.Second ? 1 : 0].push_back(&box);
  }
  return false;
}
