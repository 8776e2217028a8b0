#pragma once
// The sample forestry data folder of the repository (samples/forest): the
// block DET.BLK of 64 stand areas (a jittered 8 x 8 grid, islands among
// them) whose attribute table names the LHC, compartment, sub-compartment,
// stand and stand group of each; TEZ.BLK, harvest areas with their method,
// urgency, acreage and the five keys; SLU.BLK, lines; BOD.BLK, points;
// model.txt, the data model that loads them; day.oil, a forester's day as a
// command-line script; editing.oil, the graphic window of the editors and
// selectors on the forest, built after the day.  The writer of the samples and the tests that read
// them both make it here, with the system's own writers.
#include <string>

// Writes the folder's files into folder, which exists.  Needs a world with
// the national grid.
void WriteSampleForest(const std::string& folder);

// The stand grid: side cells of 100 m a row, from the origin (x and y).
// The map lies below and left of the national grid's origin, so that the
// blocks hold its coordinates positive.
inline constexpr int kSampleForestSide = 8;
inline constexpr double kSampleForestOrigin = -1000;
