#pragma once
// Plain records passed by value between the spatial classes.
#include <cstdint>

// World point, metres, Y up.
struct TRealPoint {
  double X = 0;
  double Y = 0;
};

struct TRealRect {
  double MinX = 0;
  double MinY = 0;
  double MaxX = 0;
  double MaxY = 0;
};

// Device pixels, Y down.
struct TDevicePoint {
  std::int32_t X = 0;
  std::int32_t Y = 0;
  bool operator==(const TDevicePoint&) const = default;
};

struct TDeviceRect {
  std::int32_t Left = 0;
  std::int32_t Top = 0;
  std::int32_t Right = 0;
  std::int32_t Bottom = 0;
};
