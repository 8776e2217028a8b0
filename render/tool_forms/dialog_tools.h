#pragma once
// The dialog tools: a modal dialog with its result, the confirmation dialog
// and its one-call question, and the folder picker.
#include <cstdint>
#include <string>

#include "render/tool_forms/form_tool.h"

class TKestuDialog : public TFormTool {
  KESTX_CLASS(TKestuDialog)
 public:
  // The modal result of the last run.
  std::int32_t Result = 0;
  bool DontShowForm = false;

  void CreateForm() override;
  void DoIt() override;
  // The form's close box asks for this (its form may not close by itself):
  // the dialog ends as its "Storno" ends it.
  void Close() override;

 protected:
  // Makes the dialog's form from the layout and binds it to the tool.
  void MakeForm(const std::string& layout);
};

class TKestuConfirmDialog : public TKestuDialog {
  KESTX_CLASS(TKestuConfirmDialog)
 public:
  // The question shown; empty without a form.
  std::string Text() const;
  void SetText(const std::string& text);

  void CreateForm() override;
};

// Whether the user answers "Ano" to the question.
bool AskConfirmation(const std::string& text);

class TSelectDirDialog : public TTool {
  KESTX_CLASS(TSelectDirDialog)
 public:
  std::string Directory;
  std::string Caption;
  std::int32_t Left = 0;
  std::int32_t Top = 0;

  void DoIt() override;
};

void RegisterDialogToolClasses();
