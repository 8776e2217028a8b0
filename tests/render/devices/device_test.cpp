#include <cmath>
#include <numbers>

#include "render/devices/device_tool.h"
#include "spatial/geometry/page.h"
#include "spatial/geometry/projection.h"
#include "tests/render/render_fixture.h"

namespace {

class TProbeDeviceTool : public TDeviceTool {
 public:
  void PostMouseEvent(int, TElement*, bool, std::int32_t, std::int32_t, std::uint8_t, std::uint8_t) override {}
  void PostKeyEvent(int, TElement*, std::uint8_t, std::uint16_t) override {}
};

using DeviceTest = RenderTest;

TEST_F(DeviceTest, PointsTurnClockwiseAboutTheRotationCentreAndBack) {
  // The angle, a point and where it turns to.
  const std::tuple<const char*, double, double, double, double, double> cases[] = {
      {"no angle", 0, 11, 20, 11, 20},
      {"east to south", std::numbers::pi / 2, 11, 20, 10, 19},
      {"north to east", std::numbers::pi / 2, 10, 21, 11, 20},
      {"half turn", std::numbers::pi, 13, 24, 7, 16},
  };
  for (const auto& [name, angle, x0, y0, turnedX, turnedY] : cases) {
    SCOPED_TRACE(name);
    TNullDevice device;
    device.Projection()->SetAngle(angle);
    device.Projection()->RotateCenter_X = 10;
    device.Projection()->RotateCenter_Y = 20;
    double x = x0, y = y0;
    device.RotatePoint(x, y);
    EXPECT_TRUE(std::hypot(x - turnedX, y - turnedY) < 1e-9) << x << " " << y;
    device.UnrotatePoint(x, y);
    EXPECT_TRUE(std::hypot(x - x0, y - y0) < 1e-9) << x << " " << y;
    // A point goes to its pixel turned: at one unit a pixel the turned point's.
    device.Page()->PageRect = {0, 0, 40, 40};
    device.Page()->SetResolution(1000, 1000);
    device.Projection()->Calculate({20, 20}, device.Page(), 1000);
    const TPageProjection& projection = *device.Projection();
    EXPECT_EQ(device.ToDevice(x0, y0),
              (TDevicePoint{projection.WorldToDeviceX(turnedX), projection.WorldToDeviceY(turnedY)}));
  }
}

// A page of 2000 x 1000 pixels measures its pixels over its resolution;
// without a resolution it has no size.
TEST_F(DeviceTest, ThePageMeasuresItsPixelsOverItsResolution) {
  const struct {
    const char* name;
    double hRes, vRes, width, height;
  } rows[] = {
      {"one pixel a unit", 1, 1, 2000, 1000},
      {"4000 and 2000 pixels a unit", 4000, 2000, 0.5, 0.5},
      {"no resolution", 0, 0, 0, 0},
  };
  for (const auto& row : rows) {
    TNullDevice device;
    ASSERT_NE(device.Page(), nullptr);
    device.Page()->PageRect = {0, 0, 2000, 1000};
    device.Page()->SetResolution(row.hRes, row.vRes);
    EXPECT_EQ(std::pair(device.GetPageWidth(), device.GetPageHeight()), std::pair(row.width, row.height)) << row.name;
  }
}

// The projection a device makes is bound to the device's page from the start:
// a centre and scale given before any drawing place points on that page. On a
// page of 40 x 40 pixels at 1000 pixels a metre, scale 1000 makes one pixel a
// metre, and centre (20, 20) sits on pixel (20, 20): X grows to the right,
// Y downwards on the page.
TEST_F(DeviceTest, ANewDeviceProjectsOntoItsOwnPage) {
  const struct {
    const char* name;
    double x, y;
    TDevicePoint pixel;
  } rows[] = {
      {"the centre", 20, 20, {20, 20}},
      {"ten metres east and north", 30, 30, {30, 10}},
      {"the lower left corner", 0, 0, {0, 40}},
  };
  for (const auto& row : rows) {
    TNullDevice device;
    device.Page()->PageRect = {0, 0, 40, 40};
    device.Page()->SetResolution(1000, 1000);
    device.Projection()->SetScale(1000);
    device.Projection()->SetCenter({20, 20});
    EXPECT_EQ(device.ToDevice(row.x, row.y), row.pixel) << row.name;
  }
}

TEST_F(DeviceTest, TheDeviceToolDetachesAReplacedDeviceAndReadsScaleOnlyThroughOne) {
  TProbeDeviceTool tool;
  EXPECT_EQ(TNullDevice().GetPageWidth(), 0) << "a page without a resolution";
  tool.SetScale(5000);
  EXPECT_EQ(tool.Scale(), 0);

  auto* first = new Tracked<TNullDevice>();
  tool.SetDevice(first);
  tool.SetScale(2500);
  EXPECT_EQ(std::tuple(first->Projection()->Scale(), tool.Scale()), std::tuple(2500, 2500));
  auto* second = new TNullDevice();
  tool.SetDevice(second);
  EXPECT_EQ(std::tuple(Tracked<TNullDevice>::Alive, tool.IndexOf(first), tool.IndexOf(second) >= 0,
                       first->GetOwnersCount()),
            std::tuple(1, -1, true, 0));
  delete first;
}

}  // namespace
