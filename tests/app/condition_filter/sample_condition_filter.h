#pragma once
// The repository's sample of the condition filter (samples/condition_filter):
// the block LES.BLK of four lines of kinds 5 to 8 and colours 1, 2, 3 and 4
// (line n of kind 4 + n), and the filter's file for the columns "DRUH, BARVA"
// with the rows (6, 2) and (8, 4): lines 2 and 4.  A coordinate world must
// be set.
#include <string>

inline constexpr const char* kSampleFilterColumns = "DRUH, BARVA";

void WriteSampleConditionFilter(const std::string& folder);
