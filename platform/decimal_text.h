#pragma once
// Decimal texts rounded the way a person rounds the digits shown: halves
// away from zero, digit by digit.
#include <string>
#include <string_view>

namespace platform {

// A plain decimal text ("-12.345") rounded to decimals places (so 12.345
// gives 12.35, which the nearest double would not); "-0" reads "0".
std::string RoundDecimalText(std::string_view number, int decimals);
// The value's shortest exact text rounded so.
std::string RoundedDecimals(double value, int decimals);

}  // namespace platform
