#pragma once
// Tools: elements that do one piece of work on an input element and leave a
// result.  A tool is parameterised by published properties, named parameter
// elements and its tool model, run by DoIt, reports progress to the main tool
// and is closed by a close request.  Technologies are tools built of sub-tools.
#include <cstdint>
#include <string>

#include "framework/core/elements.h"
#include "framework/core/messages.h"

class TToolModel;

// The data of the progress codes 10 to 13.
class TProgressMessage : public TKestuMessage {
  KESTX_CLASS(TProgressMessage)
 public:
  using TKestuMessage::TKestuMessage;
  std::int32_t MaxProgress = 0;
  std::int32_t Progress = 0;
  std::int32_t MinProgress = 0;
  std::string ProcessName;
};

class TToolProperties : public TOwnerElement {
  KESTX_CLASS(TToolProperties)
};

// The named parameter elements of a tool; may be shared by several tools.
class TParameters : public TOwnerEntity {
  KESTX_CLASS(TParameters)
};

class TTool : public TOwnerEntity {
  KESTX_CLASS(TTool)
 public:
  ~TTool() override;

  std::int32_t Error = 0;
  bool DynamicTool = false;

  TElement* Input() const { return input_.Get(); }
  TElement* Output() const { return output_.Get(); }
  bool Busy() const { return Flag(kBusy); }
  void SetBusy(bool value) { SetFlag(kBusy, value); }
  bool Idle() const { return Flag(kIdle); }
  void SetIdle(bool value) { SetFlag(kIdle, value); }
  bool InProgress() const { return Flag(kInProgress); }
  void SetInProgress(bool value) { SetFlag(kInProgress, value); }
  bool BreakWork() const { return Flag(kBreak) || Flag(kRestart); }
  // Set by DoIt, cleared by Close.
  bool RunFlag() const { return Flag(kRun); }
  // The second break request: set by redraw requests on a busy tool, read as
  // BreakWork, cleared by SetBreakWork(false).
  bool RestartRequest() const { return Flag(kRestart); }
  void SetRestartRequest(bool value) { SetFlag(kRestart, value); }

  TToolModel* SelfModel() const;
  void SetSelfModel(TToolModel* model);

  void ReceiveMessage(TKestuMessage*& message, bool& handled) override;

  virtual void SetInput(TElement* element);
  virtual void SetOutput(TElement* element);
  virtual TParameters* GetParameters();
  virtual void SetParameters(TParameters* parameters);
  virtual TElement* GetParameter(const std::string& name);
  virtual void SetParameter(const std::string& name, TElement* element);
  virtual void SetBreakWork(bool value);
  virtual void DoIt();
  virtual bool CanClose();
  virtual void ApplyModel();
  virtual void CreateModelTools();
  virtual void FreeModelTools();
  virtual void StoreToModel();
  virtual void HandleMessageCode0(TKestuMessage* message, bool& handled);
  virtual void Close();
  virtual void ToolClosed(TKestuMessage* message, bool& handled);
  virtual void ToolFinished(TKestuMessage* message, bool& handled);
  virtual void GetParameterName(int index, std::string& name);

  void SetParameterByIndex(int index, const std::string& text);
  bool NoParameters() const;
  void AddParameter(TElement* element);
  void FreeParameter(TElement* element);
  TElement* GetParameterByIndex(int index);

  void StartProgress(const std::string& processName, int min, int max);
  void SetProgress(int value);
  void SetProgressText(const std::string& text);
  void EndProgress();

 protected:
  // A line for the message window.
  void Log(const std::string& text);
  // The end of Close once CanClose agreed.
  void CloseWithoutAsking();

 private:
  enum : std::uint8_t {
    kRun = 1u << 0,
    kBusy = 1u << 1,
    kBreak = 1u << 2,
    kRestart = 1u << 3,
    kInProgress = 1u << 5,
    kIdle = 1u << 6,
  };
  bool Flag(std::uint8_t bit) const { return (flags_ & bit) != 0; }
  void SetFlag(std::uint8_t bit, bool value);
  // Posts the end of the progress without letting messages run.
  bool PostProgressEnd();

  std::uint8_t flags_ = 0;
  TElementLink parameters_;
  TElementLink input_;
  TElementLink output_;
};

class TResultTool : public TTool {
  KESTX_CLASS(TResultTool)
 public:
  std::string Result;
};

class TBooleanTool : public TTool {
  KESTX_CLASS(TBooleanTool)
 public:
  bool Result = false;
};

// The sub-tool list of a technology.  As the technology's child it wraps the
// technology, so what sub-tools post to their owners reaches the technology.
class TTools : public TEnvelopeEntity {
  KESTX_CLASS(TTools)
};

class TTechnology : public TTool {
  KESTX_CLASS(TTechnology)
 public:
  virtual TTool* GetActiveTool();
  virtual int GetActiveIndex();
  virtual void SetActiveTool(TTool* tool);
  virtual void SetActiveIndex(int index);
  virtual void SetToolToAdd(TTool* tool);
  virtual TTool* AddTool(TTool* tool);
  virtual TTool* CreateToolByModel(TToolModel* model);
  virtual TElement* AddNewTool(const std::string& className, const std::string& name);
  virtual void InsertTool(int index, TTool* tool);
  virtual void RemoveTool(TTool* tool);
  virtual void FreeTool(TTool* tool);

  void ApplyModel() override;
  void CreateModelTools() override;
  void FreeModelTools() override;
  void StoreToModel() override;
  bool CanClose() override;
  void ToolClosed(TKestuMessage* message, bool& handled) override;

  TTools* GetTools();
  TTool* GetTool(int index);
  void SetTools(TTools* tools);
  TTool* FindTool(const std::string& name);
  void ReplaceTool(TTool*& field, TTool* tool);
  bool NoTools() const;
  // 0 without a tool list.
  int ToolCount() const;

 protected:
  TTools* ExistingTools() const;
  // The sub-tool at index; nil outside the list or for a child that is no tool.
  TTool* ToolAt(int index) const;

 private:
  TElementLink tools_;
  std::int32_t activeIndex_ = -1;
};

// Runs its sub-tools as a pipeline: each result is the next one's input.
class TSeqTechnology : public TTechnology {
  KESTX_CLASS(TSeqTechnology)
 public:
  void DoIt() override;
};

// Runs the sub-tool at SelIndex, or ElseTool when there is none.
class TSelectTechnology : public TTechnology {
  KESTX_CLASS(TSelectTechnology)
 public:
  std::int32_t SelIndex = 0;
  TTool* ElseTool() const;
  void SetElseTool(TTool* tool);
  void DoIt() override;

 private:
  TElementLink elseTool_;
};

void RegisterToolsClasses();
