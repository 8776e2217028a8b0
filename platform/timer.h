#pragma once
// A timer of a window: while enabled it calls its handler every interval on
// the user-interface thread, from the event loop.
#include <functional>
#include <memory>

namespace platform {

class Timer {
 public:
  // Made disabled.
  explicit Timer(int intervalMs);
  ~Timer();
  Timer(const Timer&) = delete;
  Timer& operator=(const Timer&) = delete;

  int Interval() const;
  bool Enabled() const;
  void SetEnabled(bool enabled);
  // What a raised handler throws goes to the application's exception hook.
  void OnTimer(std::function<void()> handler);

  struct Impl;
  Impl& impl() const { return *impl_; }

 private:
  std::unique_ptr<Impl> impl_;
};

// One tick of the timer, when it is enabled: for tests and answerers.
void UserTimerTick(Timer& timer);
// Gives every running timer one more tick.  Called as the event loop ends:
// a window that waits for its timer's next tick to close (a print dialog
// whose job has ended) would otherwise never close nor let go of itself.
void TickRunningTimersOnce();

}  // namespace platform
