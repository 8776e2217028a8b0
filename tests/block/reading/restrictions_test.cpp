// What a read keeps: the kind filter, the condition, the clip rectangle, the
// block's box, and the layer made from a layer list's parameters.
#include <gtest/gtest.h>

#include "block/reading/block_reader.h"
#include "tests/block/reading/reading_fixture.h"

namespace {

// Lines 1 to 4 of kinds 5, 6, 7, 8; line n runs from (10n, 0) to (10n + 2, 1)
// in the block, so its world box is -10n-2 .. -10n; a point of the same
// number and kind at (10n, 1).
class RestrictionsTest : public ReadingTest {
 protected:
  void SetUp() override {
    ReadingTest::SetUp();
    files.Put(kLineFileName, 0, TLineRecord{});
    for (std::int32_t n = 1; n <= 4; ++n) {
      const double x = 10.0 * n;
      const std::int32_t first = files.Coords({{x, 0}, {x + 2, 1}});
      const auto kind = static_cast<std::int16_t>(4 + n);
      files.Put(kLineFileName, n,
                TLineRecord{
                    .Number = n, .Kind = kind, .FirstVertex = first, .LastVertex = first + 1, .Box = {x + 2, 1, x, 0}});
      files.Put(kPointFileName, n, TPointRecord{.Number = n, .Kind = kind, .X = x, .Y = 1});
    }
    files.Flush();
  }
  static TRectEntity* Clip(double minX, double maxX) {
    auto* clip = new TRectEntity;
    clip->SetBounds(TRealRect{minX, -5, maxX, 5});
    return clip;
  }
};

TEST_F(RestrictionsTest, FilterConditionAndClipChooseTheLines) {
  const struct {
    const char* name;
    std::vector<std::string> params;
    TRectEntity* clip;
    std::vector<int> lines;
    std::vector<int> points;
    const char* layer = "LIN";  // the layer the filter is made for
  } cases[] = {
      {"nothing", {}, nullptr, {1, 2, 3, 4}, {1, 2, 3, 4}},
      {"drop 5 and 7", {"-DRUH=5,7"}, nullptr, {2, 4}, {1, 2, 3, 4}},  // the points have no list
      {"keep 6", {"!Druh=6"}, nullptr, {2}, {1, 2, 3, 4}},
      {"keep 6 of the points", {"!Druh=6"}, nullptr, {1, 2, 3, 4}, {2}, "PNT"},
      {"drop 5 and 7 of the points", {"-DRUH=5,7"}, nullptr, {1, 2, 3, 4}, {2, 4}, "PNT"},
      {"condition", {"@Condition=DRUH > 6"}, nullptr, {3, 4}, {3, 4}},
      // The clip rectangle from -32 to -20 meets lines 2 and 3 (line 2 by
      // its edge); of the points only 3 lies in it.
      {"clip", {}, Clip(-32, -20), {2, 3}, {2, 3}},
  };
  for (const auto& c : cases) {
    auto reader = Reader();
    reader->SetObjectFilter(CreateKindFilter(c.layer, c.params));
    reader->SetPropertiesFromList(c.params);
    if (c.clip) reader->SetClipRect(c.clip);
    EXPECT_EQ(NumbersOf(*std::unique_ptr<TPolyLineString>(reader->ReadLines())), c.lines) << c.name;
    EXPECT_EQ(NumbersOf(*std::unique_ptr<TPointString>(reader->ReadPoints())), c.points) << c.name;
  }
  EXPECT_TRUE(Boxes().empty());
  // The block has no texts and no areas: empty layers.
  EXPECT_TRUE(std::unique_ptr<TTextString>(Reader()->ReadTexts())->Children().empty());
  EXPECT_TRUE(std::unique_ptr<TAreaString>(Reader()->ReadAreas())->Children().empty());
}

TEST_F(RestrictionsTest, AConditionThatCannotBeParsedIsShownOnceAndNothingIsRead) {
  auto reader = Reader();
  reader->Condition = "DRUH = = 5 (";
  EXPECT_EQ(reader->ReadLines(), nullptr);
  EXPECT_EQ(reader->ReadPoints(), nullptr);
  EXPECT_EQ(reader->ReadLineSymbols(), nullptr);
  // Once for each layer asked for, never once per object.
  EXPECT_EQ(Boxes(), (std::vector<std::string>(3, "Condition processing Error\r\nDRUH = = 5 (")));
}

}  // namespace
