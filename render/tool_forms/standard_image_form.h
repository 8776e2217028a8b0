#pragma once
// The graphic window of a form-tool manager: an image whose bitmap a canvas
// device draws into, a small tool bar, the cursor's world coordinates and
// the scale, and menus.  Every event becomes a message to the manager; the
// form does no work itself.  Also the device of the image, and the scale
// dialog.
#include <cstdint>
#include <memory>
#include <string>

#include "framework/forms/base_forms.h"
#include "render/devices/bitmap_device.h"

class TDeviceTool;

class TStandardImageForm : public TKESTUForm {
  KESTX_CLASS(TStandardImageForm)
 public:
  TStandardImageForm();
  ~TStandardImageForm() override;

  // True once a close was asked: the first close only asks the manager.
  bool Closing = false;
  // Whether mouse events may act: false from a deactivation until the next
  // mouse-up has been posted.
  bool Armed = true;

  // The texts of the panels of the window's status bar, 0 to 4.
  std::string PanelText(int index) const;
  void SetPanelText(int index, const std::string& text);

  // The picture of the image control, owned by the form.
  platform::Bitmap* ImageBitmap() const { return bitmap_.get(); }
  // The picture takes the image control's size.
  void FitBitmapToImage();

 private:
  TDeviceTool* Manager() const;
  void Post(int code, TElement* receiver, TElement* data);
  void PostFromManager(int code);
  // Stops a running redraw and lets it end before the next request.
  void StopThenPost(int code);
  void PostKey(std::uint16_t key);
  // A drag event of the image, which carries no point.
  void PostDrag(int code);
  void Mouse(platform::MouseAction action, const platform::MouseInput& input);
  void Resized();
  void NodeDropped(std::uint32_t handle);
  void Connect();

  std::unique_ptr<platform::Bitmap> bitmap_;
};

// Draws into the bitmap of the image (not its own); after a picture it lets
// the pending messages run and asks its owners to repaint the image.
class TImageCanvasDevice : public TBitmapDevice {
  KESTX_CLASS(TImageCanvasDevice)
 public:
  void EndDraw() override;
};

// The scale dialog: its combo box holds the scale as text.
class Tf_SetScale : public TKESTUForm {
 public:
  Tf_SetScale();
};

// The text of the scale dialog as a scale, with either decimal separator:
// 0 for anything that is no number above 0 (the caller then fits the view);
// a number above 0 that no double holds reads as infinity (the caller
// refuses it).
double ScaleFromText(const std::string& text);

void RegisterStandardImageFormClasses();
