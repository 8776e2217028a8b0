#pragma once
// Marks a tool keeps for the length of a run, cleared on every way out,
// errors included.
#include <string>

#include "framework/tools/tools.h"

// The tool's busy mark.
class BusyRun {
 public:
  explicit BusyRun(TTool& tool) : tool_(tool) { tool_.SetBusy(true); }
  ~BusyRun() { tool_.SetBusy(false); }
  BusyRun(const BusyRun&) = delete;
  BusyRun& operator=(const BusyRun&) = delete;

 private:
  TTool& tool_;
};

// A progress display started now and ended when the run leaves.
class ProgressRun {
 public:
  ProgressRun(TTool& tool, const std::string& processName, int min, int max) : tool_(tool) {
    tool_.StartProgress(processName, min, max);
  }
  ~ProgressRun() { tool_.EndProgress(); }
  ProgressRun(const ProgressRun&) = delete;
  ProgressRun& operator=(const ProgressRun&) = delete;

 private:
  TTool& tool_;
};
