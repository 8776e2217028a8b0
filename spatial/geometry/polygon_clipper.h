#pragma once
// Sutherland-Hodgman clipping of an integer polygon against a device
// rectangle, one pass per side that some vertex lies beyond.
#include <cstdint>
#include <memory>

#include "spatial/geometry/geometry_types.h"

class TOrezavacPloch {
 public:
  // Takes over Buffer, ByteSize bytes that hold Count points.  A missing
  // buffer, or a count that the byte size cannot hold, makes the clipper
  // Failed.
  TOrezavacPloch(const TDeviceRect& R, std::unique_ptr<TDevicePoint[]> Buffer, std::int32_t ByteSize,
                 std::int32_t Count);

  void Clip();
  // A copy of the clipped polygon; nothing (and Failed) when none is left.
  // ByteSize is the size of the block, which can exceed 8 * Count.
  void GetResult(std::unique_ptr<TDevicePoint[]>& Buffer, std::int32_t& ByteSize, std::int32_t& Count);
  bool Failed() const { return FFailed; }

 private:
  enum TSide { sdLeft, sdTop, sdRight, sdBottom };

  struct TPointBuffer {
    std::unique_ptr<TDevicePoint[]> Points;
    std::int32_t ByteSize = 0;
    std::int32_t Count = 0;
    std::int32_t Capacity() const { return ByteSize / 8; }
  };

  bool Inside(TSide Side, const TDevicePoint& P) const;
  TDevicePoint Intersection(TSide Side, const TDevicePoint& S, const TDevicePoint& P) const;
  void AddPoint(const TDevicePoint& P);
  void Pass(TSide Side);
  void CloseRing();

  bool FSideFlags[4] = {false, false, false, false};
  TDeviceRect FClipRect;
  TPointBuffer FInput;
  TPointBuffer FOutput;
  bool FFailed = false;
};
