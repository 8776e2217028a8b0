#include "spatial/geometry/projection.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <limits>
#include <string>
#include <vector>

#include "framework/core/class_registry.h"
#include "platform/streams.h"
#include "spatial/geometry/page.h"
#include "spatial/geometry/geometry_elements.h"
#include "spatial/geometry/little_endian.h"

namespace {

// Arithmetic runs in extended precision, so that an intermediate beyond the
// double range still clamps or saturates instead of faulting.
using Extended = long double;

// A conversion whose arithmetic failed gives 0.
double OrZero(Extended v) {
  const auto result = static_cast<double>(v);
  return std::isfinite(result) ? result : 0.0;
}

// Nearest integer, halves to even, kept within [Lo, Hi]; not a number
// gives 0.
std::int32_t RoundWithin(Extended v, std::int32_t Lo, std::int32_t Hi) {
  if (std::isnan(v)) return 0;
  if (v >= Hi) return Hi;
  if (v <= Lo) return Lo;
  return static_cast<std::int32_t>(std::nearbyint(v));
}

constexpr std::int32_t kInt32Min = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kInt32Max = std::numeric_limits<std::int32_t>::max();

// Clamped to the device bound, then rounded; not a number gives 0.
std::int32_t ClampToDevice(Extended v) {
  return RoundWithin(v, -TProjection::DeviceLimit, TProjection::DeviceLimit);
}

// (From - To) / Size rounded as RoundWithin does with the extended quotient.
// Every vertex drawn or measured comes through here, and extended division
// is slow, so double decides whenever it safely can: its quotient and the
// extended one each lie within 2^-52 of the exact one relative to it, so
// when the double quotient is further than 2^-50 of itself from every half
// and from both bounds, both round to the same integer.  Near a half, near
// a bound, beyond the double range or for NaN the extended arithmetic
// decides as before.
std::int32_t RoundQuotient(double From, double To, double Size, std::int32_t Lo, std::int32_t Hi) {
  const double q = (From - To) / Size;
  const double margin = std::fabs(q) * 0x1p-50;
  // Written so that NaN and infinities fail.
  if (q - margin > Lo && q + margin < Hi) {
    const double nearest = std::nearbyint(q);
    if (std::fabs(std::fabs(q - nearest) - 0.5) > margin) return static_cast<std::int32_t>(nearest);
  }
  return RoundWithin((static_cast<Extended>(From) - To) / Size, Lo, Hi);
}

// Half of a pixel span, truncated towards zero.
Extended HalfSpan(std::int32_t from, std::int32_t to) { return static_cast<Extended>((std::int64_t{to} - from) / 2); }

}  // namespace

// ---------------------------------------------------------------- TProjection

void TProjection::SetAngle(double value) {
  angle_ = value;
  if (RotateCenter_X == 0 && RotateCenter_Y == 0) {
    RotateCenter_X = center_.X;
    RotateCenter_Y = center_.Y;
  }
}

double TProjection::VirtualScale() const {
  if (virtualScale_ == 0) virtualScale_ = DefaultVirtualScale;
  return virtualScale_;
}

bool TProjection::IsOK() const {
  if (center_.X == 0 && center_.Y == 0) return false;
  return 0 < scale_ && scale_ < 1e30;
}

double TProjection::DeviceToWorldX(std::int32_t px) const {
  return OrZero(static_cast<Extended>(px) * pixelSizeX_ + originX_);
}

double TProjection::DeviceToWorldY(std::int32_t py) const {
  return OrZero(originY_ - static_cast<Extended>(py) * pixelSizeY_);
}

void TProjection::DeviceToWorld(std::int32_t px, std::int32_t py, TRealPoint& P) const {
  P.X = DeviceToWorldX(px);
  P.Y = DeviceToWorldY(py);
}

void TProjection::DeviceRectToWorld(std::int32_t Left, std::int32_t Top, std::int32_t Right, std::int32_t Bottom,
                                    TRealRect& R) const {
  R = {DeviceToWorldX(Left), DeviceToWorldY(Bottom), DeviceToWorldX(Right), DeviceToWorldY(Top)};
}

double TProjection::DeviceToWorldLength(std::int32_t n) const {
  return OrZero(static_cast<Extended>(n) * pixelSizeMax_);
}

double TProjection::DeviceToWorldDX(std::int32_t n) const { return OrZero(static_cast<Extended>(n) * pixelSizeX_); }

std::int32_t TProjection::RoundToDevice(double V) { return ClampToDevice(V); }

std::int32_t TProjection::WorldToDeviceX(double X) const {
  if (pixelSizeX_ == 0) return 0;
  return RoundQuotient(X, originX_, pixelSizeX_, -DeviceLimit, DeviceLimit);
}

std::int32_t TProjection::WorldToDeviceY(double Y) const {
  if (pixelSizeY_ == 0) return 0;
  return RoundQuotient(originY_, Y, pixelSizeY_, -DeviceLimit, DeviceLimit);
}

void TProjection::WorldToDevice(double X, double Y, TDevicePoint& P) const {
  P = {};
  if (pixelSizeX_ == 0 || pixelSizeY_ == 0) return;
  P.X = RoundQuotient(X, originX_, pixelSizeX_, kInt32Min, kInt32Max);
  P.Y = RoundQuotient(originY_, Y, pixelSizeY_, kInt32Min, kInt32Max);
}

bool TProjection::WorldToDeviceExact(double X, double Y, TRealPoint& P) const {
  if (pixelSizeX_ == 0 || pixelSizeY_ == 0) return false;
  P = {(X - originX_) / pixelSizeX_, (originY_ - Y) / pixelSizeY_};
  return std::isfinite(P.X) && std::isfinite(P.Y);
}

void TProjection::WorldRectToDevice(double MinX, double MinY, double MaxX, double MaxY, TDeviceRect& R) const {
  TDevicePoint topLeft;
  TDevicePoint bottomRight;
  WorldToDevice(MinX, MaxY, topLeft);
  WorldToDevice(MaxX, MinY, bottomRight);
  R = {topLeft.X, topLeft.Y, bottomRight.X, bottomRight.Y};
}

// Less zero is exact in both precisions.
std::int32_t TProjection::WorldToDeviceDX(double dx) const {
  if (pixelSizeX_ == 0) return 0;
  return RoundQuotient(dx, 0, pixelSizeX_, kInt32Min, kInt32Max);
}

std::int32_t TProjection::WorldToDeviceDY(double d) const {
  if (pixelSizeY_ == 0) return 0;
  return RoundQuotient(d, 0, pixelSizeY_, kInt32Min, kInt32Max);
}

void TProjection::Assign(const TElement* Source) {
  const auto* source = DynamicCast<TProjection>(Source);
  if (!source) return;
  SetCenter(source->center_);
  SetScale(source->scale_);
  virtualScale_ = source->VirtualScale();
  pixelSizeMax_ = source->pixelSizeMax_;
  pixelSizeX_ = source->pixelSizeX_;
  pixelSizeY_ = source->pixelSizeY_;
  originX_ = source->originX_;
  originY_ = source->originY_;
  // The transform is the source's now, so are the centre and scale it shows
  // (a projection without a page would not have taken them above).
  center_ = source->center_;
  scale_ = source->scale_;
}

void TProjection::ReadData(platform::TReader& reader, TQuickEntity& elementMap) {
  TOwnerElement::ReadData(reader, elementMap);
  std::uint8_t block[64];
  reader.Read(block, sizeof block);
  double* fields[] = {&center_.X,   &center_.Y,   &scale_,        &virtualScale_,
                      &pixelSizeX_, &pixelSizeY_, &pixelSizeMax_, &originX_};
  for (std::size_t i = 0; i < std::size(fields); ++i) *fields[i] = little_endian::GetDouble(block + 8 * i);
}

void TProjection::WriteData(platform::TWriter& writer) const {
  TOwnerElement::WriteData(writer);
  std::uint8_t block[64];
  const double fields[] = {center_.X,   center_.Y,   scale_,        virtualScale_,
                           pixelSizeX_, pixelSizeY_, pixelSizeMax_, originX_};
  for (std::size_t i = 0; i < std::size(fields); ++i) little_endian::PutDouble(block + 8 * i, fields[i]);
  writer.Write(block, sizeof block);
}

// ---------------------------------------------------------------- TPageProjection

T_Page* TPageProjection::Page() const { return static_cast<T_Page*>(page_.Get()); }

void TPageProjection::Calculate(const TRealPoint& C, T_Page* P, double S) {
  page_.Set(P);
  if (ComputeTransform(C, P, S)) {
    center_ = C;
    scale_ = S;
    return;
  }
  // The transform in use stays, and with it the centre and scale it shows;
  // a projection that has none yet keeps them for the page it will get.
  if (pixelSizeX_ == 0 && pixelSizeY_ == 0) {
    center_ = C;
    scale_ = S;
  }
}

bool TPageProjection::ComputeTransform(const TRealPoint& C, const T_Page* P, double S) {
  if (!P || P->HRes() == 0 || P->VRes() == 0) return false;
  Extended cx;
  Extended cy;
  if (P->ClipActive && P->CentreOnClip) {
    cx = P->ClipRect.Left + HalfSpan(P->ClipRect.Left, P->ClipRect.Right);
    cy = P->ClipRect.Top + HalfSpan(P->ClipRect.Top, P->ClipRect.Bottom);
  } else {
    cx = HalfSpan(P->PageRect.Left, P->PageRect.Right);
    cy = HalfSpan(P->PageRect.Top, P->PageRect.Bottom);
  }
  const double sizeX = S / P->HRes();
  const double sizeY = S / P->VRes();
  const double originX = static_cast<double>(C.X - cx * sizeX);
  const double originY = static_cast<double>(C.Y + cy * sizeY);
  for (double v : {C.X, C.Y, sizeX, sizeY, originX, originY})
    if (!std::isfinite(v)) return false;

  pixelSizeX_ = sizeX;
  pixelSizeY_ = sizeY;
  pixelSizeMax_ = sizeY > sizeX ? sizeY : sizeX;
  originX_ = originX;
  originY_ = originY;
  return true;
}

void TPageProjection::SetPage(T_Page* P) { Calculate(center_, P, scale_); }
void TPageProjection::SetCenter(const TRealPoint& C) { Calculate(C, Page(), scale_); }

void TPageProjection::SetCenter_X(double value) { Calculate({value, center_.Y}, Page(), scale_); }
void TPageProjection::SetCenter_Y(double value) { Calculate({center_.X, value}, Page(), scale_); }

void TPageProjection::SetScale(double value) { Calculate(center_, Page(), value); }

void TPageProjection::FitRect(const TRealRect& R) {
  T_Page* page = Page();
  if (!page || page->HRes() == 0 || page->VRes() == 0) return;
  const double w = R.MaxX - R.MinX;
  const double h = R.MaxY - R.MinY;
  const double pageWidth = page->PageRect.Right / page->HRes();
  const double pageHeight = page->PageRect.Bottom / page->VRes();
  if (pageWidth == 0 || pageHeight == 0) return;
  const double sx = w / pageWidth;
  const double sy = h / pageHeight;
  const double scale = sx > sy ? sx : sy;
  const TRealPoint centre{w / 2 + R.MinX, h / 2 + R.MinY};
  // An empty rectangle (or a point) has no scale to show it at.
  if (!(scale > 0)) return;
  for (double v : {scale, centre.X, centre.Y})
    if (!std::isfinite(v)) return;
  Calculate(centre, page, scale);
}

void TPageProjection::FitRectOnPage(const TRealRect& R, T_Page* P) {
  page_.Set(P);
  FitRect(R);
}

void TPageProjection::FitRectangle(const TRectangle* R, T_Page* P) {
  FitRectOnPage({R->MinX(), R->MinY(), R->MaxX(), R->MaxY()}, P);
}

void TPageProjection::ReadData(platform::TReader& reader, TQuickEntity& elementMap) {
  TProjection::ReadData(reader, elementMap);
  const std::int32_t number = reader.ReadInteger();
  if (number < 0) return;
  const auto& map = elementMap.Children();
  T_Page* page = static_cast<std::size_t>(number) < map.size() ? DynamicCast<T_Page>(map[number]) : nullptr;
  if (!page) throw platform::EReadError("Invalid page number " + std::to_string(number));
  SetPage(page);
}

void TPageProjection::WriteData(platform::TWriter& writer) const {
  TProjection::WriteData(writer);
  const T_Page* page = Page();
  writer.WriteInteger(page ? page->ID : -1);
}

void TPageProjection::GetWorldRect(TRealRect& R) const {
  const T_Page* page = Page();
  if (!page) return;
  const TDeviceRect& pixels = page->PageRect;
  DeviceRectToWorld(pixels.Left, pixels.Top, pixels.Right, pixels.Bottom, R);
}

void TPageProjection::GetClipWorldRect(TRealRect& R) const {
  const T_Page* page = Page();
  if (!page || !page->ClipActive) {
    GetWorldRect(R);
    return;
  }
  const TDeviceRect& pixels = page->ClipRect;
  DeviceRectToWorld(pixels.Left, pixels.Top, pixels.Right, pixels.Bottom, R);
}

void TPageProjection::SetClipRect(const TRealRect& R) {
  T_Page* page = Page();
  if (!page) return;
  TDeviceRect pixels;
  WorldRectToDevice(R.MinX, R.MinY, R.MaxX, R.MaxY, pixels);
  page->SetClipRect(pixels);
}

// ---------------------------------------------------------------- descriptions

TClass TProjection::StaticClass() {
  using E = TProjection;
  static const TClassInfo info = DescribeClass<E>(
      "TProjection", TOwnerElement::StaticClass(), "E_proje",
      {ReadWriteProp("Angle", &E::Angle, &E::SetAngle), FieldProp("RotateCenter_X", &E::RotateCenter_X),
       FieldProp("RotateCenter_Y", &E::RotateCenter_Y), ReadWriteProp("Center_X", &E::Center_X, &E::SetCenter_X),
       ReadWriteProp("Center_Y", &E::Center_Y, &E::SetCenter_Y), ReadWriteProp("Scale", &E::Scale, &E::SetScale),
       ReadWriteProp("VirtualScale", &E::VirtualScale, &E::SetVirtualScale),
       NotStored(ReadProp("IsOK", &E::IsOK))});
  return &info;
}

TClass TPageProjection::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TPageProjection>("TPageProjection", TProjection::StaticClass(), "E_proje", {});
  return &info;
}

void RegisterE_projeClasses() {
  for (TClass cls : {TProjection::StaticClass(), TPageProjection::StaticClass()}) RegisterKestuClass(cls);
}
