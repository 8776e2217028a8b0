#include "platform/event_handlers.h"

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
  if (const EventHandlerHook& hook = Hook()) hook(handler);
  else handler();
}

}  // namespace platform
