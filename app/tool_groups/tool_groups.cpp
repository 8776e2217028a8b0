#include "app/tool_groups/tool_groups.h"

#include "app/extended_forms/extended_form_tool.h"
#include "app/startup/main_tool.h"
#include "app/tool_groups/group_properties.h"
#include "framework/core/class_registry.h"
#include "framework/forms/base_forms.h"
#include "framework/values/tool_models.h"
#include "framework/values/typed_values.h"
#include "platform/code_page.h"
#include "platform/dialogs.h"
#include "platform/form_parts.h"
#include "platform/forms.h"
#include "render/tool_forms/frames.h"

namespace {

// The drag cursor a group's bar shows, and the hand over a tool's button.
constexpr int kDragCursor = -12;
constexpr int kHandPointCursor = -21;

platform::BarArea AreaOf(std::uint8_t align) { return static_cast<platform::BarArea>(align); }

bool IsBarAlign(std::uint8_t align) { return align >= 1 && align <= 4; }

}  // namespace

// ---------------------------------------------------------------- control tool

void TControlTool::SetControl(platform::Form* form, const std::string& name) {
  controlForm_ = form;
  controlName_ = form ? name : std::string();
}

// A control that is no tool bar of a window with bar areas (a strip placed in
// another tool's bar) has no bar area of its own.
std::uint8_t TControlTool::Align() const {
  if (!controlForm_ || !controlForm_->HasToolBar(controlName_)) return 0;
  return static_cast<std::uint8_t>(controlForm_->ToolBarArea(controlName_));
}

void TControlTool::SetAlign(std::uint8_t value) {
  if (controlForm_ && IsBarAlign(value) && controlForm_->HasToolBar(controlName_))
    controlForm_->MoveToolBar(controlName_, AreaOf(value));
}

std::int32_t TControlTool::GetLeft() const { return controlForm_ ? controlForm_->ControlBounds(controlName_).Left : 0; }
std::int32_t TControlTool::GetTop() const { return controlForm_ ? controlForm_->ControlBounds(controlName_).Top : 0; }
std::int32_t TControlTool::Width() const { return controlForm_ ? controlForm_->ControlBounds(controlName_).Width : 0; }
std::int32_t TControlTool::Height() const {
  return controlForm_ ? controlForm_->ControlBounds(controlName_).Height : 0;
}
bool TControlTool::Visible() const { return controlForm_ && controlForm_->ControlVisible(controlName_); }

void TControlTool::SetVisible(bool value) {
  if (controlForm_) controlForm_->SetControlVisible(controlName_, value);
}

void TControlTool::SetParentControl(platform::Form* form, const std::string& control) {
  // Controls of two windows cannot hold each other.
  if (controlForm_ && form == controlForm_ && !control.empty()) controlForm_->EmbedInToolBar(controlName_, control);
}

void TControlTool::CreateControl() {}

void TControlTool::AfterConstruction() {
  TTechnology::AfterConstruction();
  CreateControl();
}

TTool* TControlTool::AddTool(TTool* tool) {
  TTechnology::AddTool(tool);
  if (auto* sub = DynamicCast<TControlTool>(tool); sub && sub->HasControl())
    SetParentControl(sub->ControlForm(), sub->ControlName());
  else if (auto* frame = DynamicCast<TKestuFrame>(tool); frame && frame->Frame() && controlForm_)
    platform::PlaceFormInToolBar(frame->Frame()->Window(), *controlForm_, controlName_);
  return tool;
}

// ---------------------------------------------------------------- extended tool group

TExtendedToolGroup::~TExtendedToolGroup() = default;

platform::Form* TExtendedToolGroup::Window() const { return form_ ? &form_->Window() : nullptr; }

void TExtendedToolGroup::SetForm(TKESTUForm* form) {
  form_ = form;
  if (!form) return;
  images_ = std::make_unique<platform::ImageList>(16, 16);
  barName_ = BarName();
  form->Window().AddToolBar(barName_, platform::BarArea::Top);
  form->Window().SetControlCursor(barName_, kDragCursor);
  SetControl(&form->Window(), barName_);
  align_ = static_cast<std::uint8_t>(platform::BarArea::Top);
}

std::string TExtendedToolGroup::BarName() const { return "tb_" + GetName(); }

void TExtendedToolGroup::SetAlign(std::uint8_t value) {
  if (value == align_) return;
  if (IsBarAlign(value)) TControlTool::SetAlign(value);
  align_ = value;
}

template <class A>
A* TExtendedToolGroup::NewAction(bool withButton) {
  platform::Form* window = Window();
  if (!window) return nullptr;
  auto action = std::make_unique<A>(*window, "al_" + GetName() + "_" + std::to_string(nextActionId_++));
  A* made = action.get();
  actions_.push_back(std::move(action));
  actual_ = made;
  if (withButton) AddActionButton(*made);
  return made;
}

void TExtendedToolGroup::AddActionButton(TAction& action) {
  const bool isTool = dynamic_cast<TToolAction*>(&action) != nullptr;
  std::function<void()> contextMenu;
  if (isTool) contextMenu = [&action] { platform::ShowMessage("Hint: " + action.Hint()); };
  Window()->AddActionButton(barName_, action.Id(), isTool ? kHandPointCursor : 0, contextMenu);
}

void TExtendedToolGroup::ToolActionExecuted(TToolAction& action) {
  PostMessageToOwners(msgSelectTool, action.Tool(), false);
}

TToolAction* TExtendedToolGroup::MakeToolAction(const std::string& name, bool withButton) {
  TToolAction* action = NewAction<TToolAction>(withButton);
  if (!action) return nullptr;
  action->SetName(name);
  action->OnExecute = [this](TAction& executed) { ToolActionExecuted(static_cast<TToolAction&>(executed)); };
  return action;
}

void TExtendedToolGroup::NewToolAction(const std::string& name) { MakeToolAction(name, true); }

void TExtendedToolGroup::NewScriptAction(const std::string&) { NewAction<TScriptAction>(true); }

void TExtendedToolGroup::NewSeparator(const std::string& text) {
  if (platform::Form* window = Window(); window && !barName_.empty()) window->AddSeparatorButton(barName_, text == "|");
}

void TExtendedToolGroup::NewImage(const std::string& fileName) {
  if (!images_) return;
  const std::string path = ResolveFileName(ProgramDirectory(), fileName);
  if (!images_->AddMasked(path)) Log("Image " + path + " was not read");
  // A model's actions are made before its images: they show theirs now.
  const int added = images_->Count() - 1;
  for (const auto& action : actions_)
    if (action->ImageIndex() == added) action->SetImageIndex(added, *images_);
}

void TExtendedToolGroup::FindActionName(const std::string& name) {
  actual_ = nullptr;
  for (const auto& action : actions_)
    if (platform::AnsiSameText(action->Name(), name)) actual_ = action.get();
}

TToolAction* TExtendedToolGroup::ActionOfTool(const TTool* tool) const {
  if (!tool) return nullptr;
  for (const auto& action : actions_)
    if (auto* toolAction = dynamic_cast<TToolAction*>(action.get()); toolAction && toolAction->Tool() == tool)
      return toolAction;
  return nullptr;
}

std::string TExtendedToolGroup::ActualCaption() const { return actual_ ? actual_->Name() : std::string(); }
void TExtendedToolGroup::SetActualCaption(const std::string& caption) {
  if (actual_) actual_->SetCaption(caption);
}
std::string TExtendedToolGroup::ActualHint() const { return actual_ ? actual_->Hint() : std::string(); }
void TExtendedToolGroup::SetActualHint(const std::string& hint) {
  if (actual_) actual_->SetHint(hint);
}
std::int32_t TExtendedToolGroup::ActualImageIndex() const { return actual_ ? actual_->ImageIndex() : -1; }
void TExtendedToolGroup::SetActualImageIndex(std::int32_t index) {
  if (actual_ && images_) actual_->SetImageIndex(index, *images_);
}

std::string TExtendedToolGroup::ActualScript() const {
  auto* script = dynamic_cast<TScriptAction*>(actual_);
  return script ? script->Script : std::string();
}
void TExtendedToolGroup::SetActualScript(const std::string& text) {
  if (auto* script = dynamic_cast<TScriptAction*>(actual_)) script->Script = text;
}

TTool* TExtendedToolGroup::ActualTool() const {
  auto* action = dynamic_cast<TToolAction*>(actual_);
  return action ? action->Tool() : nullptr;
}
void TExtendedToolGroup::SetActualTool(TTool* tool) {
  if (auto* action = dynamic_cast<TToolAction*>(actual_)) action->SetTool(tool);
}

bool TExtendedToolGroup::ActualVisible() const { return actual_ && actual_->Visible(); }
void TExtendedToolGroup::SetActualVisible(bool value) {
  if (actual_) actual_->SetVisible(value);
}
std::string TExtendedToolGroup::ActualShortCut() const { return actual_ ? actual_->ShortCut() : std::string(); }
void TExtendedToolGroup::SetActualShortCut(const std::string& text) {
  if (actual_) actual_->SetShortCut(text);
}

namespace {

// Changes one setting of the group's tool bar, when it has one.
void ChangeStyle(platform::Form* window, const std::string& bar,
                 const std::function<void(platform::ToolBarStyle&)>& change) {
  if (!window || bar.empty()) return;
  platform::ToolBarStyle style = window->GetToolBarStyle(bar);
  change(style);
  window->SetToolBarStyle(bar, style);
}

platform::ToolBarStyle StyleOf(platform::Form* window, const std::string& bar) {
  return window && !bar.empty() ? window->GetToolBarStyle(bar) : platform::ToolBarStyle{false, 0, 0, false, false, false};
}

}  // namespace

bool TExtendedToolGroup::Flat() const { return StyleOf(Window(), barName_).Flat; }
void TExtendedToolGroup::SetFlat(bool value) {
  ChangeStyle(Window(), barName_, [value](platform::ToolBarStyle& s) { s.Flat = value; });
}
std::int32_t TExtendedToolGroup::ButtonHeight() const { return StyleOf(Window(), barName_).ButtonHeight; }
void TExtendedToolGroup::SetButtonHeight(std::int32_t value) {
  ChangeStyle(Window(), barName_, [value](platform::ToolBarStyle& s) { s.ButtonHeight = value; });
}
std::int32_t TExtendedToolGroup::ButtonWidth() const { return StyleOf(Window(), barName_).ButtonWidth; }
void TExtendedToolGroup::SetButtonWidth(std::int32_t value) {
  ChangeStyle(Window(), barName_, [value](platform::ToolBarStyle& s) { s.ButtonWidth = value; });
}
bool TExtendedToolGroup::ShowCaptions() const { return StyleOf(Window(), barName_).ShowCaptions; }
void TExtendedToolGroup::SetShowCaptions(bool value) {
  ChangeStyle(Window(), barName_, [value](platform::ToolBarStyle& s) { s.ShowCaptions = value; });
}
bool TExtendedToolGroup::Wrapable() const { return StyleOf(Window(), barName_).Wrapable; }
void TExtendedToolGroup::SetWrapable(bool value) {
  ChangeStyle(Window(), barName_, [value](platform::ToolBarStyle& s) { s.Wrapable = value; });
}
bool TExtendedToolGroup::AutoDock() const { return StyleOf(Window(), barName_).DockSite; }
void TExtendedToolGroup::SetAutoDock(bool value) {
  ChangeStyle(Window(), barName_, [value](platform::ToolBarStyle& s) { s.DockSite = value; });
}

std::int32_t TExtendedToolGroup::ImageHeight() const { return images_ ? images_->Height() : 0; }
void TExtendedToolGroup::SetImageHeight(std::int32_t value) {
  if (images_) images_->SetHeight(value);
}
std::int32_t TExtendedToolGroup::ImageWidth() const { return images_ ? images_->Width() : 0; }
void TExtendedToolGroup::SetImageWidth(std::int32_t value) {
  if (images_) images_->SetWidth(value);
}

void TExtendedToolGroup::AddToolActionFor(TTool* tool, TToolModel* model) {
  // The button comes last, shown once with all it shows.
  TToolAction* action = MakeToolAction(tool->GetName(), false);
  if (!action) return;
  SetActualTool(tool);
  SetActualCaption(model->GetName());
  SetActualHint(model->Comment);
  SetActualImageIndex(model->ImageIndex);
  AddActionButton(*action);
}

TTool* TExtendedToolGroup::AddTool(TTool* tool) {
  if (!tool) return nullptr;
  TControlTool::AddTool(tool);
  if (TToolModel* model = tool->SelfModel()) {
    AddToolActionFor(tool, model);
    SetActualShortCut(model->ShortCut);
  }
  return tool;
}

void TExtendedToolGroup::AddModelImages(TToolModel* model) {
  if (!model || model->NoImages()) return;
  TStringListElement* files = model->Images();
  for (int i = 0; i < files->GetCount(); ++i) NewImage(files->GetValue(i));
}

void TExtendedToolGroup::AddSubTools(TTool* tool) {
  auto* technology = DynamicCast<TTechnology>(tool);
  if (!technology || technology->NoTools() || !technology->SelfModel()) return;
  AddModelImages(technology->SelfModel());
  for (int i = 0; i < technology->ToolCount(); ++i)
    if (TTool* sub = technology->GetTool(i)) AddTool(sub);
}

void TExtendedToolGroup::ApplyModel() {
  TToolModel* model = SelfModel();
  if (!model) return;
  TControlTool::ApplyModel();
  AddModelImages(model);
}

TTool* TExtendedToolGroup::CreateToolByModel(TToolModel* model) {
  if (!model) return nullptr;
  const std::string name = model->GetName();
  if (name == "." || name == "|") {
    NewSeparator(name);
    return nullptr;
  }
  // The tool's own model would give it an action in AddTool: the model's
  // texts are given here instead, as for a tool made by the group.
  TTool* tool = TControlTool::CreateToolByModel(model);
  if (auto* frame = DynamicCast<TKestuFrame>(tool)) {
    if (auto* window = DynamicCast<TDeviceTool>(GetOwnerByClass(TExtendedFormTool::StaticClass())))
      frame->SetDevice(window->GetDevice());
  } else if (tool && !DynamicCast<TControlTool>(tool) && !ActionOfTool(tool)) {
    AddToolActionFor(tool, model);
  }
  return tool;
}

void TExtendedToolGroup::ClearGroup() {
  platform::Form* window = Window();
  if (window && !barName_.empty()) {
    const bool captions = ShowCaptions();
    SetShowCaptions(false);
    window->ClearToolBar(barName_);
    SetShowCaptions(captions);
  }
  actual_ = nullptr;
  actions_.clear();
  if (images_) images_->Clear();
  if (TTools* tools = ExistingTools()) tools->Clear();
  SetActiveTool(nullptr);
}

void TExtendedToolGroup::ReleaseForm() {
  for (const auto& action : actions_) action->LeaveToWindow();
  actual_ = nullptr;
  actions_.clear();
  form_ = nullptr;
  SetControl(nullptr, {});
  barName_.clear();
}

void TExtendedToolGroup::ReceiveMessage(TKestuMessage*& message, bool& handled) {
  PassMessageToOwners(message, handled);
}

// ---------------------------------------------------------------- menu group

void TMenuGroup::SetForm(TKESTUForm* form) {
  TExtendedToolGroup::SetForm(nullptr);
  if (!form) return;
  SetControl(&form->Window(), "MenuBar");
}

// ---------------------------------------------------------------- classes

TClass TControlTool::StaticClass() {
  static const TClassInfo info = DescribeClass<TControlTool>(
      "TControlTool", TTechnology::StaticClass(), "Tools",
      {AccessorProp<TControlTool, std::uint8_t>(
           "Align", [](const TControlTool& t) { return t.Align(); },
           [](TControlTool& t, std::uint8_t v) { t.SetAlign(v); }),
       NotStored(AccessorProp<TControlTool, std::int32_t>(
           "Left", [](const TControlTool& t) { return t.GetLeft(); }, nullptr)),
       NotStored(AccessorProp<TControlTool, std::int32_t>(
           "Top", [](const TControlTool& t) { return t.GetTop(); }, nullptr)),
       NotStored(ReadProp("Width", &TControlTool::Width)), NotStored(ReadProp("Height", &TControlTool::Height)),
       ReadWriteProp("Visible", &TControlTool::Visible, &TControlTool::SetVisible)});
  return &info;
}

TClass TExtendedToolGroup::StaticClass() {
  static const TClassInfo info = DescribeClass<TExtendedToolGroup>(
      "TExtendedToolGroup", TControlTool::StaticClass(), "Tools",
      tool_groups::GroupProperties<TExtendedToolGroup>(
          [](const TExtendedToolGroup& g) -> TExtendedToolGroup& { return const_cast<TExtendedToolGroup&>(g); },
          true));
  return &info;
}

TClass TMenuGroup::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TMenuGroup>("TMenuGroup", TExtendedToolGroup::StaticClass(), "Tools", {});
  return &info;
}

void RegisterToolGroupClasses() {
  RegisterKestuClass(TControlTool::StaticClass());
  RegisterKestuClass(TExtendedToolGroup::StaticClass());
  RegisterKestuClass(TMenuGroup::StaticClass());
}
