#include "app/windows/main_form.h"

#include <iostream>
#include <vector>

#include "app/options/options.h"
#include "framework/core/messages.h"
#include "framework/tools/tools.h"
#include "framework/tools/world.h"
#include "platform/app_queue.h"
#include "platform/ini_file.h"
#include "platform/streams.h"

#ifndef KESTX_PRODUCT_NAME
#define KESTX_PRODUCT_NAME "KESTX"
#endif
#ifndef KESTX_FILE_VERSION
#define KESTX_FILE_VERSION "1.0.0.0"
#endif

namespace {

constexpr const char* kSection = "MainForm";
enum : int { msgOpenExplorer = 36, msgOpenWizardFile = 84, msgExportWizard = 100 };

// Menu entries and tool buttons that stand for an action.
struct Alias {
  const char* Control;
  const char* Action;
};
constexpr Alias kAliases[] = {{"mi_OpenKES", "a_OpenProject"},
                              {"tb_OpenProject", "a_OpenProject"},
                              {"tb_DataExport", "a_DataExport"},
                              {"tb_Exit", "a_Exit"}};

}  // namespace

std::string ProgramCaption() { return std::string(KESTX_PRODUCT_NAME) + " verze " + KESTX_FILE_VERSION; }

const std::vector<TMainForm::ActionMessage>& TMainForm::Actions() {
  static const std::vector<ActionMessage> actions = {
      {"a_OpenProject", msgOpenWizardFile}, {"a_Exit", msgClose},
      {"a_StatusBar", -1},                  {"a_WorldModel", msgOpenExplorer},
      {"a_ToolModel", msgOpenExplorer},     {"a_ObjectModel", msgOpenExplorer},
      {"a_OIL", msgOpenCommandLine},        {"a_DataExport", msgExportWizard}};
  return actions;
}

TMainForm::TMainForm(const std::string& iniFileName, const std::string& exeDirectory)
    : TKESTUForm("TMainForm"), iniFileName_(iniFileName) {
  platform::Form& window = Window();
  window.SetCaption(ProgramCaption());
  const platform::TIniFile ini(iniFileName_);
  const platform::Bounds designed = window.GetBounds();
  window.SetBounds({ini.ReadInteger(kSection, "Left", designed.Left), ini.ReadInteger(kSection, "Top", designed.Top),
                    ini.ReadInteger(kSection, "Width", designed.Width),
                    ini.ReadInteger(kSection, "Height", designed.Height)});
  menuBarLeft_ = ini.ReadInteger(kSection, "MenuBar_Left", 0);
  menuBarTop_ = ini.ReadInteger(kSection, "MenuBar_Top", 0);
  animatePanelLeft_ = ini.ReadInteger(kSection, "AnimatePanel_Left", 0);
  animatePanelTop_ = ini.ReadInteger(kSection, "AnimatePanel_Top", 0);
  animationPlays_ = window.PlayAnimation("Animate", exeDirectory + "KESTU00M.AVI");
  platform::Application::Instance().HintColor = 0x00FF00;
  for (const ActionMessage& action : Actions()) {
    const std::string name = action.Action;
    window.OnClick(name, [this, name] { Trigger(name); });
  }
  for (const Alias& alias : kAliases) {
    const std::string name = alias.Action;
    window.OnClick(alias.Control, [this, name] { Trigger(name); });
  }
}

TMainForm::~TMainForm() { WriteGeometry(); }

void TMainForm::WriteGeometry() const {
  try {
    platform::TIniFile ini(iniFileName_);
    const platform::Bounds bounds = Window().GetBounds();
    ini.WriteInteger(kSection, "Left", bounds.Left);
    ini.WriteInteger(kSection, "Top", bounds.Top);
    ini.WriteInteger(kSection, "Width", bounds.Width);
    ini.WriteInteger(kSection, "Height", bounds.Height);
    // The bands of this control bar do not move, so they stay where the file had them.
    ini.WriteInteger(kSection, "MenuBar_Left", menuBarLeft_);
    ini.WriteInteger(kSection, "MenuBar_Top", menuBarTop_);
    ini.WriteInteger(kSection, "AnimatePanel_Left", animatePanelLeft_);
    ini.WriteInteger(kSection, "AnimatePanel_Top", animatePanelTop_);
    ini.UpdateFile();
  } catch (const platform::EStreamError& error) {
    // The geometry is a convenience: the program ends all the same, and
    // nobody is left to ask but the error output.
    std::cerr << OptionsNotWrittenText(iniFileName_, error.Reason()) << "\n";
  }
}

std::string TMainForm::StatusText() const { return Window().Text("StatusBar"); }

void TMainForm::SetStatusText(const std::string& text) { Window().SetText("StatusBar", text); }

void TMainForm::GuideOpened(const std::string& fileName) {
  Window().SetCaption(fileName);
  Window().SetEnabled("a_DataExport", true);
  Window().SetEnabled("tb_DataExport", true);
}

void TMainForm::Trigger(const std::string& action) {
  TTool* tool = Tool();
  if (!tool) return;
  for (const ActionMessage& entry : Actions()) {
    if (action != entry.Action || entry.Code < 0) continue;
    TElement* data = nullptr;
    if (TWorld* world = World(); world && entry.Code == msgOpenExplorer) {
      if (action == "a_WorldModel") data = world;
      else if (action == "a_ToolModel") data = world->MainTool();
      else data = world->ObjectModel();
    }
    tool->PostMessage(entry.Code, tool, data, false);
  }
}
