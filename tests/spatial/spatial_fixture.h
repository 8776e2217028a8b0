#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/streams.h"
#include "spatial/geometry/geometry_elements.h"
#include "spatial/spatial_classes.h"
#include "tests/framework/framework_fixture.h"

using Bytes = std::vector<std::uint8_t>;
using Strings = std::vector<std::string>;

// Builds an expected stream record piece by piece.
class Record {
 public:
  Record& Raw(const Bytes& bytes) {
    bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
    return *this;
  }
  // A short string value: tag 06, length, the Windows-1250 bytes as given.
  Record& Str(std::string_view cp1250) {
    bytes_.push_back(0x06);
    bytes_.push_back(static_cast<std::uint8_t>(cp1250.size()));
    bytes_.insert(bytes_.end(), cp1250.begin(), cp1250.end());
    return *this;
  }
  // A one-byte integer value: tag 02.
  Record& Int8(std::int8_t value) { return Raw({0x02, static_cast<std::uint8_t>(value)}); }
  const Bytes& bytes() const { return bytes_; }

 private:
  Bytes bytes_;
};

// Extended float values (tag 05) of a few exact numbers.
inline const Bytes kExtendedZero{0x05, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
inline const Bytes kExtendedOne{0x05, 0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F};
inline const Bytes kExtendedTen{0x05, 0, 0, 0, 0, 0, 0, 0, 0xA0, 0x02, 0x40};
inline const Bytes kExtendedFifty{0x05, 0, 0, 0, 0, 0, 0, 0, 0xC8, 0x04, 0x40};
inline const Bytes kExtendedHundred{0x05, 0, 0, 0, 0, 0, 0, 0, 0xC8, 0x05, 0x40};
inline const Bytes kExtendedMinus2_5{0x05, 0, 0, 0, 0, 0, 0, 0, 0xA0, 0x00, 0xC0};

// The element's data record as the component stream holds it.
inline Bytes WrittenRecord(const TElement& element) {
  platform::TMemoryStream stream;
  platform::TWriter writer(stream, 4096);
  element.WriteData(writer);
  writer.FlushBuffer();
  return stream.Bytes();
}

// Reads a record into element the way the component-stream loader does: it
// takes the class name, then the element reads the rest, which must be all.
inline void ReadRecord(const Bytes& bytes, TElement& element, TQuickEntity& elementMap) {
  platform::TMemoryStream stream(bytes);
  platform::TReader reader(stream, 4096);
  EXPECT_EQ(reader.ReadString(), element.ClassName());
  element.ReadData(reader, elementMap);
  EXPECT_EQ(reader.Remaining(), 0u);
}

inline void ExpectBounds(const TRectEntity& e, double minX, double minY, double maxX, double maxY) {
  EXPECT_EQ(e.GetMinX(), minX);
  EXPECT_EQ(e.GetMinY(), minY);
  EXPECT_EQ(e.GetMaxX(), maxX);
  EXPECT_EQ(e.GetMaxY(), maxY);
}

// Rectangles as comparable values: MinX, MinY, MaxX, MaxY.
using Box4 = std::array<double, 4>;
inline Box4 BoxOf(const TRealRect& r) { return {r.MinX, r.MinY, r.MaxX, r.MaxY}; }
inline Box4 BoxOf(const TRectangle& r) { return {r.MinX(), r.MinY(), r.MaxX(), r.MaxY()}; }
inline Box4 BoxOf(const TRectEntity& e) { return {e.GetMinX(), e.GetMinY(), e.GetMaxX(), e.GetMaxY()}; }

// The texts of the named published properties, joined by "|", to compare many at once.
inline std::string Texts(const TElement& e, std::initializer_list<const char*> names) {
  std::string out;
  bool first = true;
  for (const char* name : names) {
    out += (first ? "" : "|") + e.GetPropertyText(name);
    first = false;
  }
  return out;
}

// Writes published properties by name, in the order given.
inline void SetTexts(TElement& e, std::initializer_list<std::pair<const char*, const char*>> values) {
  for (const auto& [name, value] : values) e.SetPropertyText(name, value);
}

// Collects the log lines (code 8) that reach it as the main tool.
class TLogLines : public TOwnerEntity {
 public:
  std::vector<std::string> Lines;
  void ReceiveMessage(TKestuMessage*& message, bool& handled) override {
    if (auto* text = DynamicCast<TKestuTextMessage>(message); text && text->Message == msgLogText)
      Lines.push_back(text->Text);
    handled = true;
  }
};

// The framework fixture with the spatial classes registered as well.
class SpatialTest : public FrameworkTest {
 protected:
  void SetUp() override {
    FrameworkTest::SetUp();
    RegisterSpatialClasses();
  }

  static Strings StoredPropertyNames(const TObject& object) {
    Strings names;
    for (const TPropInfo* info : object.ClassType()->Props())
      if (info->IsStoredOn(object) && info->HasRead() && info->HasWrite()) names.push_back(info->Name);
    return names;
  }
};
