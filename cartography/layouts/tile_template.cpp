#include "cartography/layouts/tile_template.h"

#include <cmath>
#include <string>

#include "cartography/layouts/desktop.h"
#include "cartography/layouts/view.h"
#include "cartography/models/layer_scripts.h"
#include "framework/core/class_registry.h"

namespace {

// Whole tiles that cover length: a fraction left over takes one more.
double TilesFor(double length, double tile) {
  const double whole = std::trunc(length / tile);
  return length - whole * tile > 0 ? whole + 1 : whole;
}

}  // namespace

TRectEntity* TTileTemplate::ReferSpace() const { return static_cast<TRectEntity*>(referSpace_.Get()); }
void TTileTemplate::SetReferSpace(TRectEntity* space) { referSpace_.Set(space); }

void TTileTemplate::DoIt() {
  TTool::DoIt();
  auto* desktop = DynamicCast<TDesktop>(Input());
  if (!desktop) return;
  SetOutput(desktop);
  auto* first = DynamicCast<TView>(desktop->FindElementByClass(TView::StaticClass()));
  if (!first) return;
  const double cols = TilesFor(first->GetWidth(), TileX);
  const double rows = TilesFor(first->GetHeight(), TileY);
  // A tile without a size, or more tiles than a sheet can take, would divide
  // by zero or never end.
  if (!(TileX > 0 && TileY > 0 && cols >= 0 && rows >= 0 && cols <= MostTiles && rows <= MostTiles)) {
    Log("Dlaždice " + FloatToText(TileX) + " x " + FloatToText(TileY) + " nelze na pohled " + first->GetName() +
        " použít");
    return;
  }
  first->SetWidth(cols * TileX);
  first->SetHeight(rows * TileY);

  if (TRectEntity* space = ReferSpace()) {
    first->FreeElement(first->ModelScript());
    first->SetReadModel(true);
    TRealRect shown;
    first->Projection()->GetWorldRect(shown);
    space->SetBounds(shown);
    return;
  }

  first->SetReadModel(true);
  TRealRect shown;
  first->Projection()->GetWorldRect(shown);
  desktop->SetWidth(cols * TileX + (cols - 1) * dX + 2 * Margin);
  desktop->SetHeight(rows * TileY + (rows - 1) * dy + 2 * Margin);
  double tileWorldWidth = 0;
  double tileWorldHeight = 0;
  for (int i = 0; i < cols; ++i) {
    for (int j = 0; j < rows; ++j) {
      auto* tile = CreateElement<TView>();
      tile->SetName("V-" + std::to_string(i) + "-" + std::to_string(j));
      tile->SetBounds({0, 0, 1, 1});
      tile->SetWidth(TileX);
      tile->SetHeight(TileY);
      tile->SetScale(first->Scale());
      tile->SetModel(first->Model());
      if (i == 0 && j == 0) {
        TRealRect tileShown;
        tile->Projection()->GetWorldRect(tileShown);
        tileWorldWidth = tileShown.MaxX - tileShown.MinX;
        tileWorldHeight = tileShown.MaxY - tileShown.MinY;
      }
      tile->SetX((TileX + dX) * i + Margin);
      tile->SetY((TileY + dy) * j + Margin);
      tile->SetModelCenterX(shown.MinX + tileWorldWidth / 2 + i * tileWorldWidth);
      tile->SetModelCenterY(shown.MinY + tileWorldHeight / 2 + j * tileWorldHeight);
      tile->PenColor = FrameColor;
      tile->PenWidth = FrameWidth;
      tile->PenStyle = Frame ? psSolid : psClear;
      desktop->AddElement(tile);
    }
  }
  desktop->FreeElement(first);
}

TClass TTileTemplate::StaticClass() {
  using E = TTileTemplate;
  static const TClassInfo info = DescribeClass<E>(
      "TTileTemplate", TTool::StaticClass(), "E_desktp",
      {FieldProp("TileY", &E::TileY), FieldProp("TileX", &E::TileX), FieldProp("dy", &E::dy), FieldProp("dX", &E::dX),
       FieldProp("Margin", &E::Margin), FieldProp("Frame", &E::Frame), FieldProp("FrameWidth", &E::FrameWidth),
       FieldProp("FrameColor", &E::FrameColor), ReadWriteProp("ReferSpace", &E::ReferSpace, &E::SetReferSpace)});
  return &info;
}

void RegisterTileTemplateClasses() { RegisterKestuClass(TTileTemplate::StaticClass()); }
