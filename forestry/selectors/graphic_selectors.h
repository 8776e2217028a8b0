#pragma once
// Graphic selectors: the selecting tools of the editors.  A click finds the
// frame (the stand group, say) through the frame selector, picks a line, an
// area or a point inside it, keeps it in the global selection and tells the
// owners.
#include <cstdint>
#include <memory>
#include <string>

#include "render/tool_forms/frames.h"

class TCommandLine;
class TPickUper;

class TGraphicSelector : public TFrameTool {
  KESTX_CLASS(TGraphicSelector)
 public:
  // Pixels; a negative tolerance acts as 0.
  std::int32_t PixelTolerance = 0;
  // The child of the frame to pick in; empty: the frame itself.
  std::string LevelName;
  // Shift extends the selection.
  bool MultiSelect = false;

  std::string GlobalSelectPath() const { return globalSelectPath_; }
  // Also the line of the selector's command line, made when missing.
  void SetGlobalSelectPath(const std::string& path);

  // Keeps the element in the selection the global path designates: a new
  // selection unless extending; an element already selected while extending
  // leaves it.  Nothing without a selection entity.
  virtual void SelectElement(TElement* element, bool extend);

  void MouseUp(TKestuMessage* message, bool& handled) override;

 protected:
  // The picker of the kind, its tolerance set for the device.
  virtual std::unique_ptr<TPickUper> MakePicker() = 0;
  // PixelTolerance as a map length on the device.
  double WorldTolerance() const;

 private:
  // Draws the element through the interpret and has the image repainted.
  void Highlight(TElement* element);
  TCommandLine* CommandLine() const;

  std::string globalSelectPath_;
  TElementLink commandLine_;
};

class TPolyLineSelector : public TGraphicSelector {
  KESTX_CLASS(TPolyLineSelector)
 public:
  void InitCursors() override;

 protected:
  std::unique_ptr<TPickUper> MakePicker() override;
};

class TAreaSelector : public TGraphicSelector {
  KESTX_CLASS(TAreaSelector)
 public:
  void InitCursors() override;

 protected:
  std::unique_ptr<TPickUper> MakePicker() override;
};

class TPointSelector : public TGraphicSelector {
  KESTX_CLASS(TPointSelector)
 public:
  void InitCursors() override;

 protected:
  std::unique_ptr<TPickUper> MakePicker() override;
};

void RegisterGraphicSelectorClasses();
