#pragma once
// Draws the page of a target device in horizontal bands, each on a bitmap of
// the page's width, and copies each finished band to the target.  A band
// draws with the target's own transform moved up by the band's first row, and
// is clipped as the target is: the bitmap's edges, not re-rounded geometry,
// cut the picture at band borders, so that the bands together are the
// picture drawn whole.
#include <cstdint>

#include "render/devices/bitmap_device.h"

class TTileDevice : public TBitmapDevice {
  KESTX_CLASS(TTileDevice)
 public:
  TDevice* Target() const;
  bool Done = true;
  std::int32_t TileCount = 0;
  std::int32_t TileIndex = 0;
  // The target's pixel row where the current band begins.
  std::int32_t TileTop = 0;

  // Prepares the bands for the target's page.  When not even a one-row band
  // can be made it logs so and is Done at once.
  void Setup(TDevice* target);
  // The band starts as the target's rows it covers, its clip rectangle
  // cleared: what is drawn beyond the clip lands where it would on the
  // target, and nothing else of the target changes.
  void BeginDraw() override;
  void EndDraw() override;
  virtual void NextTile();
  // The target's: a band shows what the whole picture does.
  void VisibleWorldRect(TRealRect& R, bool clipped) const override;
  // The target; the band takes over the target's page clip and transform
  // as they are now.
  TDevice& WholePicture() override;
  void FollowWholePicture() override;

 protected:
  const TProjection& DrawingProjection() const override;
  TDeviceRect DrawingPageRect() const override;

 private:
  // The band count and height a memory limit allows for the target's page.
  void StartingSplit(std::int64_t limit, std::int32_t width, std::int32_t height);
  std::int64_t MemoryLimit();
  // The band's page and projection after its bitmap changed.
  void SetupBand(std::int32_t centreRow);

  TElementLink target_;
  // The band height before the last band was cut.
  std::int32_t bandHeight_ = 0;
  // The target's row the band's projection is centred on.
  std::int32_t centreRow_ = 0;
};

void RegisterTileDeviceClasses();
