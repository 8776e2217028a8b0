#pragma once
// Pairs of segments from two sets whose bounding boxes meet, found by a sweep
// along X rather than by trying every pair: the test whether a line meets an
// outline on long lines and outlines.
#include <span>

// A segment from (X1, Y1) to (X2, Y2).
struct TSweepSegment {
  double X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
};

using TSegmentMeeting = bool (*)(const TSweepSegment& First, const TSweepSegment& Second);

// Whether Meet holds for some segment of First and some of Second whose boxes
// meet, edges included (a box with a side that is no number meets nothing).
// Each such pair is tried once at most, the first of First and the second of
// Second, and the sweep stops at the first that meets.  The time grows with
// the pairs whose X ranges overlap, plus the sort.
bool AnyMeetingPair(std::span<const TSweepSegment> First, std::span<const TSweepSegment> Second,
                    TSegmentMeeting Meet);
