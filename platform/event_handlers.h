#pragma once
// What runs around every handler of a window's event: a layer above installs
// a hook that takes what its handlers need for the time they run (the world
// the program's threads share), so that no handler has to take it itself.
#include <functional>

namespace platform {

// The hook gets the handler and must run it once; nullptr removes it.
using EventHandlerHook = std::function<void(const std::function<void()>& handler)>;
void SetEventHandlerHook(EventHandlerHook hook);
// Runs the handler through the hook, or directly without one.
void RunEventHandler(const std::function<void()>& handler);

}  // namespace platform
