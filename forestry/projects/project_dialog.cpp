#include "forestry/projects/project_dialog.h"

#include <unordered_set>

#include "forestry/projects/projects.h"
#include "framework/core/class_registry.h"
#include "framework/forms/base_forms.h"
#include "platform/app_queue.h"
#include "platform/code_page.h"
#include "platform/dialogs.h"
#include "platform/file_system.h"
#include "platform/files.h"
#include "platform/forms.h"

namespace {

constexpr const char* kLayout = "TLHCProjectDialog_Form";
constexpr const char* kDefaultName = "Nový projekt";
constexpr const char* kProjectExt = ".KPR";
constexpr int kFocusTick = 1000;

// The fields of the form and the project properties they show.
struct ProjectField {
  const char* Control;
  const char* Property;
};
constexpr ProjectField kFields[] = {
    {"ed_Author", "Author"},
    {"m_Comment", "Comment"},
    {"ed_ExternalData", "ExternalDataDirectory"},
    {"ed_Data", "DataDirectory"},
};

// A name that names no file of its own is refused.
bool GoodProjectName(const std::string& name) {
  return !TrimBlanks(name).empty() && name.find_first_of("/\\") == std::string::npos;
}

}  // namespace

std::string TLHCProjectDialog::DefaultProjectName(const std::string& directory) {
  std::unordered_set<std::string> taken;
  if (!directory.empty())
    for (const platform::FileEntry& entry : platform::ListDirectory(directory, std::string("*") + kProjectExt, 0))
      taken.insert(platform::AnsiUpperCase(entry.Name));
  const auto free = [&](const std::string& name) {
    return !taken.contains(platform::AnsiUpperCase(name + kProjectExt));
  };
  if (free(kDefaultName)) return kDefaultName;
  // Each taken name rules out at most one number.
  for (std::size_t n = 1;; ++n)
    if (free(kDefaultName + std::to_string(n))) return kDefaultName + std::to_string(n);
}

void TLHCProjectDialog::CreateForm() {
  MakeForm(kLayout);
  platform::Form& window = Form()->Window();
  window.OnClick("b_ExtData", [this] { PickFolder("ed_ExternalData"); });
  window.OnClick("b_Data", [this] { PickFolder("ed_Data"); });
  // It takes the focus back from other windows, not from its own folder
  // picker or message box over it.
  window.SetTimer(kFocusTick, [&window] {
    if (!window.HoldsActiveWindow()) window.TakeFocus();
  });
  window.OnModalButton([&window](int result) {
    if (result != platform::mrOk || GoodProjectName(window.Text("ed_Name"))) return true;
    platform::ShowMessage("Název projektu nesmí být prázdný ani obsahovat oddělovač složek.");
    return false;
  });
}

void TLHCProjectDialog::PickFolder(const std::string& edit) {
  platform::Form& window = Form()->Window();
  TSelectDirDialog picker;
  const std::string start = window.Text(edit);
  picker.Directory = platform::DirectoryExists(start) ? start : std::string();
  picker.DoIt();
  if (!picker.Directory.empty()) window.SetText(edit, picker.Directory);
}

void TLHCProjectDialog::DoIt() {
  platform::Application& application = platform::Application::Instance();
  if (!application.IsUiThread()) return application.Call([this] { DoIt(); });
  if (!Form()) return TKestuDialog::DoIt();
  ShowProject();
}

void TLHCProjectDialog::ShowProject() {
  platform::Form& window = Form()->Window();
  TElement* project = Input();
  newProject_ = project == nullptr;
  if (project) {
    window.SetCaption("Vlastnosti projektu: " + project->GetName());
    window.SetText("ed_Name", project->GetName());
    window.SetEnabled("ed_Name", false);
    for (const ProjectField& field : kFields) window.SetText(field.Control, project->GetPropertyText(field.Property));
  } else {
    window.SetText("ed_Data", ProjectDirectory);
    window.SetCaption("Nový projekt");
    window.SetText("ed_Name", DefaultProjectName(ProjectDirectory));
  }
  TKestuDialog::DoIt();
  if (Result != platform::mrOk) return;
  if (!project) project = CreateElement<TKESTULHCProject>();
  project->SetName(window.Text("ed_Name"));
  for (const ProjectField& field : kFields) project->SetPropertyText(field.Property, window.Text(field.Control));
  SetOutput(project);
}

TClass TLHCProjectDialog::StaticClass() {
  using E = TLHCProjectDialog;
  static const TClassInfo info =
      DescribeClass<E>("TLHCProjectDialog", TKestuDialog::StaticClass(), "e_LHCProject",
                       {FieldProp("ProjectDirectory", &E::ProjectDirectory)});
  return &info;
}

void RegisterProjectDialogClasses() { RegisterKestuClass(TLHCProjectDialog::StaticClass()); }
