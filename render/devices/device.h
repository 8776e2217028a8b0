#pragma once
// The output device every picture and every text window is drawn through: an
// element that owns its page (pixels, resolution, clip rectangle) and the
// page projection from model coordinates to those pixels.
#include <string>

#include "framework/core/elements.h"

class T_Page;
class TPageProjection;

class TDevice : public TOwnerEntity {
  KESTX_CLASS(TDevice)
 public:
  TDevice();

  T_Page* Page() const;
  TPageProjection* Projection() const;

  // A drawing pass: BeginDraw, drawing, EndDraw.
  virtual void BeginDraw() = 0;
  virtual void EndDraw() {}
  virtual void Clear() = 0;
  virtual void SetupPage() = 0;
  virtual void SetVisible(bool) {}
  virtual void SetTitle(const std::string&) {}
  // Text devices only.
  virtual void WriteText(const std::string& text) = 0;
  virtual void WriteLine(const std::string& text) = 0;

  // The page's size in metres; 0 without a page or resolution.
  double GetPageWidth() const;
  double GetPageHeight() const;
  // Turn a model point about the projection's rotation centre by +Angle or
  // -Angle; nothing while the angle is 0.
  void RotatePoint(double& X, double& Y) const;
  void UnrotatePoint(double& X, double& Y) const;

 protected:
  // The page and projection are also children; these only find them fast.
  TElementLink page_;
  TElementLink projection_;
};

void RegisterDeviceClasses();
