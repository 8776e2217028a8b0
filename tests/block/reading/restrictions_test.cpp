// What a read keeps: the kind filter, the condition, the clip rectangle, the
// block's box, and the layer made from a layer list's parameters.
#include <gtest/gtest.h>

#include "block/reading/block_reader.h"
#include "block/reading/layer_kinds.h"
#include "render/rasters/raster.h"
#include "tests/block/reading/reading_fixture.h"

namespace {

// A line of kind druh (0 for a line without props when druh < 0).
std::unique_ptr<TPolyLineElement> LineOfKind(int druh) {
  auto line = std::make_unique<TPolyLineElement>();
  if (druh >= 0) {
    auto* props = new TLumarLineProps;
    props->Druh = static_cast<std::int16_t>(druh);
    line->SetProperties(props);
  }
  return line;
}

class KindFilterTest : public ReadingTest {};

TEST_F(KindFilterTest, IsMadeFromTheFirstKeepOrDropParameterAndAcceptsByTheNumberInTheProperty) {
  const struct {
    const char* type;
    std::vector<std::string> params;
    bool exclude;
    const char* prop;  // nil: no filter
    char letter;
    std::vector<std::int32_t> kinds;
  } cases[] = {
      {"LIN", {"@Barva=3", "!druh=7, 5;12"}, false, "DRUH", 'L', {5, 7, 12}},
      {"ARE", {"-Druh=5 7", "!BARVA=1"}, true, "DRUH", 'P', {5, 7}},
      {"PNT", {"!Znacka=4"}, false, "ZNACKA", 'B', {4}},
      {"TXT", {"!DRUH=1"}, false, "DRUH", 'T', {1}},
      {"LINSYM", {"!DRUH=1"}, false, "DRUH", 'X', {}},
      {"LIN", {"!DRUH="}, false, nullptr, 'L', {}},
      {"LIN", {"!DRUH=a b"}, false, nullptr, 'L', {}},
      {"LIN", {"DRUH=5", "@DRUH=5"}, false, nullptr, 'L', {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.type) + " " + c.params.front());
    std::unique_ptr<TFiltrDruhuObjektu> filter(CreateKindFilter(c.type, c.params));
    ASSERT_EQ(filter != nullptr, c.prop != nullptr);
    if (!filter) continue;
    EXPECT_EQ(filter->Exclude, c.exclude);
    EXPECT_EQ(filter->PropName, c.prop);
    for (char letter : TFiltrDruhuObjektu::Letters) {
      const std::vector<std::int32_t>* list = filter->KindList(letter);
      EXPECT_EQ(list ? *list : std::vector<std::int32_t>{-1},
                letter == c.letter ? c.kinds : std::vector<std::int32_t>{-1})
          << letter;
    }
  }
  std::unique_ptr<TFiltrDruhuObjektu> keep(CreateKindFilter("LIN", {"!DRUH=7,5"}));
  std::unique_ptr<TFiltrDruhuObjektu> drop(CreateKindFilter("LIN", {"-DRUH=5,7"}));
  // Kind -1: no props, so the property is empty and the answer is Exclude;
  // letter P has no list.
  const std::tuple<int, char, bool, bool> accepts[] = {
      {5, 'L', true, false}, {7, 'L', true, false}, {6, 'L', false, true}, {-1, 'L', false, true}, {6, 'P', true, true}};
  for (const auto& [druh, letter, kept, dropped] : accepts) {
    auto line = LineOfKind(druh);
    EXPECT_EQ(keep->Accepts(letter, line.get()), kept) << druh << letter;
    EXPECT_EQ(drop->Accepts(letter, line.get()), dropped) << druh << letter;
  }
  drop->PropName = "NIC";
  EXPECT_TRUE(drop->Accepts('L', LineOfKind(5).get()));
}

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
  } cases[] = {
      {"nothing", {}, nullptr, {1, 2, 3, 4}, {1, 2, 3, 4}},
      {"drop 5 and 7", {"-DRUH=5,7"}, nullptr, {2, 4}, {1, 2, 3, 4}},  // the points have no list
      {"keep 6", {"!Druh=6"}, nullptr, {2}, {1, 2, 3, 4}},
      {"condition", {"@Condition=DRUH > 6"}, nullptr, {3, 4}, {3, 4}},
      // The clip rectangle from -32 to -20 meets lines 2 and 3 (line 2 by
      // its edge); of the points only 3 lies in it.
      {"clip", {}, Clip(-32, -20), {2, 3}, {2, 3}},
      {"clip and kind", {"!DRUH=6"}, Clip(-31, -20), {2}, {2, 3}},
  };
  for (const auto& c : cases) {
    auto reader = Reader();
    reader->SetObjectFilter(CreateKindFilter("LIN", c.params));
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

TEST_F(RestrictionsTest, ALayerListReadsItsBlockWithItsParameters) {
  struct TCounter {
    int Count = 0;
    void Count1(TElement*&) { ++Count; }
  } counter;
  const TMethod handler = NewObjectHandler<TCounter, &TCounter::Count1>(&counter);
  const std::vector<std::string> params{"-DRUH=5", "@Barva=12", "Popis=Vodní toky"};
  std::unique_ptr<TSpaceEntityString> lines(ReadBlockLayer("LIN", dir, params, TRealRect{}, false, handler));
  ASSERT_NE(lines, nullptr);
  EXPECT_EQ(NumbersOf(*lines), (std::vector<int>{2, 3, 4}));
  EXPECT_EQ(counter.Count, 3);
  EXPECT_EQ(lines->Children()[0]->GetPropertyText("Barva"), "12");
  EXPECT_EQ(Texts(*lines, {"-DRUH", "Barva", "Popis", "TYPE"}), "5|12|Vodní toky|LIN");

  // The rectangle is used when all four values are given.
  const TRealRect rect{-32, -5, -20, 5};
  std::unique_ptr<TSpaceEntityString> clipped(ReadBlockLayer("LIN", dir, {}, rect, true, TMethod{}));
  EXPECT_EQ(NumbersOf(*clipped), (std::vector<int>{2, 3}));
  std::unique_ptr<TSpaceEntityString> unclipped(ReadBlockLayer("LIN", dir, {}, rect, false, TMethod{}));
  EXPECT_EQ(NumbersOf(*unclipped), (std::vector<int>{1, 2, 3, 4}));
  EXPECT_EQ(ReadBlockLayer("RAS", dir, {}, TRealRect{}, false, TMethod{}), nullptr);

  // A block whose box misses the rectangle is not read at all.
  WriteCp1250File(dir + "/INFO.TXT", "OPSANYOBDELNIKBLOKU=100 100 200 200\r\n");
  EXPECT_EQ(ReadBlockLayer("LIN", dir, {}, rect, false, TMethod{}), nullptr);
}

TEST_F(RestrictionsTest, TheBlocksBoxDecidesWhetherItMeetsARectangle) {
  const TRealRect near{-150, -150, -120, -120};
  const TRealRect far{10, 10, 20, 20};
  EXPECT_TRUE(BlockMeetsRect(dir, far));  // no INFO.TXT: no box
  const std::tuple<const char*, bool, bool> cases[] = {
      {"OPSANYOBDELNIKBLOKU=100 100 200 200", true, false},  // -200 .. -100 on both axes
      {"OPSANYOBDELNIKBLOKU=100 100 120 120", true, false},  // touching counts
      {"OPSANYOBDELNIKBLOKU=100 100 110 110", false, false},
      {"OPSANYOBDELNIKBLOKU=100 100 200", true, true},  // fewer than four numbers: no box
      {"CODEPAGE=1250", true, true},
  };
  for (const auto& [info, meetsNear, meetsFar] : cases) {
    WriteCp1250File(dir + "/INFO.TXT", std::string(info) + "\r\n");
    EXPECT_EQ(BlockMeetsRect(dir, near), meetsNear) << info;
    EXPECT_EQ(BlockMeetsRect(dir, far), meetsFar) << info;
  }
}

TEST_F(RestrictionsTest, ARasterIsMadeForAFileThatExists) {
  EXPECT_EQ(CreateRasterFromFile(dir + "/MAPA.RAS"), nullptr);
  WriteCp1250File(dir + "/MAPA.RAS", "raster");
  std::unique_ptr<TRaster> raster(CreateRasterFromFile(dir + "/MAPA.RAS"));
  ASSERT_NE(raster, nullptr);
  EXPECT_EQ(raster->GetPropertyText("FileName"), dir + "/MAPA.RAS");
}

TEST(LayerKinds, FollowTheExtension) {
  const std::tuple<const char*, const char*, bool> cases[] = {
      {".ARE", "ARE", true},  {".LIN", "LIN", true},  {".CRD", "LIN", true},  {".PNT", "PNT", true},
      {".TBX", "TXT", true},  {".TTX", "TXT", true},  {".RAS", "RAS", false}, {".RAK", "RAS", false},
      {".TIF", "RAS", false}, {".CIT", "RAS", false}, {".BMP", "RAS", false}, {".SHP", "ARE", false},
      {".DBF", "LIN", false}, {"", "LIN", false},     {".are", "LIN", false}, {"ARE", "LIN", false}};
  for (const auto& [extension, kind, blockFile] : cases) {
    std::string found = "?";
    LayerKindByExtension(extension, found);
    EXPECT_EQ(found, kind) << extension;
    EXPECT_EQ(IsBlockFileExt(extension), blockFile) << extension;
  }
}

}  // namespace
