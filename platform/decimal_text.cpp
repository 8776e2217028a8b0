#include "platform/decimal_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace platform {

std::string RoundDecimalText(std::string_view number, int decimals) {
  bool negative = false;
  if (!number.empty() && (number.front() == '-' || number.front() == '+')) {
    negative = number.front() == '-';
    number.remove_prefix(1);
  }
  const std::size_t dot = number.find('.');
  const std::string_view whole = number.substr(0, dot);
  const std::string_view fraction = dot == std::string_view::npos ? std::string_view() : number.substr(dot + 1);
  const auto kept = static_cast<std::size_t>(decimals);
  std::string digits = std::string(whole) + std::string(fraction.substr(0, std::min(kept, fraction.size())));
  digits.append(kept - std::min(kept, fraction.size()), '0');
  digits.insert(0, "0");  // room for a carry
  if (fraction.size() > kept && fraction[kept] >= '5') {
    std::size_t i = digits.size();
    while (i-- > 0) {
      if (digits[i] != '9') {
        ++digits[i];
        break;
      }
      digits[i] = '0';
    }
  }
  std::string integer = digits.substr(0, digits.size() - kept);
  integer.erase(0, std::min(integer.find_first_not_of('0'), integer.size() - 1));
  std::string result = integer;
  if (kept > 0) result += "." + digits.substr(digits.size() - kept);
  if (negative && result.find_first_not_of("0.") != std::string::npos) result.insert(0, "-");
  return result;
}

std::string RoundedDecimals(double value, int decimals) {
  if (!std::isfinite(value)) return std::to_string(value);
  // The shortest text that reads back as the value: its digits are the
  // number as written, so halves are halves.
  char buffer[400];
  const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
  return RoundDecimalText(std::string_view(buffer, static_cast<std::size_t>(end - buffer)), std::max(decimals, 0));
}

}  // namespace platform
