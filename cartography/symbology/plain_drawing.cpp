#include "cartography/symbology/plain_drawing.h"

#include "render/devices/device.h"
#include "spatial/objects/space_entities.h"

// The cross stands where the device draws the point: turned with the
// picture, and in a band at the whole picture's rows.
void DrawPointCross(TDevice& device, const TSpaceEntity& point) {
  const TDevicePoint at = device.ToDevice(point.GetAbsRefX(), point.GetAbsRefY());
  device.MoveToPixel(at.X - 2, at.Y);
  device.LineToPixel(at.X + 2, at.Y);
  device.MoveToPixel(at.X, at.Y - 2);
  device.LineToPixel(at.X, at.Y + 2);
}

void DrawPolyline(TDevice& device, const TPolyElement& line) {
  if (line.GetCoordsCount() == 0) return;
  device.MoveTo(line.GetCoordX(0), line.GetCoordY(0));
  for (int i = 1; i < line.GetCoordsCount(); ++i) device.LineTo(line.GetCoordX(i), line.GetCoordY(i));
}

std::vector<TRealPoint> VerticesOf(const TPolyElement& line) {
  std::vector<TRealPoint> points;
  points.reserve(static_cast<std::size_t>(line.GetCoordsCount()));
  for (int i = 0; i < line.GetCoordsCount(); ++i) points.push_back({line.GetCoordX(i), line.GetCoordY(i)});
  return points;
}
