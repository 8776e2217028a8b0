#include "render/devices/device.h"

#include <cmath>

#include "framework/core/class_registry.h"
#include "spatial/geometry/page.h"
#include "spatial/geometry/plane_math.h"
#include "spatial/geometry/projection.h"

TDevice::TDevice() {
  auto* page = new T_Page();
  AddElement(page);
  page_.Set(page);
  auto* projection = new TPageProjection();
  AddElement(projection);
  projection->SetPage(page);
  projection_.Set(projection);
}

T_Page* TDevice::Page() const { return static_cast<T_Page*>(page_.Get()); }

TPageProjection* TDevice::Projection() const { return static_cast<TPageProjection*>(projection_.Get()); }

double TDevice::GetPageWidth() const {
  const T_Page* page = Page();
  return page && page->HRes() != 0 ? page->Width() / page->HRes() : 0;
}

double TDevice::GetPageHeight() const {
  const T_Page* page = Page();
  return page && page->VRes() != 0 ? page->Height() / page->VRes() : 0;
}

namespace {

// Turns (X, Y) about the rotation centre by angle, measuring directions from
// +Y towards +X.
void Turn(const TProjection& projection, double angle, double& X, double& Y) {
  const double dx = X - projection.RotateCenter_X;
  const double dy = Y - projection.RotateCenter_Y;
  const double r = std::sqrt(dx * dx + dy * dy);
  const double a = Mathlib::VectorAngle(dy, dx);
  X = projection.RotateCenter_X + r * std::sin(angle + a);
  Y = projection.RotateCenter_Y + r * std::cos(angle + a);
}

}  // namespace

void TDevice::RotatePoint(double& X, double& Y) const {
  const TPageProjection* projection = Projection();
  if (projection && projection->Angle() != 0) Turn(*projection, projection->Angle(), X, Y);
}

void TDevice::UnrotatePoint(double& X, double& Y) const {
  const TPageProjection* projection = Projection();
  if (projection && projection->Angle() != 0) Turn(*projection, -projection->Angle(), X, Y);
}

TClass TDevice::StaticClass() {
  static const TClassInfo info = DescribeClass<TDevice>("TDevice", TOwnerEntity::StaticClass(), "E_device", {});
  return &info;
}

void RegisterDeviceClasses() { RegisterKestuClass(TDevice::StaticClass()); }
