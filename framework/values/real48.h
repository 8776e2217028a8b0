#pragma once
// The six-byte real of the block files: exponent byte (bias 129, 0 means
// zero), 39 fraction bits, sign in the top bit of the last byte, stored
// little-endian.  About 12 significant digits.
#include <array>
#include <cstdint>
#include <stdexcept>

using Real48Bytes = std::array<std::uint8_t, 6>;

// Raised for a value of 2^127 or more in magnitude (after rounding) and for
// a value that is not a number.
class EReal48Overflow : public std::runtime_error {
 public:
  EReal48Overflow();
};

// Rounds to the nearest (halves away from zero); values too small for the
// format become zero.
Real48Bytes DoubleToReal48(double Value);
// The same, rounding straight from extended precision.
Real48Bytes ExtendedToReal48(long double Value);
double Real48ToDouble(const Real48Bytes& Bytes);
// The value after passing through the type.
double RoundToReal48(double Value);
