#pragma once
// The window of a script-built graphic form: the extended form's bars and
// menu, an image the form's device draws into, the list of thematic maps in
// the top bar and a status bar.  Mouse, drag and key events of the image
// become interaction messages to the tool; a drag of the image that is
// released without having moved over it also reports the release.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "app/extended_forms/extended_form_tool.h"
#include "platform/canvas.h"
#include "platform/control_drag.h"

class TDeviceTool;

class TGraphic_Form : public TExtendedKESTU_Form {
 public:
  TGraphic_Form();
  ~TGraphic_Form() override;

  // Whether mouse events may act: false until the first mouse-up has been
  // posted and again after each deactivation.
  bool Armed = false;
  bool Dragging = false;
  // Whether the image was dragged over since the drag began.
  bool DragMoved = false;
  std::uint8_t DragShift = 0;

  // The picture of the image control, owned by the form.
  platform::Bitmap* ImageBitmap() const { return bitmap_.get(); }
  // The form keeps only a tool that has a device.
  void SetTool(TTool* tool) override;
  // The bitmap takes the image control's size (the window laid out anew
  // when shown does not tell a hidden form).
  void FitBitmapToImage();
  // Shows the map of that text as chosen, without reporting a choice.
  void ShowMap(const std::string& map);
  // Reports a map the user chose in the list to the form's tool; set by the
  // tool that makes the form, so that the window need not know it.
  std::function<void(TTool* tool, const std::string& map)> OnMapChosen;

 private:
  TDeviceTool* DeviceTool() const;
  void Mouse(platform::MouseAction action, const platform::MouseInput& input);
  void Drag(platform::DragAction action, std::int32_t x, std::int32_t y);
  void Resized();
  void MapChosen();
  void Connect();

  std::unique_ptr<platform::Bitmap> bitmap_;
  // Raised while the program selects a map, so that no choice is reported.
  bool showingMap_ = false;
};
