#include "spatial/geometry/segment_sweep.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <set>
#include <utility>
#include <vector>

namespace {

using Segments = std::vector<TSweepSegment>;
using Pair = std::pair<std::size_t, std::size_t>;

// The pairs a sweep tried, as indexes into the two sets.
const Segments* firstSet = nullptr;
const Segments* secondSet = nullptr;
std::multiset<Pair> tried;

bool RecordAndRefuse(const TSweepSegment& First, const TSweepSegment& Second) {
  tried.insert({static_cast<std::size_t>(&First - firstSet->data()), static_cast<std::size_t>(&Second - secondSet->data())});
  return false;
}

// The boxes of two segments meet, edges included, as the pairwise test had it.
bool BoxesMeet(const TSweepSegment& a, const TSweepSegment& b) {
  return std::max(a.X1, a.X2) >= std::min(b.X1, b.X2) && std::max(b.X1, b.X2) >= std::min(a.X1, a.X2) &&
         std::max(a.Y1, a.Y2) >= std::min(b.Y1, b.Y2) && std::max(b.Y1, b.Y2) >= std::min(a.Y1, a.Y2);
}

std::multiset<Pair> EveryMeetingPair(const Segments& first, const Segments& second) {
  std::multiset<Pair> pairs;
  for (std::size_t i = 0; i < first.size(); ++i)
    for (std::size_t j = 0; j < second.size(); ++j)
      if (BoxesMeet(first[i], second[j])) pairs.insert({i, j});
  return pairs;
}

std::multiset<Pair> PairsTried(const Segments& first, const Segments& second) {
  firstSet = &first;
  secondSet = &second;
  tried.clear();
  EXPECT_FALSE(AnyMeetingPair(first, second, RecordAndRefuse));
  return tried;
}

}  // namespace

// Boxes touching at an edge or a corner, equal left edges, zero-length segments, a point on a
// segment, sides that are infinite or no number: the sweep tries every pair whose boxes meet,
// once, first set first, and no other.
TEST(SegmentSweep, TriesExactlyThePairsWhoseBoxesMeet) {
  const double NaN = std::nan("");
  const double Inf = INFINITY;
  const struct {
    const char* name;
    Segments first, second;
  } rows[] = {
      {"crossing", {{0, 0, 10, 10}}, {{0, 10, 10, 0}}},
      {"boxes apart", {{0, 0, 1, 1}}, {{2, 2, 3, 3}}},
      {"touching at a corner", {{0, 0, 1, 1}}, {{1, 1, 2, 0}}},
      {"touching along an edge", {{0, 0, 1, 0}}, {{1, 0, 2, 0}, {0, 1, 1, 2}}},
      {"equal left edges", {{0, 0, 5, 5}, {0, 5, 5, 0}}, {{0, 2, 0, 8}, {0, -3, 2, -1}}},
      {"zero length", {{3, 3, 3, 3}}, {{3, 3, 3, 3}, {0, 0, 6, 6}, {4, 4, 4, 4}}},
      {"reversed ends", {{10, 10, 0, 0}}, {{10, 0, 0, 10}}},
      {"x overlaps, y apart", {{0, 0, 10, 0}}, {{1, 1, 2, 1}, {3, -1, 4, -1}}},
      {"one long, many short", {{0, 0, 100, 1}}, {{1, 0, 2, 0}, {50, 0, 51, 2}, {99, 1, 101, 1}, {101, 0, 102, 1}}},
      {"infinite side", {{-Inf, 0, Inf, 0}}, {{0, -1, 0, 1}, {5, 1, 6, 2}}},
      {"no number", {{NaN, 0, 1, 1}, {0, 0, NaN, 1}}, {{0, 0, 1, 1}}},
      {"empty set", {}, {{0, 0, 1, 1}}},
  };
  for (const auto& row : rows) EXPECT_EQ(PairsTried(row.first, row.second), EveryMeetingPair(row.first, row.second)) << row.name;
}

TEST(SegmentSweep, TriesExactlyThePairsWhoseBoxesMeetOnRandomSegments) {
  for (const unsigned seed : {1u, 2u, 3u, 4u, 5u}) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> coordinate(0, 20);
    const auto segments = [&](int count) {
      Segments s;
      for (int i = 0; i < count; ++i)
        s.push_back({double(coordinate(random)), double(coordinate(random)), double(coordinate(random)),
                     double(coordinate(random))});
      return s;
    };
    const Segments first = segments(40), second = segments(60);
    EXPECT_EQ(PairsTried(first, second), EveryMeetingPair(first, second)) << "seed " << seed;
  }
}

bool SecondIsHigher(const TSweepSegment& First, const TSweepSegment& Second) { return Second.Y1 > First.Y1; }

// The answer is whether any pair meets, whichever set's segment the sweep reaches first.
TEST(SegmentSweep, AnswersWhetherAnyPairMeets) {
  const struct {
    const char* name;
    Segments first, second;
    bool meets;
  } rows[] = {
      {"the second set's higher, reached first", {{5, 0, 6, 0}}, {{0, 1, 10, 0}}, true},
      {"the second set's higher, reached last", {{0, 0, 10, 1}}, {{5, 1, 6, 1}}, true},
      {"only the first set's higher, reached first", {{0, 1, 10, 0}}, {{5, 0, 6, 0}}, false},
      {"only the first set's higher, reached last", {{5, 1, 6, 1}}, {{0, 0, 10, 1}}, false},
      {"higher, but boxes apart", {{0, 0, 1, 0}}, {{5, 1, 6, 2}}, false},
  };
  for (const auto& row : rows) EXPECT_EQ(AnyMeetingPair(row.first, row.second, SecondIsHigher), row.meets) << row.name;
}
