#pragma once
// The transform between world coordinates (metres, Y up) and the integer
// pixels of an output device (Y down): map scale, the world point shown at
// the page's centre pixel, and the pixel sizes and origin derived from them.
#include <cstdint>

#include "framework/core/elements.h"
#include "spatial/geometry/geometry_types.h"

class T_Page;
class TRectangle;

class TProjection : public TOwnerElement {
  KESTX_CLASS(TProjection)
 public:
  // The standard conversions keep device coordinates within this bound.
  static constexpr std::int32_t DeviceLimit = 32000;
  static constexpr double DefaultVirtualScale = 5000;

  // Held for the renderers; no conversion here rotates.
  double RotateCenter_X = 0;
  double RotateCenter_Y = 0;
  double Angle() const { return angle_; }
  // Also centres the rotation on the projection's centre while it has none.
  void SetAngle(double value);

  double Center_X() const { return center_.X; }
  double Center_Y() const { return center_.Y; }
  double Scale() const { return scale_; }
  // A stored 0 reads (and is kept) as DefaultVirtualScale.
  double VirtualScale() const;
  void SetVirtualScale(double value) { virtualScale_ = value; }
  double PixelSizeX() const { return pixelSizeX_; }
  double PixelSizeY() const { return pixelSizeY_; }
  double PixelSizeMax() const { return pixelSizeMax_; }
  double OriginX() const { return originX_; }
  double OriginY() const { return originY_; }
  bool IsOK() const;

  virtual void GetWorldRect(TRealRect& R) const = 0;
  virtual void GetClipWorldRect(TRealRect& R) const = 0;
  virtual void SetCenter(const TRealPoint& C) = 0;
  virtual void SetCenter_X(double value) = 0;
  virtual void SetCenter_Y(double value) = 0;
  virtual void SetScale(double value) = 0;
  virtual void FitRect(const TRealRect& R) = 0;
  virtual void SetClipRect(const TRealRect& R) = 0;

  double DeviceToWorldX(std::int32_t px) const;
  double DeviceToWorldY(std::int32_t py) const;
  void DeviceToWorld(std::int32_t px, std::int32_t py, TRealPoint& P) const;
  void DeviceRectToWorld(std::int32_t Left, std::int32_t Top, std::int32_t Right, std::int32_t Bottom,
                         TRealRect& R) const;
  double DeviceToWorldLength(std::int32_t n) const;
  double DeviceToWorldDX(std::int32_t n) const;
  // Clamped to +-DeviceLimit.
  std::int32_t WorldToDeviceX(double X) const;
  std::int32_t WorldToDeviceY(double Y) const;
  // Not clamped; kept within the 32-bit range.
  void WorldToDevice(double X, double Y, TDevicePoint& P) const;
  // Neither rounded nor clamped, so that a segment can be cut to the page
  // before its ends become pixels; false when there is no transform or the
  // point lies beyond the double range.
  bool WorldToDeviceExact(double X, double Y, TRealPoint& P) const;
  void WorldRectToDevice(double MinX, double MinY, double MaxX, double MaxY, TDeviceRect& R) const;
  std::int32_t WorldToDeviceDX(double dx) const;
  std::int32_t WorldToDeviceDY(double d) const;
  std::int32_t WorldToDeviceLength(double d) const { return WorldToDeviceDY(d); }
  static std::int32_t RoundToDevice(double V);

  void Assign(const TElement* Source) override;
  // Centre, scales, pixel sizes and OriginX follow the name as one 64-byte
  // raw block; angle, rotation centre and OriginY are not stored.
  void ReadData(platform::TReader& reader, TQuickEntity& elementMap) override;
  void WriteData(platform::TWriter& writer) const override;

 protected:
  TRealPoint center_;
  double scale_ = 0;
  mutable double virtualScale_ = 0;
  double pixelSizeX_ = 0;  // world metres per device pixel
  double pixelSizeY_ = 0;
  double pixelSizeMax_ = 0;
  double originX_ = 0;  // world coordinates of device pixel (0, 0)
  double originY_ = 0;

 private:
  double angle_ = 0;
};

// The projection onto one device page.  Without a page (or with a page of
// no resolution) the transform cannot be computed and stays as it was, and
// so do the centre and scale it shows; only a projection that has no
// transform yet takes them, for the page it gets later.
class TPageProjection : public TProjection {
  KESTX_CLASS(TPageProjection)
 public:
  T_Page* Page() const;
  void SetPage(T_Page* P);

  void GetWorldRect(TRealRect& R) const override;
  void GetClipWorldRect(TRealRect& R) const override;
  void SetCenter(const TRealPoint& C) override;
  void SetCenter_X(double value) override;
  void SetCenter_Y(double value) override;
  void SetScale(double value) override;
  // The scale at which R fills the page, centred on R; a page of no size or
  // resolution, or an empty R, leaves the projection as it was.
  void FitRect(const TRealRect& R) override;
  void SetClipRect(const TRealRect& R) override;
  void FitRectOnPage(const TRealRect& R, T_Page* P);
  void FitRectangle(const TRectangle* R, T_Page* P);

  // The page by its element number (-1 for none); a loaded page projection
  // recomputes its transform from the page.
  void ReadData(platform::TReader& reader, TQuickEntity& elementMap) override;
  void WriteData(platform::TWriter& writer) const override;

  // Centre C, scale S and page P, and the pixel sizes and origin made from
  // them: the renderers recompute the transform through it.
  void Calculate(const TRealPoint& C, T_Page* P, double S);

 private:
  // False, changing nothing, when no transform can be made.
  bool ComputeTransform(const TRealPoint& C, const T_Page* P, double S);

  TElementLink page_;
};

void RegisterE_projeClasses();
