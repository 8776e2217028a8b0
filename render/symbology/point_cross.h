#pragma once
// The mark of a point that no symbol draws: a cross of the device's pen
// reaching 2 pixels each way from the point's reference point.
class TDevice;
class TSpaceEntity;

void DrawPointCross(TDevice& device, const TSpaceEntity& point);
