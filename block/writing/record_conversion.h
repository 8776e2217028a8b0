#pragma once
// Space entities as the records of a block's files: the geometry passes
// through the block's coordinate system, the rest comes from the entity's
// block properties.  Nothing here writes; a value the six-byte real cannot
// hold raises EReal48Overflow when the record is encoded.
#include <cstdint>

#include "block/files/block_records.h"

class TWCS;
class TCoordinate;
class TRectEntity;
class TPolyLineElement;
class TAreaElement;
class TPointElement;
class TLumarLineProps;

TCoordRecord CoordRecordOf(const TCoordinate& Coord, const TWCS& WCS);
// The entity's bounds with both corners converted, maximum corner first.
TBlockBox ConvertedBox(const TRectEntity& Entity, const TWCS& WCS);
// The entity's absolute reference point, converted.
void ConvertedReference(const TRectEntity& Entity, const TWCS& WCS, double& X, double& Y);

// Number = the line's ID; kind = Druh when above 0, else the props' own;
// the vertex indexes are left 0.
TLineRecord LineRecordOf(const TPolyLineElement& Line, const TLumarLineProps& Props, const TWCS& WCS,
                         std::int16_t Druh, std::int32_t LeftArea, std::int32_t RightArea);
// Number = the props' Cislo (0 without block props).
TAreaRecord AreaRecordOf(const TAreaElement& Area, const TWCS& WCS);
// Number = the point's ID.
TPointRecord PointRecordOf(const TPointElement& Point, const TWCS& WCS);
