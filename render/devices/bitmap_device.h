#pragma once
// A canvas device that draws on a bitmap, which it may own.
#include <memory>

#include "render/devices/canvas_device.h"

class TBitmapDevice : public TCanvasDevice {
  KESTX_CLASS(TBitmapDevice)
 public:
  ~TBitmapDevice() override;

  platform::Bitmap* Bitmap() const { return bitmap_; }
  // Frees the previous bitmap when owned; the device draws on the new one
  // (nothing without one).
  void SetBitmap(platform::Bitmap* bitmap);
  bool OwnsBitmap() const { return ownsBitmap_; }
  void SetOwnsBitmap(bool value) { ownsBitmap_ = value; }

 private:
  platform::Bitmap* bitmap_ = nullptr;
  bool ownsBitmap_ = false;
};

void RegisterBitmapDeviceClasses();
