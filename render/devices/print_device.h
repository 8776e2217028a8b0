#pragma once
// The device of one print document: it draws on the printer's page from its
// creation, when the document begins, to its destruction, when it ends.
#include <memory>

#include "render/devices/canvas_device.h"

class TPrintDevice : public TCanvasDevice {
  KESTX_CLASS(TPrintDevice)
 public:
  TPrintDevice();
  ~TPrintDevice() override;

  // Lines of a coloured pen go down as filled quadrilaterals.
  bool RasterizeLines = false;

  platform::Printer& Printer() { return *printer_; }
  void SetTitle(const std::string& title) override;
  void LineToPixel(std::int32_t x, std::int32_t y) override;
  // The source rectangle picks the part of the picture that is printed (all
  // of it when all zeros).
  void StretchDraw(std::int32_t sourceX, std::int32_t sourceY, std::int32_t sourceWidth, std::int32_t sourceHeight,
                   const platform::Bitmap* graphic, double X, double Y, double W, double H) override;
  void StretchDrawPixel(std::int32_t x, std::int32_t y, const platform::Bitmap* graphic, std::int32_t w,
                        std::int32_t h, std::int32_t sourceX, std::int32_t sourceY, std::int32_t sourceWidth,
                        std::int32_t sourceHeight) override;
  void BeginDraw() override {}
  void EndDraw() override {}

  // From (x1, y1) to (x2, y2): a black or white pen draws a plain line, any
  // other a quadrilateral half the pen's width to each side of the axis.
  void WideLine(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2);

 protected:
  void StrokeSegment(const TDevicePoint& from, const TDevicePoint& to, bool fromPenPosition) override;

 private:
  bool PlainPen() const;
  std::unique_ptr<platform::Printer> printer_;
};

void RegisterPrintDeviceClasses();
