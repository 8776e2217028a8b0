#include "framework/values/real48.h"

#include <bit>
#include <cmath>
#include <limits>

namespace {

constexpr int kBias = 129;
constexpr int kFractionBits = 39;
constexpr std::uint64_t kHiddenBit = std::uint64_t{1} << kFractionBits;

// Rounds once from the source's own precision: going through a narrower type
// first could land on a half that the value itself is not.
template <class Float>
Real48Bytes ToReal48(Float Value) {
  // The type carries 40 significant bits, the source more.
  constexpr int kSourceBits = std::numeric_limits<Float>::digits;
  constexpr int kDroppedBits = kSourceBits - (kFractionBits + 1);
  static_assert(kDroppedBits > 0 && kSourceBits <= 64);

  Real48Bytes Bytes{};
  if (std::isnan(Value) || std::isinf(Value)) throw EReal48Overflow();
  if (Value == 0) return Bytes;

  int Exp2 = 0;
  const Float Fraction = std::frexp(std::fabs(Value), &Exp2);  // in [0.5, 1)
  const auto Significand = static_cast<std::uint64_t>(std::ldexp(Fraction, kSourceBits));
  std::uint64_t Mantissa = Significand >> kDroppedBits;
  if ((Significand >> (kDroppedBits - 1)) & 1) ++Mantissa;  // a half goes away from zero
  // The value is Fraction * 2^Exp2, i.e. 1.f * 2^(Exp2 - 1).
  int Exponent = Exp2 - 1 + kBias;
  if (Mantissa == 2 * kHiddenBit) {
    Mantissa >>= 1;
    ++Exponent;
  }
  if (Exponent > 255) throw EReal48Overflow();
  if (Exponent < 1) return Bytes;

  const std::uint64_t Bits = Mantissa - kHiddenBit;
  Bytes[0] = static_cast<std::uint8_t>(Exponent);
  for (int i = 1; i <= 5; ++i) Bytes[i] = static_cast<std::uint8_t>(Bits >> (8 * (i - 1)));
  if (std::signbit(Value)) Bytes[5] |= 0x80;
  return Bytes;
}

// The same for a double, straight from its bits: the export converts
// millions of vertices, and splitting the value with frexp and ldexp costs
// more than the rest of a coordinate record.
Real48Bytes DoubleBitsToReal48(double Value) {
  constexpr int kDoubleFractionBits = 52;
  constexpr int kDroppedBits = kDoubleFractionBits - kFractionBits;
  const auto Bits = std::bit_cast<std::uint64_t>(Value);
  const int Biased = static_cast<int>((Bits >> kDoubleFractionBits) & 0x7FF);
  if (Biased == 0x7FF) throw EReal48Overflow();  // infinite or not a number
  Real48Bytes Bytes{};
  // Zero and the subnormals lie far below the type's smallest value.
  if (Biased == 0) return Bytes;
  const std::uint64_t Fraction = Bits & ((std::uint64_t{1} << kDoubleFractionBits) - 1);
  // A half goes away from zero; a carry out of the fraction raises the exponent.
  std::uint64_t Mantissa = (Fraction + (std::uint64_t{1} << (kDroppedBits - 1))) >> kDroppedBits;
  int Exponent = Biased - 1023 + kBias;
  if (Mantissa == kHiddenBit) {
    Mantissa = 0;
    ++Exponent;
  }
  if (Exponent > 255) throw EReal48Overflow();
  if (Exponent < 1) return Bytes;
  Bytes[0] = static_cast<std::uint8_t>(Exponent);
  for (int i = 1; i <= 5; ++i) Bytes[i] = static_cast<std::uint8_t>(Mantissa >> (8 * (i - 1)));
  if (Bits >> 63) Bytes[5] |= 0x80;
  return Bytes;
}

}  // namespace

EReal48Overflow::EReal48Overflow() : std::runtime_error("Floating point overflow") {}

Real48Bytes DoubleToReal48(double Value) { return DoubleBitsToReal48(Value); }

Real48Bytes ExtendedToReal48(long double Value) { return ToReal48(Value); }

double Real48ToDouble(const Real48Bytes& Bytes) {
  if (Bytes[0] == 0) return 0.0;
  std::uint64_t Bits = 0;
  for (int i = 5; i >= 1; --i) Bits = (Bits << 8) | Bytes[i];
  Bits &= kHiddenBit - 1;
  const double Magnitude = std::ldexp(static_cast<double>(kHiddenBit | Bits), Bytes[0] - kBias - kFractionBits);
  return (Bytes[5] & 0x80) ? -Magnitude : Magnitude;
}

double RoundToReal48(double Value) { return Real48ToDouble(DoubleToReal48(Value)); }
