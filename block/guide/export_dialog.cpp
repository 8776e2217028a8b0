#include "block/guide/export_dialog.h"

#include "framework/core/class_registry.h"
#include "framework/forms/base_forms.h"
#include "framework/tools/world.h"
#include "platform/dialogs.h"

namespace {

// Check box and option of each series, in the dialog's order.
struct SeriesOption {
  const char* checkBox;
  const char* option;
};
constexpr SeriesOption kSeriesOptions[] = {
    {"cb_50", "Export_50"}, {"cb_25", "Export_25"}, {"cb_10", "Export_10"},
    {"cb_5", "Export_5"},   {"cb_2", "Export_2"},   {"cb_u", "Export_User"},
};
constexpr const char* kFolderField = "ed_Path";
constexpr const char* kFolderOption = "DataDirectory";

// The main tool's options; nil while the world has no main tool or it
// publishes none.
TElement* MainToolOptions() {
  TWorld* world = World();
  TElement* mainTool = world ? world->MainTool() : nullptr;
  if (!mainTool) return nullptr;
  return DynamicCast<TElement>(GetObjectPropByName(*mainTool, "Options"));
}

}  // namespace

void TKESTXDialog::CreateForm() {
  MakeForm("TKESTXDialog_Form");
  Form()->Window().OnClick("b_Path", [this] { b_PathClick(); });
}

void TKESTXDialog::DoIt() {
  TElement* options = MainToolOptions();
  platform::Form* window = Form() ? &Form()->Window() : nullptr;
  if (options && window) {
    for (const SeriesOption& series : kSeriesOptions)
      window->SetChecked(series.checkBox, options->GetPropertyBoolean(series.option));
    window->SetText(kFolderField, options->GetPropertyText(kFolderOption));
  }
  TKestuDialog::DoIt();
  // The dialog's run may have ended the program's main tool: look again.
  options = MainToolOptions();
  if (Result != platform::mrOk || !options || !window) return;
  for (const SeriesOption& series : kSeriesOptions)
    options->SetPropertyBoolean(series.option, window->Checked(series.checkBox));
  options->SetPropertyText(kFolderOption, window->Text(kFolderField));
}

void TKESTXDialog::b_PathClick() {
  if (!Form()) return;
  TSelectDirDialog picker;
  picker.DoIt();
  if (!picker.Directory.empty()) Form()->Window().SetText(kFolderField, picker.Directory);
}

TClass TKESTXDialog::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TKESTXDialog>("TKESTXDialog", TKestuDialog::StaticClass(), "T_Lumar", {});
  return &info;
}

void RegisterExportDialogClasses() { RegisterKestuClass(TKESTXDialog::StaticClass()); }
