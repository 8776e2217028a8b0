#pragma once
// The device that draws on a canvas (a bitmap's or the printer's).  Without a
// canvas it keeps its page and projection and draws nothing.
#include <cstdint>
#include <memory>
#include <string>

#include "render/devices/border_buffer.h"
#include "render/devices/device.h"

class TProjection;

class TCanvasDevice : public TDevice {
  KESTX_CLASS(TCanvasDevice)
 public:
  TCanvasDevice();
  ~TCanvasDevice() override;

  platform::Canvas* Canvas() const { return canvas_; }
  // Stores the canvas (not owned); a canvas brings its page with it.
  virtual void SetCanvas(platform::Canvas* canvas);
  // Degrees, as last given to SetFontAngle.
  double FontAngle = 0;
  // The device point last moved or drawn to.
  TDevicePoint PenPosition() const { return penPos_; }

  platform::CanvasBrush* GetBrush() override;
  platform::CanvasFont* GetFont() override;
  platform::CanvasPen* GetPen() override;
  platform::ColorValue GetPixel(double X, double Y) override;
  platform::Canvas* GetHandle() override { return canvas_; }
  void SetBrush(const platform::CanvasBrush& brush) override;
  void SetFont(const platform::CanvasFont& font) override;
  void SetPen(const platform::CanvasPen& pen) override;
  void SetPixel(double X, double Y, platform::ColorValue color) override;
  // Fills the page clip rectangle while clipping is on, else the canvas,
  // with the page colour.
  void Clear() override;
  void FillRect(double MinX, double MinY, double MaxX, double MaxY) override;
  void FrameRect(double MinX, double MinY, double MaxX, double MaxY) override;
  void WriteText(const std::string&) override { throw EAbstractError(); }
  void WriteLine(const std::string&) override { throw EAbstractError(); }
  void SetFontAngle(double angle) override;
  void LineTo(double X, double Y) override;
  void MoveTo(double X, double Y) override;
  void LineToPixel(std::int32_t x, std::int32_t y) override;
  void MoveToPixel(std::int32_t x, std::int32_t y) override;
  void GetAreaPolyPolygon(TAreaElement* area, TPolyPolygon& result) override;
  void DrawPolyline(TRectEntity* line) override;
  void DrawPolygon(TRectEntity* area) override;
  void DrawArea(TAreaElement* area) override;
  void Rectangle(double X1, double Y1, double X2, double Y2) override;
  void TextOutAt(const std::string& text, double X, double Y) override;
  void TextOutPixel(std::int32_t x, std::int32_t y, const std::string& text) override;
  std::int32_t TextHeight(const std::string& text) override;
  std::int32_t TextWidth(const std::string& text) override;
  double ModelTextHeight(const std::string& text) override;
  double ModelTextWidth(const std::string& text) override;
  void Draw(const platform::Bitmap* graphic, double X, double Y) override;
  void StretchDraw(std::int32_t sourceX, std::int32_t sourceY, std::int32_t sourceWidth, std::int32_t sourceHeight,
                   const platform::Bitmap* graphic, double X, double Y, double W, double H) override;
  void StretchDrawPixel(std::int32_t x, std::int32_t y, const platform::Bitmap* graphic, std::int32_t w,
                        std::int32_t h, std::int32_t sourceX, std::int32_t sourceY, std::int32_t sourceWidth,
                        std::int32_t sourceHeight) override;
  void BeginDraw() override { Clear(); }
  // The page takes the canvas's size and resolution; the projection keeps
  // its centre and scale on it.
  void SetupPage() override;

  // In the canvas's pixels: a band's rows.
  TDevicePoint ToDevice(double X, double Y) const override;

  // While alive and the page's clipping is on, the canvas draws only inside
  // the page clip rectangle: for what is not cut geometrically (rectangles,
  // texts, pictures, pixels, what interprets draw on the canvas itself).
  class PageClip {
   public:
    explicit PageClip(const TCanvasDevice& device);
    ~PageClip();
    PageClip(const PageClip&) = delete;
    PageClip& operator=(const PageClip&) = delete;

   private:
    platform::Canvas* limited_ = nullptr;
  };

 protected:
  // The transform drawing goes through, and the rows it is moved up by: a
  // band of a taller page draws with the whole page's transform, so that its
  // pixels are those of the whole picture.
  virtual const TProjection& DrawingProjection() const;
  std::int32_t rowShift_ = 0;
  // The page rectangle of the whole picture that transform draws.
  virtual TDeviceRect DrawingPageRect() const;

  // A segment the clip test let through, from the pen position or from a
  // clipped start.
  virtual void StrokeSegment(const TDevicePoint& from, const TDevicePoint& to, bool fromPenPosition);
  void SetPenPosition(const TDevicePoint& point);

 private:
  // The model point turned, where it lies in the whole picture's pixels and
  // its pixel there.
  TExactVertex ToExact(double X, double Y) const;
  // What a line is cut to before it is stroked, in the whole picture's
  // pixels: the page clip rectangle while clipping is on, else the page
  // with a margin the pen cannot reach across, so that the canvas steps only
  // what can show.
  TDeviceRect StrokeRect() const;
  // Fills the buffer with the element, cut as the page clip rectangle asks.
  void FillBuffer(TRectEntity* element, std::int32_t minPoints);
  // The element, or its turned copy (kept in turned) while the projection
  // has an angle.
  TRectEntity* Turned(TRectEntity* element, std::unique_ptr<TRectEntity>& turned) const;
  platform::PixelRect ToDeviceRect(double MinX, double MinY, double MaxX, double MaxY) const;

  platform::Canvas* canvas_ = nullptr;
  TDevicePoint penPos_;
  // The pen position unrounded and unclamped, in the whole picture's pixels:
  // the start of the next line.
  TRealPoint exactPen_;
  // One buffer, refilled for every element.
  std::unique_ptr<TBorderBuffer> buffer_;
};

void RegisterCanvasDeviceClasses();
