#pragma once
// Areas bounded by polylines, as the topology makes them: clockwise outlines
// (a positive sum), each line walked forward or backward.
#include <utility>
#include <vector>

#include "spatial/objects/space_entities.h"

using Vertices = std::vector<std::pair<double, double>>;

inline TPolyLineElement* BoundaryLine(const Vertices& points) {
  auto* line = new TPolyLineElement;
  for (const auto& [x, y] : points) line->AddVertex(x, y);
  line->CalcBounds();
  return line;
}

// An area of the lines in order, each with its direction; the reference
// point at (refX, refY).
inline TPolyLineAreaElement* BoundedArea(const std::vector<std::pair<TPolyLineElement*, bool>>& ring, double refX,
                                         double refY) {
  auto* area = new TPolyLineAreaElement;
  for (const auto& [line, forward] : ring) area->AddLine(line, forward);
  area->CalcBounds();
  area->SetAbsRefX(refX);
  area->SetAbsRefY(refY);
  return area;
}

// The boundary as "x,y>x,y>..." from the area's vertices.
inline std::string Outline(const TPolyElement& area) {
  std::string text;
  for (int i = 0; i < area.GetCoordsCount(); ++i)
    text += (i ? ">" : "") + FloatToText(area.GetCoordX(i)) + "," + FloatToText(area.GetCoordY(i));
  return text;
}
