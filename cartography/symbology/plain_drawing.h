#pragma once
// What the interprets draw when no library symbol draws an object: a point's
// cross and a line's polyline, with the device's pen.
#include <vector>

#include "spatial/geometry/geometry_types.h"

class TDevice;
class TPolyElement;
class TSpaceEntity;

// A cross reaching 2 pixels each way from the point's reference point.
void DrawPointCross(TDevice& device, const TSpaceEntity& point);
// From the first vertex through each following one.
void DrawPolyline(TDevice& device, const TPolyElement& line);
// The vertices, for the line symbols.
std::vector<TRealPoint> VerticesOf(const TPolyElement& line);
