#pragma once
// The output device every picture and every text window is drawn through: an
// element that owns its page (pixels, resolution, clip rectangle) and the
// page projection from model coordinates to those pixels.  Drawing takes
// model coordinates; the base draws nothing and answers nil or 0, so callers
// check what they get.
#include <cstdint>
#include <memory>
#include <string>

#include "framework/core/class_registry.h"
#include "framework/core/elements.h"
#include "platform/canvas.h"
#include "spatial/geometry/geometry_types.h"

class T_Page;
class TPageProjection;
class TRectEntity;
class TAreaElement;

// An operation the device class does not implement.
class EAbstractError : public Exception {
 public:
  EAbstractError() : Exception("Abstract Error") {}
};

// The rings of an area as device points: the outer ring first, then each
// hole, one after the other.
struct TPolyPolygon {
  std::unique_ptr<TDevicePoint[]> Points;
  std::int32_t ByteSize = 0;
  std::unique_ptr<std::int32_t[]> Counts;
  std::int32_t RingCount = 0;
};

class TDevice : public TOwnerEntity {
  KESTX_CLASS(TDevice)
 public:
  TDevice();

  T_Page* Page() const;
  TPageProjection* Projection() const;

  virtual platform::CanvasBrush* GetBrush() { return nullptr; }
  virtual platform::CanvasFont* GetFont() { return nullptr; }
  virtual platform::CanvasPen* GetPen() { return nullptr; }
  virtual platform::ColorValue GetPixel(double, double) { return 0; }
  virtual platform::Canvas* GetHandle() { throw EAbstractError(); }
  virtual void SetBrush(const platform::CanvasBrush&) {}
  virtual void SetFont(const platform::CanvasFont&) {}
  virtual void SetPen(const platform::CanvasPen&) {}
  // The pen's width := W projected along X, at least one pixel.
  virtual void SetPenWidth(double W);
  virtual void SetPixel(double, double, platform::ColorValue) {}
  virtual void SetVisible(bool) {}
  virtual void SetTitle(const std::string&) {}
  // Fills the page with its background.  It takes the place of the entity's
  // clearing of its children: a device's children are its page and
  // projection, which live as long as it does.
  void Clear() override = 0;
  virtual void FillRect(double, double, double, double) {}
  virtual void FrameRect(double, double, double, double) {}
  // Text devices only.
  virtual void WriteText(const std::string& text) = 0;
  virtual void WriteLine(const std::string& text) = 0;
  virtual void SetFontAngle(double) {}
  virtual void LineTo(double, double) {}
  virtual void MoveTo(double, double) {}
  virtual void LineToPixel(std::int32_t, std::int32_t) {}
  virtual void MoveToPixel(std::int32_t, std::int32_t) {}
  // All empty on the base.
  virtual void GetAreaPolyPolygon(TAreaElement* area, TPolyPolygon& result);
  virtual void DrawPolyline(TRectEntity*) {}
  virtual void DrawPolygon(TRectEntity*) {}
  virtual void DrawArea(TAreaElement*) {}
  virtual void Rectangle(double, double, double, double) {}
  virtual void TextOutAt(const std::string&, double, double) {}
  virtual void TextOutPixel(std::int32_t, std::int32_t, const std::string&) {}
  virtual std::int32_t TextHeight(const std::string&) { return 0; }
  virtual std::int32_t TextWidth(const std::string&) { return 0; }
  virtual double ModelTextHeight(const std::string&) { return 0; }
  virtual double ModelTextWidth(const std::string&) { return 0; }
  virtual void Draw(const platform::Bitmap*, double, double) {}
  virtual void StretchDraw(std::int32_t, std::int32_t, std::int32_t, std::int32_t, const platform::Bitmap*, double,
                           double, double, double) {}
  virtual void StretchDrawPixel(std::int32_t, std::int32_t, const platform::Bitmap*, std::int32_t, std::int32_t,
                                std::int32_t, std::int32_t, std::int32_t, std::int32_t) {}
  // A drawing pass: BeginDraw, drawing, EndDraw.
  virtual void BeginDraw() = 0;
  virtual void EndDraw() {}
  virtual void SetupPage() = 0;

  // The page's size in metres; 0 without a page or resolution.
  double GetPageWidth() const;
  double GetPageHeight() const;
  // Turn a model point about the projection's rotation centre by +Angle or
  // -Angle; nothing while the angle is 0.
  void RotatePoint(double& X, double& Y) const;
  void UnrotatePoint(double& X, double& Y) const;
  // The pixel a model point is drawn at: turned and projected (clamped).
  virtual TDevicePoint ToDevice(double X, double Y) const;
  // A new entity of the element's vertices turned by RotatePoint; nil for
  // nil or an element without vertices.
  std::unique_ptr<TRectEntity> CreateRotatedCopy(const TElement* element) const;
  // The world rectangle the picture shows: the page's clip rectangle (or the
  // whole page) in world units, grown to take in its four corners turned
  // back while the projection is turned.  A band of a taller picture shows
  // what the whole picture does, so that what reaches over its edges is not
  // left out.
  virtual void VisibleWorldRect(TRealRect& R, bool clipped) const;
  // The device whose page and projection describe the whole picture this
  // one draws: itself, or the target of a band.  What sets up a page clip
  // and transform of its own (a view) sets them up there and then has this
  // device follow them.
  virtual TDevice& WholePicture() { return *this; }
  virtual void FollowWholePicture() {}

 protected:
  // The page and projection are also children; these only find them fast.
  TElementLink page_;
  TElementLink projection_;
};

// The element's vertices projected by the device as the border buffer does
// (clamped, repeats dropped, nothing above 2,500,000 bytes), with no least
// count and no clipping.  The buffer is the caller's.
void ElementToDevicePoints(TDevice* device, const TElement* element, std::unique_ptr<TDevicePoint[]>& points,
                           std::int32_t& count, std::int32_t& byteSize);

void RegisterDeviceClasses();
