#include "render/tool_forms/standard_image_form.h"

#include <charconv>
#include <cmath>

#include "framework/core/class_registry.h"
#include "framework/tools/tools.h"
#include "platform/app_queue.h"
#include "platform/dialogs.h"
#include "render/devices/device_tool.h"
#include "render/interprets/interpret.h"
#include "render/tool_forms/explorer.h"
#include "render/tool_forms/form_tool_manager.h"
#include "render/tool_forms/interaction_events.h"
#include "render/tool_forms/interface_tool.h"
#include "spatial/geometry/geometry_elements.h"

namespace {

constexpr const char* kImage = "Image";
constexpr const char* kStatusPanels = "StatusPanels";

void LetMessagesRun() { platform::Application::Instance().ProcessMessages(); }

}  // namespace

TStandardImageForm::TStandardImageForm() : TKESTUForm("TStandardImageForm") {
  const platform::Bounds image = Window().ControlBounds(kImage);
  bitmap_ = platform::Bitmap::Create(std::max(image.Width, 1), std::max(image.Height, 1));
  Window().SetImageBitmap(kImage, bitmap_.get());
  Connect();
}

TStandardImageForm::~TStandardImageForm() { Window().SetImageBitmap(kImage, nullptr); }

std::string TStandardImageForm::PanelText(int index) const { return Window().PanelText(kStatusPanels, index); }

void TStandardImageForm::SetPanelText(int index, const std::string& text) {
  Window().SetPanelText(kStatusPanels, index, text);
}

TDeviceTool* TStandardImageForm::Manager() const { return DynamicCast<TDeviceTool>(Tool()); }

void TStandardImageForm::Post(int code, TElement* receiver, TElement* data) {
  if (TDeviceTool* manager = Manager()) PostKestuMessage(new TKestuMessage(code, manager, receiver, data, false));
}

void TStandardImageForm::PostFromManager(int code) { Post(code, Manager(), nullptr); }

void TStandardImageForm::StopThenPost(int code) {
  PostFromManager(msgStopReView);
  LetMessagesRun();
  PostFromManager(code);
}

void TStandardImageForm::PostKey(std::uint16_t key) {
  if (TDeviceTool* manager = Manager()) manager->PostKeyEvent(msgKeyDown, manager, 0, key);
}

void TStandardImageForm::PostDrag(int code) {
  if (TDeviceTool* manager = Manager()) manager->PostMouseEvent(code, manager, Armed, 0, 0, 0, 0);
}

void TStandardImageForm::Mouse(platform::MouseAction action, const platform::MouseInput& input) {
  TDeviceTool* manager = Manager();
  if (!manager) return;
  const int code = action == platform::MouseAction::Down ? msgMouseDown
                   : action == platform::MouseAction::Up ? msgMouseUp
                                                         : msgMouseMove;
  manager->PostMouseEvent(code, manager, Armed, input.X, input.Y, input.Shift, input.Button);
  if (action == platform::MouseAction::Up) Armed = true;
}

void TStandardImageForm::FitBitmapToImage() {
  const platform::Bounds image = Window().ControlBounds(kImage);
  bitmap_->SetSize(std::max(image.Width, 1), std::max(image.Height, 1));
}

void TStandardImageForm::Resized() {
  if (!Window().Visible()) return;
  FitBitmapToImage();
  PostFromManager(msgResize);
}

void TStandardImageForm::NodeDropped(std::uint32_t handle) {
  TDeviceTool* manager = Manager();
  TElement* element = ElementOfHandle(handle);
  if (!manager || !element) return;
  TElement* copy = element->CreateEnvelope();
  auto* input = DynamicCast<TRectEntity>(manager->Input());
  if (input) input->AddEntity(copy);
  // A copy the input does not hold goes with the message and ends with it.
  PostKestuMessage(new TKestuMessage(msgRequestReView, manager, manager, copy, input == nullptr));
}

void TStandardImageForm::Connect() {
  platform::Form& window = Window();
  window.OnCloseQuery([this] {
    if (Closing) return true;
    Closing = true;
    PostFromManager(msgClose);
    return false;
  });
  window.OnMouse(kImage, [this](platform::MouseAction action, const platform::MouseInput& input) {
    Mouse(action, input);
  });
  window.OnMouse([this](platform::MouseAction action, const platform::MouseInput& input) { Mouse(action, input); });
  window.OnKeyDown([this](std::uint16_t key, std::uint8_t shift) {
    if (TDeviceTool* manager = Manager(); manager && key != 0) manager->PostKeyEvent(msgKeyDown, manager, shift, key);
  });
  window.OnResize([this] { Resized(); });
  window.OnDeactivate([this] { Armed = false; });
  window.OnClick("b_QuickView", [this] { PostFromManager(msgQuickView); });
  window.OnClick("mi_Otevrit", [this] { PostFromManager(msgOpenFile); });
  window.OnClick("mi_UlozitPodNazvem", [this] { PostFromManager(msgSaveFileAs); });
  window.OnClick("mi_Tiskni", [this] { PostFromManager(msgPrint); });
  window.OnClick("mi_Nastaveni", [] { platform::PrinterSetup(); });
  window.OnClick("mi_Prezobraz", [this] { StopThenPost(msgReView); });
  window.OnClick("mi_Meritko", [this] { StopThenPost(msgEditScale); });
  window.OnClick("mi_Zvetseni", [this] { PostKey(platform::vkF5); });
  window.OnClick("mi_Zmenseni", [this] { PostKey(platform::vkF6); });
  window.OnClick("mi_Struktura", [this] { Post(msgOpenExplorer, nullptr, Manager()); });
  window.OnClick("mi_Model", [this] { Post(msgOpenExplorer, nullptr, Manager() ? Manager()->Input() : nullptr); });
  window.OnClick("mi_Storno", [this] { PostKey(platform::vkEscape); });
  window.OnChange("ObjektyzExploreru", [this] { Window().SetAcceptTreeDrops(kImage, Window().Checked("ObjektyzExploreru")); });
  window.OnPopup("pm_Image", [this] {
    PostFromManager(msgStopReView);
    LetMessagesRun();
  });
  window.OnClick("pm_Prezobraz", [this] { StopThenPost(msgReView); });
  window.OnClick("pm_Meritko", [this] { StopThenPost(msgEditScale); });
  window.OnClick("pm_VseVeVyrezu", [this] { StopThenPost(msgFitAll); });
  window.OnDragOver(kImage, [this] { PostDrag(msgDragOver); });
  window.OnTreeNodeDropped(kImage, [this](std::uint32_t handle) {
    PostDrag(msgDragDrop);
    NodeDropped(handle);
  });
  window.SetAcceptTreeDrops("btn_Link", true);
  window.OnTreeNodeDropped("btn_Link", [this](std::uint32_t handle) { NodeDropped(handle); });
}

void TImageCanvasDevice::EndDraw() {
  TBitmapDevice::EndDraw();
  const TElementLink self(this);
  LetMessagesRun();
  if (self.Get()) PostMessageToOwners(msgRepaintImage, nullptr, false);
}

Tf_SetScale::Tf_SetScale() : TKESTUForm("Tf_SetScale") {
  Window().OnKeyDown([](std::uint16_t key, std::uint8_t) {
    if (key == platform::vkF1) platform::HelpKeyword("Combo_Tf_SetScale");
  });
}

double ScaleFromText(const std::string& text) {
  std::string number;
  for (char c : text) {
    if (c == ' ' || c == '\t') continue;
    number += c == ',' ? '.' : c;
  }
  double value = 0;
  const char* end = number.data() + number.size();
  const auto [stop, error] = std::from_chars(number.data(), end, value);
  if (stop != end) return 0;
  if (error == std::errc::result_out_of_range) return number[0] == '-' ? 0 : HUGE_VAL;
  if (error != std::errc() || std::isnan(value) || value <= 0) return 0;
  return value;
}

TClass TStandardImageForm::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TStandardImageForm>("TStandardImageForm", TKESTUForm::StaticClass(), "StandardImageForm", {});
  return &info;
}

TClass TImageCanvasDevice::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TImageCanvasDevice>("TImageCanvasDevice", TBitmapDevice::StaticClass(), "E_device", {});
  return &info;
}

void RegisterStandardImageFormClasses() { RegisterKestuClass(TImageCanvasDevice::StaticClass()); }
