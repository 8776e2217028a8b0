#include <benchmark/benchmark.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "framework/core/messages.h"
#include "framework/tools/tools.h"
#include "framework/tools/world.h"
#include "oil/compiler/program_compiler.h"
#include "oil/oil_classes.h"
#include "oil/runtime/debug_objects.h"
#include "platform/app_queue.h"
#include "platform/files.h"

// The debugging run of the sample loop of 100,000 statements: with nothing
// flagged against the plain run of the same program (the anchor), and with
// every statement flagged and an observer that resumes at once, in steps per
// second.
namespace {

constexpr int kLoopStatements = 100000;

std::vector<std::string> LoopProgram() {
  return platform::ReadTextLines(std::string(KESTX_SAMPLES_DIR) + "/console/loop100000.oil");
}

// A world of its own, with the framework's messages delivered on this thread.
class BenchWorld {
 public:
  BenchWorld() {
    RegisterOilClasses();
    world_ = std::make_unique<TWorld>();
    auto* main = new TTechnology;
    world_->SetMainTool(main);
    SetWorld(world_.get());
    platform::Application::Instance().SetMessageHook([](platform::AppMessage& message, bool& handled) {
      if (TKestuMessage* kestu = KestuMessageOf(message)) DeliverKestuMessage(kestu, handled, [] { return nullptr; });
    });
  }
  ~BenchWorld() {
    platform::Application::Instance().ProcessMessages();
    platform::Application::Instance().SetMessageHook(nullptr);
    SetWorld(nullptr);
  }
  BenchWorld(const BenchWorld&) = delete;
  BenchWorld& operator=(const BenchWorld&) = delete;

 private:
  std::unique_ptr<TWorld> world_;
};

// Resumes the program at every stop and counts the stops.
class ResumingObserver : public TElement {
 public:
  explicit ResumingObserver(TOilProgram& program) : program_(program) {}
  void ReceiveMessage(TKestuMessage*& message, bool& handled) override {
    handled = true;
    if (message->Message != msgOilLine) return;
    ++Stops;
    program_.ResumeRun();
  }
  long Stops = 0;

 private:
  TOilProgram& program_;
};

void RunLoop(benchmark::State& state, bool debug) {
  BenchWorld world;
  std::unique_ptr<TOilProgram> program = CompileOilProgram(LoopProgram(), debug);
  for (auto _ : state) {
    program->Run();
    platform::Application::Instance().ProcessMessages();
  }
  state.counters["statements/s"] = benchmark::Counter(
      static_cast<double>(state.iterations()) * kLoopStatements, benchmark::Counter::kIsRate);
}

void BM_OilLoopPlainRun(benchmark::State& state) { RunLoop(state, false); }
void BM_OilLoopDebugRunNoneFlagged(benchmark::State& state) { RunLoop(state, true); }

void BM_OilLoopDebugRunAllFlagged(benchmark::State& state) {
  BenchWorld world;
  std::unique_ptr<TOilProgram> program = CompileOilProgram(LoopProgram(), true);
  std::vector<TElement*> pending{program.get()};
  while (!pending.empty()) {
    TElement* element = pending.back();
    pending.pop_back();
    if (auto* line = DynamicCast<TOilLine>(element)) line->SetDebugInfo({true, line->GetSourceLine()});
    if (auto* entity = DynamicCast<TEntity>(element))
      for (TElement* child : entity->Children()) pending.push_back(child);
  }
  ResumingObserver observer(*program);
  static_cast<TDBOilProgram&>(*program).SetObserver(&observer);
  for (auto _ : state) {
    program->Execute();
    while (program->Running()) platform::Application::Instance().ProcessMessages();
  }
  if (observer.Stops < static_cast<long>(state.iterations()) * kLoopStatements)
    throw std::logic_error("the debugging run stopped less often than it has statements");
  state.counters["steps/s"] = benchmark::Counter(static_cast<double>(observer.Stops), benchmark::Counter::kIsRate);
}

}  // namespace

BENCHMARK(BM_OilLoopPlainRun)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OilLoopDebugRunNoneFlagged)->Unit(benchmark::kMillisecond);
// Two threads take turns: the rate is of the time that passed, not of this thread's CPU.
BENCHMARK(BM_OilLoopDebugRunAllFlagged)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
