#include "render/devices/device_tool.h"

#include <exception>

#include "framework/core/class_registry.h"
#include "render/devices/device.h"
#include "spatial/geometry/projection.h"

TDevice* TDeviceTool::GetDevice() const { return static_cast<TDevice*>(device_.Get()); }

void TDeviceTool::SetDevice(TDevice* device) {
  TDevice* held = GetDevice();
  if (held == device) return;
  if (held) RemoveElement(held);
  device_.Set(device);
  if (device) AddElement(device);
}

double TDeviceTool::Scale() const {
  const TDevice* device = GetDevice();
  return device && device->Projection() ? device->Projection()->Scale() : 0;
}

void TDeviceTool::SetScale(double value) {
  TDevice* device = GetDevice();
  if (!device || !device->Projection()) return;
  // A scale the projection refuses leaves the picture as it was.
  try {
    device->Projection()->SetScale(value);
  } catch (const std::exception&) {
  }
}

TClass TDeviceTool::StaticClass() {
  static const TClassInfo info = DescribeClass<TDeviceTool>(
      "TDeviceTool", TTechnology::StaticClass(), "T_devtl",
      {ReadWriteProp("Scale", &TDeviceTool::Scale, &TDeviceTool::SetScale)});
  return &info;
}

void RegisterDeviceToolClasses() { RegisterKestuClass(TDeviceTool::StaticClass()); }
