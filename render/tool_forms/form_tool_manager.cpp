#include "render/tool_forms/form_tool_manager.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <functional>

#include "framework/core/class_registry.h"
#include "framework/tools/world.h"
#include "platform/app_queue.h"
#include "platform/dialogs.h"
#include "render/devices/device.h"
#include "render/interprets/interpret_script.h"
#include "render/interprets/universal_interpret.h"
#include "render/tool_forms/graphic_window_parts.h"
#include "render/tool_forms/interaction_events.h"
#include "render/tool_forms/interface_tool.h"
#include "render/tool_forms/standard_image_form.h"
#include "render/tool_forms/viewer.h"
#include "spatial/geometry/geometry_elements.h"
#include "spatial/geometry/page.h"
#include "spatial/geometry/projection.h"

namespace {

constexpr const char* kImage = "Image";
constexpr const char* kToolsMenu = "Tools";

std::string Fixed(double value, int decimals) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  return text;
}

bool SameName(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  return true;
}

// 2^63: the first scale the label's whole numbers would not reach.
constexpr double kScaleLimit = 9223372036854775808.0;

// A scale above 0 as a whole number, also one beyond the label's reach.
std::string WholeScaleText(double scale) {
  if (!(scale > 0) || !std::isfinite(scale)) return {};
  return scale < kScaleLimit ? std::to_string(std::llround(scale)) : Fixed(scale, 0);
}

}  // namespace

bool ShowableScale(double scale) { return scale > 0 && scale < kScaleLimit; }

std::string ScaleLabelText(double scale) { return scale > 0 && scale < 10 ? Fixed(scale, 3) : WholeScaleText(scale); }

bool ApplyViewKey(TDeviceTool& tool, TKestuMessage* message, const std::function<void(int code)>& post) {
  auto* key = DynamicCast<TKestuKeyEvent>(message);
  if (!key) return false;
  switch (key->Key) {
    case platform::vkEscape: post(msgStopReView); return true;
    case platform::vkF5:
    case platform::vkF6: {
      const double scale = key->Key == platform::vkF5 ? tool.Scale() / 2 : tool.Scale() * 2;
      if (!ShowableScale(scale)) return true;
      tool.SetScale(scale);
      post(msgRequestReView);
      return true;
    }
    default: return false;
  }
}

void SetCopyPen(TDevice* device) {
  if (!device) return;
  if (platform::CanvasPen* pen = device->GetPen()) pen->Mode = platform::PenMode::Copy;
}

TFormToolManager::~TFormToolManager() { FreeTheForm(); }

void TFormToolManager::FreeTheForm() {
  if (!form_) return;
  if (auto* device = DynamicCast<TBitmapDevice>(GetDevice())) device->SetBitmap(nullptr);
  form_.reset();
}

bool TFormToolManager::InterpretBusy() const { return Interpret() && Interpret()->Busy(); }


void TFormToolManager::SetQuickView(bool value) {
  if (!form_) return;
  quickView_ = value;
  if (form_->Window().Down("b_QuickView") != value) form_->Window().SetDown("b_QuickView", value);
}

std::string TFormToolManager::ActiveToolName() {
  TTool* tool = GetActiveTool();
  return tool ? tool->GetName() : std::string();
}

std::vector<TTool*> TFormToolManager::SubTools() {
  std::vector<TTool*> tools;
  for (int i = 0; i < ToolCount(); ++i) tools.push_back(ToolAt(i));
  return tools;
}

void TFormToolManager::SetActiveToolName(const std::string& name) { RequestSelectionByName(SubTools(), name); }

std::string TFormToolManager::ActiveToolClassName() {
  TTool* tool = GetActiveTool();
  return tool ? tool->ClassName() : std::string();
}

void TFormToolManager::SetActiveToolClassName(const std::string& name) {
  RequestSelectionByClassName(SubTools(), name);
}

std::uint32_t TFormToolManager::PageColor() const { return DevicePageColor(GetDevice()); }

void TFormToolManager::SetPageColor(std::uint32_t colour) { SetDevicePageColor(GetDevice(), colour); }

TPageProjection* TFormToolManager::Projection() const {
  TDevice* device = GetDevice();
  return device ? device->Projection() : nullptr;
}

TInterpretScript* TFormToolManager::InterpretScript() const { return UniversalScript(Interpret()); }

void TFormToolManager::SetInterpretScript(TInterpretScript* script) { SetUniversalScript(Interpret(), script); }

void TFormToolManager::SetBreakReView(bool value) {
  if (value && InterpretBusy()) Interpret()->SetBreakWork(true);
}

void TFormToolManager::SetShownScale(double scale) {
  if (ShowableScale(scale)) SetScale(scale);
}

void TFormToolManager::SetElementForReView(TElement* element) { PostMessage(msgReView, this, element, false); }

// The message frees what it carries when nothing else holds it: never the
// world, this manager or what holds it.
void TFormToolManager::SetElementForKillReView(TElement* element) {
  if (element && element == World()) throw ECircularOwnership();
  CheckNewHeld(element);
  PostMessage(msgReView, this, element, true);
}

std::int32_t TFormToolManager::GetLeft() const { return form_ ? form_->Window().GetBounds().Left : 0; }
std::int32_t TFormToolManager::GetTop() const { return form_ ? form_->Window().GetBounds().Top : 0; }
std::int32_t TFormToolManager::GetWidth() const { return form_ ? form_->Window().GetBounds().Width : 0; }
std::int32_t TFormToolManager::GetHeight() const { return form_ ? form_->Window().GetBounds().Height : 0; }


void TFormToolManager::SetLeft(std::int32_t value) {
  ChangeFormBounds(form_.get(), [value](platform::Bounds& b) { b.Left = value; });
}
void TFormToolManager::SetTop(std::int32_t value) {
  ChangeFormBounds(form_.get(), [value](platform::Bounds& b) { b.Top = value; });
}
void TFormToolManager::SetWidth(std::int32_t value) {
  ChangeFormBounds(form_.get(), [value](platform::Bounds& b) { b.Width = value; });
}
void TFormToolManager::SetHeight(std::int32_t value) {
  ChangeFormBounds(form_.get(), [value](platform::Bounds& b) { b.Height = value; });
}

void TFormToolManager::ShowScaleText(const std::string& text) {
  if (form_) form_->Window().SetText("l_M", text);
}

void TFormToolManager::CreateForm() {
  form_ = std::make_unique<TStandardImageForm>();
  form_->SetTool(this);
  form_->Closing = false;
}

void TFormToolManager::CreateDevice() { SetDevice(CreateElement<TImageCanvasDevice>()); }

void TFormToolManager::ConnectDevice() {
  auto* device = DynamicCast<TBitmapDevice>(GetDevice());
  if (form_ && device) device->SetBitmap(form_->ImageBitmap());
}

void TFormToolManager::CreateInterpret() { SetInterpret(CreateElement<TUniversalInterpret>()); }

void TFormToolManager::ConnectInterpret() {
  if (TInterpret* interpret = Interpret()) interpret->SetDevice(GetDevice());
}

void TFormToolManager::CreateDefaultTool() { SetNextTool(CreateElement<TViewer>()); }

void TFormToolManager::SetNextTool(TInteractiveTool* tool) {
  if (!tool) return;
  tool->SetDevice(GetDevice());
  tool->SetManager(this);
  // A tool made active here works on the window's element at once, as one
  // chosen from the tools menu does.
  if (Input()) tool->SetInput(Input());
  AddTool(tool);
  SetActiveTool(tool);
  MarkToolItem(tool);
}

bool TFormToolManager::GetVisible() const { return form_ && form_->Window().Visible(); }

void TFormToolManager::SetVisible(bool value) {
  if (!form_) return;
  if (value) form_->Window().Show();
  else form_->Window().Hide();
  // A size a script gave the hidden window reaches the picture now.
  if (value) form_->FitBitmapToImage();
  if (TDevice* device = GetDevice()) device->SetupPage();
}

platform::Menu* TFormToolManager::GetMainMenu() const { return form_ ? &form_->Window().MainMenu("MainMenu") : nullptr; }

std::string TFormToolManager::GetCaption() const { return form_ ? form_->Window().Caption() : std::string(); }

void TFormToolManager::SetCaption(const std::string& caption) {
  if (form_) form_->Window().SetCaption(caption);
}

std::int32_t TFormToolManager::GetImageCursor() const { return form_ ? form_->Window().ControlCursor(kImage) : 0; }

void TFormToolManager::SetImageCursor(std::int32_t cursor) {
  if (form_) form_->Window().SetControlCursor(kImage, cursor);
}

void TFormToolManager::SetFreeForm(bool value) {
  if (value) FreeTheForm();
}

void TFormToolManager::SetLoadFromFile(const std::string& fileName) {
  if (!form_) return;
  if (!form_->ImageBitmap()->LoadFromFile(fileName)) {
    platform::ShowMessage("Ze souboru " + fileName + " nejde načíst bitmapa");
    return;
  }
  if (TDevice* device = GetDevice()) device->SetupPage();
}

void TFormToolManager::SetSaveToFile(const std::string& fileName) {
  if (form_ && !form_->ImageBitmap()->SaveToFile(fileName))
    platform::ShowMessage("Do souboru " + fileName + " nejde uložit bitmapa");
}

void TFormToolManager::OpenFile(TKestuMessage*, bool&) {}
void TFormToolManager::SaveFileAs(TKestuMessage*, bool&) {}

void TFormToolManager::MakeActive(TInteractiveTool* tool) {
  if (auto* active = DynamicCast<TInteractiveTool>(GetActiveTool())) active->Deactivate();
  SetActiveTool(tool);
  tool->SetDevice(GetDevice());
  tool->SetInput(Input());
  tool->Activate();
  MarkToolItem(tool);
  SetImageCursor(tool->GetCursor());
}

void TFormToolManager::SelectTool(TKestuMessage* message, bool& handled) {
  auto* tool = DynamicCast<TInteractiveTool>(message->Data());
  if (!tool) return;
  MakeActive(tool);
  handled = true;
}

void TFormToolManager::Print(TKestuMessage*, bool& handled) {
  auto* interpret = DynamicCast<TUniversalInterpret>(Interpret());
  if (!interpret) return;
  interpret->Tile = form_ && form_->Window().Checked("Tile");
  // Printing registers its tool by name; until then nothing prints.
  if (auto* print = DynamicCast<TTool>(CreateElementByClassName("TPrint"))) {
    print->SetInput(interpret);
    print->DoIt();
    TElement* freed = print;
    FreeAndNil(freed);
  }
  interpret->Tile = false;
  handled = true;
}

void TFormToolManager::ToggleQuickView(TKestuMessage*, bool& handled) {
  SetQuickView(!quickView_);
  handled = true;
}

void TFormToolManager::RepaintImage(TKestuMessage*, bool& handled) {
  if (form_) form_->Window().RepaintImage(kImage);
  handled = true;
}

void TFormToolManager::EditScale(TKestuMessage*, bool& handled) {
  Tf_SetScale dialog;
  platform::Form& window = dialog.Window();
  window.SetText("Combo", WholeScaleText(Scale()));
  if (window.ShowModal() != platform::mrOk) return;
  const double scale = ScaleFromText(window.Text("Combo"));
  if (ShowableScale(scale)) {
    SetScale(scale);
    PostMessage(msgRequestReView, this, nullptr, false);
    handled = true;
  } else if (!(scale > 0)) {
    // The whole input instead, drawn at once: a picture and a label left
    // on the old view would belie where clicks and bands now act.
    FitToInput();
    PostMessage(msgRequestReView, this, nullptr, false);
  }
}

void TFormToolManager::FitAll(TKestuMessage*, bool& handled) {
  FitToInput();
  PostMessage(msgRequestReView, this, nullptr, false);
  handled = true;
}

void TFormToolManager::PrintDone(TKestuMessage*, bool& handled) {
  handled = true;
  FinishPendingWork();
}

void TFormToolManager::FitToInput() { FitElementToDevice(GetDevice(), Input()); }

void TFormToolManager::AfterConstruction() {
  TInteractiveTool::AfterConstruction();
  CreateForm();
  CreateDevice();
  ConnectDevice();
  CreateInterpret();
  ConnectInterpret();
  CreateDefaultTool();
}

void TFormToolManager::SetInput(TElement* element) {
  SetEnvelopedInput(*this, element, [this](TElement* envelope) { TInteractiveTool::SetInput(envelope); });
}

void TFormToolManager::DoIt() {
  TInteractiveTool::DoIt();
  SetVisible(true);
  PostMessage(msgReView, this, nullptr, false);
}

void TFormToolManager::CloseNow() {
  FreeTheForm();
  TInteractiveTool::Close();
}

void TFormToolManager::Close() {
  if (!redraw_.DeferClose(Interpret())) CloseNow();
}

void TFormToolManager::FinishPendingWork() {
  redraw_.Finish([this] { CloseNow(); }, [this] { DoIt(); });
}

void TFormToolManager::ToolFinished(TKestuMessage* message, bool& handled) {
  handled = true;
  redraw_.WalkReported(message, [this] { FinishPendingWork(); });
}

void TFormToolManager::SetActiveIndex(int index) {
  if (index != GetActiveIndex()) TInteractiveTool::SetActiveIndex(index);
}

TTool* TFormToolManager::AddTool(TTool* tool) {
  TInteractiveTool::AddTool(tool);
  if (form_ && tool) {
    auto held = std::make_shared<TElementLink>(tool);
    form_->Window().AddMenuItem(kToolsMenu, tool->ClassName(), tool->GetName(), [held] {
      if (auto* chosen = DynamicCast<TInteractiveTool>(held->Get())) chosen->RequestSelection();
    });
  }
  return tool;
}

void TFormToolManager::RemoveToolItem(const TTool* tool) {
  if (form_ && tool) form_->Window().RemoveMenuItem(kToolsMenu, tool->ClassName());
}

void TFormToolManager::RemoveTool(TTool* tool) {
  RemoveToolItem(tool);
  TInteractiveTool::RemoveTool(tool);
}

void TFormToolManager::FreeTool(TTool* tool) {
  RemoveToolItem(tool);
  TInteractiveTool::FreeTool(tool);
}

void TFormToolManager::MarkToolItem(const TTool* tool) {
  if (!form_ || !tool) return;
  platform::Form& window = form_->Window();
  for (const std::string& item : window.MenuItemNames(kToolsMenu)) window.SetChecked(item, SameName(item, tool->ClassName()));
}

void TFormToolManager::KeyDown(TKestuMessage* message, bool&) {
  ApplyViewKey(*this, message, [this](int code) { PostMessage(code, this, nullptr, false); });
}

void TFormToolManager::MouseUp(TKestuMessage* message, bool& handled) {
  auto* mouse = DynamicCast<TKestuMouseEvent>(message);
  if (!form_ || !mouse) return;
  handled = true;
  if (mouse->Button != 1) return;
  std::int32_t x = mouse->X;
  std::int32_t y = mouse->Y;
  form_->Window().ControlToScreen(kImage, x, y);
  form_->Window().PopupMenuAt("pm_Image", x, y);
}

void TFormToolManager::MouseMove(TKestuMessage* message, bool& handled) {
  auto* mouse = DynamicCast<TKestuMouseEvent>(message);
  if (!form_ || !mouse) return;
  handled = true;
  TPageProjection* projection = Projection();
  if (!projection) return;
  TRealPoint world;
  projection->DeviceToWorld(mouse->X, mouse->Y, world);
  form_->Window().SetText("l_x", Fixed(world.X, 2));
  form_->Window().SetText("l_y", Fixed(world.Y, 2));
}

void TFormToolManager::ReView(TKestuMessage* message, bool& handled) {
  if (redraw_.DeferReView(Interpret())) {
    handled = true;
    return;
  }
  SetCopyPen(GetDevice());
  const bool alive = redraw_.Run(
      *this, [&] { TInteractiveTool::ReView(message, handled); },
      [this] {
        ShowScaleText(ScaleLabelText(Scale()));
        if (TTool* active = GetActiveTool()) PostMessage(msgReView, active, nullptr, false);
      });
  if (!alive) return;
  PostMessage(msgFinished, nullptr, this, false);
  // What waited for the end of the walk is done now, also when a walk broken
  // off ended without the interpret's report.
  if (!redraw_.Drawing()) FinishPendingWork();
}

void TFormToolManager::Resize(bool& handled) {
  handled = true;
  if (TDevice* device = GetDevice()) device->SetupPage();
  PostMessage(msgRequestReView, this, nullptr, false);
}

void TFormToolManager::ReceiveMessage(TKestuMessage*& message, bool& handled) {
  handled = false;
  if (!message) return;
  TTool* active = GetActiveTool();
  if (active && message->Message != msgReView) active->ReceiveMessage(message, handled);
  if (handled || !message) return;
  TInteractiveTool::ReceiveMessage(message, handled);
  if (handled || !message) return;
  switch (message->Message) {
    case msgSelectTool: return SelectTool(message, handled);
    case msgPrintDone: return PrintDone(message, handled);
    case msgOpenFile: return OpenFile(message, handled);
    case msgSaveFileAs: return SaveFileAs(message, handled);
    case msgPrint: return Print(message, handled);
    case msgEditScale: return EditScale(message, handled);
    case msgFitAll: return FitAll(message, handled);
    case msgRepaintImage: return RepaintImage(message, handled);
    case msgQuickView: return ToggleQuickView(message, handled);
    default: return;
  }
}

TClass TFormToolManager::StaticClass() {
  using M = TFormToolManager;
  static const TClassInfo info = DescribeClass<M>(
      "TFormToolManager", TInteractiveTool::StaticClass(), "t_InteractiveTool",
      {AccessorProp<M, TInteractiveTool*>("NextTool", nullptr, [](M& m, TInteractiveTool* t) { m.SetNextTool(t); }),
       AccessorProp<M, std::string>(
           "ActiveToolName", [](const M& m) { return const_cast<M&>(m).ActiveToolName(); },
           [](M& m, std::string v) { m.SetActiveToolName(v); }),
       AccessorProp<M, std::string>(
           "ActiveToolClassName", [](const M& m) { return const_cast<M&>(m).ActiveToolClassName(); },
           [](M& m, std::string v) { m.SetActiveToolClassName(v); }),
       NotStored(AccessorProp<M, TStandardImageForm*>("Form", [](const M& m) { return m.Form(); }, nullptr)),
       AccessorProp<M, double>(
           "Scale", [](const M& m) { return m.Scale(); }, [](M& m, double v) { m.SetShownScale(v); }),
       ReadWriteProp("PageColor", &M::PageColor, &M::SetPageColor),
       ReadProp("Projection", &M::Projection),
       ReadWriteProp("InterpretScript", &M::InterpretScript, &M::SetInterpretScript),
       AccessorProp<M, std::int32_t>("Left", [](const M& m) { return m.GetLeft(); }, [](M& m, std::int32_t v) { m.SetLeft(v); }),
       AccessorProp<M, std::int32_t>("Top", [](const M& m) { return m.GetTop(); }, [](M& m, std::int32_t v) { m.SetTop(v); }),
       AccessorProp<M, std::int32_t>("Width", [](const M& m) { return m.GetWidth(); }, [](M& m, std::int32_t v) { m.SetWidth(v); }),
       AccessorProp<M, std::int32_t>("Height", [](const M& m) { return m.GetHeight(); }, [](M& m, std::int32_t v) { m.SetHeight(v); }),
       AccessorProp<M, std::string>(
           "Caption", [](const M& m) { return m.GetCaption(); }, [](M& m, std::string v) { m.SetCaption(v); }),
       WriteProp("BreakReView", &M::SetBreakReView),
       WriteProp("ElementForReView", &M::SetElementForReView),
       WriteProp("ElementForKillReView", &M::SetElementForKillReView),
       AccessorProp<M, bool>("FreeForm", nullptr, [](M& m, bool v) { m.SetFreeForm(v); }),
       AccessorProp<M, std::string>("LoadFromFile", nullptr, [](M& m, std::string v) { m.SetLoadFromFile(v); }),
       AccessorProp<M, std::string>("SaveToFile", nullptr, [](M& m, std::string v) { m.SetSaveToFile(v); }),
       ReadWriteProp("QuickView", &M::QuickView, &M::SetQuickView)});
  return &info;
}

void RegisterFormToolManagerClasses() { RegisterKestuClass(TFormToolManager::StaticClass()); }
