#include "app/extended_forms/extended_form_tool.h"

#include "app/tool_groups/tool_groups.h"
#include "framework/core/class_registry.h"
#include "platform/code_page.h"
#include "platform/forms.h"
#include "render/interprets/interpret.h"
#include "render/tool_forms/frames.h"
#include "render/tool_forms/interaction_events.h"

namespace {

constexpr const char* kMenuToolBar = "MenuBar";
constexpr const char* kTasksItem = "Tasks";
constexpr const char* kTaskToolsItem = "TaskTools";

void SetMark(TAction* action, bool checked) {
  if (action) action->SetChecked(checked);
}

TExtendedToolGroup* OwningGroup(TTool* tool) {
  return DynamicCast<TExtendedToolGroup>(tool->GetOwnerByClass(TExtendedToolGroup::StaticClass()));
}

}  // namespace

// ---------------------------------------------------------------- the window

TExtendedKESTU_Form::TExtendedKESTU_Form(const std::string& layout) : TKESTUForm(layout) {
  platform::Form& window = Window();
  window.OnClick("StatusbarVisible", [&window] {
    window.SetControlVisible("StatusBar", window.Checked("StatusbarVisible"));
  });
  window.OnClick("MenuVisible", [&window] {
    window.SetControlVisible(kMenuToolBar, window.Checked("MenuVisible"));
  });
  window.SetMenuItemVisible(kTasksItem, false);
  window.SetMenuItemVisible(kTaskToolsItem, false);
  ResetMenuBar(MainMenu());
}

void TExtendedKESTU_Form::ResetMenuBar(platform::Menu* menu) {
  Window().ShowMenuOnToolBar(kMenuToolBar, nullptr);
  Window().ShowMenuOnToolBar(kMenuToolBar, menu);
}

// ---------------------------------------------------------------- the tool

TExtendedFormTool::~TExtendedFormTool() {
  ReleaseGroupsForm();
  if (TTools* tools = ExistingTools()) tools->Clear();
}

void TExtendedFormTool::ReleaseGroupsForm() {
  // The groups' actions live in the window: they go before it.
  if (TTools* tools = ExistingTools()) {
    for (int i = 0; i < tools->GetCount(); ++i)
      if (auto* group = DynamicCast<TExtendedToolGroup>(tools->GetElement(i))) group->ReleaseForm();
  }
}

TMenuGroup* TExtendedFormTool::Menu() const { return static_cast<TMenuGroup*>(menu_.Get()); }
TExtendedToolGroup* TExtendedFormTool::Tasks() const { return static_cast<TExtendedToolGroup*>(tasks_.Get()); }
TExtendedToolGroup* TExtendedFormTool::TaskTools() const {
  return static_cast<TExtendedToolGroup*>(taskTools_.Get());
}
TExtendedToolGroup* TExtendedFormTool::Monitors() const { return static_cast<TExtendedToolGroup*>(monitors_.Get()); }
TTechnology* TExtendedFormTool::FrameSelectors() const { return static_cast<TTechnology*>(frameSelectors_.Get()); }
TExtendedKESTU_Form* TExtendedFormTool::ExtendedForm() const { return dynamic_cast<TExtendedKESTU_Form*>(Form()); }

TExtendedToolGroup* TExtendedFormTool::CurrentGroup() {
  return DynamicCast<TExtendedToolGroup>(TTechnology::GetActiveTool());
}

TTool* TExtendedFormTool::CurrentTask() const { return Tasks() ? Tasks()->GetActiveTool() : nullptr; }

TFrameSelector* TExtendedFormTool::CurrentFrameSelector() const {
  return FrameSelectors() ? DynamicCast<TFrameSelector>(FrameSelectors()->GetActiveTool()) : nullptr;
}

void TExtendedFormTool::NewGroupName(const std::string& name) {
  if (FindTool(name)) {
    Log("Group named " + name + " already exists !");
    return;
  }
  auto* group = CreateElement<TExtendedToolGroup>();
  group->SetName(name);
  AddTool(group);
}

bool TExtendedFormTool::AutoDock() const {
  return Form() && Form()->Window().GetToolBarStyle(kMenuToolBar).DockSite;
}

void TExtendedFormTool::SetAutoDock(bool value) {
  if (!Form()) return;
  platform::ToolBarStyle style = Form()->Window().GetToolBarStyle(kMenuToolBar);
  style.DockSite = value;
  Form()->Window().SetToolBarStyle(kMenuToolBar, style);
}

platform::Menu* TExtendedFormTool::GetMainMenu() { return ExtendedForm() ? ExtendedForm()->MainMenu() : nullptr; }
std::string TExtendedFormTool::GetText() { return {}; }
void TExtendedFormTool::SetText(const std::string&) {}

void TExtendedFormTool::ResetMenuBar() {
  if (TExtendedKESTU_Form* form = ExtendedForm()) form->ResetMenuBar(GetMainMenu());
}

void TExtendedFormTool::ClearTaskTools() {
  if (Form()) {
    platform::Form& window = Form()->Window();
    window.ClearMenuItem(kTaskToolsItem);
    window.SetText(kTaskToolsItem, "-");
    window.SetMenuItemVisible(kTaskToolsItem, false);
  }
  if (TaskTools()) TaskTools()->ClearGroup();
}

void TExtendedFormTool::ClearTasks() {
  if (Form()) {
    Form()->Window().ClearMenuItem(kTasksItem);
    Form()->Window().SetMenuItemVisible(kTasksItem, false);
  }
  if (Tasks()) Tasks()->ClearGroup();
}

void TExtendedFormTool::FillMenuItem(const std::string& menuItem, TExtendedToolGroup* group) {
  if (!Form() || !group || group->Actions().empty()) return;
  platform::Form& window = Form()->Window();
  const auto& actions = group->Actions();
  for (auto it = actions.rbegin(); it != actions.rend(); ++it) window.AddActionMenuItem(menuItem, (*it)->Id());
  window.SetMenuItemVisible(menuItem, true);
}

void TExtendedFormTool::FillTasks(TTool* tool) {
  if (!Tasks()) return;
  Tasks()->AddSubTools(tool);
  FillMenuItem(kTasksItem, Tasks());
}

void TExtendedFormTool::FillTaskTools(TTool* task) {
  if (!TaskTools()) return;
  TaskTools()->AddSubTools(task);
  if (Form() && Tasks() && Tasks()->Actual()) Form()->Window().SetText(kTaskToolsItem, Tasks()->Actual()->Caption());
  FillMenuItem(kTaskToolsItem, TaskTools());
}

void TExtendedFormTool::ChooseTasks(TKestuMessage* message, bool& handled) {
  TTool* tool = DynamicCast<TTool>(message->Data());
  ClearTaskTools();
  ClearTasks();
  FillTasks(tool);
  if (Tasks()) Tasks()->SetActiveTool(nullptr);
  ResetMenuBar();
  handled = true;
}

void TExtendedFormTool::StartTask(TKestuMessage* message) {
  auto* task = DynamicCast<TTool>(message->Data());
  if (!task) return;
  ClearTaskTools();
  if (!task->Idle()) task->DoIt();
  if (TTool* current = CurrentTask()) {
    if (current->DynamicTool) current->FreeModelTools();
    Tasks()->SetActiveTool(nullptr);
  }
  if (task->DynamicTool) task->CreateModelTools();
  FillTaskTools(task);
  if (Tasks()) {
    Tasks()->SetActiveTool(task);
    SetMark(Tasks()->Actual(), true);
  }
  ResetMenuBar();
}

void TExtendedFormTool::SelectInGroup(TExtendedToolGroup& group, TTool* tool, TKestuMessage*, bool& handled) {
  TTool* active = GetActiveTool();
  auto* activeInterface = DynamicCast<TInterfaceTool>(active);
  TToolAction* action = group.ActionOfTool(tool);
  TExtendedToolGroup* current = CurrentGroup();
  TAction* currentAction = current ? current->Actual() : nullptr;
  auto* interfaceTool = DynamicCast<TInterfaceTool>(tool);
  if (!interfaceTool) {
    // A tool that is no window part runs once; the active one keeps its mark.
    SetMark(action, true);
    tool->DoIt();
    SetMark(action, false);
    if (active) SetMark(currentAction, true);
    handled = true;
    return;
  }
  if (active) {
    SetMark(currentAction, false);
    if (tool == active) {
      SetMark(currentAction, true);
      handled = true;
      return;
    }
    if (activeInterface && !activeInterface->CanCloseActive()) {
      SetMark(action, true);
      SetMark(action, false);
      SetMark(currentAction, true);
      handled = true;
      return;
    }
  }
  SetMark(action, true);
  SetText(action ? action->Hint() : std::string());
  if (action) group.SetActual(action);
  if (activeInterface) activeInterface->Deactivate();
  SetCursor(0);
  SetActiveTool(tool);
  interfaceTool->SetDevice(GetDevice());
  interfaceTool->SetInput(Input());
  if (auto* frameTool = DynamicCast<TFrameTool>(tool)) frameTool->SetFrameSelector(CurrentFrameSelector());
  interfaceTool->Activate();
  handled = true;
}

void TExtendedFormTool::SelectTask(TTool* task) {
  TExtendedToolGroup& tasks = *Tasks();
  TToolAction* action = tasks.ActionOfTool(task);
  SetMark(tasks.Actual(), false);
  if (task == CurrentTask()) {
    SetMark(tasks.Actual(), true);
    return;
  }
  auto* activeInterface = DynamicCast<TInterfaceTool>(GetActiveTool());
  if (activeInterface && !activeInterface->CanCloseActive()) {
    SetMark(action, true);
    SetMark(action, false);
    SetMark(tasks.Actual(), true);
    return;
  }
  if (action) tasks.SetActual(action);
  PostMessage(msgStartTask, this, task, false);
}

void TExtendedFormTool::SelectTool(TKestuMessage* message, bool& handled) {
  auto* tool = DynamicCast<TTool>(message->Data());
  if (!tool) return;
  TExtendedToolGroup* group = OwningGroup(tool);
  if (!group) {
    Log("Tool: " + tool->GetName() + " is not component of " + GetName());
    return;
  }
  if (group == Tasks()) {
    SelectTask(tool);
    handled = true;
    return;
  }
  SelectInGroup(*group, tool, message, handled);
}

void TExtendedFormTool::ShowStatusText(TKestuMessage* message) {
  if (auto* text = DynamicCast<TKestuTextMessage>(message)) SetText(text->Text);
}

TTool* TExtendedFormTool::AddTool(TTool* tool) {
  TFormTool::AddTool(tool);
  if (auto* group = DynamicCast<TExtendedToolGroup>(tool)) {
    group->SetForm(Form());
    const std::string name = platform::AnsiUpperCase(tool->GetName());
    if (auto* menu = DynamicCast<TMenuGroup>(tool)) menu_.Set(menu);
    else if (name == "TASKS") tasks_.Set(group);
    else if (name == "TASKTOOLS") taskTools_.Set(group);
    else if (name == "MONITORS") monitors_.Set(group);
  } else if (auto* technology = DynamicCast<TTechnology>(tool);
             technology && platform::AnsiUpperCase(tool->GetName()) == "FRAMESELECTORS") {
    frameSelectors_.Set(technology);
  }
  return tool;
}

TTool* TExtendedFormTool::GetActiveTool() {
  TExtendedToolGroup* group = CurrentGroup();
  return group ? group->GetActiveTool() : nullptr;
}

void TExtendedFormTool::SetActiveTool(TTool* tool) {
  if (!tool) return;
  TExtendedToolGroup* group = OwningGroup(tool);
  if (!group) {
    Log("Tool " + tool->GetName() + " is not component of " + GetName());
    return;
  }
  TFormTool::SetActiveTool(group);
  group->SetActiveTool(tool);
}

void TExtendedFormTool::CreateModelTools() {
  if (!Form()) return TFormTool::CreateModelTools();
  Form()->Window().SetUpdatesSuspended(true);
  TFormTool::CreateModelTools();
  Form()->Window().SetUpdatesSuspended(false);
}

void TExtendedFormTool::CreateForm() {
  auto form = std::make_unique<TExtendedKESTU_Form>();
  form->SetTool(this);
  form->SetCanClose(false);
  SetForm(std::move(form));
}

void TExtendedFormTool::ReceiveMessage(TKestuMessage*& message, bool& handled) {
  handled = false;
  if (!message) return;
  if (TExtendedToolGroup* monitors = Monitors()) {
    for (int i = 0; i < monitors->ToolCount() && message; ++i)
      if (TTool* monitor = monitors->GetTool(i)) monitor->ReceiveMessage(message, handled);
  }
  if (!message) return;
  TTool* active = GetActiveTool();
  if (active && message->Message != msgReView && message->Message != msgCursorChanged) {
    active->ReceiveMessage(message, handled);
    if (!message) return;
  }
  if (!handled) TFormTool::ReceiveMessage(message, handled);
  if (handled || !message) return;
  switch (message->Message) {
    case msgSelectTool: return SelectTool(message, handled);
    case msgStartTask: return StartTask(message);
    case msgChooseTasks: return ChooseTasks(message, handled);
    case msgStatusText: return ShowStatusText(message);
    default: return;
  }
}

TClass TExtendedFormTool::StaticClass() {
  using E = TExtendedFormTool;
  static const TClassInfo info = DescribeClass<E>(
      "TExtendedFormTool", TFormTool::StaticClass(), "t_FormTool",
      {NotStored(ReadProp("Menu", &E::Menu)), NotStored(ReadProp("Tasks", &E::Tasks)),
       NotStored(ReadProp("TaskTools", &E::TaskTools)), NotStored(ReadProp("Monitors", &E::Monitors)),
       NotStored(ReadProp("FrameSelectors", &E::FrameSelectors)),
       NotStored(AccessorProp<E, TTools*>(
           "Groups", [](const E& t) { return const_cast<E&>(t).Groups(); },
           [](E& t, TTools* tools) { t.SetGroups(tools); })),
       NotStored(WriteProp("NewGroupName", &E::NewGroupName)),
       NotStored(AccessorProp<E, std::string>(
           "Text", [](const E& t) { return const_cast<E&>(t).GetText(); },
           [](E& t, std::string text) { t.SetText(text); })),
       ReadWriteProp("AutoDock", &E::AutoDock, &E::SetAutoDock)});
  return &info;
}

void RegisterExtendedFormClasses() { RegisterKestuClass(TExtendedFormTool::StaticClass()); }
