#include "render/symbology/point_cross.h"

#include "render/devices/device.h"
#include "spatial/geometry/projection.h"
#include "spatial/objects/space_entities.h"

void DrawPointCross(TDevice& device, const TSpaceEntity& point) {
  TDevicePoint at;
  device.Projection()->WorldToDevice(point.GetAbsRefX(), point.GetAbsRefY(), at);
  device.MoveToPixel(at.X - 2, at.Y);
  device.LineToPixel(at.X + 2, at.Y);
  device.MoveToPixel(at.X, at.Y - 2);
  device.LineToPixel(at.X, at.Y + 2);
}
