#pragma once
// Form tools: interface tools that own one window, placed and shown through
// published properties; and control groups, whose window gathers other tools
// and hands them its messages.
#include <cstdint>
#include <memory>
#include <string>

#include "render/tool_forms/interface_tool.h"

class TKESTUForm;

enum : int { msgShowForm = 51, msgHideForm = 52 };

class TFormTool : public TInterfaceTool {
  KESTX_CLASS(TFormTool)
 public:
  ~TFormTool() override;

  TKESTUForm* Form() const { return form_.get(); }
  std::uint8_t ManualSetting = 0;

  // Forwarded to the form; harmless without one.
  std::string Caption() const;
  void SetCaption(const std::string& caption);
  std::int32_t Left() const;
  void SetLeft(std::int32_t value);
  std::int32_t Top() const;
  void SetTop(std::int32_t value);
  std::int32_t Width() const;
  void SetWidth(std::int32_t value);
  std::int32_t Height() const;
  void SetHeight(std::int32_t value);
  bool Autosize() const;
  void SetAutosize(bool value);
  bool Visible() const;
  bool AcceptDropFiles() const;
  void SetAcceptDropFiles(bool value);
  std::uint8_t GetManualSetting() const { return ManualSetting; }
  void SetManualSetting(std::uint8_t value) { ManualSetting = value; }

  virtual void SetVisible(bool value);
  // Descendants make their form here (the base makes none).
  virtual void CreateForm();
  virtual void FileDropped(TKestuMessage* message, bool& handled);
  virtual void ShowForm(TKestuMessage* message, bool& handled);
  virtual void HideForm(TKestuMessage* message, bool& handled);

  void AfterConstruction() override;
  void SetCursor(std::int32_t number) override;
  void ReceiveMessage(TKestuMessage*& message, bool& handled) override;

 protected:
  void SetForm(std::unique_ptr<TKESTUForm> form);

 private:
  std::unique_ptr<TKESTUForm> form_;
};

class TControlGroup : public TFormTool {
  KESTX_CLASS(TControlGroup)
 public:
  void CreateForm() override;
  void SetVisible(bool value) override;
  void ReceiveMessage(TKestuMessage*& message, bool& handled) override;
};

void RegisterFormToolClasses();
