#pragma once
// The interprets of picture elements on canvas devices: picture files drawn
// stretched into their rectangle, and rasters rendered by the raster
// servers tile by tile into an offscreen bitmap that fits a memory limit.
#include <cstdint>
#include <memory>
#include <string>

#include "render/interprets/interpret.h"
#include "spatial/geometry/geometry_types.h"

namespace platform {
class Bitmap;
class RasterStore;
class ViewTransformation;
}  // namespace platform

class TCanvasDevice;
class TRaster;

// The bytes a tile may take when the "RASTER" entry names none.
inline constexpr std::int64_t kDefaultRasterMemory = 8000000;

class TRasterInterpret : public TRectInterpret {
  KESTX_CLASS(TRasterInterpret)
 public:
  // Raises when the raster servers cannot be made.
  TRasterInterpret();
  ~TRasterInterpret() override;

  // The visible world rectangle, then the view transformation is reset.
  void AttachDevice(TDevice* device) override;
  bool QGoInside(TElement*) override { return false; }
  bool QProcessBefore(TElement* element) override;
  bool IsItsClass(TElement* element) override;
  // A raster on a canvas device is drawn; anything else is left alone.
  void Process(TElement* element) override;

 private:
  struct Drawing;
  void Draw(TRaster& raster, TCanvasDevice& device);
  // The bytes a tile may take for the raster kind; 0 when none can be had.
  std::int64_t MemoryLimit(bool biLevel, const std::string& name);
  // The tile bitmap and the tile count and height it allows; nil (logged)
  // when not even one row fits.
  std::unique_ptr<platform::Bitmap> MakeTile(Drawing& drawing, std::int64_t limit);
  void DrawTile(Drawing& drawing, std::int32_t tile);
  void CopyBiLevel(const Drawing& drawing, std::int32_t top, std::int32_t rows);
  void Status(const std::string& text);

  std::shared_ptr<platform::RasterStore> store_;
  std::shared_ptr<platform::ViewTransformation> view_;
};

// Interprets of whole files; adds nothing.
class TFileInterpret : public TInterpret {
  KESTX_CLASS(TFileInterpret)
};

// Pictures of plain file elements (not rasters), stretched into their
// rectangle, or at their own size while the rectangle has no size.
class TBMPFileInterpret : public TFileInterpret {
  KESTX_CLASS(TBMPFileInterpret)
 public:
  bool QGoInside(TElement*) override { return false; }
  bool QProcessBefore(TElement* element) override;
  bool IsItsClass(TElement* element) override;
  void Process(TElement* element) override;
};

void RegisterRasterInterpretClasses();
