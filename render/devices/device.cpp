#include "render/devices/device.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "framework/core/class_registry.h"
#include "render/devices/border_buffer.h"
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

TDevicePoint TDevice::ToDevice(double X, double Y) const {
  const TPageProjection* projection = Projection();
  if (!projection) return {};
  RotatePoint(X, Y);
  return {projection->WorldToDeviceX(X), projection->WorldToDeviceY(Y)};
}

void TDevice::VisibleWorldRect(TRealRect& R, bool clipped) const {
  const TPageProjection* projection = Projection();
  if (!projection) return;
  if (clipped) projection->GetClipWorldRect(R);
  else projection->GetWorldRect(R);
  if (projection->Angle() == 0) return;
  const TRealRect page = R;
  for (const auto& [cornerX, cornerY] : {std::pair(page.MinX, page.MinY), std::pair(page.MaxX, page.MinY),
                                         std::pair(page.MinX, page.MaxY), std::pair(page.MaxX, page.MaxY)}) {
    double X = cornerX, Y = cornerY;
    UnrotatePoint(X, Y);
    R = {std::min(R.MinX, X), std::min(R.MinY, Y), std::max(R.MaxX, X), std::max(R.MaxY, Y)};
  }
}

void TDevice::SetPenWidth(double W) {
  if (platform::CanvasPen* pen = GetPen()) pen->Width = std::max(1, Projection()->WorldToDeviceDX(W));
}

void TDevice::GetAreaPolyPolygon(TAreaElement*, TPolyPolygon& result) { result = TPolyPolygon(); }

std::unique_ptr<TRectEntity> TDevice::CreateRotatedCopy(const TElement* element) const {
  const auto* entity = DynamicCast<TEntity>(element);
  if (!entity || entity->Children().empty()) return nullptr;
  auto copy = std::make_unique<TRectEntity>();
  for (TElement* child : entity->Children()) {
    const auto* vertex = DynamicCast<T2DCoordinate>(child);
    if (!vertex) continue;
    double X = vertex->GetX(), Y = vertex->GetY();
    RotatePoint(X, Y);
    copy->AddEntity(new T2DCoordinate(X, Y));
  }
  return copy;
}

void ElementToDevicePoints(TDevice* device, const TElement* element, std::unique_ptr<TDevicePoint[]>& points,
                           std::int32_t& count, std::int32_t& byteSize) {
  points.reset();
  count = 0;
  byteSize = 0;
  const auto* entity = DynamicCast<TEntity>(element);
  if (!device || !device->Projection() || !entity || entity->Children().empty()) return;
  std::vector<TDevicePoint> projected;
  if (!ProjectVertices(*device->Projection(), 0, element, projected)) return;
  byteSize = static_cast<std::int32_t>(entity->Children().size() * sizeof(TDevicePoint));
  points.reset(new TDevicePoint[entity->Children().size()]);
  std::copy(projected.begin(), projected.end(), points.get());
  count = static_cast<std::int32_t>(projected.size());
}

TClass TDevice::StaticClass() {
  static const TClassInfo info = DescribeClass<TDevice>("TDevice", TOwnerEntity::StaticClass(), "E_device", {});
  return &info;
}

void RegisterDeviceClasses() { RegisterKestuClass(TDevice::StaticClass()); }
