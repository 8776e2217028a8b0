#pragma once
// The timers of long walks: a tick timer on the millisecond clock, and a
// timer on the time of day that can count the alarms it missed.
#include <cstdint>
#include <string>

#include "framework/core/elements.h"

class TTickElement : public TOwnerElement {
  KESTX_CLASS(TTickElement)
 public:
  // Milliseconds.
  std::int32_t Interval = 0;
  bool Pause = false;

  // False while paused; true (and the alarm restarts) once more than
  // Interval has passed since the last one.
  bool Alarm();
  void Reset();

 private:
  std::uint64_t last_ = 0;
};

class TTimeElement : public TOwnerElement {
  KESTX_CLASS(TTimeElement)
 public:
  bool MultiAlarm = false;
  std::int32_t AlarmCount() const { return alarmCount_; }

  // "h:m:s.ms", each part without leading zeros.
  std::string GetInterval() const;
  // Read right-aligned as [[h:]m:]s[.ms]; a part that is no number or out
  // of its range raises EConvertError and leaves the interval as it was.
  void SetInterval(const std::string& text);
  // A fraction of a day.
  double IntervalDays() const { return interval_; }

  // True when more than Interval has passed since the last reading; with
  // MultiAlarm the alarms missed meanwhile are counted.
  bool Alarm();

 private:
  double interval_ = 0;
  double previous_ = 0;
  std::int32_t alarmCount_ = 0;
};

void RegisterInterpretTimerClasses();
