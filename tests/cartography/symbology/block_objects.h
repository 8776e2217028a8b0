#pragma once
// Block objects as a block reader makes them: points, lines, areas and texts
// with the block's properties, in world units.
#include <cstdint>
#include <string>

#include "block/props/lumar_props.h"
#include "block/files/block_info.h"
#include "spatial/objects/space_entities.h"
#include "tests/render/drawing_fixture.h"

inline TPointElement* MakePoint(double x, double y, int barva, int znacka) {
  auto* point = new TPointElement;
  point->SetMinX(x);
  point->SetMinY(y);
  point->SetMaxX(x);
  point->SetMaxY(y);
  auto* props = new TLumarPointProps;
  props->Barva = static_cast<std::int16_t>(barva);
  props->Znacka = static_cast<std::int16_t>(znacka);
  point->SetProperties(props);
  return point;
}

inline TPolyLineElement* MakeLine(int barva, int znacka, int symbol, WorldPoints points = {{2, 10}, {18, 10}}) {
  auto* line = WithVertices(new TPolyLineElement, points);
  line->PlaceRefAtMiddle();
  auto* props = new TLumarLineProps;
  props->Barva = static_cast<std::int16_t>(barva);
  props->Znacka = static_cast<std::int16_t>(znacka);
  props->Symbol = static_cast<std::int16_t>(symbol);
  line->SetProperties(props);
  return line;
}

inline TAreaElement* MakeArea(double left, double bottom, double right, double top, int znacka) {
  auto* area = WithVertices(new TAreaElement, {{left, bottom}, {left, top}, {right, top}, {right, bottom}});
  auto* props = new TLumarAreaProps;
  props->Znacka = static_cast<std::int16_t>(znacka);
  area->SetProperties(props);
  return area;
}

inline TTextElement* MakeText(const std::string& text, TCodePage codePage, int barva, double x, double y) {
  auto* element = new TTextElement;
  element->Text = text;
  auto* props = new TLumarTextProps;
  props->CodePage = codePage;
  props->Barva = static_cast<std::int16_t>(barva);
  props->Height = 5;
  props->WidthCoef = 1;
  props->StartPoint()->SetX(x);
  props->StartPoint()->SetY(y);
  element->SetProperties(props);
  return element;
}
