#pragma once
// The harvest areas of the sample forest (samples/forest) as its forester's
// day exports them: the 30 m square round each point of the grid, with the
// keys of its stand group and its urgency.  An area in a stand takes the
// stand's group; one outside every stand goes by the keys of its record, to
// the group they name or, naming none, under no group with those keys.
struct DayHarvest {
  double X, Y;       // the centre in the grid (kSampleForestOrigin added on the map)
  const char* Keys;  // LHC|ODDELENI|DILEC|POROST|SKUPINA|NALEHAV
};

inline constexpr DayHarvest kDayHarvests[] = {
    {150, 150, "101|1|a|2|2|3"},   // in the stand of its keys
    {550, 250, "202|2|a|1|2|1"},   //
    {350, 650, "101|4|b|1|2|2"},   // keys of another stand: the stand it lies in
    {-100, 50, "101|1|a|1|1|1"},   // outside every stand: the group its keys name
    {-100, 350, "404|1|a|1|1|2"},  // outside, keys naming no LHC: kept with them
    {750, 750, "202|4|b|2|2|3"},   //
};
inline constexpr double kDayHarvestSide = 30;
// The day moves one corner 40 cm and joins the lines again with a metre's
// snap: an outline differs from its square by that much at most, and its
// area by the triangle that leaves out.
inline constexpr double kDayCornerMove = 0.4;
inline constexpr double kDayAreaTolerance = kDayCornerMove * kDayHarvestSide / 2;
