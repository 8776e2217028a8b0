#include "spatial/geometry/projection.h"

#include <limits>
#include <memory>

#include "framework/core/class_registry.h"
#include "spatial/geometry/page.h"
#include "spatial/geometry/geometry_elements.h"
#include "tests/spatial/spatial_fixture.h"

namespace {

// 800 x 600 pixels from (0, 0) at 4000 pixels per metre.
std::unique_ptr<T_Page> StandardPage() {
  auto page = std::make_unique<T_Page>();
  page->PageRect = {0, 0, 800, 600};
  page->ClipRect = page->PageRect;
  page->SetResolution(4000, 4000);
  return page;
}

// Scale 5000 centred on (1000, 2000): 1.25 m a pixel.
class ProjectionTest : public SpatialTest {
 protected:
  void SetUp() override {
    SpatialTest::SetUp();
    page = StandardPage();
    projection.SetCenter({1000, 2000});
    projection.SetScale(5000);
    projection.SetPage(page.get());
  }
  std::unique_ptr<T_Page> page;
  TPageProjection projection;
};

TEST_F(ProjectionTest, CentrePixelShowsTheCentreAndBack) {
  EXPECT_EQ(projection.PixelSizeX(), 1.25);
  EXPECT_EQ(projection.PixelSizeY(), 1.25);
  EXPECT_EQ(projection.PixelSizeMax(), 1.25);
  EXPECT_EQ(projection.OriginX(), 500.0);
  EXPECT_EQ(projection.OriginY(), 2375.0);
  TRealPoint world;
  projection.DeviceToWorld(400, 300, world);
  EXPECT_EQ(world.X, 1000.0);
  EXPECT_EQ(world.Y, 2000.0);
  EXPECT_EQ(projection.WorldToDeviceX(1000), 400);
  EXPECT_EQ(projection.WorldToDeviceY(2000), 300);
  TDevicePoint device;
  projection.WorldToDevice(1000, 2000, device);
  EXPECT_EQ(device, (TDevicePoint{400, 300}));
  EXPECT_EQ(projection.DeviceToWorldY(0), 2375.0);  // Y grows downwards on the device
  EXPECT_EQ(projection.DeviceToWorldY(600), 1625.0);
}

TEST_F(ProjectionTest, APointFarOffThePageIsClampedByTheStandardConversions) {
  EXPECT_EQ(projection.WorldToDeviceX(1000 - 100000), -32000);
  EXPECT_EQ(projection.WorldToDeviceX(1000 + 100000), 32000);
  EXPECT_EQ(projection.WorldToDeviceY(2000 + 100000), -32000);
  EXPECT_EQ(projection.WorldToDeviceY(-1e300), 32000);
  TDevicePoint device;
  projection.WorldToDevice(1000 - 100000, 2000, device);
  EXPECT_EQ(device.X, 400 - 80000);  // not clamped
}

TEST_F(ProjectionTest, UnclampedConversionsSaturateAtTheIntegerRange) {
  const std::int32_t max = std::numeric_limits<std::int32_t>::max();
  const std::int32_t min = std::numeric_limits<std::int32_t>::min();
  TDevicePoint device;
  projection.WorldToDevice(1e300, -1e300, device);
  EXPECT_EQ(device, (TDevicePoint{max, max}));
  projection.WorldToDevice(-1e300, 1e300, device);
  EXPECT_EQ(device, (TDevicePoint{min, min}));
  EXPECT_EQ(projection.WorldToDeviceDX(1e12), max);
  EXPECT_EQ(projection.WorldToDeviceDY(-1e12), min);
  EXPECT_EQ(projection.WorldToDeviceLength(3e9), max);
  EXPECT_EQ(projection.WorldToDeviceLength(12.5), 10);
  TDeviceRect rect;
  projection.WorldRectToDevice(-1e300, 1500, 1000, 1e300, rect);
  EXPECT_EQ(rect.Left, min);
  EXPECT_EQ(rect.Top, min);
  EXPECT_EQ(rect.Right, 400);
  EXPECT_EQ(rect.Bottom, 700);
}

TEST_F(ProjectionTest, HalfwayBetweenPixelsRoundsToTheEvenPixel) {
  EXPECT_EQ(projection.WorldToDeviceX(500 + 2.5 * 1.25), 2);
  EXPECT_EQ(projection.WorldToDeviceX(500 + 3.5 * 1.25), 4);
  EXPECT_EQ(projection.WorldToDeviceX(500 - 2.5 * 1.25), -2);
  TDevicePoint device;
  projection.WorldToDevice(500 + 0.5 * 1.25, 2375 - 1.5 * 1.25, device);
  EXPECT_EQ(device, (TDevicePoint{0, 2}));
  EXPECT_EQ(projection.WorldToDeviceDX(2.5 * 1.25), 2);
  EXPECT_EQ(TProjection::RoundToDevice(31999.5), 32000);
  EXPECT_EQ(TProjection::RoundToDevice(-40000.7), -32000);
  EXPECT_EQ(TProjection::RoundToDevice(6.5), 6);
}

TEST_F(ProjectionTest, WorldDeviceWorldRoundTripsWhateverTheRotation) {
  page->SetResolution(96 * 1000 / 25.4, 96 * 1000 / 25.4);  // a screen
  projection.SetCenter({-745123.37, -1043210.55});
  projection.SetScale(2880);
  for (double angle : {0.0, 0.5, 3.0}) {
    projection.SetAngle(angle);
    for (std::int32_t px = -500; px <= 1300; px += 37) {
      for (std::int32_t py = -400; py <= 1000; py += 41) {
        TRealPoint world;
        projection.DeviceToWorld(px, py, world);
        TDevicePoint back;
        projection.WorldToDevice(world.X, world.Y, back);
        ASSERT_EQ(back, (TDevicePoint{px, py})) << angle;
        EXPECT_EQ(projection.WorldToDeviceX(world.X), px);
        EXPECT_EQ(projection.WorldToDeviceY(world.Y), py);
      }
    }
  }
}

TEST_F(ProjectionTest, LengthsUseTheLargerPixelSizeAndDxTheHorizontalOne) {
  page->SetResolution(4000, 2000);
  projection.SetPage(page.get());
  EXPECT_EQ(projection.PixelSizeX(), 1.25);
  EXPECT_EQ(projection.PixelSizeY(), 2.5);
  EXPECT_EQ(projection.PixelSizeMax(), 2.5);
  EXPECT_EQ(projection.DeviceToWorldLength(4), 10.0);
  EXPECT_EQ(projection.DeviceToWorldDX(4), 5.0);
  EXPECT_EQ(projection.WorldToDeviceDX(10), 8);
  EXPECT_EQ(projection.WorldToDeviceDY(10), 4);
  EXPECT_EQ(projection.OriginY(), 2000 + 300 * 2.5);
}

TEST_F(ProjectionTest, ThePageOffsetIsNotAddedButAClipCentreIs) {
  page->PageRect = {100, 50, 901, 651};  // 801 x 601: halves truncate to 400 x 300
  projection.SetPage(page.get());
  EXPECT_EQ(projection.OriginX(), 500.0);
  EXPECT_EQ(projection.OriginY(), 2375.0);
  page->ClipRect = {200, 100, 301, 201};
  page->ClipActive = true;
  projection.SetPage(page.get());  // centring on the clip needs both flags
  EXPECT_EQ(projection.OriginX(), 500.0);
  page->CentreOnClip = true;
  projection.SetPage(page.get());
  EXPECT_EQ(projection.WorldToDeviceX(1000), 250);
  EXPECT_EQ(projection.WorldToDeviceY(2000), 150);
}

TEST_F(ProjectionTest, WorldRectanglesOfThePageAndItsClip) {
  TRealRect world;
  projection.GetWorldRect(world);
  EXPECT_EQ(world.MinX, 500.0);
  EXPECT_EQ(world.MinY, 1625.0);
  EXPECT_EQ(world.MaxX, 1500.0);
  EXPECT_EQ(world.MaxY, 2375.0);
  projection.SetClipRect({750, 1750, 1250, 2250});
  EXPECT_EQ(page->ClipRect.Left, 200);
  EXPECT_EQ(page->ClipRect.Top, 100);
  EXPECT_EQ(page->ClipRect.Right, 600);
  EXPECT_EQ(page->ClipRect.Bottom, 500);
  TRealRect clip;
  projection.GetClipWorldRect(clip);
  EXPECT_EQ(clip.MinX, 500.0);  // the clip is not active: the page
  page->ClipActive = true;
  projection.GetClipWorldRect(clip);
  EXPECT_EQ(clip.MinX, 750.0);
  EXPECT_EQ(clip.MinY, 1750.0);
  EXPECT_EQ(clip.MaxX, 1250.0);
  EXPECT_EQ(clip.MaxY, 2250.0);
}

TEST_F(ProjectionTest, FitRectFillsThePageCentredOnTheRectangle) {
  // The page is 0.2 m wide: a 0.4 m wide rectangle fills it at scale 2.
  projection.FitRect({0, 0, 0.4, 0.1});
  EXPECT_EQ(projection.Scale(), 2.0);
  EXPECT_DOUBLE_EQ(projection.Center_X(), 0.2);
  EXPECT_DOUBLE_EQ(projection.Center_Y(), 0.05);
  EXPECT_EQ(projection.WorldToDeviceX(0.2), 400);
  EXPECT_EQ(projection.WorldToDeviceX(0), 0);
  EXPECT_EQ(projection.WorldToDeviceX(0.4), 800);
  // A tall rectangle: the height decides.
  TRectangle tall;
  tall.IncludePoint(0, 0);
  tall.IncludePoint(10, 300);
  auto other = StandardPage();
  projection.FitRectangle(&tall, other.get());
  EXPECT_EQ(projection.Page(), other.get());
  EXPECT_DOUBLE_EQ(projection.Scale(), 2000.0);
  EXPECT_EQ(projection.Center_X(), 5.0);
  EXPECT_EQ(projection.Center_Y(), 150.0);
  // The page's size in metres runs from pixel 0 to its Right edge, wherever Left is.
  auto shifted = StandardPage();
  shifted->PageRect.Left = 100;
  shifted->PageRect.Right = 900;
  projection.FitRectOnPage({0, 0, 0.45, 0.1}, shifted.get());
  EXPECT_DOUBLE_EQ(projection.Scale(), 2.0);
}

TEST_F(ProjectionTest, FitRectOnADegeneratePageLeavesTheProjection) {
  for (auto spoil : {+[](T_Page& p) { p.SetResolution(0, 4000); }, +[](T_Page& p) { p.SetResolution(4000, 0); },
                     +[](T_Page& p) { p.PageRect.Right = 0; }, +[](T_Page& p) { p.PageRect.Bottom = 0; }}) {
    auto bad = StandardPage();
    spoil(*bad);
    projection.FitRectOnPage({0, 0, 10, 10}, bad.get());
    EXPECT_EQ(projection.Scale(), 5000.0);
    EXPECT_EQ(projection.Center_X(), 1000.0);
    EXPECT_EQ(projection.PixelSizeX(), 1.25);
    EXPECT_EQ(projection.OriginX(), 500.0);
  }
}

TEST_F(ProjectionTest, WithoutAPageCentreAndScaleAreTakenButTheTransformStays) {
  TPageProjection unpaged;
  unpaged.SetCenter({10, 20});
  unpaged.SetScale(1000);
  EXPECT_EQ(unpaged.Center_X(), 10.0);
  EXPECT_EQ(unpaged.Scale(), 1000.0);
  EXPECT_EQ(unpaged.PixelSizeX(), 0.0);
  EXPECT_EQ(unpaged.WorldToDeviceX(50), 0);  // a zero pixel size converts to 0
  TDevicePoint device{7, 7};
  unpaged.WorldToDevice(50, 50, device);
  EXPECT_EQ(device, (TDevicePoint{0, 0}));
  TRealRect world{1, 2, 3, 4};
  unpaged.GetWorldRect(world);
  EXPECT_EQ(world.MaxY, 4.0);
  unpaged.FitRect({0, 0, 100, 100});
  EXPECT_EQ(unpaged.Scale(), 1000.0);

  projection.SetPage(nullptr);
  projection.SetPropertyText("Scale", "10000");
  projection.SetPropertyText("Center_X", "0");
  EXPECT_EQ(projection.Scale(), 5000.0);
  EXPECT_EQ(projection.Center_X(), 1000.0);
  EXPECT_EQ(projection.PixelSizeX(), 1.25);
  EXPECT_EQ(projection.OriginX(), 500.0);
}

TEST_F(ProjectionTest, AFreedPageIsNoLongerUsed) {
  page.reset();
  EXPECT_EQ(projection.Page(), nullptr);
  projection.SetScale(10000);
  EXPECT_EQ(projection.PixelSizeX(), 1.25);
  EXPECT_EQ(projection.WorldToDeviceX(1000), 400);
}

TEST_F(ProjectionTest, APageWithoutResolutionKeepsTheTransform) {
  page->SetResolution(0, 0);
  projection.SetScale(2500);
  EXPECT_EQ(projection.Scale(), 5000.0);
  EXPECT_EQ(projection.PixelSizeX(), 1.25);
  EXPECT_EQ(projection.WorldToDeviceX(1000), 400);
}

TEST_F(ProjectionTest, ScaleZeroMakesEveryWorldToDeviceConversionZero) {
  projection.SetScale(0);
  EXPECT_EQ(projection.PixelSizeX(), 0.0);
  EXPECT_EQ(projection.WorldToDeviceX(123), 0);
  EXPECT_EQ(projection.WorldToDeviceY(123), 0);
  EXPECT_EQ(projection.WorldToDeviceDX(123), 0);
  EXPECT_EQ(projection.WorldToDeviceLength(123), 0);
  EXPECT_EQ(projection.DeviceToWorldX(50), 1000.0);  // every pixel shows the centre
}

TEST_F(ProjectionTest, AConversionWhoseArithmeticFailsGivesZero) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  EXPECT_EQ(projection.WorldToDeviceX(nan), 0);
  EXPECT_EQ(TProjection::RoundToDevice(nan), 0);
  TDevicePoint device;
  projection.WorldToDevice(nan, 2000, device);
  EXPECT_EQ(device, (TDevicePoint{0, 300}));
  EXPECT_EQ(projection.WorldToDeviceDY(nan), 0);
  projection.SetScale(1e307);  // pixel sizes near the top of the double range
  EXPECT_EQ(projection.DeviceToWorldX(1000000), 0.0);
  EXPECT_EQ(projection.DeviceToWorldLength(1000000), 0.0);
}

TEST_F(ProjectionTest, CentreWritesMoveTheOrigin) {
  projection.SetPropertyText("Center_X", "2000");
  projection.SetCenter_Y(0);
  EXPECT_EQ(projection.OriginX(), 1500.0);
  EXPECT_EQ(projection.OriginY(), 375.0);
  projection.SetScale(10000);
  EXPECT_EQ(projection.PixelSizeX(), 2.5);
  EXPECT_EQ(projection.OriginX(), 1000.0);
}

TEST_F(ProjectionTest, IsOkNeedsACentreOffTheOriginAndAScaleInRange) {
  EXPECT_TRUE(projection.IsOK());
  EXPECT_EQ(projection.GetPropertyText("IsOK"), "True");
  projection.SetScale(1e30);
  EXPECT_FALSE(projection.IsOK());
  projection.SetScale(0);
  EXPECT_FALSE(projection.IsOK());
  projection.SetScale(5000);
  projection.SetCenter({0, 0});
  EXPECT_FALSE(projection.IsOK());
  projection.SetCenter({0, -1});
  EXPECT_TRUE(projection.IsOK());
}

TEST_F(ProjectionTest, TheFirstAngleWriteCentresTheRotation) {
  projection.SetPropertyText("Angle", "0.5");
  EXPECT_EQ(projection.Angle(), 0.5);
  EXPECT_EQ(projection.RotateCenter_X, 1000.0);
  EXPECT_EQ(projection.RotateCenter_Y, 2000.0);
  projection.SetCenter({3000, 4000});
  projection.SetAngle(1);
  EXPECT_EQ(projection.RotateCenter_X, 1000.0);
  projection.SetPropertyText("RotateCenter_X", "7");
  EXPECT_EQ(projection.RotateCenter_X, 7.0);
  EXPECT_EQ(projection.Angle(), 1.0);
}

TEST_F(ProjectionTest, VirtualScaleReadsZeroAsFiveThousand) {
  TPageProjection fresh;
  EXPECT_EQ(fresh.GetPropertyText("VirtualScale"), "5000");
  fresh.SetVirtualScale(25000);
  EXPECT_EQ(fresh.VirtualScale(), 25000.0);
}

TEST_F(ProjectionTest, AssignTakesCentreScaleAndTransformButNotRotationOrPage) {
  projection.SetAngle(0.25);
  TPageProjection copy;
  copy.Assign(&projection);
  EXPECT_EQ(copy.Center_X(), 1000.0);
  EXPECT_EQ(copy.Center_Y(), 2000.0);
  EXPECT_EQ(copy.Scale(), 5000.0);
  EXPECT_EQ(copy.VirtualScale(), 5000.0);
  EXPECT_EQ(copy.PixelSizeX(), 1.25);
  EXPECT_EQ(copy.PixelSizeMax(), 1.25);
  EXPECT_EQ(copy.OriginX(), 500.0);
  EXPECT_EQ(copy.OriginY(), 2375.0);
  EXPECT_EQ(copy.Angle(), 0.0);
  EXPECT_EQ(copy.RotateCenter_X, 0.0);
  EXPECT_EQ(copy.Page(), nullptr);
  EXPECT_EQ(copy.WorldToDeviceX(1000), 400);
  T_Page notAProjection;
  copy.Assign(&notAProjection);
  EXPECT_EQ(copy.Scale(), 5000.0);
}

TEST_F(ProjectionTest, PublishedProperties) {
  EXPECT_EQ(OwnPropertyNames(TProjection::StaticClass()),
            (Strings{"Angle", "RotateCenter_X", "RotateCenter_Y", "Center_X", "Center_Y", "Scale", "VirtualScale",
                     "IsOK"}));
  EXPECT_TRUE(OwnPropertyNames(TPageProjection::StaticClass()).empty());
  EXPECT_EQ(TProjection::StaticClass()->Factory, nullptr);
  EXPECT_NE(FindKestuClass("TProjection"), nullptr);
  std::unique_ptr<TElement> created(CreateElementByClassName("TPageProjection"));
  EXPECT_NE(DynamicCast<TPageProjection>(created.get()), nullptr);
}

class PageTest : public SpatialTest {};

TEST_F(PageTest, SizeIsTheSpanOfThePageRectangleKeptInRange) {
  auto page = StandardPage();
  page->PageRect = {100, 50, 900, 650};
  EXPECT_EQ(page->GetPropertyInteger("Width"), 800);
  EXPECT_EQ(page->GetPropertyInteger("Height"), 600);
  EXPECT_EQ(page->GetPropertyText("HRes"), "4000");
  page->PageRect = {-2000000000, 2000000000, 2000000000, -2000000000};
  EXPECT_EQ(page->Width(), std::numeric_limits<std::int32_t>::max());
  EXPECT_EQ(page->Height(), std::numeric_limits<std::int32_t>::min());
}

TEST_F(PageTest, AssignCopiesEverythingFromAnotherPageOnly) {
  auto source = StandardPage();
  source->SetColor(0xFFFFFF);
  source->SetClipRect({1, 2, 3, 4});
  source->ClipActive = true;
  source->CentreOnClip = true;
  T_Page page;
  page.Assign(source.get());
  EXPECT_EQ(page.Color(), 0xFFFFFFu);
  EXPECT_EQ(page.ClipRect.Right, 3);
  EXPECT_TRUE(page.ClipActive);
  EXPECT_TRUE(page.CentreOnClip);
  EXPECT_EQ(page.PageRect.Bottom, 600);
  EXPECT_EQ(page.HRes(), 4000.0);
  EXPECT_EQ(page.VRes(), 4000.0);
  TRectEntity other;
  page.Assign(&other);
  EXPECT_EQ(page.HRes(), 4000.0);
  EXPECT_EQ(OwnPropertyNames(T_Page::StaticClass()), (Strings{"Width", "Height", "HRes", "VRes"}));
}

class ProjectionStreamTest : public ProjectionTest {
 protected:
  // The map holds page at number 3, as a loader numbering a graph would.
  void Number() {
    for (int i = 0; i < 3; ++i) {
      auto* filler = new TOwnerElement;
      keep.AddElement(filler);
      map.AddElement(filler);
    }
    page->ID = 3;
    map.AddElement(page.get());
  }
  void TearDown() override {
    while (map.GetCount() > 0) map.RemoveElement(map.GetElement(0));
    ProjectionTest::TearDown();
  }
  TEntity keep;
  TQuickEntity map;
};

const Bytes kDouble1000{0, 0, 0, 0, 0, 0x40, 0x8F, 0x40};
const Bytes kDouble2000{0, 0, 0, 0, 0, 0x40, 0x9F, 0x40};
const Bytes kDouble4000{0, 0, 0, 0, 0, 0x40, 0xAF, 0x40};
const Bytes kDouble5000{0, 0, 0, 0, 0, 0x88, 0xB3, 0x40};
const Bytes kDouble1_25{0, 0, 0, 0, 0, 0, 0xF4, 0x3F};
const Bytes kDouble500{0, 0, 0, 0, 0, 0x40, 0x7F, 0x40};
const Bytes kDouble0(8, 0);

TEST_F(ProjectionStreamTest, APageRecordIsItsNameThenA56ByteBlock) {
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
  EXPECT_EQ(read.GetName(), "A4");
  EXPECT_EQ(read.Color(), 0xFFFFFFu);
  EXPECT_EQ(read.HRes(), 4000.0);
  EXPECT_EQ(read.VRes(), 4000.0);
  EXPECT_EQ(read.Width(), 800);
  EXPECT_EQ(read.Height(), 600);
  EXPECT_EQ(read.ClipRect.Left, 10);
  EXPECT_EQ(read.ClipRect.Bottom, 40);
  EXPECT_TRUE(read.ClipActive);
  EXPECT_FALSE(read.CentreOnClip);
}

TEST_F(ProjectionStreamTest, AProjectionRecordHoldsEightDoublesWithoutOriginYThenThePageNumber) {
  projection.ID = 4;
  page->ID = 3;
  Record head;
  head.Str("TPageProjection").Int8(4).Str("TPageProjection");
  const Bytes stored = Record(head)
                           .Raw(kDouble1000)
                           .Raw(kDouble2000)
                           .Raw(kDouble5000)
                           .Raw(kDouble0)  // a virtual scale never read is stored as 0
                           .Raw(kDouble1_25)
                           .Raw(kDouble1_25)
                           .Raw(kDouble1_25)
                           .Raw(kDouble500)
                           .Int8(3)
                           .bytes();
  EXPECT_EQ(WrittenRecord(projection), stored);
  projection.VirtualScale();
  const Bytes afterRead = WrittenRecord(projection);
  const std::size_t virtualScaleAt = 17 + 2 + 17 + 3 * 8;  // after the head and three doubles
  EXPECT_EQ(Bytes(afterRead.begin() + virtualScaleAt, afterRead.begin() + virtualScaleAt + 8), kDouble5000);

  projection.SetPage(nullptr);
  const Bytes unpaged = WrittenRecord(projection);
  EXPECT_EQ(Bytes(unpaged.end() - 2, unpaged.end()), (Bytes{0x02, 0xFF}));
}

TEST_F(ProjectionStreamTest, AssignStoresTheSourcesVirtualScaleAsItReads) {
  TPageProjection copy;
  copy.Assign(&projection);  // the source's virtual scale was never read
  const Bytes written = WrittenRecord(copy);
  // The block of eight doubles ends before the page number (02 FF).
  const std::size_t virtualScaleAt = written.size() - 2 - 64 + 3 * 8;
  EXPECT_EQ(Bytes(written.begin() + virtualScaleAt, written.begin() + virtualScaleAt + 8), kDouble5000);
}

TEST_F(ProjectionStreamTest, ALoadedPageProjectionRecomputesItsTransformFromThePage) {
  Number();
  Record head;
  head.Str("TPageProjection").Int8(4).Str("mapa");
  const Bytes spoiled = Record(head)
                            .Raw(kDouble1000)
                            .Raw(kDouble2000)
                            .Raw(kDouble5000)
                            .Raw(kDouble0)
                            .Raw(kDouble4000)  // pixel sizes and origin that do not fit the page
                            .Raw(kDouble4000)
                            .Raw(kDouble4000)
                            .Raw(kDouble4000)
                            .Int8(3)
                            .bytes();
  TPageProjection read;
  ReadRecord(spoiled, read, map);
  EXPECT_EQ(read.GetName(), "mapa");
  EXPECT_EQ(read.Page(), page.get());
  EXPECT_EQ(read.Scale(), 5000.0);
  EXPECT_EQ(read.PixelSizeX(), 1.25);
  EXPECT_EQ(read.PixelSizeY(), 1.25);
  EXPECT_EQ(read.PixelSizeMax(), 1.25);
  EXPECT_EQ(read.OriginX(), 500.0);
  EXPECT_EQ(read.OriginY(), 2375.0);
  EXPECT_EQ(read.VirtualScale(), 5000.0);
}

TEST_F(ProjectionStreamTest, WithoutAPageTheStoredTransformIsTakenAsItStands) {
  Record head;
  head.Str("TPageProjection").Int8(4).Str("TPageProjection");
  const Bytes unpaged = Record(head)
                            .Raw(kDouble1000)
                            .Raw(kDouble2000)
                            .Raw(kDouble5000)
                            .Raw(kDouble2000)
                            .Raw(kDouble1_25)
                            .Raw(kDouble1_25)
                            .Raw(kDouble1_25)
                            .Raw(kDouble500)
                            .Int8(-1)
                            .bytes();
  TPageProjection read;
  ReadRecord(unpaged, read, map);
  EXPECT_EQ(read.Page(), nullptr);
  EXPECT_EQ(read.VirtualScale(), 2000.0);
  EXPECT_EQ(read.PixelSizeX(), 1.25);
  EXPECT_EQ(read.OriginX(), 500.0);
  EXPECT_EQ(read.OriginY(), 0.0);  // not in the record
  EXPECT_EQ(read.WorldToDeviceX(1000), 400);
}

TEST_F(ProjectionStreamTest, APageNumberThatNamesNoPageIsAReadError) {
  Number();
  for (std::int8_t number : {std::int8_t{2}, std::int8_t{4}}) {
    const Bytes bad = Record().Str("TPageProjection").Int8(4).Str("x").Raw(Bytes(64, 0)).Int8(number).bytes();
    platform::TMemoryStream stream(bad);
    platform::TReader reader(stream, 4096);
    reader.ReadString();
    TPageProjection read;
    EXPECT_THROW(read.ReadData(reader, map), platform::EReadError) << int{number};
    EXPECT_EQ(read.Page(), nullptr);
  }
}

}  // namespace
