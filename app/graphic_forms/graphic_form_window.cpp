#include "app/graphic_forms/graphic_form_window.h"

#include <algorithm>

#include "render/devices/device_tool.h"
#include "render/tool_forms/interaction_events.h"
#include "render/tool_forms/interface_tool.h"

namespace {

constexpr const char* kImage = "Image";
constexpr const char* kMaps = "Maps";
constexpr const char* kTopBar = "TopBar";
constexpr int kDragThreshold = 1;
constexpr int kDefaultDragCursor = -12;

}  // namespace

TGraphic_Form::TGraphic_Form() : TExtendedKESTU_Form("TGraphic_Form") {
  bitmap_ = platform::Bitmap::Create(1, 1);
  FitBitmapToImage();
  Window().SetImageBitmap(kImage, bitmap_.get());
  Window().EmbedInToolBar(kTopBar, kMaps);
  Connect();
}

TGraphic_Form::~TGraphic_Form() { Window().SetImageBitmap(kImage, nullptr); }

void TGraphic_Form::SetTool(TTool* tool) { TExtendedKESTU_Form::SetTool(DynamicCast<TDeviceTool>(tool)); }

TDeviceTool* TGraphic_Form::DeviceTool() const { return DynamicCast<TDeviceTool>(Tool()); }

void TGraphic_Form::ShowMap(const std::string& map) {
  const std::vector<std::string> items = Window().Items(kMaps);
  const auto found = std::find(items.begin(), items.end(), map);
  showingMap_ = true;
  Window().SetItemIndex(kMaps, found == items.end() ? -1 : static_cast<int>(found - items.begin()));
  showingMap_ = false;
}

void TGraphic_Form::Mouse(platform::MouseAction action, const platform::MouseInput& input) {
  TDeviceTool* tool = DeviceTool();
  if (!tool) return;
  switch (action) {
    case platform::MouseAction::Down:
      DragShift = input.Shift;
      tool->PostMouseEvent(msgMouseDown, tool, Armed, input.X, input.Y, input.Shift, input.Button);
      return;
    case platform::MouseAction::Move:
      tool->PostMouseEvent(msgMouseMove, tool, Armed, input.X, input.Y, input.Shift, 0);
      if (input.Shift & ssLeft) {
        Dragging = true;
        DragShift = input.Shift;
        platform::BeginControlDrag(Window(), kImage, kDragThreshold);
      }
      return;
    case platform::MouseAction::Up:
      tool->PostMouseEvent(msgMouseUp, tool, Armed, input.X, input.Y, input.Shift, input.Button);
      Armed = true;
      return;
  }
}

void TGraphic_Form::Drag(platform::DragAction action, std::int32_t x, std::int32_t y) {
  TDeviceTool* tool = DeviceTool();
  if (!tool) return;
  switch (action) {
    case platform::DragAction::Start:
      tool->PostMouseEvent(msgStartDrag, tool, Armed, 0, 0, DragShift, 0);
      return;
    case platform::DragAction::Over:
      DragMoved = true;
      tool->PostMouseEvent(msgDragOver, tool, Armed, x, y, DragShift, 0);
      return;
    case platform::DragAction::Drop:
      tool->PostMouseEvent(msgDragDrop, tool, Armed, x, y, DragShift, 0);
      return;
    case platform::DragAction::End:
      platform::SetControlDragCursor(Window(), kImage, kDefaultDragCursor);
      tool->PostMouseEvent(msgEndDrag, tool, Armed, x, y, DragShift, 0);
      // A drag never moved over the image ends as the release of the
      // button there: tools that wait for it would wait for ever.
      if (!DragMoved) tool->PostMouseEvent(msgMouseUp, tool, Armed, x, y, DragShift, 0);
      DragMoved = false;
      Dragging = false;
      return;
  }
}

void TGraphic_Form::FitBitmapToImage() {
  const platform::Bounds image = Window().ControlBounds(kImage);
  bitmap_->SetSize(std::max(image.Width, 1), std::max(image.Height, 1));
}

void TGraphic_Form::Resized() {
  if (!Window().Visible()) return;
  FitBitmapToImage();
  if (TDeviceTool* tool = DeviceTool()) PostKestuMessage(new TKestuMessage(msgResize, tool, tool, nullptr, false));
}

void TGraphic_Form::MapChosen() {
  if (showingMap_ || !OnMapChosen) return;
  OnMapChosen(Tool(), Window().Text(kMaps));
}

void TGraphic_Form::Connect() {
  platform::Form& window = Window();
  window.OnMouse(kImage, [this](platform::MouseAction action, const platform::MouseInput& input) {
    Mouse(action, input);
  });
  // After the mouse handler: the drag sees the mouse first.
  platform::OnControlDrag(window, kImage, [this](platform::DragAction action, std::int32_t x, std::int32_t y) {
    Drag(action, x, y);
  });
  window.OnKeyDown([this](std::uint16_t key, std::uint8_t shift) {
    if (TDeviceTool* tool = DeviceTool(); tool && key != 0) tool->PostKeyEvent(msgKeyDown, tool, shift, key);
  });
  window.OnResize([this] { Resized(); });
  window.OnDeactivate([this] { Armed = false; });
  window.OnChange(kMaps, [this] { MapChosen(); });
}
