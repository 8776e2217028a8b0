#pragma once
// The surface of an output device: its pixel rectangle, its resolution in
// pixels per metre, the background colour and the clip rectangle of a
// partial redraw.
#include <cstdint>

#include "framework/core/elements.h"
#include "spatial/geometry/geometry_types.h"

class T_Page : public TOwnerElement {
  KESTX_CLASS(T_Page)
 public:
  // Written by the device that owns the page.
  TDeviceRect PageRect;
  TDeviceRect ClipRect;
  // Raised while drawing is restricted to ClipRect.
  bool ClipActive = false;
  // Raised while the transform is centred on ClipRect instead of the page.
  bool CentreOnClip = false;

  std::uint32_t Color() const { return color_; }
  void SetColor(std::uint32_t color) { color_ = color; }
  void SetClipRect(const TDeviceRect& R) { ClipRect = R; }
  double HRes() const { return hRes_; }
  double VRes() const { return vRes_; }
  void SetResolution(double HRes, double VRes);
  // Right - Left and Bottom - Top, kept within the 32-bit range.
  std::int32_t Width() const;
  std::int32_t Height() const;

  void Assign(const TElement* Source) override;
  // The fields follow the name as one 56-byte raw block.
  void ReadData(platform::TReader& reader, TQuickEntity& elementMap) override;
  void WriteData(platform::TWriter& writer) const override;

 private:
  std::uint32_t color_ = 0;
  double hRes_ = 0;  // device pixels per metre
  double vRes_ = 0;
};

void RegisterE_pageClasses();
