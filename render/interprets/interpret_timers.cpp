#include "render/interprets/interpret_timers.h"

#include <cmath>
#include <limits>
#include <vector>

#include "framework/core/class_registry.h"
#include "platform/clock.h"

namespace {

constexpr double kMillisecondsADay = 86400000.0;

}  // namespace

bool TTickElement::Alarm() {
  if (Pause) return false;
  const std::uint64_t now = platform::TickCount();
  if (now <= last_ + static_cast<std::uint64_t>(std::max(Interval, 0))) return false;
  last_ = now;
  return true;
}

void TTickElement::Reset() {
  last_ = platform::TickCount();
  Pause = false;
}

std::string TTimeElement::GetInterval() const {
  auto ms = static_cast<std::int64_t>(std::llround(interval_ * kMillisecondsADay));
  const std::int64_t hours = ms / 3600000, minutes = ms / 60000 % 60, seconds = ms / 1000 % 60;
  ms %= 1000;
  return std::to_string(hours) + ":" + std::to_string(minutes) + ":" + std::to_string(seconds) + "." +
         std::to_string(ms);
}

void TTimeElement::SetInterval(const std::string& text) {
  std::vector<std::string> fields{""};
  for (char c : text) {
    if (c == ':') fields.emplace_back();
    else fields.back() += c;
  }
  std::string seconds = fields.back(), millis = "0";
  if (const auto dot = seconds.find('.'); dot != std::string::npos) {
    millis = seconds.substr(dot + 1);
    seconds.resize(dot);
  }
  const auto field = [&](std::size_t fromEnd) { return fields.size() > fromEnd ? fields[fields.size() - 1 - fromEnd] : "0"; };
  const int h = StrToInt(field(2)), m = StrToInt(field(1)), s = StrToInt(seconds), ms = StrToInt(millis);
  if (h < 0 || h > 23 || m < 0 || m > 59 || s < 0 || s > 59 || ms < 0 || ms > 999)
    throw EConvertError("Invalid argument to time encode");
  interval_ = (((h * 60.0 + m) * 60.0 + s) * 1000.0 + ms) / kMillisecondsADay;
}

bool TTimeElement::Alarm() {
  const double now = platform::TimeOfDay();
  const double elapsed = now - previous_;
  previous_ = now;
  if (elapsed <= interval_) return false;
  if (MultiAlarm && interval_ > 0) {
    const double missed = std::round(elapsed / interval_) - 1;
    if (alarmCount_ + missed <= std::numeric_limits<std::int32_t>::max())
      alarmCount_ += static_cast<std::int32_t>(missed);
  }
  return true;
}

TClass TTickElement::StaticClass() {
  static const TClassInfo info = DescribeClass<TTickElement>(
      "TTickElement", TOwnerElement::StaticClass(), "I_uni",
      {FieldProp("Interval", &TTickElement::Interval), FieldProp("Pause", &TTickElement::Pause),
       NotStored(AccessorProp<TTickElement, bool>(
           "Alarm", [](const TTickElement& t) { return const_cast<TTickElement&>(t).Alarm(); }, nullptr))});
  return &info;
}

TClass TTimeElement::StaticClass() {
  static const TClassInfo info = DescribeClass<TTimeElement>(
      "TTimeElement", TOwnerElement::StaticClass(), "I_uni",
      {ReadWriteProp("Interval", &TTimeElement::GetInterval, &TTimeElement::SetInterval),
       NotStored(AccessorProp<TTimeElement, bool>(
           "Alarm", [](const TTimeElement& t) { return const_cast<TTimeElement&>(t).Alarm(); }, nullptr)),
       NotStored(ReadProp("AlarmCount", &TTimeElement::AlarmCount)),
       FieldProp("MultiAlarm", &TTimeElement::MultiAlarm)});
  return &info;
}

void RegisterInterpretTimerClasses() {
  RegisterKestuClass(TTickElement::StaticClass());
  RegisterKestuClass(TTimeElement::StaticClass());
}
