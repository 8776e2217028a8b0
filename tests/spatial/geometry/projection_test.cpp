#include "spatial/geometry/projection.h"

#include <cmath>
#include <functional>
#include <limits>
#include <memory>
#include <random>
#include <vector>

#include "spatial/geometry/geometry_elements.h"
#include "spatial/geometry/page.h"
#include "tests/spatial/spatial_fixture.h"

namespace {

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
const double kNaN = std::numeric_limits<double>::quiet_NaN();

// 800 x 600 pixels from (0, 0) at 4000 pixels per metre.
std::unique_ptr<T_Page> StandardPage() {
  auto page = std::make_unique<T_Page>();
  page->PageRect = {0, 0, 800, 600};
  page->ClipRect = page->PageRect;
  page->SetResolution(4000, 4000);
  return page;
}

// Scale 5000 centred on (1000, 2000): 1.25 m a pixel, origin (500, 2375).
class ProjectionTest : public SpatialTest {
 public:
  void SetUp() override {
    SpatialTest::SetUp();
    Fresh();
  }
  void Fresh() {
    page = StandardPage();
    projection = std::make_unique<TPageProjection>();
    projection->SetCenter({1000, 2000});
    projection->SetScale(5000);
    projection->SetPage(page.get());
  }
  // The transform of the standard set-up, whatever centre and scale now say.
  static void ExpectStandardTransform(const TPageProjection& p, const char* row = "") {
    EXPECT_EQ(std::tuple(p.PixelSizeX(), p.PixelSizeY(), p.PixelSizeMax(), p.OriginX(), p.WorldToDeviceX(1000)),
              std::tuple(1.25, 1.25, 1.25, 500.0, 400))
        << row;
  }
  std::unique_ptr<T_Page> page;
  std::unique_ptr<TPageProjection> projection;
  TQuickEntity map;
};

TEST_F(ProjectionTest, ConversionsRoundHalvesToEvenClampOrSaturateAndGiveZeroForNaN) {
  const struct {
    const char* name;
    std::function<double(TPageProjection&)> convert;
    double expected;
  } cases[] = {
      {"2.5 pixels", [](auto& p) { return p.WorldToDeviceX(500 + 2.5 * 1.25); }, 2},
      {"3.5 pixels", [](auto& p) { return p.WorldToDeviceX(500 + 3.5 * 1.25); }, 4},
      {"100 km west clamps", [](auto& p) { return p.WorldToDeviceX(1000 - 100000); }, -32000},
      {"-1e300 Y clamps", [](auto& p) { return p.WorldToDeviceY(-1e300); }, 32000},
      {"RoundToDevice -40000.7", [](auto&) { return TProjection::RoundToDevice(-40000.7); }, -32000},
      {"RoundToDevice NaN", [](auto&) { return TProjection::RoundToDevice(kNaN); }, 0},
      {"X of NaN", [](auto& p) { return p.WorldToDeviceX(kNaN); }, 0},
      {"DY of NaN", [](auto& p) { return p.WorldToDeviceDY(kNaN); }, 0},
      {"DX saturates", [](auto& p) { return p.WorldToDeviceDX(1e12); }, kMax},
      {"length saturates", [](auto& p) { return p.WorldToDeviceLength(3e9); }, kMax},
  };
  for (const auto& c : cases) EXPECT_EQ(c.convert(*projection), c.expected) << c.name;

  const struct {
    double x, y;
    TDevicePoint expected;
  } points[] = {{1000 - 100000, 2000, {400 - 80000, 300}},  // the point form is not clamped
                {1e300, -1e300, {kMax, kMax}},
                {-1e300, 1e300, {kMin, kMin}},
                {kNaN, 2000, {0, 300}}};
  for (const auto& p : points) {
    TDevicePoint device{7, 7};
    projection->WorldToDevice(p.x, p.y, device);
    EXPECT_EQ(device, p.expected) << p.x << " " << p.y;
  }
  TDeviceRect rect;
  projection->WorldRectToDevice(-1e300, 1500, 1000, 1e300, rect);
  EXPECT_EQ(std::tuple(rect.Left, rect.Top, rect.Right, rect.Bottom), std::tuple(kMin, kMin, 400, 700));
  projection->SetScale(1e307);  // pixel sizes near the top of the double range
  EXPECT_EQ(std::pair(projection->DeviceToWorldX(1000000), projection->DeviceToWorldLength(1000000)),
            std::pair(0.0, 0.0));
}

TEST_F(ProjectionTest, WorldDeviceWorldRoundTripsWhateverTheRotation) {
  page->SetResolution(96 * 1000 / 25.4, 96 * 1000 / 25.4);  // a screen
  projection->SetCenter({-745123.37, -1043210.55});
  projection->SetScale(2880);
  for (double angle : {0.0, 0.5, 3.0}) {
    projection->SetAngle(angle);
    for (std::int32_t px = -500; px <= 1300; px += 37) {
      for (std::int32_t py = -400; py <= 1000; py += 41) {
        TRealPoint world;
        projection->DeviceToWorld(px, py, world);
        TDevicePoint back;
        projection->WorldToDevice(world.X, world.Y, back);
        ASSERT_EQ(back, (TDevicePoint{px, py})) << angle;
        EXPECT_EQ(std::pair(projection->WorldToDeviceX(world.X), projection->WorldToDeviceY(world.Y)),
                  std::pair(px, py));
      }
    }
  }
}

// A projection whose pixel sizes and origin are set directly.
class TBareProjection : public TPageProjection {
 public:
  TBareProjection(double size, double originX, double originY) {
    pixelSizeX_ = pixelSizeY_ = pixelSizeMax_ = size;
    originX_ = originX;
    originY_ = originY;
  }
};

// The quotient in extended precision, rounded halves to even within
// [lo, hi], NaN to 0: what the conversions must give.
std::int32_t ExtendedQuotient(long double from, double to, double size, std::int32_t lo, std::int32_t hi) {
  const long double v = (from - to) / size;
  if (std::isnan(v)) return 0;
  if (v >= hi) return hi;
  if (v <= lo) return lo;
  return static_cast<std::int32_t>(std::nearbyint(v));
}

// World values whose quotient lies on, or a few units in the last place
// beside, a half, a whole pixel and the bounds, then random ones near and far.
std::vector<double> HardWorldValues(double size, double origin) {
  std::vector<double> values{0.0, -0.0, origin, kNaN, std::numeric_limits<double>::infinity(), -1e300, 1e300};
  const double pixels[] = {0,      1,      2,       3,       -1,         -2,         -3,          100,
                           -100,   31999,  32000,   32001,   -31999,     -32000,     -32001,      1e6,
                           -1e6,   1 << 30, -(1 << 30), 2147483646, 2147483647, -2147483647, -2147483648.0, 1e12};
  for (double pixel : pixels) {
    for (double at : {pixel, pixel + 0.5, pixel - 0.5}) {
      double x = origin + at * size;
      for (int step = 0; step < 4; ++step) x = std::nextafter(x, -INFINITY);
      for (int step = 0; step < 9; ++step, x = std::nextafter(x, INFINITY)) {
        values.push_back(x);
        values.push_back(at * size);  // as a length
      }
    }
  }
  std::mt19937_64 random(3301);
  std::uniform_real_distribution<double> nearby(-40000, 40000);
  std::uniform_int_distribution<int> halves(-80000, 80000);
  std::uniform_real_distribution<double> exponent(-30, 30);
  for (int i = 0; i < 20000; ++i) {
    values.push_back(origin + nearby(random) * size);
    values.push_back(origin + halves(random) * 0.5 * size);
    values.push_back((i % 2 ? -1 : 1) * std::pow(10.0, exponent(random)));
  }
  return values;
}

TEST_F(ProjectionTest, WorldToDeviceGivesTheExtendedPrecisionResultForEveryValue) {
  const struct {
    const char* name;
    double size, originX, originY;
  } rows[] = {
      {"1.25 m a pixel near zero", 1.25, 500, 2375},
      {"a screen on negative national coordinates", 2880 * 25.4 / 96 / 1000, -745123.37, -1043210.55},
      {"a third of a metre far east", 1.0 / 3, 1.2e6, -3.3e5},
      {"an analysis raster", 0.0127, -601234.5, -1170432.25},
      {"nanometre pixels", 1e-9, 7.5e5, -7.5e5},
      {"pixels of 1e300 m", 1e300, -1e5, 1e5},
      {"a subnormal pixel", 4.9e-324, 0, 0},
  };
  constexpr std::int32_t kLimit = TProjection::DeviceLimit;
  for (const auto& row : rows) {
    const TBareProjection p(row.size, row.originX, row.originY);
    int mismatches = 0;
    for (double v : HardWorldValues(row.size, row.originX)) {
      TDevicePoint device;
      p.WorldToDevice(v, v, device);
      const TDevicePoint expected{ExtendedQuotient(v, row.originX, row.size, kMin, kMax),
                                  ExtendedQuotient(row.originY, v, row.size, kMin, kMax)};
      const bool same = device == expected &&
                        p.WorldToDeviceX(v) == ExtendedQuotient(v, row.originX, row.size, -kLimit, kLimit) &&
                        p.WorldToDeviceY(v) == ExtendedQuotient(row.originY, v, row.size, -kLimit, kLimit) &&
                        p.WorldToDeviceDX(v) == ExtendedQuotient(v, 0, row.size, kMin, kMax) &&
                        p.WorldToDeviceDY(v) == ExtendedQuotient(v, 0, row.size, kMin, kMax);
      if (!same && ++mismatches <= 5) ADD_FAILURE() << row.name << ": " << std::hexfloat << v;
    }
    EXPECT_EQ(mismatches, 0) << row.name;
  }
}

// Whatever cannot make a new transform leaves the one in use, and the centre,
// scale and IsOK read back are those of that transform.
TEST_F(ProjectionTest, WhatCannotMakeATransformLeavesTheOneInUse) {
  using Act = std::function<void(ProjectionTest&)>;
  const struct {
    const char* name;
    Act act;
  } cases[] = {
      {"scale after the page was removed",
       [](ProjectionTest& t) {
         t.projection->SetPage(nullptr);
         t.projection->SetScale(10000);
       }},
      {"scale and centre after the page was freed",
       [](ProjectionTest& t) {
         t.page.reset();
         EXPECT_EQ(t.projection->Page(), nullptr);
         t.projection->SetPropertyText("Scale", "10000");
         t.projection->SetCenter_X(0);
         t.projection->SetCenter_Y(0);
       }},
      {"scale on a page without resolution",
       [](ProjectionTest& t) {
         t.page->SetResolution(0, 0);
         t.projection->SetScale(2500);
       }},
      {"an infinite scale", [](ProjectionTest& t) { t.projection->SetScale(std::numeric_limits<double>::infinity()); }},
      {"fitting an empty, an inside-out or a point rectangle",
       [](ProjectionTest& t) {
         for (const TRealRect& r : {TRealRect{1e30, 1e30, -1e30, -1e30}, {10, 10, 0, 0}, {5, 5, 5, 5}})
           t.projection->FitRect(r);
       }},
      {"fitting on a page without HRes, VRes, width or height",
       [](ProjectionTest& t) {
         for (int spoilt = 0; spoilt < 4; ++spoilt) {
           auto bad = StandardPage();
           bad->SetResolution(spoilt == 0 ? 0 : 4000, spoilt == 1 ? 0 : 4000);
           (spoilt == 2 ? bad->PageRect.Right : spoilt == 3 ? bad->PageRect.Bottom : bad->PageRect.Left) = 0;
           t.projection->FitRectOnPage({0, 0, 10, 10}, bad.get());
         }
       }},
  };
  for (const auto& c : cases) {
    Fresh();
    c.act(*this);
    EXPECT_EQ(Texts(*projection, {"Scale", "Center_X", "Center_Y", "IsOK"}), "5000|1000|2000|True") << c.name;
    EXPECT_EQ(projection->OriginY(), 2375.0) << c.name;
    ExpectStandardTransform(*projection, c.name);
  }
  TPageProjection unpaged;  // no transform yet: centre and scale are taken, a zero pixel size gives 0
  SetTexts(unpaged, {{"Center_X", "10"}, {"Scale", "1000"}});
  unpaged.FitRect({0, 0, 100, 100});
  EXPECT_EQ(Texts(unpaged, {"Center_X", "Scale"}), "10|1000");
  EXPECT_EQ(std::pair(unpaged.PixelSizeX(), unpaged.WorldToDeviceX(50)), std::pair(0.0, 0));
  TRealRect world{1, 2, 3, 4};
  unpaged.GetWorldRect(world);
  EXPECT_EQ(BoxOf(world), (Box4{1, 2, 3, 4}));
}

// The world a device shows is its page's, or while a clip is on, the clip's;
// the standard page shows (500, 1625) to (1500, 2375) at 1.25 m a pixel.
TEST_F(ProjectionTest, TheVisibleWorldIsThePagesOrWhileAClipIsOnTheClips) {
  const struct {
    const char* name;
    bool clipActive;
    TDeviceRect clip;
    Box4 world;
  } rows[] = {
      {"no clip", false, {80, 60, 160, 120}, {500, 1625, 1500, 2375}},
      {"a clip", true, {80, 60, 160, 120}, {600, 2225, 700, 2300}},
      {"a clip of the whole page", true, {0, 0, 800, 600}, {500, 1625, 1500, 2375}},
  };
  for (const auto& row : rows) {
    Fresh();
    page->ClipRect = row.clip;
    page->ClipActive = row.clipActive;
    TRealRect world;
    projection->GetClipWorldRect(world);
    EXPECT_EQ(BoxOf(world), row.world) << row.name;
  }
  projection->SetClipRect({600, 2225, 700, 2300});  // and back to pixels
  EXPECT_EQ(std::tuple(page->ClipRect.Left, page->ClipRect.Top, page->ClipRect.Right, page->ClipRect.Bottom),
            std::tuple(80, 60, 160, 120));
}

TEST_F(ProjectionTest, ScaleZeroIsNotOKAndAssignWithoutAPageTakesTheWholeTransform) {
  projection->SetScale(0);
  EXPECT_EQ(std::tuple(projection->IsOK(), projection->WorldToDeviceX(123), projection->WorldToDeviceLength(123),
                       projection->DeviceToWorldX(50)),
            std::tuple(false, 0, 0, 1000.0));  // every pixel shows the centre
  Fresh();
  TPageProjection copy;  // a second Assign, once the copy has a transform of its own
  copy.Assign(projection.get());
  projection->SetScale(10000);
  projection->SetCenter({3000, 4000});
  copy.Assign(projection.get());
  EXPECT_EQ(std::tuple(copy.Scale(), copy.Center_X(), copy.Center_Y(), copy.PixelSizeX(), copy.OriginX()),
            std::tuple(10000.0, 3000.0, 4000.0, 2.5, 2000.0));
  page->PageRect = {-2000000000, 2000000000, 2000000000, -2000000000};
  EXPECT_EQ(std::pair(page->Width(), page->Height()), std::pair(kMax, kMin));
}

const Bytes kDouble1000{0, 0, 0, 0, 0, 0x40, 0x8F, 0x40};
const Bytes kDouble2000{0, 0, 0, 0, 0, 0x40, 0x9F, 0x40};
const Bytes kDouble4000{0, 0, 0, 0, 0, 0x40, 0xAF, 0x40};
const Bytes kDouble5000{0, 0, 0, 0, 0, 0x88, 0xB3, 0x40};
const Bytes kDouble1_25{0, 0, 0, 0, 0, 0, 0xF4, 0x3F};
const Bytes kDouble500{0, 0, 0, 0, 0, 0x40, 0x7F, 0x40};
const Bytes kDouble0(8, 0);

// A projection record: centre, scale, virtual scale, three pixel sizes... and the page number.
Bytes ProjectionRecord(const std::string& name, const Bytes& virtualScale, const Bytes& pixel, const Bytes& origin,
                       std::int8_t page) {
  return Record()
      .Str("TPageProjection")
      .Int8(4)
      .Str(name)
      .Raw(kDouble1000)
      .Raw(kDouble2000)
      .Raw(kDouble5000)
      .Raw(virtualScale)
      .Raw(pixel)
      .Raw(pixel)
      .Raw(pixel)
      .Raw(origin)
      .Int8(page)
      .bytes();
}

TEST_F(ProjectionTest, APageRecordIsItsNameThenA56ByteBlock) {
  page->SetName("A4");
  page->ID = 3;
  page->SetColor(0xFFFFFF);
  page->SetClipRect({10, 20, 30, 40});
  page->ClipActive = true;
  const Bytes expected = Record()
                             .Str("T_Page")
                             .Int8(3)
                             .Str("A4")
                             .Raw({0, 0, 0xFF, 0xFF, 0xFF, 0})
                             .Raw(kDouble4000)
                             .Raw(kDouble4000)
                             .Raw({0, 0, 0, 0, 0, 0, 0, 0, 0x20, 0x03, 0, 0, 0x58, 0x02, 0, 0})
                             .Raw({10, 0, 0, 0, 20, 0, 0, 0, 30, 0, 0, 0, 40, 0, 0, 0})
                             .Raw({1, 0})
                             .bytes();
  EXPECT_EQ(WrittenRecord(*page), expected);
  T_Page read;
  ReadRecord(expected, read, map);
  EXPECT_EQ(Texts(read, {"Name", "HRes", "VRes", "Width", "Height"}), "A4|4000|4000|800|600");
  EXPECT_EQ(std::tuple(read.Color(), read.ClipRect.Left, read.ClipRect.Bottom, read.ClipActive, read.CentreOnClip),
            std::tuple(0xFFFFFFu, 10, 40, true, false));
}

TEST_F(ProjectionTest, AProjectionRecordHoldsEightDoublesWithoutOriginYThenThePageNumber) {
  projection->ID = 4;
  page->ID = 3;
  // A virtual scale never read is stored as 0; once read (or assigned from such a source) as 5000.
  EXPECT_EQ(WrittenRecord(*projection), ProjectionRecord("TPageProjection", kDouble0, kDouble1_25, kDouble500, 3));
  TPageProjection copy;
  copy.Assign(projection.get());
  copy.ID = 4;
  EXPECT_EQ(WrittenRecord(copy), ProjectionRecord("TPageProjection", kDouble5000, kDouble1_25, kDouble500, -1));
  projection->VirtualScale();
  EXPECT_EQ(WrittenRecord(*projection), ProjectionRecord("TPageProjection", kDouble5000, kDouble1_25, kDouble500, 3));

  // Loaded with a page, the transform is recomputed from it.
  TEntity keep;
  for (int i = 0; i < 3; ++i) {
    auto* filler = new TOwnerElement;
    keep.AddElement(filler);
    map.AddElement(filler);
  }
  map.AddElement(page.get());
  TPageProjection paged;
  ReadRecord(ProjectionRecord("mapa", kDouble0, kDouble4000, kDouble4000, 3), paged, map);
  EXPECT_EQ(paged.Page(), page.get());
  EXPECT_EQ(Texts(paged, {"Name", "VirtualScale"}), "mapa|5000");
  EXPECT_EQ(std::pair(paged.PixelSizeY(), paged.OriginY()), std::pair(1.25, 2375.0));
  ExpectStandardTransform(paged);

  // Without a page the stored transform is taken as it stands; OriginY is not in the record.
  TPageProjection unpaged;
  ReadRecord(ProjectionRecord("x", kDouble2000, kDouble1_25, kDouble500, -1), unpaged, map);
  EXPECT_EQ(std::tuple(unpaged.Page(), unpaged.VirtualScale(), unpaged.OriginY()),
            std::tuple(static_cast<T_Page*>(nullptr), 2000.0, 0.0));
  ExpectStandardTransform(unpaged);

  // A number that names no page is a read error.
  for (std::int8_t number : {std::int8_t{2}, std::int8_t{4}}) {
    const Bytes bad = ProjectionRecord("x", kDouble0, kDouble0, kDouble0, number);
    platform::TMemoryStream stream(bad);
    platform::TReader reader(stream, 4096);
    reader.ReadString();
    TPageProjection read;
    EXPECT_THROW(read.ReadData(reader, map), platform::EReadError) << int{number};
    EXPECT_EQ(read.Page(), nullptr);
  }
  while (map.GetCount() > 0) map.RemoveElement(map.GetElement(0));

  // Number 0 names the map's first element.
  TQuickEntity first;
  first.AddElement(page.get());
  TPageProjection atFirst;
  ReadRecord(ProjectionRecord("mapa", kDouble0, kDouble4000, kDouble4000, 0), atFirst, first);
  EXPECT_EQ(atFirst.Page(), page.get());
  ExpectStandardTransform(atFirst);
  first.RemoveElement(page.get());
}

// A stored transform may lack a pixel size on one axis only: that axis then
// converts to 0 and the point form gives (0, 0) as a whole.
TEST_F(ProjectionTest, AZeroPixelSizeOnOneAxisZeroesThatAxisAndTheWholePoint) {
  const struct {
    const char* name;
    const Bytes& pixelX;
    const Bytes& pixelY;
    std::int32_t x, y;  // of world (1000, 2000) from origin (500, 0) at 1.25 m a pixel
  } rows[] = {
      {"none along X", kDouble0, kDouble1_25, 0, -1600},
      {"none along Y", kDouble1_25, kDouble0, 400, 0},
  };
  for (const auto& row : rows) {
    const Bytes record = Record()
                             .Str("TPageProjection")
                             .Int8(4)
                             .Str("x")
                             .Raw(kDouble1000)
                             .Raw(kDouble2000)
                             .Raw(kDouble5000)
                             .Raw(kDouble0)
                             .Raw(row.pixelX)
                             .Raw(row.pixelY)
                             .Raw(kDouble1_25)
                             .Raw(kDouble500)
                             .Int8(-1)
                             .bytes();
    TPageProjection read;
    ReadRecord(record, read, map);
    EXPECT_EQ(std::pair(read.WorldToDeviceX(1000), read.WorldToDeviceY(2000)), std::pair(row.x, row.y)) << row.name;
    TDevicePoint point{7, 7};
    read.WorldToDevice(1000, 2000, point);
    EXPECT_EQ(point, (TDevicePoint{0, 0})) << row.name;
  }
}

// The first angle written takes the projection centre as its rotation
// centre; a later one, or one written after a centre was set, keeps it.
TEST_F(ProjectionTest, AnAngleTakesTheCentreAsItsRotationCentreOnlyWhileThereIsNone) {
  const struct {
    const char* name;
    double centreX, centreY;  // set before the angle
    double x, y;              // afterwards
  } rows[] = {
      {"none yet", 0, 0, 1000, 2000},
      {"one on the X axis", 300, 0, 300, 0},
      {"one on the Y axis", 0, 400, 0, 400},
      {"one elsewhere", 300, 400, 300, 400},
  };
  for (const auto& row : rows) {
    Fresh();
    projection->RotateCenter_X = row.centreX;
    projection->RotateCenter_Y = row.centreY;
    projection->SetAngle(0.5);
    projection->SetCenter({7, 8});
    projection->SetAngle(0.25);
    EXPECT_EQ(std::pair(projection->RotateCenter_X, projection->RotateCenter_Y), std::pair(row.x, row.y)) << row.name;
  }
}

// A projection centred on (0, 0) is not usable; a centre off it on either
// axis is.
TEST_F(ProjectionTest, AProjectionCentredOnTheOriginIsNotOK) {
  const struct {
    double x, y;
    bool ok;
  } rows[] = {{0, 0, false}, {1, 0, true}, {0, 1, true}, {-1, 0, true}};
  for (const auto& row : rows) {
    projection->SetCenter({row.x, row.y});
    EXPECT_EQ(projection->IsOK(), row.ok) << row.x << ", " << row.y;
  }
}

}  // namespace
