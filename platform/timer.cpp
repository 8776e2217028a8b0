#include "platform/timer.h"

#include <QTimer>

#include <algorithm>
#include <vector>

#include "platform/app_queue.h"
#include "platform/forms.h"

namespace platform {

namespace {

// Every timer alive, for the last tick at the end of the loop.  Timers live
// on the user-interface thread only.
std::vector<Timer::Impl*>& LiveTimers() {
  static std::vector<Timer::Impl*> timers;
  return timers;
}

}  // namespace

struct Timer::Impl {
  QTimer Clock;
  std::function<void()> Handler;

  Impl() { LiveTimers().push_back(this); }
  ~Impl() { std::erase(LiveTimers(), this); }

  void Tick() {
    if (!Handler) return;
    try {
      Handler();
    } catch (...) {
      Application::Instance().ReportException(std::current_exception());
    }
  }
};

Timer::Timer(int intervalMs) : impl_((EnsureWindowSystem(), std::make_unique<Impl>())) {
  impl_->Clock.setInterval(intervalMs);
  QObject::connect(&impl_->Clock, &QTimer::timeout, [impl = impl_.get()] { impl->Tick(); });
}

Timer::~Timer() = default;

int Timer::Interval() const { return impl_->Clock.interval(); }
bool Timer::Enabled() const { return impl_->Clock.isActive(); }

void Timer::SetEnabled(bool enabled) {
  if (enabled) impl_->Clock.start();
  else impl_->Clock.stop();
}

void Timer::OnTimer(std::function<void()> handler) { impl_->Handler = std::move(handler); }

void UserTimerTick(Timer& timer) {
  if (timer.Enabled()) timer.impl().Tick();
}

void TickRunningTimersOnce() {
  // A tick may free timers, its own included: each is looked up again.
  const std::vector<Timer::Impl*> running = LiveTimers();
  for (Timer::Impl* timer : running) {
    const auto& live = LiveTimers();
    if (std::find(live.begin(), live.end(), timer) != live.end() && timer->Clock.isActive()) timer->Tick();
  }
}

}  // namespace platform
