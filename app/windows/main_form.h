#pragma once
// The main window: menus, a tool bar, the animation and the status line.
// Each action only posts a message to the main tool; the window keeps its
// geometry in section "MainForm" of the INI file.
#include <string>

#include "framework/forms/base_forms.h"

class TMainForm : public TKESTUForm {
 public:
  // Reads the geometry from the INI file and starts the animation found in
  // the program's folder (silently nothing when it cannot be played).
  TMainForm(const std::string& iniFileName, const std::string& exeDirectory);
  // Writes the geometry; a failure is ignored.
  ~TMainForm() override;

  std::string StatusText() const;
  void SetStatusText(const std::string& text);
  // A guide is open: the caption names it and its export may start.
  void GuideOpened(const std::string& fileName);
  bool AnimationPlays() const { return animationPlays_; }

  // Every action and the message it posts, receiver the main tool.
  struct ActionMessage {
    const char* Action;
    int Code;  // -1: posts nothing
  };
  static const std::vector<ActionMessage>& Actions();

 private:
  void Trigger(const std::string& action);
  void WriteGeometry() const;

  std::string iniFileName_;
  int menuBarLeft_ = 0, menuBarTop_ = 0;
  int animatePanelLeft_ = 0, animatePanelTop_ = 0;
  bool animationPlays_ = false;
};

// The caption: the product's name, " verze " and the program's version.
std::string ProgramCaption();
