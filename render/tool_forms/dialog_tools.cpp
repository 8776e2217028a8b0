#include "render/tool_forms/dialog_tools.h"

#include <memory>

#include "framework/core/class_registry.h"
#include "framework/forms/base_forms.h"
#include "platform/dialogs.h"
#include "platform/file_system.h"

void TKestuDialog::MakeForm(const std::string& layout) {
  auto form = std::make_unique<TKESTUForm>(layout);
  form->SetTool(this);
  form->SetCanClose(false);
  SetForm(std::move(form));
}

void TKestuDialog::CreateForm() { MakeForm("TKestuDialog_Form"); }

void TKestuDialog::DoIt() {
  TFormTool::DoIt();
  Result = 0;
  if (DontShowForm || !Form()) return;
  // Freed meanwhile with the window it belongs to, it ends as "Storno" and
  // goes after its run.
  const TElementRun run(this, [this] { Form()->Window().SetModalResult(platform::mrCancel); });
  Result = Form()->Window().ShowModal();
}

void TKestuDialog::Close() {
  // Closed while it shows (its close box, a program's request) it answers
  // "Storno", as Escape does, and stays its owner's for its next use.
  const bool showing = Form() && Form()->Window().ShowingModal();
  if (Form()) Form()->Window().SetModalResult(platform::mrCancel);
  if (!showing) TFormTool::Close();
}

std::string TKestuConfirmDialog::Text() const {
  return Form() ? Form()->Window().Text("lb_Message") : std::string();
}

void TKestuConfirmDialog::SetText(const std::string& text) {
  if (Form()) Form()->Window().SetText("lb_Message", text);
}

void TKestuConfirmDialog::CreateForm() { MakeForm("TKestuConfirmDialog_Form"); }

bool AskConfirmation(const std::string& text) {
  std::unique_ptr<TKestuConfirmDialog> dialog(CreateElement<TKestuConfirmDialog>());
  dialog->SetText(text);
  dialog->SetCaption("?");
  dialog->DoIt();
  return dialog->Result == platform::mrOk;
}

namespace {

// The picker's "Nový adr.": asks for a name at the picker's place and makes
// the folder in the current directory.
void MakeNewFolder(platform::Form& picker) {
  const std::string current = picker.Directory("lb_Dirs");
  platform::Form nameForm("Tf_Name");
  const platform::Bounds at = picker.GetBounds();
  nameForm.MoveTo(at.Left, at.Top);
  nameForm.SetText("ed_Name", current);
  if (nameForm.ShowModal() != platform::mrOk) return;
  const std::string entered = nameForm.Text("ed_Name");
  if (entered.empty()) return;
  // The field starts with the current directory: a name the user left as a
  // whole path is taken as it stands rather than appended to itself.
  const std::string path = entered.front() == '/' ? entered : current + "/" + entered;
  std::string error;
  if (!platform::MakeDirectory(path, error)) {
    platform::CurrentDialogs().SetScreenCursor(platform::Cursor::Default);
    platform::ShowMessage(error + ": " + path);
    return;
  }
  picker.SetDirectory("lb_Dirs", current);
}

}  // namespace

void TSelectDirDialog::DoIt() {
  TTool::DoIt();
  TKESTUForm form("Tf_SelectDir");
  platform::Form& picker = form.Window();
  if (!Caption.empty()) picker.SetCaption(Caption);
  picker.SetItems("cb_Drive", platform::MountPoints());
  picker.SetItemIndex("cb_Drive", -1);
  picker.OnChange("cb_Drive", [&picker] {
    if (picker.ItemIndex("cb_Drive") >= 0) picker.SetDirectory("lb_Dirs", picker.Text("cb_Drive"));
  });
  picker.SetDirectory("lb_Dirs", Directory.empty() ? "/" : Directory);
  picker.OnClick("bt_NewDir", [&picker] { MakeNewFolder(picker); });
  if (Left > 0 && Top > 0) picker.MoveTo(Left, Top);
  if (picker.ShowModal() == platform::mrOk) Directory = picker.Directory("lb_Dirs");
  const platform::Bounds at = picker.GetBounds();
  Left = at.Left;
  Top = at.Top;
}

TClass TKestuDialog::StaticClass() {
  static const TClassInfo info = DescribeClass<TKestuDialog>(
      "TKestuDialog", TFormTool::StaticClass(), "Dialogs",
      {FieldProp("Result", &TKestuDialog::Result), FieldProp("DontShowForm", &TKestuDialog::DontShowForm)});
  return &info;
}

TClass TKestuConfirmDialog::StaticClass() {
  static const TClassInfo info = DescribeClass<TKestuConfirmDialog>(
      "TKestuConfirmDialog", TKestuDialog::StaticClass(), "Dialogs",
      {NotStored(ReadWriteProp("Text", &TKestuConfirmDialog::Text, &TKestuConfirmDialog::SetText))});
  return &info;
}

TClass TSelectDirDialog::StaticClass() {
  static const TClassInfo info = DescribeClass<TSelectDirDialog>(
      "TSelectDirDialog", TTool::StaticClass(), "Dialogs",
      {FieldProp("Directory", &TSelectDirDialog::Directory), FieldProp("Caption", &TSelectDirDialog::Caption),
       FieldProp("Left", &TSelectDirDialog::Left), FieldProp("Top", &TSelectDirDialog::Top)});
  return &info;
}

void RegisterDialogToolClasses() {
  RegisterKestuClass(TKestuDialog::StaticClass());
  RegisterKestuClass(TKestuConfirmDialog::StaticClass());
  RegisterKestuClass(TSelectDirDialog::StaticClass());
}
