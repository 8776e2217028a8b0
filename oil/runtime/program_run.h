#pragma once
// The run of a compiled program: synchronously on the calling thread (Run),
// or on a worker thread of its own (Execute) that shares the world with the
// user-interface thread under the world lock.
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "oil/runtime/program_objects.h"

class TOilThread;
class TRunTimeError;

// The text of a run that ended by any failure other than a run-time error.
extern const char* const kOilGeneralFailure;

class TOilProgram : public TOilProc {
  KESTX_CLASS(TOilProgram)
 public:
  TOilProgram();
  // A run still active is stopped first.
  ~TOilProgram() override;

  // Starts a run on a thread of its own and returns at once; nothing when a
  // run is active.  Called on the user-interface thread.
  void Execute() override;
  // The whole run on the calling thread.  A run-time error ends it and is
  // reported; any other error passes on.  Refused while a run is in progress.
  virtual void Run();
  // Shows the message; on the program's thread it is kept for the end of the run.
  virtual void ReportRunTimeError(const TRunTimeError& error);
  // On the user-interface thread once the run's thread has ended.
  virtual void ThreadTerminated();
  // How the report a run left (its text and source line) reaches the user at
  // its end: a message box.
  virtual void ShowRunReport(const std::string& text, int line);
  virtual void SuspendRun();
  virtual void ResumeRun();
  // Ends the run for good, waits for its thread and forgets it.
  virtual void StopRun();
  // Clears the whole stack.
  void PopVariables() override;

  // Keeps an element that a tool call of the run made and nothing holds: it
  // is freed when the run ends, unless something has taken it by then.
  void KeepLooseOutput(TElement* element);

  // A run is active (running or suspended).
  bool Running() const { return thread_ != nullptr; }
  // The run has stopped between two statements at a suspension.
  bool RunSuspended() const;

 public:
  // The end notification of the run runId, on the user-interface thread.
 protected:
  // A run begins (on the thread it runs on), before its frame is pushed.
  virtual void RunStarting() {}

 public:
  void EndOfRunOf(int runId);

 private:
  void FreeLooseOutputs();
  // Drops what was freed or taken since, once the list has doubled.
  void CompactLooseOutputs();

  std::unique_ptr<TOilThread> thread_;
  // The program's own variables while a run lasts.
  TOilFrame runFrame_;
  std::vector<TElementLink> looseOutputs_;
  std::size_t compactAt_ = 64;
  int runId_ = 0;
  bool inRun_ = false;
};
