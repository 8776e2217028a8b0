#pragma once
// The small dialogs the editors show before an element is finished: a
// line's length and vertex count, the attributes of a harvest area, and one
// integer attribute of a point with its colour.  Each fills its form from
// the Input, shows it modally and, answered with OK, writes the values back.
#include <cstdint>
#include <string>

#include "framework/core/elements.h"
#include "render/tool_forms/dialog_tools.h"

class TAreaElement;
class TIntegerListElement;

class TLineDialog : public TKestuDialog {
  KESTX_CLASS(TLineDialog)
 public:
  void CreateForm() override;
  // Input a polyline; from a program thread the form shows on the
  // user-interface thread.
  void DoIt() override;
};

class TTezPDialog : public TKestuDialog {
  KESTX_CLASS(TTezPDialog)
 public:
  // Only the hatch code is edited.
  bool SRFOnly = false;
  // The výměra of a new area is that of the frame's area under it.
  bool CarryAreaFromFrame = false;
  // The frame's property carried; empty means "VYMERA".
  std::string FrameAreaPropertyName;

  // The stand group the area belongs to; not owned.
  TElement* Frame() const { return frame_.Get(); }
  void SetFrame(TElement* frame) { frame_.Set(frame); }
  // Writing any text fills the výměra field anew.
  void SetCarryArea(const std::string& text);
  // The editors hand the stand group of the area over as the parameter
  // "Frame": it becomes the Frame.
  void SetParameter(const std::string& name, TElement* element) override;

  void CreateForm() override;
  // Input an area.  On OK an entry that is no number of its property's
  // range is named in a message and gets the focus; the form stays and
  // nothing is written.
  void DoIt() override;

 private:
  TAreaElement* InputArea() const;
  // Hectares of the area, or with CarryAreaFromFrame the carried value.
  std::string NewAreaText() const;
  std::string CarriedAreaText() const;
  bool EntriesValid();

  TElementLink frame_;
};

class TSimplePointDialog : public TKestuDialog {
  KESTX_CLASS(TSimplePointDialog)
 public:
  std::int32_t Value_ = 0;
  std::int32_t Druh = 0;
  std::int32_t Symbol = 0;
  // The point's property holding the value.
  std::string ValueName;
  std::string ValueCaption() const;
  void SetValueCaption(const std::string& caption);
  // The spin edit's limits.
  void SetMinValue(std::int32_t value);
  void SetMaxValue(std::int32_t value);
  // The colours as comma-separated decimal text; a text with a part that
  // is no integer leaves the list as it was and raises EConvertError.
  std::string ColorList() const;
  void SetColorList(const std::string& text);
  // The colour at index Value_; 0 outside the list.
  std::int32_t Color() const;
  // The class of the properties a point without any gets; a name no class
  // has is refused with a line in the message window.
  std::string PropertyClassName() const { return propertyClassName_; }
  void SetPropertyClassName(const std::string& name);

  void CreateForm() override;
  // Input a point; other inputs do nothing.
  void DoIt() override;

 private:
  // The child "COLORS", made on first use.
  TIntegerListElement& Colors() const;

  std::string propertyClassName_;
};

void RegisterElementDialogClasses();
