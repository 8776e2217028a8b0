#pragma once
// What the statements of a run ask of the run they belong to: a stop or a
// suspension takes effect between two statements, and results of tool calls
// that nobody holds are handed to the program.
#include <cstdint>

class TOilProgram;
class TElement;

class TRunContext {
 public:
  // Installs the context for the calling thread until it is destroyed.
  explicit TRunContext(TOilProgram* program);
  virtual ~TRunContext();
  TRunContext(const TRunContext&) = delete;
  TRunContext& operator=(const TRunContext&) = delete;

  static TRunContext* Current() { return current_; }
  // Tells runs apart: no two contexts of the process share a number.
  std::uint64_t RunNumber() const { return runNumber_; }
  TOilProgram* Program() const { return program_; }
  // The context this one was installed over: a run started from inside another.
  TRunContext* Previous() const { return previous_; }
  // Called between two statements.
  virtual void BetweenStatements() {}
  // Keeps the report of an error (and the source line it came from, -1 when
  // unknown) for the end of the run; false when the run reports at once.
  virtual bool KeepReport(const char* /*text*/, int /*line*/) { return false; }
  // Asks the run's thread to stop at the next point between two statements;
  // a run on the caller's own thread never stops.
  virtual void SuspendHere() {}

 private:
  static inline thread_local TRunContext* current_ = nullptr;
  TOilProgram* program_;
  TRunContext* previous_;
  std::uint64_t runNumber_;
};

// The point between two statements of the running program, if any.
inline void BetweenStatements() {
  if (TRunContext* context = TRunContext::Current()) context->BetweenStatements();
}

// Whether freeing the element, or clearing its children, would free a program
// that runs on this thread or a part of one: the element is such a program,
// holds one (directly or through others), or is held by one.
bool TouchesRunningProgram(TElement* element);

// An output a tool call made and nothing holds belongs to the running
// program.  An output whose handle was issued after the tool's was first
// referred to during the call; an element that lived before it (the world,
// another tool's output) or a program that runs is never taken.
void HandOverLooseOutput(TElement* output, std::uint32_t toolHandle);
