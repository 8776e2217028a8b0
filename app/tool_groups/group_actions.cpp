#include "app/tool_groups/group_actions.h"

#include "app/command_line/script_tool.h"
#include "framework/tools/tools.h"
#include "platform/forms.h"

TAction::TAction(platform::Form& form, std::string id) : form_(form), id_(std::move(id)) {
  form_.AddAction(id_, true);
  form_.OnClick(id_, [this] {
    // A press toggles the shown mark; the program alone decides it.
    form_.SetChecked(id_, checked_);
    Execute();
  });
}

TAction::~TAction() {
  if (!leftToWindow_) form_.RemoveAction(id_);
}

std::string TAction::Caption() const { return form_.Text(id_); }
void TAction::SetCaption(const std::string& caption) { form_.SetText(id_, caption); }

void TAction::SetHint(const std::string& hint) {
  hint_ = hint;
  form_.SetActionHint(id_, hint);
}

void TAction::SetImageIndex(std::int32_t index, const platform::ImageList& images) {
  imageIndex_ = index;
  form_.SetActionImage(id_, images, index);
}

std::string TAction::ShortCut() const { return form_.ActionShortCut(id_); }
void TAction::SetShortCut(const std::string& text) { form_.SetActionShortCut(id_, platform::ShortCutText(text)); }
bool TAction::Visible() const { return form_.ActionVisible(id_); }
void TAction::SetVisible(bool visible) { form_.SetActionVisible(id_, visible); }

void TAction::SetChecked(bool checked) {
  checked_ = checked;
  form_.SetChecked(id_, checked);
}

void TAction::Execute() {
  if (OnExecute) OnExecute(*this);
}

TTool* TToolAction::Tool() const { return static_cast<TTool*>(tool_.Get()); }

void TToolAction::SetTool(TTool* tool) {
  tool_.Set(tool);
  if (tool) SetName("Action_" + tool->GetName());
}

void TToolAction::Execute() {
  TAction::Execute();
  if (DirectExecute && Tool()) Tool()->DoIt();
}

void TScriptAction::Execute() {
  TAction::Execute();
  if (!Script.empty()) RunScriptFile(Script);
}
