#include "render/area_symbols/area_symbol.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

// A scan over the table, line by line from top down to bottom: the
// crossings of each line as the routines leave them.
std::vector<std::vector<std::int32_t>> Scan(TPlosnaZnacka& symbol, std::int32_t top, std::int32_t bottom) {
  std::vector<std::vector<std::int32_t>> lines;
  const auto last = static_cast<std::int32_t>(symbol.Edges.size()) - 1;
  std::int32_t first = 0, index = 0;
  for (std::int32_t y = top; y >= bottom; --y) {
    symbol.UpdateActiveEdges(last, y, first, index);
    std::int32_t count = 0;
    symbol.SortActiveEdges(count, first - 1, index);
    std::vector<std::int32_t> crossings;
    for (std::int32_t i = first - count; i < first; ++i) crossings.push_back(symbol.Edges[static_cast<std::size_t>(i)].X);
    lines.push_back(crossings);
    symbol.StepActiveEdges(index, first - 1);
  }
  return lines;
}

TEST(AreaSymbolScanTest, TheActiveEdgesOfEachLineAreThoseOfTheShapesCrossingIt) {
  // A triangle with its apex at (10, 20) and its base on line 1, and below
  // its apex a square running from line 5 to line 3 between x 3 and x 5.
  TPlosnaZnacka symbol;
  symbol.Edges = {{20, 10000, 20, 500}, {20, 10000, 20, -500}, {5, 5000, 3, 0}, {5, 3000, 3, 0}};
  const auto lines = Scan(symbol, 22, 0);
  for (std::int32_t y = 22; y >= 0; --y) {
    std::vector<std::int32_t> expected;
    if (y <= 20 && y >= 1) {
      expected.push_back(10000 - 500 * (20 - y));
      expected.push_back(10000 + 500 * (20 - y));
    }
    if (y <= 5 && y >= 3) {
      expected.push_back(3000);
      expected.push_back(5000);
    }
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(lines[static_cast<std::size_t>(22 - y)], expected) << "line " << y;
  }
}

TEST(AreaSymbolScanTest, TheRoutinesKeepToTheirRangeAndNeverCountBelowZero) {
  struct Case {
    const char* name;
    std::vector<TEdgeRecord> edges;
    std::int32_t last, y, first, index;
    std::int32_t wantFirst, wantIndex;
  };
  const Case cases[] = {
      {"enters the records at or above the line", {{9, 0, 1, 0}, {7, 0, 1, 0}, {6, 0, 1, 0}}, 2, 7, 0, 0, 2, 0},
      {"stops at last", {{9, 0, 1, 0}, {8, 0, 1, 0}, {8, 0, 1, 0}}, 1, 0, 0, 0, 2, 0},
      {"skips exhausted records before the live ones", {{9, 0, 0, 0}, {8, 0, 0, 0}, {8, 0, 2, 0}}, 2, 8, 1, 0, 3, 2},
      {"never passes the entered records", {{9, 0, 0, 0}, {3, 0, 1, 0}}, 1, 5, 0, 0, 1, 1},
  };
  for (const Case& test : cases) {
    TPlosnaZnacka symbol;
    symbol.Edges = test.edges;
    std::int32_t first = test.first, index = test.index;
    symbol.UpdateActiveEdges(test.last, test.y, first, index);
    EXPECT_EQ(std::tuple(first, index), std::tuple(test.wantFirst, test.wantIndex)) << test.name;
  }

  TPlosnaZnacka symbol;
  symbol.Edges = {{5, 7000, 1, 100}, {5, 4000, 0, 100}, {5, 1000, 2, -50}, {5, 9000, 3, 0}};
  std::int32_t count = 0;
  symbol.SortActiveEdges(count, 2, 0);
  EXPECT_EQ(count, 2);
  EXPECT_EQ(symbol.Edges, (std::vector<TEdgeRecord>{{5, 4000, 0, 100}, {5, 1000, 2, -50}, {5, 7000, 1, 100},
                                                    {5, 9000, 3, 0}}))
      << "exhausted first, then by crossing; the record after last untouched";
  symbol.StepActiveEdges(0, 2);
  symbol.StepActiveEdges(0, 2);
  EXPECT_EQ(symbol.Edges, (std::vector<TEdgeRecord>{{5, 4000, 0, 100}, {5, 1100, 0, -50}, {5, 6900, 0, 100},
                                                    {5, 9000, 3, 0}}))
      << "each live record steps until its lines run out";
}

}  // namespace
