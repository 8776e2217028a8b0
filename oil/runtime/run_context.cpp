#include "oil/runtime/run_context.h"

#include <atomic>
#include <unordered_set>
#include <vector>

#include "framework/tools/world.h"
#include "oil/runtime/program_run.h"

namespace {

// Whether target is from or one of the elements it holds, at any depth.  A
// walk of its own: holders form no cycles, but one element may be held twice.
bool Holds(TElement* from, const TElement* target) {
  std::vector<TElement*> pending{from};
  std::unordered_set<const TElement*> seen;
  while (!pending.empty()) {
    TElement* element = pending.back();
    pending.pop_back();
    if (element == target) return true;
    if (!seen.insert(element).second) continue;
    if (auto* entity = DynamicCast<TEntity>(element))
      for (TElement* child : entity->Children()) pending.push_back(child);
  }
  return false;
}

}  // namespace

namespace {
std::atomic<std::uint64_t> runsMade{0};
}  // namespace

TRunContext::TRunContext(TOilProgram* program)
    : program_(program), previous_(current_), runNumber_(++runsMade) {
  current_ = this;
}

TRunContext::~TRunContext() { current_ = previous_; }

bool TouchesRunningProgram(TElement* element) {
  if (!element) return false;
  for (TRunContext* context = TRunContext::Current(); context; context = context->Previous()) {
    TOilProgram* program = context->Program();
    if (program && (Holds(element, program) || Holds(program, element))) return true;
  }
  return false;
}

void HandOverLooseOutput(TElement* output, std::uint32_t toolHandle) {
  TRunContext* context = TRunContext::Current();
  if (!context || !context->Program() || !output || output->HolderCount() != 0 || output == World()) return;
  for (TRunContext* run = context; run; run = run->Previous())
    if (output == run->Program()) return;
  if (IssuedAfter(HandleOfElement(output), toolHandle)) context->Program()->KeepLooseOutput(output);
}
