#pragma once
// The clocks the program reads: a monotonic millisecond count and the local
// time of day.  Tests replace both to drive timers without waiting.
#include <cstdint>
#include <functional>

namespace platform {

// Milliseconds since an arbitrary start; never wraps.
std::uint64_t TickCount();
// The local time of day as a fraction of a day (0 at midnight).
double TimeOfDay();
// The local date and time: days since 30 December 1899 and the fraction of
// the day.
double Now();

// nullptr restores the system's clock.
void SetTickSource(std::function<std::uint64_t()> source);
void SetTimeOfDaySource(std::function<double()> source);
void SetNowSource(std::function<double()> source);

}  // namespace platform
