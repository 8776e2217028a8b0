#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "framework/values/real48.h"

namespace {

Real48Bytes Bytes(std::uint8_t exponent, std::uint8_t b1, std::uint8_t top, std::uint8_t sign = 0) {
  return Real48Bytes{exponent, b1, 0, 0, 0, static_cast<std::uint8_t>(top | sign)};
}

const Real48Bytes kZero{};
const Real48Bytes kLargest{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F};
const double kHalf = std::ldexp(1.0, -40);  // half a unit of the last fraction bit at 1.0
const double kSmallest = std::ldexp(1.0, -128);
const double kLargestValue = std::ldexp(2.0 - std::ldexp(1.0, -39), 126);

TEST(Real48, EncodesByHandWorkedBytesWithHalvesAwayFromZero) {
  const struct {
    double value;
    Real48Bytes bytes;
  } cases[] = {
      {1.0, Bytes(0x81, 0, 0)}, {-1.0, Bytes(0x81, 0, 0, 0x80)}, {0.5, Bytes(0x80, 0, 0)}, {2.0, Bytes(0x82, 0, 0)},
      {3.0, Bytes(0x82, 0, 0x40)}, {-6.5, Bytes(0x83, 0, 0xD0)},
      // 0.1 = 1.6 * 2^-4; 0.6 * 2^39 = 329853488332.8 rounds to 0x4CCCCCCCCD.
      {0.1, Real48Bytes{0x7D, 0xCD, 0xCC, 0xCC, 0xCC, 0x4C}}, {0.0, kZero}, {-0.0, kZero},
      {1.0 + kHalf, Bytes(0x81, 1, 0)}, {-(1.0 + kHalf), Bytes(0x81, 1, 0, 0x80)},
      {1.0 + 5 * kHalf, Bytes(0x81, 3, 0)},  // to even would give 2
      {1.0 + kHalf - std::ldexp(1.0, -52), Bytes(0x81, 0, 0)}, {1.0 + 3 * kHalf - std::ldexp(1.0, -52), Bytes(0x81, 1, 0)},
      // carries into the exponent
      {2.0 - kHalf, Bytes(0x82, 0, 0)}, {-(2.0 - kHalf / 2), Bytes(0x82, 0, 0, 0x80)},
      {2.0 - 2 * kHalf, Real48Bytes{0x81, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F}},
      // the smallest value, underflow to zero, and a value rounding up into the smallest
      {kSmallest, Bytes(0x01, 0, 0)}, {-kSmallest, Bytes(0x01, 0, 0, 0x80)}, {kSmallest / 2, kZero},
      {kSmallest * 0.75, kZero}, {-kSmallest * 0.75, kZero}, {std::numeric_limits<double>::denorm_min(), kZero},
      {kSmallest * (1 - std::ldexp(1.0, -42)), Bytes(0x01, 0, 0)},
      // the largest, also from just below the half-way point to 2^127
      {kLargestValue, kLargest}, {std::nextafter(std::ldexp(2.0 - kHalf, 126), 0.0), kLargest},
  };
  for (const auto& c : cases) EXPECT_EQ(DoubleToReal48(c.value), c.bytes) << c.value;
  for (double value : {std::ldexp(1.0, 127), -std::ldexp(1.0, 127), 1e300, std::ldexp(2.0 - kHalf, 126),
                       std::numeric_limits<double>::infinity(), std::numeric_limits<double>::quiet_NaN()})
    EXPECT_THROW(DoubleToReal48(value), EReal48Overflow) << value;
  EXPECT_THROW(RoundToReal48(std::ldexp(1.0, 128)), EReal48Overflow);
}

TEST(Real48, DecodesByHandWorkedBytesAndExponentZeroIsZero) {
  const struct {
    Real48Bytes bytes;
    double value;
  } cases[] = {
      {Bytes(0x81, 0, 0), 1.0}, {Bytes(0x81, 0, 0, 0x80), -1.0}, {Bytes(0x80, 0, 0), 0.5}, {Bytes(0x83, 0, 0xD0), -6.5},
      {Bytes(0x81, 1, 0), 1.0 + 2 * kHalf}, {kZero, 0.0}, {Real48Bytes{0x00, 0x12, 0x34, 0x56, 0x78, 0x9A}, 0.0},
      {Real48Bytes{0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, 0.0}, {Bytes(0x01, 0, 0), kSmallest},
      {kLargest, kLargestValue}, {Real48Bytes{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, -kLargestValue},
  };
  for (const auto& c : cases) EXPECT_EQ(Real48ToDouble(c.bytes), c.value) << c.value;
}

TEST(Real48, ExtendedValuesRoundOnceFromTheirOwnBits) {
  // Just below and above the half-way point between 1 and the next value: as
  // a double both would be the half itself.
  if (std::numeric_limits<long double>::digits < 61) GTEST_SKIP() << "long double is no wider than double";
  const long double below = 1.0L + std::ldexp(1.0L, -40) - std::ldexp(1.0L, -60);
  const long double above = 1.0L + std::ldexp(1.0L, -40) + std::ldexp(1.0L, -60);
  EXPECT_EQ(ExtendedToReal48(below), Bytes(0x81, 0, 0));
  EXPECT_EQ(ExtendedToReal48(-below), Bytes(0x81, 0, 0, 0x80));
  EXPECT_EQ(ExtendedToReal48(above), Bytes(0x81, 1, 0));
  EXPECT_EQ(ExtendedToReal48(1.0L + std::ldexp(1.0L, -40)), Bytes(0x81, 1, 0));
  EXPECT_EQ(ExtendedToReal48(0.1L), (Real48Bytes{0x7D, 0xCD, 0xCC, 0xCC, 0xCC, 0x4C}));
  EXPECT_EQ(ExtendedToReal48(std::ldexp(1.0L, -4000)), kZero);
  EXPECT_THROW(ExtendedToReal48(std::ldexp(1.0L, 127)), EReal48Overflow);
  EXPECT_THROW(ExtendedToReal48(1e4000L), EReal48Overflow);
}

TEST(Real48, EveryFinitePatternSurvivesDecodeAndEncodeAndRoundingIsNearestAndIdempotent) {
  std::mt19937_64 random(20240611);
  for (int i = 0; i < 200000; ++i) {
    Real48Bytes pattern;
    const std::uint64_t bits = random();
    for (int b = 0; b < 6; ++b) pattern[b] = static_cast<std::uint8_t>(bits >> (8 * b));
    if (i % 16 == 0) pattern[0] = 0;
    ASSERT_EQ(DoubleToReal48(Real48ToDouble(pattern)), pattern[0] == 0 ? kZero : pattern) << "pattern " << i;
  }
  std::uniform_real_distribution<double> mantissa(1.0, 2.0);
  std::uniform_int_distribution<int> exponent(-128, 125);
  for (int i = 0; i < 100000; ++i) {
    const double v = std::ldexp(i % 2 ? mantissa(random) : -mantissa(random), exponent(random));
    const double r = RoundToReal48(v);
    ASSERT_LE(std::fabs(r - v), std::fabs(v) * kHalf) << v;
    ASSERT_EQ(RoundToReal48(r), r) << v;
  }
}

// Doubles are converted from their bits, extended values through frexp:
// both agree on every double, halves and the edges of the range included.
TEST(Real48, DoublesConvertAsTheirExtendedValuesDo) {
  std::mt19937_64 random(7);
  std::vector<double> values{kSmallest, kSmallest * (1 - std::ldexp(1.0, -45)), kLargestValue, 1.0 + kHalf,
                             std::numeric_limits<double>::denorm_min(), std::numeric_limits<double>::min()};
  for (int i = 0; i < 20000; ++i) {
    // Random bits over the whole range, and values on a half of the last bit.
    values.push_back(std::bit_cast<double>(random()));
    values.push_back(std::ldexp(1.0 + std::ldexp(static_cast<double>(random() >> 24), -40), int(random() % 300) - 150));
  }
  for (double value : values) {
    if (std::isnan(value) || std::isinf(value) || std::fabs(value) >= std::ldexp(1.0, 127)) {
      EXPECT_THROW(DoubleToReal48(value), EReal48Overflow) << value;
      continue;
    }
    Real48Bytes extended{};
    bool overflow = false;
    try {
      extended = ExtendedToReal48(static_cast<long double>(value));
    } catch (const EReal48Overflow&) {
      overflow = true;
    }
    if (overflow) EXPECT_THROW(DoubleToReal48(value), EReal48Overflow) << value;
    else EXPECT_EQ(DoubleToReal48(value), extended) << value;
  }
}

}  // namespace
