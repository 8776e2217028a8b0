// Damaged blocks: a sound block is mutated byte by byte, deterministically,
// and every layer is read from each mutant.  Under the sanitizers this
// finds reads out of range, endless walks and allocations that a damaged
// number could make grow.
#include <gtest/gtest.h>

#include <random>

#include "block/reading/block_reader.h"
#include "tests/block/reading/reading_fixture.h"

namespace {

class DamagedBlockTest : public ReadingTest {
 protected:
  // Two areas (one the other's hole) of one line each, one area of two
  // lines, points and texts.
  void SetUp() override {
    ReadingTest::SetUp();
    files.PutBytes(kLineFileName, 0, TLineRecord::Dummy());
    SquareLine(files, 1, 0, 10, 1);
    SquareLine(files, 2, 3, 3, 2, 1);
    TwoLineArea(files);
    TLineRecord three = TLineRecord::Decode(files.Content(kLineFileName).data() + 3 * TLineRecord::Size);
    three.LineSymbol = 1200;
    files.Put(kLineFileName, 3, three);
    files.PutBytes(kAreaFileName, 0, TAreaRecord::Dummy());
    files.Put(kAreaFileName, 1, AreaRecord(1, 1, 0, {1, 1}));
    files.Put(kAreaFileName, 2, AreaRecord(2, 2, 1, {4, 4}));
    files.Put(kAreaFileName, 3, AreaRecord(3, 3, 0, {21, 1}));
    files.PutBytes(kPointFileName, 0, TPointRecord::Dummy());
    files.PutBytes(kTextBoxFileName, 0, TTextBoxRecord::Dummy());
    for (std::int32_t n = 1; n <= 3; ++n) {
      files.Put(kPointFileName, n, TPointRecord{.Number = n, .X = 100.0 * n, .Y = 50});
      files.Put(kTextBoxFileName, n, TTextBoxRecord{.Number = n, .X = 10.0 * n, .Y = 5, .Slant = 45});
    }
    const std::string lines = "hlavicka\r\nprvni\r\ndruhy\r\ntreti\r\n";
    files.Raw(kTextFileName, Bytes(lines.begin(), lines.end()));
    const std::string info = "OPSANYOBDELNIKBLOKU=0 0 100 100\r\nCODEPAGE=852\r\n";
    files.Raw(kInfoFileName, Bytes(info.begin(), info.end()));
  }

  // Reads every layer; answers the number of objects read.
  std::size_t ReadAll(bool asBoundary) {
    TLumaRBlokReader reader;
    reader.Create(dir);
    reader.ReadAreaAsBoundary = asBoundary;
    reader.MinSize = asBoundary ? 4 : 0;
    std::size_t objects = 0;
    const auto count = [&objects](TElement* list) {
      std::unique_ptr<TElement> owned(list);
      if (auto* entity = DynamicCast<TEntity>(list)) objects += entity->Children().size();
    };
    count(reader.ReadAreas());
    count(reader.ReadLines());
    count(reader.ReadLineSymbols());
    count(reader.ReadPoints());
    count(reader.ReadTexts());
    RunMessages();
    log.Lines.clear();
    world->ObjectModel()->Clear();
    return objects;
  }
};

TEST_F(DamagedBlockTest, MutantsAreReadWithoutFaults) {
  files.Flush();
  // The sound block: 3 areas, 4 lines, 1 line symbol, 3 points, 3 texts.
  EXPECT_EQ(ReadAll(false), 14u);
  EXPECT_EQ(ReadAll(true), 14u);
  const BlockFiles sound = files;
  const char* names[] = {kCoordFileName,   kLineFileName, kAreaFileName, kPointFileName,
                         kTextBoxFileName, kTextFileName, kInfoFileName};
  // Values that damaged numbers take: ends of ranges, signs, neighbours.
  const std::int32_t extremes[] = {0, 1, -1, 2, 3, 4, 5, 99, 1000, 499999, 500001, INT32_MAX, INT32_MIN};
  std::mt19937 random(20261207);
  for (int round = 0; round < 200; ++round) {
    BlockFiles mutant = sound;
    const int changes = 1 + static_cast<int>(random() % 4);
    for (int change = 0; change < changes; ++change) {
      Bytes& bytes = mutant.Content(names[random() % std::size(names)]);
      if (bytes.empty()) continue;
      const std::size_t at = random() % bytes.size();
      switch (random() % 5) {
        case 0:  // one byte
          bytes[at] = static_cast<std::uint8_t>(random());
          break;
        case 1: {  // a 32-bit number
          const auto value = static_cast<std::uint32_t>(extremes[random() % std::size(extremes)]);
          for (std::size_t i = 0; i < 4 && at + i < bytes.size(); ++i)
            bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
          break;
        }
        case 2:  // cut short
          bytes.resize(at);
          break;
        case 3:  // a flag or end byte
          bytes[at] = static_cast<std::uint8_t>(1u << (random() % 8));
          break;
        default:  // garbage appended
          bytes.resize(bytes.size() + random() % 200, static_cast<std::uint8_t>(random()));
          break;
      }
    }
    mutant.Flush();
    const std::size_t read = ReadAll(round % 2 == 1);
    // Never more objects than records (a line gives a line and a symbol):
    // nothing is made up.
    const std::size_t records = mutant.Content(kLineFileName).size() / TLineRecord::Size * 2 +
                                mutant.Content(kAreaFileName).size() / TAreaRecord::Size +
                                mutant.Content(kPointFileName).size() / TPointRecord::Size +
                                mutant.Content(kTextBoxFileName).size() / TTextBoxRecord::Size;
    EXPECT_LE(read, records) << "round " << round;
    if (HasFailure()) break;
  }
}

}  // namespace
