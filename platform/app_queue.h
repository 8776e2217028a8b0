#pragma once
// The application's message queue: one FIFO of posted messages, delivered one
// at a time on the user-interface thread through an installed hook.  In the
// program the Qt event loop drains it; tests drain it with ProcessMessages().
#include <cstddef>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/type_info.h"

namespace platform {

constexpr unsigned WM_USER = 1024;

struct AppMessage {
  unsigned Msg = 0;
  std::uintptr_t WParam = 0;
  std::uintptr_t LParam = 0;
};

// Called for every delivered message; sets handled when it took the message.
using MessageHook = std::function<void(AppMessage& message, bool& handled)>;
// Called with an exception that escaped a message hook.
using ExceptionHook = std::function<void(std::exception_ptr error)>;

// The program's application object: the queue, and the settings scripts may
// read and write through the world.
class Application : public TObject {
 public:
  static TClass StaticClass();
  TClass ClassType() const override { return StaticClass(); }
  static Application& Instance();
  ~Application();
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  // Thread-safe; returns at once.
  void PostMessage(const AppMessage& message);
  // Delivers at once through the hook, on the calling (user-interface) thread.
  void SendMessage(AppMessage message);
  // Delivers queued messages, including those posted meanwhile, until the
  // queue is empty.  Re-entrant: a hook may call it again.  While Run() is
  // active it first lets the Qt events run, and on any thread but the
  // user-interface thread it does nothing.
  void ProcessMessages();
  std::size_t PendingCount() const;
  // Removes and returns every queued message undelivered (for shutdown).
  std::vector<AppMessage> TakePending();
  // Whether a MessageHold is alive.
  bool MessagesHeld() const;

  // The thread that delivers messages: the one that made the application
  // object, or the one running Run().
  bool IsUiThread() const;
  // Thread-safe; returns at once.  The task runs on the user-interface thread
  // the next time messages are delivered, before the queued messages.
  void Invoke(std::function<void()> task);
  // Runs the task on the user-interface thread and waits for it; on that
  // thread it runs at once.  An exception of the task reaches the caller.
  // While the caller waits, what it holds through its WaitRelease is let go.
  void Call(const std::function<void()>& task);
  // Runs the queued tasks (not the messages); on the user-interface thread only.
  void RunPendingTasks();
  // Thread-safe; returns at once.  The task runs on the user-interface thread
  // once nothing is being handled there (no message, task or window event):
  // as the outermost handler returns, or at the next delivery when none is
  // going on.  What must not go while code of its may still be on the stack
  // goes so, as deleteLater does.
  void InvokeWhenIdle(std::function<void()> task);

  void SetMessageHook(MessageHook hook);
  void SetExceptionHook(ExceptionHook hook);
  // Hands an exception that escaped a window's event to the exception hook
  // (without one: its text to the standard error).
  void ReportException(std::exception_ptr error);

  void SetTitle(const std::string& title);
  const std::string& Title() const;

  // The program file's full name.
  std::string ExeName() const;
  std::string HelpFile;
  std::string Hint;
  bool ShowHint = true;
  int HintColor = 0x80FFFF;  // the tooltip yellow, as 0x00BBGGRR
  int HintPause = 500;       // milliseconds

  // Runs the Qt event loop of the program until Terminate(); messages posted
  // from any thread are then delivered by that loop.
  int Run(int argc, char** argv);
  void Terminate();
  // Terminate was called and the event loop has not yet ended on it.
  bool Terminating() const;

 private:
  Application();
  friend class MessageHold;
  friend class HandlerRun;
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// A long walk over the model lets the window system's events run, so that
// its gauge moves and the user can ask it to stop, but while one of these
// lives ProcessMessages keeps the framework's messages queued: no action can
// re-enter the walk or change the model under it.  They are delivered once
// the last hold ends (by the event loop, or by the next ProcessMessages).
// Holds nest, and one taken on any thread holds the queue for all.
class MessageHold {
 public:
  MessageHold();
  ~MessageHold();
  MessageHold(const MessageHold&) = delete;
  MessageHold& operator=(const MessageHold&) = delete;
};

// A message, task or window event being handled on the user-interface
// thread, for as long as its handler runs: tasks asked for with
// InvokeWhenIdle wait until the outermost one has returned.
class HandlerRun {
 public:
  HandlerRun();
  ~HandlerRun();
  HandlerRun(const HandlerRun&) = delete;
  HandlerRun& operator=(const HandlerRun&) = delete;
};

// What a thread lets go of while it waits for the user-interface thread (a
// lock the user-interface thread may need meanwhile), and takes back after.
class WaitRelease {
 public:
  virtual ~WaitRelease() = default;
  virtual void Release() = 0;
  virtual void Reacquire() = 0;
};
// Installs the calling thread's WaitRelease (not owned); nullptr removes it.
void SetThreadWaitRelease(WaitRelease* release);

}  // namespace platform
