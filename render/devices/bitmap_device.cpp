#include "render/devices/bitmap_device.h"

#include "framework/core/class_registry.h"

TBitmapDevice::~TBitmapDevice() { SetBitmap(nullptr); }

void TBitmapDevice::SetBitmap(platform::Bitmap* bitmap) {
  if (bitmap_ != bitmap) {
    // The device may be the bitmap's only owner.
    std::unique_ptr<platform::Bitmap> previous(ownsBitmap_ ? bitmap_ : nullptr);
    bitmap_ = bitmap;
  }
  SetCanvas(bitmap_ ? &bitmap_->GetCanvas() : nullptr);
}

TClass TBitmapDevice::StaticClass() {
  static const TClassInfo info = DescribeClass<TBitmapDevice>(
      "TBitmapDevice", TCanvasDevice::StaticClass(), "E_device",
      {NotStored(ReadWriteProp("OwnsBitmap", &TBitmapDevice::OwnsBitmap, &TBitmapDevice::SetOwnsBitmap))});
  return &info;
}

void RegisterBitmapDeviceClasses() { RegisterKestuClass(TBitmapDevice::StaticClass()); }
