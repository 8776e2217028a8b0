#include "app/console/select_file_dialog.h"

#include "framework/core/class_registry.h"
#include "platform/app_queue.h"
#include "platform/dialogs.h"

void TSelectFileDialog::DoIt() {
  TTool::DoIt();
  platform::FileDialogRequest request;
  request.Filter = Filter;
  request.InitialDir = InitialDir;
  bool chosen = false;
  // Call runs the dialog at once on the user-interface thread, and lets go
  // of the world while a program's thread waits for it.
  platform::Application::Instance().Call([&] { chosen = platform::PromptForFile(request); });
  if (chosen) FileName = request.FileName;
}

TClass TSelectFileDialog::StaticClass() {
  static const TClassInfo info = DescribeClass<TSelectFileDialog>(
      "TSelectFileDialog", TTool::StaticClass(), "CommandLineDlg",
      {FieldProp("Filter", &TSelectFileDialog::Filter), FieldProp("InitialDir", &TSelectFileDialog::InitialDir),
       FieldProp("FileName", &TSelectFileDialog::FileName)});
  return &info;
}
