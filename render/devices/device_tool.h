#pragma once
// The tool that owns an output device: the base of every tool with a window
// that shows a picture.
#include <cstdint>

#include "framework/tools/tools.h"

class TDevice;

class TDeviceTool : public TTechnology {
  KESTX_CLASS(TDeviceTool)
 public:
  TDevice* GetDevice() const;
  // The old device is only detached; the new one becomes a child.
  void SetDevice(TDevice* device);
  // The device projection's map scale; 0 and ignored without a device.
  double Scale() const;
  void SetScale(double value);

  // Turn window events into framework event messages posted to receiver.
  virtual void PostMouseEvent(int code, TElement* receiver, bool armed, std::int32_t X, std::int32_t Y,
                              std::uint8_t shift, std::uint8_t button) = 0;
  virtual void PostKeyEvent(int code, TElement* receiver, std::uint8_t shift, std::uint16_t key) = 0;

 private:
  TElementLink device_;
};

void RegisterDeviceToolClasses();
