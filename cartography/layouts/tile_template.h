#pragma once
// Cuts the map of a desktop's view into equal tiles: the view grows to a
// whole number of tiles, one new view per tile is laid on the desktop in a
// grid with gaps and a margin, and the first view goes.  With a reference
// space it records there the world rectangle the view shows instead.
#include "framework/tools/tools.h"

class TRectEntity;

class TTileTemplate : public TTool {
  KESTX_CLASS(TTileTemplate)
 public:
  // The most tiles along a side: a template that asks for more is told in a
  // message-window line and changes nothing.
  static constexpr double MostTiles = 1000;

  double TileY = 0;
  double TileX = 0;
  double dy = 0;
  double dX = 0;
  double Margin = 0;
  bool Frame = false;
  double FrameWidth = 0;
  std::int32_t FrameColor = 0;

  TRectEntity* ReferSpace() const;
  void SetReferSpace(TRectEntity* space);

  // Input must be a desktop; it becomes the Output.
  void DoIt() override;

 private:
  TElementLink referSpace_;
};

void RegisterTileTemplateClasses();
