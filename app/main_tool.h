#pragma once
// The program's main tool: it creates the one world, receives every framework
// message that names no receiver, and shows log lines, the status text and the
// progress of running processes.
#include <string>
#include <vector>

#include "framework/tools/tools.h"

// One running process as the progress display shows it.
struct TProcessProgress {
  TElementLink Process;  // the reporting tool
  std::string ProcessName;
  std::string Text;
  int MinProgress = 0;
  int MaxProgress = 0;
  int Progress = 0;
};

class TOldMainTool : public TTechnology {
  KESTX_CLASS(TOldMainTool)
 public:
  // Makes the program's main tool of cls (TOldMainTool or a descendant): it
  // creates the world, becomes its MainTool and installs the world's message
  // and exception hooks on the application.  Nil when cls is no main tool.
  static TOldMainTool* Create(TClass cls);

  void ReceiveMessage(TKestuMessage*& message, bool& handled) override;

  virtual void ShowTextMessage(TKestuMessage* message);
  virtual void ShowStatusText(TKestuMessage* message);

  // The lines of the message window, oldest first.
  const std::vector<std::string>& MessageLines() const { return messageLines_; }
  const std::string& StatusText() const { return statusText_; }
  // Running processes in the order they started.
  const std::vector<TProcessProgress>& Processes() const { return processes_; }

 private:
  void OpenWorld();
  void ShowProgress(TKestuMessage* message);
  TProcessProgress* ProcessOf(const TElement* sender);

  std::vector<std::string> messageLines_;
  std::string statusText_;
  std::vector<TProcessProgress> processes_;
};

void RegisterMainToolClasses();
