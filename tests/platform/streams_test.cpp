#include "platform/streams.h"

#include <unistd.h>

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <limits>
#include <utility>
#include <vector>

namespace {

using platform::EReadError;
using platform::TMemoryStream;
using platform::TReader;
using platform::TValueType;
using platform::TWriter;
using Bytes = std::vector<std::uint8_t>;

// A small buffer, so that values straddle buffer refills.
constexpr std::size_t kSmallBuffer = 16;

template <class Fill>
Bytes Written(Fill fill) {
  TMemoryStream stream;
  TWriter writer(stream, kSmallBuffer);
  fill(writer);
  writer.FlushBuffer();
  return stream.Bytes();
}

Bytes Repeat(std::uint8_t byte, std::size_t count) { return Bytes(count, byte); }

Bytes Concat(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

template <class Read>
void ExpectReadError(Bytes bytes, Read read) {
  TMemoryStream stream(std::move(bytes));
  TReader reader(stream, kSmallBuffer);
  EXPECT_THROW(read(reader), EReadError);
}

TEST(ClassesTest, IntegerTakesTheSmallestTagAtEveryBoundary) {
  struct Case {
    std::int32_t value;
    Bytes bytes;
  };
  const Case cases[] = {
      {0, {0x02, 0x00}},
      {127, {0x02, 0x7F}},
      {128, {0x03, 0x80, 0x00}},
      {-128, {0x02, 0x80}},
      {-129, {0x03, 0x7F, 0xFF}},
      {32767, {0x03, 0xFF, 0x7F}},
      {32768, {0x04, 0x00, 0x80, 0x00, 0x00}},
      {-32768, {0x03, 0x00, 0x80}},
      {-32769, {0x04, 0xFF, 0x7F, 0xFF, 0xFF}},
      {std::numeric_limits<std::int32_t>::min(), {0x04, 0x00, 0x00, 0x00, 0x80}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Written([&](TWriter& w) { w.WriteInteger(c.value); }), c.bytes) << c.value;
    TMemoryStream stream(c.bytes);
    TReader reader(stream, kSmallBuffer);
    EXPECT_EQ(reader.ReadInteger(), c.value);
  }
}

TEST(ClassesTest, StringLengthCountsWindows1250BytesAndSwitchesTagAbove255) {
  std::string short255;
  for (int i = 0; i < 255; ++i) short255 += "č";  // two bytes in UTF-8, one in the stream
  const Bytes shortBytes = Written([&](TWriter& w) { w.WriteString(short255); });
  EXPECT_EQ(shortBytes, Concat({{0x06, 0xFF}, Repeat(0xE8, 255)}));

  const std::string long256 = short255 + "č";
  const Bytes longBytes = Written([&](TWriter& w) { w.WriteString(long256); });
  EXPECT_EQ(longBytes, Concat({{0x0C, 0x00, 0x01, 0x00, 0x00}, Repeat(0xE8, 256)}));

  TMemoryStream stream(Concat({shortBytes, longBytes}));
  TReader reader(stream, kSmallBuffer);
  EXPECT_EQ(reader.ReadString(), short255);
  EXPECT_EQ(reader.ReadString(), long256);
  EXPECT_EQ(reader.Remaining(), 0u);
}

TEST(ClassesTest, ExtendedFloatIsWrittenByteForByte) {
  struct Case {
    long double value;
    Bytes bytes;
  };
  const Case cases[] = {
      {1.0L, {0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F}},
      {-2.5L, {0, 0, 0, 0, 0, 0, 0, 0xA0, 0x00, 0xC0}},
      {0.1, {0x00, 0xD0, 0xCC, 0xCC, 0xCC, 0xCC, 0xCC, 0xCC, 0xFB, 0x3F}},  // the double nearest 0.1
      {0.0L, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
      {-0.0L, {0, 0, 0, 0, 0, 0, 0, 0, 0x00, 0x80}},
      {std::numeric_limits<double>::infinity(), {0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x7F}},
      {-std::numeric_limits<double>::infinity(), {0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0xFF}},
      {std::numeric_limits<double>::denorm_min(), {0, 0, 0, 0, 0, 0, 0, 0x80, 0xCD, 0x3B}},  // 2^-1074
      {1e308, {0x00, 0x00, 0x45, 0x5E, 0x2F, 0x9C, 0x67, 0x8E, 0xFE, 0x43}},
  };
  for (const Case& c : cases) {
    const Bytes written = Written([&](TWriter& w) { w.WriteFloat(c.value); });
    EXPECT_EQ(written, Concat({{0x05}, c.bytes})) << static_cast<double>(c.value);
    TMemoryStream stream(written);
    TReader reader(stream, kSmallBuffer);
    const long double back = reader.ReadFloat();
    EXPECT_EQ(back, c.value);
    EXPECT_EQ(std::signbit(back), std::signbit(c.value));
  }
  const platform::ExtendedBytes nan = platform::LongDoubleToExtended(std::numeric_limits<double>::quiet_NaN());
  EXPECT_EQ(nan[9] & 0x7F, 0x7F);
  EXPECT_TRUE(std::isnan(platform::ExtendedToLongDouble(nan)));
}

TEST(ClassesTest, ExtendedFloatReadsDenormalsAndRoundTripsEveryLongDoubleBit) {
  // Smallest extended denormal: mantissa 1, exponent 0.
  const platform::ExtendedBytes tiny{1, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  const long double value = platform::ExtendedToLongDouble(tiny);
  if (std::numeric_limits<long double>::digits == 64) {
    EXPECT_EQ(value, std::ldexp(1.0L, -16445));
    EXPECT_EQ(platform::LongDoubleToExtended(value), tiny);
    const long double third = 1.0L / 3.0L;
    EXPECT_EQ(platform::ExtendedToLongDouble(platform::LongDoubleToExtended(third)), third);
  }
  // An unnormal (exponent set, integer bit clear) still reads as its value.
  const platform::ExtendedBytes unnormal{0, 0, 0, 0, 0, 0, 0, 0x40, 0xFF, 0x3F};
  EXPECT_EQ(platform::ExtendedToLongDouble(unnormal), 0.5L);
}

TEST(ClassesTest, ReaderTakesAnyIntegerTagForAFloatAndEitherStringTag) {
  TMemoryStream stream({0x03, 0x00, 0x01, 0x0C, 0x02, 0x00, 0x00, 0x00, 'a', 'b', 0x02, 0xFF});
  TReader reader(stream, kSmallBuffer);
  EXPECT_EQ(reader.ReadFloat(), 256.0L);
  EXPECT_EQ(reader.ReadString(), "ab");
  EXPECT_EQ(reader.ReadFloat(), -1.0L);
}

TEST(ClassesTest, ReaderRaisesOnUnexpectedTagsAndListMarkers) {
  ExpectReadError({0x05, 0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F}, [](TReader& r) { r.ReadInteger(); });
  ExpectReadError({0x06, 0x00}, [](TReader& r) { r.ReadInteger(); });
  ExpectReadError({0x02, 0x01}, [](TReader& r) { r.ReadString(); });
  ExpectReadError({0x00}, [](TReader& r) { r.ReadListBegin(); });
  ExpectReadError({0x01}, [](TReader& r) { r.ReadListEnd(); });
  ExpectReadError({0x07, 0x00}, [](TReader& r) { r.SkipValue(); });
  ExpectReadError({0x00}, [](TReader& r) { r.SkipValue(); });  // an end marker is no value
  ExpectReadError({}, [](TReader& r) { r.ReadValue(); });
}

TEST(ClassesTest, LengthsBeyondTheStreamRaiseBeforeAnythingIsAllocated) {
  // A long string claiming 2 GB in a stream of a few bytes.
  ExpectReadError({0x0C, 0xFF, 0xFF, 0xFF, 0x7F, 'a'}, [](TReader& r) { r.ReadString(); });
  ExpectReadError({0x0C, 0xFF, 0xFF, 0xFF, 0xFF, 'a'}, [](TReader& r) { r.SkipValue(); });
  ExpectReadError({0x06, 0x05, 'a', 'b'}, [](TReader& r) { r.ReadString(); });
  ExpectReadError({0x04, 0x01, 0x02}, [](TReader& r) { r.ReadInteger(); });
  ExpectReadError({0x05, 0x00, 0x00}, [](TReader& r) { r.ReadFloat(); });
  ExpectReadError({0x01, 0x02}, [](TReader& r) { r.SkipValue(); });
  ExpectReadError({0x02}, [](TReader& r) { r.SetPosition(2); });
}

TEST(ClassesTest, BooleansHaveTagsOfTheirOwn) {
  const Bytes bytes = Written([](TWriter& w) {
    w.WriteBoolean(false);
    w.WriteBoolean(true);
    w.WriteInteger(1);
  });
  EXPECT_EQ(bytes, (Bytes{0x08, 0x09, 0x02, 0x01}));
  TMemoryStream stream(bytes);
  TReader reader(stream, kSmallBuffer);
  EXPECT_FALSE(reader.ReadBoolean());
  EXPECT_TRUE(reader.ReadBoolean());
  EXPECT_THROW(reader.ReadBoolean(), platform::EReadError);  // an integer is no Boolean
}

TEST(ClassesTest, SkipValueStepsOverListsNestedAHundredThousandDeep) {
  constexpr std::size_t depth = 100000;
  Bytes bytes = Concat({Repeat(0x01, depth), {0x06, 0x01, 'z'}, Repeat(0x00, depth), {0x02, 0x2A}});
  TMemoryStream stream(std::move(bytes));
  TReader reader(stream, 4096);
  reader.SkipValue();
  EXPECT_EQ(reader.ReadInteger(), 42);
}

TEST(ClassesTest, EndOfListPeeksWithoutConsumingAndPositionCountsBytesRead) {
  TMemoryStream stream({0x01, 0x02, 0x05, 0x00});
  TReader reader(stream, kSmallBuffer);
  reader.ReadListBegin();
  EXPECT_FALSE(reader.EndOfList());
  EXPECT_EQ(reader.Position(), 1u);
  EXPECT_EQ(reader.ReadInteger(), 5);
  EXPECT_TRUE(reader.EndOfList());
  reader.ReadListEnd();
  EXPECT_EQ(reader.Position(), 4u);
  reader.SetPosition(1);
  EXPECT_EQ(reader.ReadInteger(), 5);
}

TEST(ClassesTest, FileStreamWritesAndReadsBackThroughLargeAndSmallBuffers) {
  const std::filesystem::path path = std::filesystem::temp_directory_path() /
                                     ("kestx_classes_test_žluť_" + std::to_string(getpid()) + ".bin");
  const std::string name = reinterpret_cast<const char*>(path.u8string().c_str());
  {
    platform::TFileStream file(name, platform::TFileStream::Mode::Create);
    TWriter writer(file, kSmallBuffer);
    writer.Write("TPF0", 4);
    writer.WriteListBegin();
    for (int i = 0; i < 1000; ++i) writer.WriteInteger(i * 1000);
    writer.WriteString("Lesní správa");
    writer.WriteListEnd();
    writer.FlushBuffer();
    EXPECT_EQ(writer.Position(), file.Size());
  }
  EXPECT_TRUE(platform::FileExists(name));
  platform::TFileStream file(name, platform::TFileStream::Mode::OpenRead);
  TReader reader(file, 64000);
  char signature[4];
  reader.Read(signature, 4);
  EXPECT_EQ(std::string(signature, 4), "TPF0");
  reader.ReadListBegin();
  for (int i = 0; i < 1000; ++i) ASSERT_EQ(reader.ReadInteger(), i * 1000);
  EXPECT_EQ(reader.ReadString(), "Lesní správa");
  reader.ReadListEnd();
  EXPECT_EQ(reader.Remaining(), 0u);
  std::filesystem::remove(path);
  EXPECT_FALSE(platform::FileExists(name));
  EXPECT_THROW(platform::TFileStream(name, platform::TFileStream::Mode::OpenRead), platform::EFOpenError);
}

}  // namespace
