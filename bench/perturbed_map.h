#pragma once
// A stand map whose open lines have their ends moved a little, so that the
// stands' corners no longer meet exactly: the input line joining is for.
// Closed rings stay closed.  The same seed moves the same ends everywhere.
#include <cstdint>

#include "bench/stand_map.h"

// Each end of each open line moves by up to reach on each axis.
inline TStandMap PerturbedStandMap(TStandMap map, double reach, std::uint64_t seed = 0x9E3779B97F4A7C15u) {
  std::uint64_t state = seed;
  auto jitter = [&] {
    state = state * 6364136223846793005u + 1442695040888963407u;
    return (static_cast<double>(state >> 11) / 9007199254740992.0 * 2 - 1) * reach;
  };
  for (TStandMapLine& line : map.Lines) {
    if (line.front() == line.back()) continue;
    for (TStandMapPoint* end : {&line.front(), &line.back()}) {
      end->X += jitter();
      end->Y += jitter();
    }
  }
  return map;
}
