#include "platform/app_queue.h"

#include <QApplication>
#include <QMetaObject>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <filesystem>
#include <iostream>
#include <mutex>
#include <thread>

#include "platform/event_handlers.h"
#include "platform/locale_conventions.h"
#include "platform/timer.h"

namespace platform {

struct Application::Impl {
  mutable std::mutex mutex;
  std::deque<AppMessage> queue;
  std::deque<std::function<void()>> tasks;
  std::deque<std::function<void()>> idleTasks;
  // Hooks are swapped whole, so one being called stays alive even when it
  // installs another.
  std::shared_ptr<const MessageHook> messageHook;
  std::shared_ptr<const ExceptionHook> exceptionHook;
  std::string title;
  // Set while Run() owns the event loop; guarded by mutex, so a posting
  // thread never wakes an application that is being torn down.
  bool running = false;
  bool wakePending = false;
  bool terminated = false;
  int holds = 0;
  std::thread::id guiThread = std::this_thread::get_id();
  // Whether ProcessMessages may have anything to do: a task is queued, a
  // message is queued and not held, or the event loop runs.  Long walks pump
  // at every step, so the idle answer is read without the lock.
  std::atomic<bool> mayDeliver{false};

  // Caller holds mutex; after every change to the queues, holds or running.
  void NoteWork() {
    mayDeliver.store(running || !tasks.empty() || !idleTasks.empty() || (!queue.empty() && holds == 0),
                     std::memory_order_release);
  }

  // Caller holds mutex.
  void WakeLoop() {
    if (!running || wakePending) return;
    wakePending = true;
    QMetaObject::invokeMethod(
        qApp,
        [this] {
          {
            std::lock_guard lock(mutex);
            wakePending = false;
          }
          DrainQueue();
        },
        Qt::QueuedConnection);
  }

  // Caller holds mutex and running is set.
  // exit, not quit: Qt's quit first asks every window to close, and the main
  // window answers a close request by asking the user whether to quit.
  void PostQuit() {
    QMetaObject::invokeMethod(qApp, [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
  }

  // Caller holds mutex.
  bool TakeTask(std::function<void()>& task) {
    if (tasks.empty()) return false;
    task = std::move(tasks.front());
    tasks.pop_front();
    NoteWork();
    return true;
  }

  // Tasks go before the messages queued with them.
  void DrainQueue() {
    RunIdleTasks();
    for (;;) {
      AppMessage message;
      std::function<void()> task;
      {
        std::lock_guard lock(mutex);
        // Tasks run even while messages are held: they only show what
        // another thread asks for and change no model.
        if (!TakeTask(task)) {
          if (queue.empty() || holds > 0) return;
          message = queue.front();
          queue.pop_front();
          NoteWork();
        }
      }
      if (task) RunTask(task);
      else Deliver(message);
    }
  }

  // Only with no handler on the stack of the user-interface thread.
  void RunIdleTasks();

  void RunTask(const std::function<void()>& task) {
    const HandlerRun handling;
    try {
      task();
    } catch (...) {
      ReportException(std::current_exception());
    }
  }

  void Deliver(AppMessage& message) {
    std::shared_ptr<const MessageHook> hook;
    {
      std::lock_guard lock(mutex);
      hook = messageHook;
    }
    if (!hook || !*hook) return;
    const HandlerRun handling;
    try {
      bool handled = false;
      (*hook)(message, handled);
    } catch (...) {
      ReportException(std::current_exception());
    }
  }

  void ReportException(std::exception_ptr error) {
    std::shared_ptr<const ExceptionHook> hook;
    {
      std::lock_guard lock(mutex);
      hook = exceptionHook;
    }
    if (hook && *hook) {
      try {
        (*hook)(error);
        return;
      } catch (...) {
        error = std::current_exception();
      }
    }
    try {
      std::rethrow_exception(error);
    } catch (const std::exception& e) {
      std::cerr << e.what() << '\n';
    } catch (...) {
      std::cerr << "Unknown exception\n";
    }
  }
};

namespace {
// Handlers run on the user-interface thread alone; elsewhere none counts.
thread_local int handlersRunning = 0;
}  // namespace

void Application::Impl::RunIdleTasks() {
  if (handlersRunning > 0) return;
  for (;;) {
    std::deque<std::function<void()>> due;
    {
      std::lock_guard lock(mutex);
      if (idleTasks.empty() || std::this_thread::get_id() != guiThread) return;
      due.swap(idleTasks);
      NoteWork();
    }
    // Run as a window's event handlers are: under what they take meanwhile.
    for (const std::function<void()>& task : due) RunTask([&task] { RunEventHandler(task); });
  }
}

HandlerRun::HandlerRun() { ++handlersRunning; }

HandlerRun::~HandlerRun() {
  if (--handlersRunning == 0) Application::Instance().impl_->RunIdleTasks();
}

Application::Application() : impl_(std::make_unique<Impl>()) {}

Application::~Application() = default;

Application& Application::Instance() {
  static Application instance;
  return instance;
}

void Application::PostMessage(const AppMessage& message) {
  std::lock_guard lock(impl_->mutex);
  impl_->queue.push_back(message);
  impl_->NoteWork();
  impl_->WakeLoop();
}

void Application::SendMessage(AppMessage message) { impl_->Deliver(message); }

namespace {
thread_local WaitRelease* threadWaitRelease = nullptr;
}  // namespace

void SetThreadWaitRelease(WaitRelease* release) { threadWaitRelease = release; }

bool Application::IsUiThread() const {
  std::lock_guard lock(impl_->mutex);
  return std::this_thread::get_id() == impl_->guiThread;
}

void Application::Invoke(std::function<void()> task) {
  std::lock_guard lock(impl_->mutex);
  impl_->tasks.push_back(std::move(task));
  impl_->NoteWork();
  impl_->WakeLoop();
}

void Application::InvokeWhenIdle(std::function<void()> task) {
  std::lock_guard lock(impl_->mutex);
  impl_->idleTasks.push_back(std::move(task));
  impl_->NoteWork();
  impl_->WakeLoop();
}

void Application::Call(const std::function<void()>& task) {
  if (IsUiThread()) {
    task();
    return;
  }
  struct Waiter {
    std::mutex mutex;
    std::condition_variable done;
    bool finished = false;
    std::exception_ptr error;
  };
  auto waiter = std::make_shared<Waiter>();
  WaitRelease* release = threadWaitRelease;
  if (release) release->Release();
  Invoke([waiter, &task] {
    std::exception_ptr error;
    try {
      task();
    } catch (...) {
      error = std::current_exception();
    }
    std::lock_guard lock(waiter->mutex);
    waiter->error = error;
    waiter->finished = true;
    waiter->done.notify_all();
  });
  {
    std::unique_lock lock(waiter->mutex);
    waiter->done.wait(lock, [&] { return waiter->finished; });
  }
  if (release) release->Reacquire();
  if (waiter->error) std::rethrow_exception(waiter->error);
}

void Application::RunPendingTasks() {
  if (!IsUiThread()) return;
  for (;;) {
    std::function<void()> task;
    {
      std::lock_guard lock(impl_->mutex);
      if (!impl_->TakeTask(task)) return;
    }
    impl_->RunTask(task);
  }
}

void Application::ProcessMessages() {
  // Nothing queued and no event loop to let run: nothing to deliver on any
  // thread.
  if (!impl_->mayDeliver.load(std::memory_order_acquire)) return;
  bool letQtRun = false;
  {
    std::lock_guard lock(impl_->mutex);
    // Only the user-interface thread delivers.
    if (std::this_thread::get_id() != impl_->guiThread) return;
    letQtRun = impl_->running;
  }
  if (letQtRun) QCoreApplication::processEvents();
  impl_->DrainQueue();
}

std::size_t Application::PendingCount() const {
  std::lock_guard lock(impl_->mutex);
  return impl_->queue.size();
}

std::vector<AppMessage> Application::TakePending() {
  std::lock_guard lock(impl_->mutex);
  std::vector<AppMessage> pending(impl_->queue.begin(), impl_->queue.end());
  impl_->queue.clear();
  impl_->NoteWork();
  return pending;
}

bool Application::MessagesHeld() const {
  std::lock_guard lock(impl_->mutex);
  return impl_->holds > 0;
}

MessageHold::MessageHold() {
  Application& app = Application::Instance();
  std::lock_guard lock(app.impl_->mutex);
  ++app.impl_->holds;
  app.impl_->NoteWork();
}

MessageHold::~MessageHold() {
  Application& app = Application::Instance();
  std::lock_guard lock(app.impl_->mutex);
  if (--app.impl_->holds == 0 && !app.impl_->queue.empty()) app.impl_->WakeLoop();
  app.impl_->NoteWork();
}

void Application::SetMessageHook(MessageHook hook) {
  auto shared = std::make_shared<const MessageHook>(std::move(hook));
  std::lock_guard lock(impl_->mutex);
  impl_->messageHook = std::move(shared);
}

void Application::SetExceptionHook(ExceptionHook hook) {
  auto shared = std::make_shared<const ExceptionHook>(std::move(hook));
  std::lock_guard lock(impl_->mutex);
  impl_->exceptionHook = std::move(shared);
}

void Application::ReportException(std::exception_ptr error) { impl_->ReportException(std::move(error)); }

std::string Application::ExeName() const {
  std::error_code error;
  const std::filesystem::path path = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::string() : path.string();
}

TClass Application::StaticClass() {
  static const TClassInfo info = DescribeClass<Application>("TApplication", TObject::StaticClass(), "Forms", {});
  return &info;
}

void Application::SetTitle(const std::string& title) { impl_->title = title; }

const std::string& Application::Title() const { return impl_->title; }

int Application::Run(int argc, char** argv) {
  std::unique_ptr<QApplication> owned;
  if (QCoreApplication::instance() == nullptr) {
    owned = std::make_unique<QApplication>(argc, argv);
    FixConversionLocale();
  }
  {
    std::lock_guard lock(impl_->mutex);
    impl_->running = true;
    impl_->NoteWork();
    impl_->guiThread = std::this_thread::get_id();
    if (impl_->terminated) {
      impl_->PostQuit();
    } else if (!impl_->queue.empty()) {
      // Messages posted before the loop existed.
      impl_->WakeLoop();
    }
  }
  const int result = QCoreApplication::exec();
  {
    std::lock_guard lock(impl_->mutex);
    impl_->running = false;
    impl_->NoteWork();
    impl_->wakePending = false;
    impl_->terminated = false;
  }
  TickRunningTimersOnce();
  // What the loop was given to do on its way out still runs: a window that
  // closed as the program ended lets go of itself in a task.
  for (std::function<void()> task;;) {
    {
      std::lock_guard lock(impl_->mutex);
      if (!impl_->TakeTask(task)) break;
    }
    impl_->RunTask(task);
  }
  return result;
}

bool Application::Terminating() const {
  std::lock_guard lock(impl_->mutex);
  return impl_->terminated;
}

void Application::Terminate() {
  std::lock_guard lock(impl_->mutex);
  impl_->terminated = true;
  if (impl_->running) impl_->PostQuit();
}

}  // namespace platform
