#pragma once
// The actions behind the buttons of tool groups: a tool action selects or
// runs its tool, a script action runs a command-line script file.  Each
// stands for one action of a window, which shows it on buttons and menu
// items; the window owns the shown action and lets it go with the object.
#include <cstdint>
#include <functional>
#include <string>

#include "framework/core/elements.h"

namespace platform {
class Form;
class ImageList;
}  // namespace platform

class TTool;

class TAction {
 public:
  // Makes the window's action; id is its name in the window, unique there.
  TAction(platform::Form& form, std::string id);
  virtual ~TAction();
  TAction(const TAction&) = delete;
  TAction& operator=(const TAction&) = delete;

  const std::string& Id() const { return id_; }
  // The component name the scripts find the action by.
  const std::string& Name() const { return name_; }
  void SetName(const std::string& name) { name_ = name; }
  std::string Caption() const;
  void SetCaption(const std::string& caption);
  const std::string& Hint() const { return hint_; }
  void SetHint(const std::string& hint);
  std::int32_t ImageIndex() const { return imageIndex_; }
  void SetImageIndex(std::int32_t index, const platform::ImageList& images);
  // The canonical text of the shortcut; a text naming no key sets none.
  std::string ShortCut() const;
  void SetShortCut(const std::string& text);
  bool Visible() const;
  void SetVisible(bool visible);
  bool Checked() const { return checked_; }
  void SetChecked(bool checked);

  // The window is about to end and frees the shown action with itself.
  void LeaveToWindow() { leftToWindow_ = true; }

  // Runs the handler the owner gave, then what the action itself does.
  std::function<void(TAction&)> OnExecute;
  virtual void Execute();

 private:
  platform::Form& form_;
  std::string id_;
  std::string name_;
  std::string hint_;
  std::int32_t imageIndex_ = -1;
  // The check mark is set only by the program: a press does not toggle it.
  bool checked_ = false;
  bool leftToWindow_ = false;
};

class TToolAction : public TAction {
 public:
  using TAction::TAction;
  TTool* Tool() const;
  // Names the action "Action_" + the tool's name.
  void SetTool(TTool* tool);
  bool DirectExecute = false;
  void Execute() override;

 private:
  TElementLink tool_;
};

class TScriptAction : public TAction {
 public:
  using TAction::TAction;
  // The script file; stored back absolute after the first run.
  std::string Script;
  void Execute() override;
};
