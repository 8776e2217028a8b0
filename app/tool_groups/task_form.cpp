#include "app/tool_groups/task_form.h"

#include "app/tool_groups/group_properties.h"
#include "framework/core/class_registry.h"
#include "framework/forms/base_forms.h"
#include "framework/values/tool_models.h"

namespace {

// The task form's bar: its tool actions choose instead of selecting.
class TTaskFormBar : public TExtendedToolGroup {
 public:
  explicit TTaskFormBar(TTaskForm& form) : form_(form) {}

 protected:
  std::string BarName() const override { return "ToolBar"; }
  void ToolActionExecuted(TToolAction& action) override { form_.Choose(action); }

 private:
  TTaskForm& form_;
};

}  // namespace

TTaskForm::TTaskForm() : bar_(std::make_unique<TTaskFormBar>(*this)) { bar_->SetName("Task"); }

TTaskForm::~TTaskForm() {
  // The actions live in the window: they go before it.
  current_ = nullptr;
  bar_->ReleaseForm();
  bar_.reset();
}

void TTaskForm::CreateForm() {
  auto form = std::make_unique<TKESTUForm>("TTask_Form");
  form->SetTool(this);
  form->Window().SetAutoSize(true);
  bar_->SetForm(form.get());
  SetForm(std::move(form));
}

void TTaskForm::ApplyModel() {
  TToolModel* model = SelfModel();
  if (!model) return;
  TFormTool::ApplyModel();
  bar_->AddModelImages(model);
}

TTool* TTaskForm::CreateToolByModel(TToolModel* model) {
  if (!model) return nullptr;
  const std::string name = model->GetName();
  if (name == "." || name == "|") {
    bar_->NewSeparator(name);
    return nullptr;
  }
  TTool* tool = TFormTool::CreateToolByModel(model);
  if (tool && !DynamicCast<TControlTool>(tool)) bar_->AddToolActionFor(tool, model);
  return tool;
}

void TTaskForm::Choose(TToolAction& action) {
  if (&action == current_) {
    action.SetChecked(false);
    action.SetChecked(true);
    return;
  }
  if (current_) current_->SetChecked(false);
  if (TTool* active = GetActiveTool()) {
    if (active->DynamicTool) active->FreeModelTools();
    if (auto* activeInterface = DynamicCast<TInterfaceTool>(active)) activeInterface->Deactivate();
  }
  SetActiveTool(nullptr);
  TTool* chosen = action.Tool();
  if (chosen) {
    if (chosen->DynamicTool) chosen->CreateModelTools();
    SetActiveTool(chosen);
    if (auto* chosenInterface = DynamicCast<TInterfaceTool>(chosen)) chosenInterface->Activate();
  }
  current_ = &action;
  action.SetChecked(true);
  PostMessageToOwners(msgChooseTasks, chosen, false);
}

TClass TTaskForm::StaticClass() {
  static const TClassInfo info = DescribeClass<TTaskForm>(
      "TTaskForm", TFormTool::StaticClass(), "t_FormTool",
      tool_groups::GroupProperties<TTaskForm>(
          [](const TTaskForm& t) -> TExtendedToolGroup& { return t.Bar(); },
          false));
  return &info;
}

void RegisterTaskFormClasses() { RegisterKestuClass(TTaskForm::StaticClass()); }
