#include "platform/timer.h"

#include <QTimer>

#include "platform/app_queue.h"
#include "platform/forms.h"

namespace platform {

struct Timer::Impl {
  QTimer Clock;
  std::function<void()> Handler;

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

}  // namespace platform
