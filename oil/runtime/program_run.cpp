#include "oil/runtime/program_run.h"

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>

#include "framework/tools/world.h"
#include "oil/errors/lang_errors.h"
#include "oil/runtime/run_context.h"
#include "platform/app_queue.h"
#include "platform/dialogs.h"

const char* const kOilGeneralFailure = "Hruba Chyba OILu- nejspis spatne odalokovani";

namespace {
// Thrown between statements when the run is stopped: nothing in the program
// catches it.
struct TRunStopped {};
}  // namespace

// ---------------------------------------------------------------- the thread

// The worker of one run.  Its state is shared with the user-interface thread
// under its own mutex; the world is shared under the world lock, which the
// worker holds while it runs statements and lets go of between them when
// someone waits for it, when suspended, and while it waits for the
// user-interface thread.
class TOilThread {
 public:
  TOilThread(TOilProgram* program, int runId) : program_(program) {
    TElementLink link(program);
    thread_ = std::thread([this, link, runId] { Body(link, runId); });
  }
  ~TOilThread() { Join(); }
  TOilThread(const TOilThread&) = delete;
  TOilThread& operator=(const TOilThread&) = delete;

  void Join() {
    if (thread_.joinable()) thread_.join();
  }
  void Suspend() { Request([this] { suspend_ = true; }); }
  void Resume() { Request([this] { suspend_ = false; }); }
  void Stop() { Request([this] { stop_ = true; }); }
  bool Parked() const {
    std::lock_guard lock(mutex_);
    return parked_;
  }
  bool Finished() const {
    std::lock_guard lock(mutex_);
    return finished_;
  }
  std::pair<std::string, int> Report() const {
    std::lock_guard lock(mutex_);
    return {report_, reportLine_};
  }
  void SetReport(const std::string& text, int line) {
    std::lock_guard lock(mutex_);
    report_ = text;
    reportLine_ = line;
  }

 private:
  // The run's side of the thread, made on the worker.
  class TControl : public TRunContext, public platform::WaitRelease {
   public:
    TControl(TOilThread& thread, TOilProgram* program) : TRunContext(program), thread_(thread) {
      platform::SetThreadWaitRelease(this);
    }
    ~TControl() override { platform::SetThreadWaitRelease(nullptr); }
    void BetweenStatements() override { thread_.BetweenStatements(); }
    bool KeepReport(const char* text, int line) override {
      thread_.SetReport(text, line);
      return true;
    }
    void SuspendHere() override { thread_.Suspend(); }
    void Release() override { depth_ = WorldLock().ReleaseAll(); }
    void Reacquire() override { WorldLock().Reacquire(depth_); }

   private:
    TOilThread& thread_;
    int depth_ = 0;
  };

  template <class Change>
  void Request(Change change) {
    std::lock_guard lock(mutex_);
    change();
    attention_.store(suspend_ || stop_, std::memory_order_relaxed);
    wake_.notify_all();
  }

  void Body(TElementLink link, int runId) {
    {
      TControl control(*this, program_);
      std::unique_lock world(WorldLock());
      try {
        program_->Run();
      } catch (const TRunStopped&) {
        // Stopped from outside: no report, no end notification.
      } catch (const TLangError& error) {
        SetReport(kOilGeneralFailure, error.Line);
      } catch (...) {
        SetReport(kOilGeneralFailure, -1);
      }
    }
    bool stopped = false;
    {
      std::lock_guard lock(mutex_);
      finished_ = true;
      stopped = stop_;
    }
    if (stopped) return;
    platform::Application::Instance().Invoke([link, runId] {
      if (auto* program = static_cast<TOilProgram*>(link.Get())) program->EndOfRunOf(runId);
    });
  }

  void BetweenStatements() {
    TWorldLock& world = WorldLock();
    if (!attention_.load(std::memory_order_relaxed)) {
      if (!world.Contended()) return;
      // Someone waits for the world: let them have it first.
      const int depth = world.ReleaseAll();
      while (world.Contended()) std::this_thread::yield();
      world.Reacquire(depth);
      return;
    }
    std::unique_lock lock(mutex_);
    if (stop_) throw TRunStopped();
    if (!suspend_) return;
    lock.unlock();
    const int depth = world.ReleaseAll();
    lock.lock();
    parked_ = true;
    wake_.wait(lock, [this] { return !suspend_ || stop_; });
    parked_ = false;
    const bool stop = stop_;
    lock.unlock();
    world.Reacquire(depth);
    if (stop) throw TRunStopped();
  }

  TOilProgram* program_;
  std::thread thread_;
  mutable std::mutex mutex_;
  std::condition_variable wake_;
  std::atomic<bool> attention_{false};
  bool suspend_ = false;
  bool stop_ = false;
  bool parked_ = false;
  bool finished_ = false;
  std::string report_;
  int reportLine_ = -1;
};

// ---------------------------------------------------------------- the program

TOilProgram::TOilProgram() = default;

TOilProgram::~TOilProgram() { StopRun(); }

void TOilProgram::Execute() {
  if (thread_ || inRun_) return;
  thread_ = std::make_unique<TOilThread>(this, ++runId_);
}

void TOilProgram::Run() {
  if (inRun_) return;
  inRun_ = true;
  RunStarting();
  // A run on the caller's own thread answers for its statements itself.
  std::optional<TRunContext> ownContext;
  if (!TRunContext::Current() || TRunContext::Current()->Program() != this) ownContext.emplace(this);
  struct Leave {
    TOilProgram& program;
    ~Leave() {
      program.frame_ = nullptr;
      program.FreeLooseOutputs();
      program.inRun_ = false;
    }
  } leave{*this};
  // What a stopped run left behind goes before the frame starts at 0.
  PopStackTo(0);
  Base = 0;
  PushVariables();
  TWorld* world = World();
  SetStackValue(0, TOilValue::Element(world));
  SetStackValue(1, TOilValue::Element(world ? world->MainTool() : nullptr));
  SetStackValue(2, TOilValue::Element(world));
  // The frame's elements stay where they are while the run lasts: read
  // through the frame, not looked up in the stack at every access.
  runFrame_.Slots.clear();
  for (int i = 0; i < VarCount(); ++i) runFrame_.Slots.push_back(GetStackItem(i));
  frame_ = &runFrame_;
  try {
    ExecuteLines();
  } catch (const TRunTimeError& error) {
    ReportRunTimeError(error);
  }
}

void TOilProgram::KeepLooseOutput(TElement* element) {
  if (!element) return;
  if (looseOutputs_.size() >= compactAt_) CompactLooseOutputs();
  looseOutputs_.emplace_back(element);
}

namespace {
bool IsLoose(TElement* element) { return element && element->HolderCount() == 0; }
}  // namespace

void TOilProgram::CompactLooseOutputs() {
  std::erase_if(looseOutputs_, [](const TElementLink& link) { return !IsLoose(link.Get()); });
  compactAt_ = std::max<std::size_t>(64, 2 * looseOutputs_.size());
}

void TOilProgram::FreeLooseOutputs() {
  const std::vector<TElementLink> outputs = std::move(looseOutputs_);
  looseOutputs_.clear();
  compactAt_ = 64;
  // One freed output may take another it held with it: each is looked up afresh.
  for (const TElementLink& link : outputs) {
    TElement* element = link.Get();
    if (IsLoose(element) && element->CanFree()) DisposeElement(element);
  }
}

void TOilProgram::ReportRunTimeError(const TRunTimeError& error) {
  TRunContext* context = TRunContext::Current();
  if (!context || !context->KeepReport(error.what(), error.Line)) ShowRunReport(error.what(), error.Line);
}

void TOilProgram::ShowRunReport(const std::string& text, int /*line*/) {
  platform::MessageDlg(text, platform::MsgDlgType::Error, platform::mbOK);
}

void TOilProgram::ThreadTerminated() {
  PopVariables();
  thread_.reset();
}

void TOilProgram::EndOfRunOf(int runId) {
  if (!thread_ || runId != runId_) return;
  thread_->Join();
  const auto [report, line] = thread_->Report();
  if (!report.empty()) ShowRunReport(report, line);
  std::lock_guard world(WorldLock());
  ThreadTerminated();
}

void TOilProgram::SuspendRun() {
  if (thread_) thread_->Suspend();
}

void TOilProgram::ResumeRun() {
  if (thread_) thread_->Resume();
}

bool TOilProgram::RunSuspended() const { return thread_ && thread_->Parked(); }

void TOilProgram::StopRun() {
  if (!thread_) return;
  thread_->Stop();
  // The worker may need the world (which this thread may hold) or the
  // user-interface thread (this one) before it reaches its next statement.
  TWorldLock& world = WorldLock();
  const int depth = world.ReleaseAll();
  while (!thread_->Finished()) {
    platform::Application::Instance().RunPendingTasks();
    std::this_thread::yield();
  }
  thread_->Join();
  world.Reacquire(depth);
  thread_.reset();
}

void TOilProgram::PopVariables() { PopStackTo(0); }

OIL_CLASS_INFO(TOilProgram, TOilProc, "OilRun")
