#include "block/writing/record_conversion.h"

#include "block/props/lumar_props.h"
#include "spatial/objects/space_entities.h"
#include "spatial/sheets/coordinate_systems.h"

TCoordRecord CoordRecordOf(const TCoordinate& Coord, const TWCS& WCS) {
  T2DCoordinate converted(Coord.GetX(), Coord.GetY());
  WCS.CoordFromWorld(&converted);
  return {converted.GetX(), converted.GetY()};
}

TBlockBox ConvertedBox(const TRectEntity& Entity, const TWCS& WCS) {
  const TCoordRecord max = CoordRecordOf(*Entity.BoundRect()->MaxCorner(), WCS);
  const TCoordRecord min = CoordRecordOf(*Entity.BoundRect()->MinCorner(), WCS);
  return {max.X, max.Y, min.X, min.Y};
}

void ConvertedReference(const TRectEntity& Entity, const TWCS& WCS, double& X, double& Y) {
  long double x = 0;
  long double y = 0;
  long double z = 0;
  WCS.ConvertFromWorld(Entity.GetAbsRefX(), Entity.GetAbsRefY(), 0, x, y, z);
  X = static_cast<double>(x);
  Y = static_cast<double>(y);
}

TLineRecord LineRecordOf(const TPolyLineElement& Line, const TLumarLineProps& Props, const TWCS& WCS,
                         std::int16_t Druh, std::int32_t LeftArea, std::int32_t RightArea) {
  TLineRecord r;
  r.Number = Line.ID;
  r.Kind = Druh > 0 ? Druh : Props.Druh;
  r.Precision = Props.Presnost;
  r.Selection = Props.Vyber ? 1 : 0;
  r.Colour = Props.Barva;
  r.Symbol = Props.Znacka;
  r.LineSymbol = Props.Symbol;
  r.Links = Props.Links;
  r.LeftArea = LeftArea;
  r.RightArea = RightArea;
  r.Length = Line.Length();
  r.Box = ConvertedBox(Line, WCS);
  ConvertedReference(Line, WCS, r.LabelX, r.LabelY);
  r.Angle = Line.Angle;
  return r;
}

TAreaRecord AreaRecordOf(const TAreaElement& Area, const TWCS& WCS) {
  TAreaRecord r;
  r.Box = ConvertedBox(Area, WCS);
  if (const auto* props = DynamicCast<TLumarProps>(Area.Properties())) {
    r.Number = props->Cislo;
    r.Kind = props->Druh;
    r.Colour = props->Barva;
    r.Symbol = props->Znacka;
  }
  if (const auto* props = DynamicCast<TLumarAreaProps>(Area.Properties())) {
    r.Parent = props->PaterNo;
    r.HasChildren = props->HasChildren;
  }
  const auto& children = Area.Children();
  if (const auto* first = children.empty() ? nullptr : DynamicCast<TPolyLineElement>(children.front()))
    r.FirstLine = first->ID;
  r.Area = Area.WholeArea();
  ConvertedReference(Area, WCS, r.LabelX, r.LabelY);
  return r;
}

TPointRecord PointRecordOf(const TPointElement& Point, const TWCS& WCS) {
  TPointRecord r;
  r.Number = Point.ID;
  if (const auto* props = DynamicCast<TLumarProps>(Point.Properties())) {
    r.Kind = props->Druh;
    r.Colour = props->Barva;
    r.Symbol = props->Znacka;
  }
  ConvertedReference(Point, WCS, r.X, r.Y);
  r.Angle = Point.Angle;
  return r;
}
