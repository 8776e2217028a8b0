#pragma once
// The texts of a finished print run: times as the dialog shows them, and
// the box that sums the run up.
#include <string>

// A time of day, or a span of time, in days: "H:mm:ss".
std::string TimeText(double days);
// A date and time in days since 30 December 1899: "d.m.yyyy H:mm:ss".
std::string DateTimeText(double days);
// The date and time now, two line breaks, "Ukončen tisk na "name"", two
// line breaks, and how long the run took.
std::string PrintSummary(double now, const std::string& printerName, double elapsed);
