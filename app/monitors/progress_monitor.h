#pragma once
// The progress display of the processes that report through the progress
// codes: one always-on-top window with one panel per running process, one
// below the other.
#include <cstdint>
#include <memory>
#include <string>

#include "framework/tools/tools.h"

class TKESTUForm;

// The height one process panel takes in the progress window.
constexpr int kProcessPanelHeight = 105;

class TProcessMonitor : public TTool {
  KESTX_CLASS(TProcessMonitor)
 public:
  TProcessMonitor();
  ~TProcessMonitor() override;

  TKESTUForm& Panel() const { return *panel_; }

  TElement* Process() const { return process_.Get(); }
  void SetProcess(TElement* process) { process_.Set(process); }
  std::string ProcessName() const;
  void SetProcessName(const std::string& name);
  std::string Text() const;
  void SetText(const std::string& text);
  std::int32_t MinProgress() const;
  void SetMinProgress(std::int32_t value);
  std::int32_t MaxProgress() const;
  void SetMaxProgress(std::int32_t value);
  std::int32_t Progress() const;
  void SetProgress(std::int32_t value);

 private:
  std::unique_ptr<TKESTUForm> panel_;
  TElementLink process_;
  bool panelMayClose_ = false;
};

class TProgressMonitor : public TTechnology {
  KESTX_CLASS(TProgressMonitor)
 public:
  TProgressMonitor();
  ~TProgressMonitor() override;

  TKESTUForm& Window() const { return *window_; }
  // The process monitor of the sender, or nil.
  TProcessMonitor* MonitorOf(const TElement* sender) const;
  int MonitorCount() const;

  void ReceiveMessage(TKestuMessage*& message, bool& handled) override;
  bool CanClose() override;

 private:
  void StartProcess(TProgressMessage* message);
  void EndProcess(TElement* sender);
  void FitWindow();

  std::unique_ptr<TKESTUForm> window_;
};

void RegisterProgressMonitorClasses();
