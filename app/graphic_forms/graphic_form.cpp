#include "app/graphic_forms/graphic_form.h"

#include "app/graphic_forms/graphic_form_window.h"
#include "framework/core/class_registry.h"
#include "framework/tools/system_register.h"
#include "framework/tools/world.h"
#include "framework/values/typed_values.h"
#include "platform/code_page.h"
#include "platform/control_drag.h"
#include "render/devices/device.h"
#include "render/interprets/interpret_script.h"
#include "render/interprets/universal_interpret.h"
#include "render/tool_forms/form_tool_manager.h"
#include "render/tool_forms/standard_image_form.h"
#include "spatial/geometry/geometry_elements.h"
#include "spatial/geometry/page.h"
#include "spatial/geometry/projection.h"

namespace {

constexpr const char* kImage = "Image";
constexpr const char* kStatusBar = "StatusBar";
constexpr const char* kProjection = "Projection";
constexpr const char* kMapEntry = "MAP";

// The register's "Projection", made at the first publication.
TEntity* ProjectionRegister(bool create) {
  TSystemRegister* reg = World() ? World()->SystemRegister() : nullptr;
  if (!reg) return nullptr;
  auto* projection = DynamicCast<TEntity>(reg->FindElementByName(kProjection));
  if (!projection && create) {
    projection = CreateElement<TOwnerEntity>();
    projection->SetName(kProjection);
    reg->AddElement(projection);
  }
  return projection;
}

// The entry of that name, made as a New when missing.
template <class New>
TTypeElement* RegisterEntry(TEntity& projection, const std::string& name) {
  auto* entry = DynamicCast<TTypeElement>(projection.FindElementByName(name));
  if (!entry) {
    entry = CreateElement<New>();
    entry->SetName(name);
    projection.AddElement(entry);
  }
  return entry;
}

void SetFloatEntry(TEntity& projection, const std::string& name, double value) {
  RegisterEntry<TFloatElement>(projection, name)->SetAsFloat(value);
}

std::string MapInRegister() {
  TEntity* projection = ProjectionRegister(false);
  auto* map = projection ? DynamicCast<TTypeElement>(projection->FindElementByName(kMapEntry)) : nullptr;
  return map ? map->GetAsString() : std::string();
}

// The object model's DATA/THEMATIC/<map>; nil when a step is missing.
TElement* ThematicMap(const std::string& map) {
  TEntity* step = World() ? World()->ObjectModel() : nullptr;
  for (const std::string& name : {std::string("DATA"), std::string("THEMATIC")}) {
    step = step ? DynamicCast<TEntity>(step->FindElementByName(name)) : nullptr;
  }
  return step ? step->FindElementByName(map) : nullptr;
}

}  // namespace

TGraphicForm::~TGraphicForm() {
  // The form's bitmap goes with the form: the device lets it go first.
  if (auto* device = DynamicCast<TBitmapDevice>(GetDevice())) device->SetBitmap(nullptr);
}

TGraphic_Form* TGraphicForm::GraphicForm() const { return dynamic_cast<TGraphic_Form*>(Form()); }

std::vector<TTool*> TGraphicForm::GroupsAndTools() {
  std::vector<TTool*> tools;
  for (int i = 0; i < ToolCount(); ++i) {
    TTool* tool = GetTool(i);
    tools.push_back(tool);
    if (auto* group = DynamicCast<TTechnology>(tool))
      for (int j = 0; j < group->ToolCount(); ++j) tools.push_back(group->GetTool(j));
  }
  return tools;
}

std::string TGraphicForm::ActiveToolName() {
  TTool* tool = GetActiveTool();
  return tool ? tool->GetName() : std::string();
}

void TGraphicForm::SetActiveToolName(const std::string& name) { RequestSelectionByName(GroupsAndTools(), name); }

std::string TGraphicForm::ActiveToolClassName() {
  TTool* tool = GetActiveTool();
  return tool ? tool->ClassName() : std::string();
}

void TGraphicForm::SetActiveToolClassName(const std::string& name) {
  RequestSelectionByClassName(GroupsAndTools(), name);
}

std::uint32_t TGraphicForm::PageColor() const { return DevicePageColor(GetDevice()); }
void TGraphicForm::SetPageColor(std::uint32_t colour) { SetDevicePageColor(GetDevice(), colour); }

TPageProjection* TGraphicForm::Projection() const { return GetDevice() ? GetDevice()->Projection() : nullptr; }

TInterpretScript* TGraphicForm::InterpretScript() const { return UniversalScript(Interpret()); }
void TGraphicForm::SetInterpretScript(TInterpretScript* script) { SetUniversalScript(Interpret(), script); }

void TGraphicForm::SetBreakReView(bool value) {
  if (value && Interpret() && Interpret()->Busy()) Interpret()->SetBreakWork(true);
}

void TGraphicForm::SetElementForReView(TElement* element) {
  if (!Idle()) PostMessage(msgReView, this, element, false);
}

// The message frees what it carries when nothing else holds it: never the
// world, this window or what holds it.
void TGraphicForm::SetElementForKillReView(TElement* element) {
  if (element && element == World()) throw ECircularOwnership();
  CheckNewHeld(element);
  if (!Idle()) PostMessage(msgReView, this, element, true);
}

void TGraphicForm::PostReViewRequest() {
  if (!Idle()) PostMessage(msgRequestReView, this, nullptr, false);
}

void TGraphicForm::SetReViewByElement(TElement* element) {
  auto* entity = DynamicCast<TRectEntity>(element);
  TPageProjection* projection = Projection();
  if (!entity || !projection) return;
  projection->FitRect({entity->GetMinX(), entity->GetMinY(), entity->GetMaxX(), entity->GetMaxY()});
  PostReViewRequest();
}

void TGraphicForm::SetShiftView(const std::string& direction) {
  if (Idle()) return;
  TPageProjection* projection = Projection();
  T_Page* page = GetDevice() ? GetDevice()->Page() : nullptr;
  if (projection && page) {
    const std::string text = platform::AnsiUpperCase(direction);
    const double width = projection->DeviceToWorldLength(page->Width());
    const double height = projection->DeviceToWorldLength(page->Height());
    if (text == "UP") projection->SetCenter_Y(projection->Center_Y() + height);
    else if (text == "DOWN") projection->SetCenter_Y(projection->Center_Y() - height);
    else if (text == "LEFT") projection->SetCenter_X(projection->Center_X() - width);
    else if (text == "RIGHT") projection->SetCenter_X(projection->Center_X() + width);
  }
  PostReViewRequest();
}

void TGraphicForm::SetZoom(const std::string& direction) {
  if (Idle()) return;
  const std::string text = platform::AnsiUpperCase(direction);
  if (text == "IN") SetScale(Scale() / 2);
  else if (text == "OUT") SetScale(Scale() * 2);
  else return;
  PostReViewRequest();
}

void TGraphicForm::SetViewAll(bool value) {
  if (!value) return;
  FitElementToDevice(GetDevice(), Input());
  PostReViewRequest();
}

void TGraphicForm::ChooseMap(const std::string& map) {
  TElement* input = ThematicMap(map);
  if (!input) {
    // The view stays on the map it shows, and the list says so.
    Log("Thematic map DATA/THEMATIC/" + map + " was not found");
    if (TGraphic_Form* form = GraphicForm()) form->ShowMap(MapInRegister());
    return;
  }
  TEntity* reg = ProjectionRegister(true);
  if (reg) RegisterEntry<TStringElement>(*reg, kMapEntry)->SetAsString(map);
  TPageProjection* projection = Projection();
  // A window that showed nothing yet has no view to keep: the new map's
  // fitted view stays.
  const bool keepView = projection && Input() && projection->Scale() != 0;
  const TRealPoint centre = keepView ? TRealPoint{projection->Center_X(), projection->Center_Y()} : TRealPoint{};
  const double scale = keepView ? projection->Scale() : 0;
  if (keepView && reg) {
    SetFloatEntry(*reg, "X", centre.X);
    SetFloatEntry(*reg, "Y", centre.Y);
    SetFloatEntry(*reg, "Scale", scale);
  }
  SetInput(input);
  if (keepView) {
    projection->SetCenter(centre);
    projection->SetScale(scale);
  }
  PostMessage(msgRequestReView, this, nullptr, false);
}

void TGraphicForm::PublishView() {
  TPageProjection* projection = Projection();
  if (!projection || projection->Center_X() == 0 || projection->Center_Y() == 0 || projection->Scale() == 0) return;
  TEntity* reg = ProjectionRegister(true);
  if (!reg) return;
  SetFloatEntry(*reg, "X", projection->Center_X());
  SetFloatEntry(*reg, "Y", projection->Center_Y());
  SetFloatEntry(*reg, "Scale", projection->Scale());
  SetFloatEntry(*reg, "VirtualScale", projection->VirtualScale());
  if (TGraphic_Form* form = GraphicForm()) form->ShowMap(MapInRegister());
}

void TGraphicForm::ShowScaleText(const std::string&) {}

void TGraphicForm::CreateDevice() { SetDevice(CreateElement<TImageCanvasDevice>()); }

void TGraphicForm::ConnectDevice() {
  auto* device = DynamicCast<TBitmapDevice>(GetDevice());
  if (GraphicForm() && device) device->SetBitmap(GraphicForm()->ImageBitmap());
}

void TGraphicForm::CreateInterpret() { SetInterpret(CreateElement<TUniversalInterpret>()); }

void TGraphicForm::ConnectInterpret() {
  if (TInterpret* interpret = Interpret()) interpret->SetDevice(GetDevice());
}

void TGraphicForm::CreateDefaultTool() {}
void TGraphicForm::SetNextTool(TTool*) {}

void TGraphicForm::FreeTheForm() {
  if (!Form()) return;
  if (auto* device = DynamicCast<TBitmapDevice>(GetDevice())) device->SetBitmap(nullptr);
  ReleaseGroupsForm();
  SetForm(nullptr);
}

void TGraphicForm::SetFreeForm(bool value) {
  if (value) FreeTheForm();
}

void TGraphicForm::OpenFile(TKestuMessage*, bool&) {}
void TGraphicForm::SaveFileAs(TKestuMessage*, bool&) {}
void TGraphicForm::Print(TKestuMessage*, bool&) {}
void TGraphicForm::EditScale(TKestuMessage*, bool&) {}

void TGraphicForm::RepaintImage(TKestuMessage*, bool& handled) {
  handled = true;
  if (Form()) Form()->Window().RepaintImage(kImage);
}

void TGraphicForm::FitAll(TKestuMessage*, bool& handled) {
  FitElementToDevice(GetDevice(), Input());
  handled = true;
  PostReViewRequest();
}

void TGraphicForm::PrintDone(TKestuMessage*, bool& handled) { handled = true; }

void TGraphicForm::AfterConstruction() {
  TExtendedFormTool::AfterConstruction();
  CreateDevice();
  ConnectDevice();
  CreateInterpret();
  ConnectInterpret();
  CreateDefaultTool();
}

void TGraphicForm::CreateForm() {
  auto form = std::make_unique<TGraphic_Form>();
  form->SetTool(this);
  form->SetCanClose(false);
  form->OnMapChosen = [](TTool* tool, const std::string& map) {
    if (auto* graphicForm = DynamicCast<TGraphicForm>(tool)) graphicForm->ChooseMap(map);
  };
  SetForm(std::move(form));
}

void TGraphicForm::SetVisible(bool value) {
  TExtendedFormTool::SetVisible(value);
  if (!Form()) return;
  if (value) GraphicForm()->FitBitmapToImage();
  if (TDevice* device = GetDevice()) device->SetupPage();
}

void TGraphicForm::SetInput(TElement* element) {
  SetEnvelopedInput(*this, element, [this](TElement* envelope) { TExtendedFormTool::SetInput(envelope); });
}

void TGraphicForm::DoIt() {
  TExtendedFormTool::DoIt();
  SetVisible(true);
  if (!Idle()) PostMessage(msgReView, this, nullptr, false);
}

void TGraphicForm::CloseNow() {
  // Its tools are asked while the window is still there: an editor whose
  // user keeps an unfinished element keeps the window and the element in it.
  if (!CanClose()) return;
  FreeTheForm();
  CloseWithoutAsking();
}

void TGraphicForm::Close() {
  if (!redraw_.DeferClose(Interpret())) CloseNow();
}

void TGraphicForm::FinishPendingWork() {
  redraw_.Finish([this] { CloseNow(); }, [this] { DoIt(); });
}

void TGraphicForm::ToolFinished(TKestuMessage* message, bool& handled) {
  handled = true;
  redraw_.WalkReported(message, [this] { FinishPendingWork(); });
}

void TGraphicForm::SetActiveIndex(int index) {
  if (index != GetActiveIndex()) TExtendedFormTool::SetActiveIndex(index);
}

std::int32_t TGraphicForm::GetCursor() { return Form() ? Form()->Window().ControlCursor(kImage) : 0; }

void TGraphicForm::SetCursor(std::int32_t number) {
  if (!Form()) return;
  platform::Form& window = Form()->Window();
  if (platform::ControlDragging(window, kImage)) platform::SetControlDragCursor(window, kImage, number);
  else window.SetControlCursor(kImage, number);
}

void TGraphicForm::CursorChanged(TKestuMessage* message, bool& handled) {
  if (auto* cursor = DynamicCast<TKestuCursorEvent>(message)) SetCursor(cursor->Cursor);
  handled = true;
}

void TGraphicForm::KeyDown(TKestuMessage* message, bool&) {
  if (Idle()) return;
  ApplyViewKey(*this, message, [this](int code) { PostMessage(code, this, nullptr, false); });
}

void TGraphicForm::Redraw(bool& handled, const std::function<void()>& draw, bool whole) {
  if (Idle()) return;
  if (redraw_.DeferReView(Interpret())) {
    handled = true;
    return;
  }
  SetCopyPen(GetDevice());
  const bool alive = redraw_.Run(*this, draw, [this, whole] {
    if (TTool* active = GetActiveTool(); whole && active) PostMessage(msgReView, active, nullptr, false);
  });
  if (!alive) return;
  PostMessage(msgFinished, nullptr, this, false);
  if (whole) PublishView();
  if (!redraw_.Drawing()) FinishPendingWork();
}

void TGraphicForm::ReView(TKestuMessage* message, bool& handled) {
  Redraw(handled, [&] { TExtendedFormTool::ReView(message, handled); }, true);
}

void TGraphicForm::ReViewArea(TKestuMessage* message, bool& handled) {
  Redraw(handled, [&] { TExtendedFormTool::ReViewArea(message, handled); }, false);
}

void TGraphicForm::Resize(bool& handled) {
  handled = true;
  if (TDevice* device = GetDevice()) device->SetupPage();
  PostReViewRequest();
}

std::string TGraphicForm::GetText() { return Form() ? Form()->Window().Text(kStatusBar) : std::string(); }

void TGraphicForm::SetText(const std::string& text) {
  if (Form()) Form()->Window().SetText(kStatusBar, text);
}

void TGraphicForm::ReceiveMessage(TKestuMessage*& message, bool& handled) {
  TExtendedFormTool::ReceiveMessage(message, handled);
  if (handled || !message) return;
  switch (message->Message) {
    case msgPrintDone: return PrintDone(message, handled);
    case msgOpenFile: return OpenFile(message, handled);
    case msgSaveFileAs: return SaveFileAs(message, handled);
    case msgPrint: return Print(message, handled);
    case msgEditScale: return EditScale(message, handled);
    case msgFitAll: return FitAll(message, handled);
    case msgRepaintImage: return RepaintImage(message, handled);
    default: return;
  }
}

TClass TGraphicForm::StaticClass() {
  using G = TGraphicForm;
  static const TClassInfo info = DescribeClass<G>(
      "TGraphicForm", TExtendedFormTool::StaticClass(), "t_GraphicForm",
      {NotStored(AccessorProp<G, TTool*>("NextTool", nullptr, [](G& g, TTool* t) { g.SetNextTool(t); })),
       NotStored(AccessorProp<G, std::string>(
           "ActiveToolName", [](const G& g) { return const_cast<G&>(g).ActiveToolName(); },
           [](G& g, std::string v) { g.SetActiveToolName(v); })),
       NotStored(AccessorProp<G, std::string>(
           "ActiveToolClassName", [](const G& g) { return const_cast<G&>(g).ActiveToolClassName(); },
           [](G& g, std::string v) { g.SetActiveToolClassName(v); })),
       ReadWriteProp("PageColor", &G::PageColor, &G::SetPageColor),
       NotStored(ReadProp("Projection", &G::Projection)),
       ReadWriteProp("InterpretScript", &G::InterpretScript, &G::SetInterpretScript),
       NotStored(WriteProp("BreakReView", &G::SetBreakReView)),
       NotStored(WriteProp("ElementForReView", &G::SetElementForReView)),
       NotStored(WriteProp("ElementForKillReView", &G::SetElementForKillReView)),
       NotStored(WriteProp("ReViewByElement", &G::SetReViewByElement)),
       NotStored(WriteProp("ShiftView", &G::SetShiftView)),
       NotStored(WriteProp("Zoom", &G::SetZoom)),
       NotStored(WriteProp("ViewAll", &G::SetViewAll)),
       NotStored(AccessorProp<G, bool>("FreeForm", nullptr, [](G& g, bool v) { g.SetFreeForm(v); }))});
  return &info;
}

void RegisterGraphicFormClasses() { RegisterKestuClass(TGraphicForm::StaticClass()); }
