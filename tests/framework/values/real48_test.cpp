#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "framework/values/real48.h"

namespace {

Real48Bytes Bytes(std::uint8_t B0, std::uint8_t B1, std::uint8_t B2, std::uint8_t B3, std::uint8_t B4,
                  std::uint8_t B5) {
  return Real48Bytes{B0, B1, B2, B3, B4, B5};
}

const Real48Bytes kZero{};
const Real48Bytes kLargest = Bytes(0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F);

TEST(Real48, EncodesHandWorkedValues) {
  EXPECT_EQ(DoubleToReal48(1.0), Bytes(0x81, 0, 0, 0, 0, 0x00));
  EXPECT_EQ(DoubleToReal48(-1.0), Bytes(0x81, 0, 0, 0, 0, 0x80));
  EXPECT_EQ(DoubleToReal48(0.5), Bytes(0x80, 0, 0, 0, 0, 0x00));
  EXPECT_EQ(DoubleToReal48(2.0), Bytes(0x82, 0, 0, 0, 0, 0x00));
  EXPECT_EQ(DoubleToReal48(3.0), Bytes(0x82, 0, 0, 0, 0, 0x40));
  EXPECT_EQ(DoubleToReal48(-6.5), Bytes(0x83, 0, 0, 0, 0, 0xD0));
  // 0.1 = 1.6 * 2^-4; 0.6 * 2^39 = 329853488332.8 rounds to 0x4CCCCCCCCD.
  EXPECT_EQ(DoubleToReal48(0.1), Bytes(0x7D, 0xCD, 0xCC, 0xCC, 0xCC, 0x4C));
}

TEST(Real48, ZeroIsSixZeroBytesWhateverItsSign) {
  EXPECT_EQ(DoubleToReal48(0.0), kZero);
  EXPECT_EQ(DoubleToReal48(-0.0), kZero);
  EXPECT_EQ(Real48ToDouble(kZero), 0.0);
}

TEST(Real48, DecodesHandWorkedValues) {
  EXPECT_EQ(Real48ToDouble(Bytes(0x81, 0, 0, 0, 0, 0x00)), 1.0);
  EXPECT_EQ(Real48ToDouble(Bytes(0x81, 0, 0, 0, 0, 0x80)), -1.0);
  EXPECT_EQ(Real48ToDouble(Bytes(0x80, 0, 0, 0, 0, 0x00)), 0.5);
  EXPECT_EQ(Real48ToDouble(Bytes(0x83, 0, 0, 0, 0, 0xD0)), -6.5);
  EXPECT_EQ(Real48ToDouble(Bytes(0x81, 0x01, 0, 0, 0, 0x00)), 1.0 + std::ldexp(1.0, -39));
}

TEST(Real48, ExponentZeroMeansZeroWhateverTheOtherBytes) {
  EXPECT_EQ(Real48ToDouble(Bytes(0x00, 0x12, 0x34, 0x56, 0x78, 0x9A)), 0.0);
  EXPECT_EQ(Real48ToDouble(Bytes(0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF)), 0.0);
}

TEST(Real48, RoundsHalvesAtTheFortiethBitAwayFromZero) {
  const double Half = std::ldexp(1.0, -40);  // half a unit of the last fraction bit at 1.0
  EXPECT_EQ(DoubleToReal48(1.0 + Half), Bytes(0x81, 0x01, 0, 0, 0, 0x00));
  EXPECT_EQ(DoubleToReal48(-(1.0 + Half)), Bytes(0x81, 0x01, 0, 0, 0, 0x80));
  // 2.5 units: to even would give 2, away from zero gives 3.
  EXPECT_EQ(DoubleToReal48(1.0 + 5 * Half), Bytes(0x81, 0x03, 0, 0, 0, 0x00));
  EXPECT_EQ(DoubleToReal48(1.0 + Half - std::ldexp(1.0, -52)), Bytes(0x81, 0, 0, 0, 0, 0x00));
  EXPECT_EQ(DoubleToReal48(1.0 + 3 * Half - std::ldexp(1.0, -52)), Bytes(0x81, 0x01, 0, 0, 0, 0x00));
}

TEST(Real48, ExtendedValuesRoundOnceFromTheirOwnBits) {
  // Just below and above the half-way point between 1 and the next value: as
  // a double both would be the half itself.
  if (std::numeric_limits<long double>::digits < 61) GTEST_SKIP() << "long double is no wider than double";
  const long double Below = 1.0L + std::ldexp(1.0L, -40) - std::ldexp(1.0L, -60);
  const long double Above = 1.0L + std::ldexp(1.0L, -40) + std::ldexp(1.0L, -60);
  EXPECT_EQ(ExtendedToReal48(Below), Bytes(0x81, 0, 0, 0, 0, 0x00));
  EXPECT_EQ(ExtendedToReal48(-Below), Bytes(0x81, 0, 0, 0, 0, 0x80));
  EXPECT_EQ(ExtendedToReal48(Above), Bytes(0x81, 0x01, 0, 0, 0, 0x00));
  EXPECT_EQ(ExtendedToReal48(1.0L + std::ldexp(1.0L, -40)), Bytes(0x81, 0x01, 0, 0, 0, 0x00));
  EXPECT_EQ(ExtendedToReal48(0.1L), Bytes(0x7D, 0xCD, 0xCC, 0xCC, 0xCC, 0x4C));
  EXPECT_EQ(ExtendedToReal48(std::ldexp(1.0L, -4000)), kZero);
  EXPECT_THROW(ExtendedToReal48(std::ldexp(1.0L, 127)), EReal48Overflow);
  EXPECT_THROW(ExtendedToReal48(1e4000L), EReal48Overflow);
}

TEST(Real48, RoundingCarriesIntoTheExponent) {
  EXPECT_EQ(DoubleToReal48(2.0 - std::ldexp(1.0, -40)), Bytes(0x82, 0, 0, 0, 0, 0x00));
  EXPECT_EQ(DoubleToReal48(-(2.0 - std::ldexp(1.0, -41))), Bytes(0x82, 0, 0, 0, 0, 0x80));
  EXPECT_EQ(DoubleToReal48(2.0 - std::ldexp(1.0, -39)), Bytes(0x81, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F));
}

TEST(Real48, SmallestValueAndUnderflowToZero) {
  const double Smallest = std::ldexp(1.0, -128);
  EXPECT_EQ(DoubleToReal48(Smallest), Bytes(0x01, 0, 0, 0, 0, 0x00));
  EXPECT_EQ(Real48ToDouble(Bytes(0x01, 0, 0, 0, 0, 0x00)), Smallest);
  EXPECT_EQ(DoubleToReal48(-Smallest), Bytes(0x01, 0, 0, 0, 0, 0x80));
  EXPECT_EQ(DoubleToReal48(Smallest / 2), kZero);
  EXPECT_EQ(DoubleToReal48(Smallest * 0.75), kZero);
  EXPECT_EQ(DoubleToReal48(-Smallest * 0.75), kZero);
  EXPECT_EQ(DoubleToReal48(std::numeric_limits<double>::denorm_min()), kZero);
  // Rounding up to the smallest value keeps it.
  EXPECT_EQ(DoubleToReal48(Smallest * (1 - std::ldexp(1.0, -42))), Bytes(0x01, 0, 0, 0, 0, 0x00));
}

TEST(Real48, LargestValue) {
  const double Largest = std::ldexp(2.0 - std::ldexp(1.0, -39), 126);
  EXPECT_EQ(DoubleToReal48(Largest), kLargest);
  EXPECT_EQ(Real48ToDouble(kLargest), Largest);
  EXPECT_EQ(Real48ToDouble(Bytes(0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF)), -Largest);
  // Just below the half-way point to 2^127 still rounds down.
  const double BelowHalfway = std::nextafter(std::ldexp(2.0 - std::ldexp(1.0, -40), 126), 0.0);
  EXPECT_EQ(DoubleToReal48(BelowHalfway), kLargest);
}

TEST(Real48, ValuesOf2To127OrMoreOverflow) {
  EXPECT_THROW(DoubleToReal48(std::ldexp(1.0, 127)), EReal48Overflow);
  EXPECT_THROW(DoubleToReal48(-std::ldexp(1.0, 127)), EReal48Overflow);
  EXPECT_THROW(DoubleToReal48(1e300), EReal48Overflow);
  // Rounds up to 2^127.
  EXPECT_THROW(DoubleToReal48(std::ldexp(2.0 - std::ldexp(1.0, -40), 126)), EReal48Overflow);
  EXPECT_THROW(DoubleToReal48(std::numeric_limits<double>::infinity()), EReal48Overflow);
  EXPECT_THROW(DoubleToReal48(std::numeric_limits<double>::quiet_NaN()), EReal48Overflow);
  EXPECT_THROW(RoundToReal48(std::ldexp(1.0, 128)), EReal48Overflow);
}

TEST(Real48, EveryFinitePatternSurvivesDecodeAndEncode) {
  std::mt19937_64 Random(20240611);
  for (int I = 0; I < 200000; ++I) {
    Real48Bytes Pattern;
    const std::uint64_t Bits = Random();
    for (int B = 0; B < 6; ++B) Pattern[B] = static_cast<std::uint8_t>(Bits >> (8 * B));
    if (I % 16 == 0) Pattern[0] = 0;
    const Real48Bytes Back = DoubleToReal48(Real48ToDouble(Pattern));
    ASSERT_EQ(Back, Pattern[0] == 0 ? kZero : Pattern) << "pattern " << I;
  }
}

TEST(Real48, RoundingIsNearestAndIdempotent) {
  std::mt19937_64 Random(7);
  std::uniform_real_distribution<double> Mantissa(1.0, 2.0);
  std::uniform_int_distribution<int> Exponent(-128, 125);
  for (int I = 0; I < 100000; ++I) {
    const double V = std::ldexp(I % 2 ? Mantissa(Random) : -Mantissa(Random), Exponent(Random));
    const double R = RoundToReal48(V);
    ASSERT_LE(std::fabs(R - V), std::fabs(V) * std::ldexp(1.0, -40)) << V;
    ASSERT_EQ(RoundToReal48(R), R) << V;
  }
}

}  // namespace
