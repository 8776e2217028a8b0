#include "platform/event_handlers.h"

#include "platform/app_queue.h"

namespace platform {
namespace {

EventHandlerHook& Hook() {
  static EventHandlerHook hook;
  return hook;
}

}  // namespace

void SetEventHandlerHook(EventHandlerHook hook) { Hook() = std::move(hook); }

void RunEventHandler(const std::function<void()>& handler) {
  // Handlers run on the user-interface thread only: the hook needs no lock.
  const HandlerRun handling;
  if (const EventHandlerHook& hook = Hook()) hook(handler);
  else handler();
}

}  // namespace platform
