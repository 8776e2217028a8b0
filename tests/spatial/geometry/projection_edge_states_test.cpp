#include <functional>
#include <limits>
#include <memory>

#include "spatial/geometry/page.h"
#include "spatial/geometry/projection.h"
#include "tests/spatial/spatial_fixture.h"

namespace {

// Scale 5000 centred on (1000, 2000) on 800 x 600 pixels at 4000 pixels per
// metre: 1.25 m a pixel, pixel (0, 0) at world (500, 2375).
class ProjectionEdgeStatesTest : public SpatialTest {
 public:
  void SetUp() override {
    SpatialTest::SetUp();
    Fresh();
  }
  void Fresh() {
    projection = std::make_unique<TPageProjection>();
    page = std::make_unique<T_Page>();
    page->PageRect = {0, 0, 800, 600};
    page->ClipRect = page->PageRect;
    page->SetResolution(4000, 4000);
    projection->SetCenter({1000, 2000});
    projection->SetScale(5000);
    projection->SetPage(page.get());
  }
  std::unique_ptr<TPageProjection> projection;
  std::unique_ptr<T_Page> page;
};

// Whatever cannot make a new transform leaves the one in use, and the
// centre, scale and IsOK read back are those of that transform.
TEST_F(ProjectionEdgeStatesTest, WhatCannotMakeATransformLeavesTheOneInUse) {
  const double inf = std::numeric_limits<double>::infinity();
  struct Case {
    const char* Name;
    std::function<void(ProjectionEdgeStatesTest&)> Act;
  };
  const Case cases[] = {
      {"scale after the page was removed",
       [](ProjectionEdgeStatesTest& t) {
         t.projection->SetPage(nullptr);
         t.projection->SetScale(10000);
       }},
      {"scale and centre after the page was freed",
       [](ProjectionEdgeStatesTest& t) {
         t.page.reset();
         t.projection->SetPropertyText("Scale", "10000");
         t.projection->SetCenter_X(0);
         t.projection->SetCenter_Y(0);
       }},
      {"scale on a page without resolution",
       [](ProjectionEdgeStatesTest& t) {
         t.page->SetResolution(0, 0);
         t.projection->SetScale(2500);
       }},
      {"an infinite scale", [inf](ProjectionEdgeStatesTest& t) { t.projection->SetScale(inf); }},
      {"fitting an empty rectangle", [](ProjectionEdgeStatesTest& t) { t.projection->FitRect({1e30, 1e30, -1e30, -1e30}); }},
      {"fitting a rectangle turned inside out", [](ProjectionEdgeStatesTest& t) { t.projection->FitRect({10, 10, 0, 0}); }},
      {"fitting a single point", [](ProjectionEdgeStatesTest& t) { t.projection->FitRect({5, 5, 5, 5}); }},
  };
  for (const Case& c : cases) {
    Fresh();
    c.Act(*this);
    EXPECT_EQ(projection->Scale(), 5000.0) << c.Name;
    EXPECT_EQ(projection->Center_X(), 1000.0) << c.Name;
    EXPECT_EQ(projection->Center_Y(), 2000.0) << c.Name;
    EXPECT_TRUE(projection->IsOK()) << c.Name;
    EXPECT_EQ(projection->PixelSizeX(), 1.25) << c.Name;
    EXPECT_EQ(projection->PixelSizeY(), 1.25) << c.Name;
    EXPECT_EQ(projection->OriginX(), 500.0) << c.Name;
    EXPECT_EQ(projection->OriginY(), 2375.0) << c.Name;
  }
}

// A projection without a page takes another's transform whole, also when it
// has one already.
TEST_F(ProjectionEdgeStatesTest, AssignTakesCentreScaleAndTransformTogether) {
  TPageProjection copy;
  copy.Assign(projection.get());
  projection->SetScale(10000);
  projection->SetCenter({3000, 4000});
  copy.Assign(projection.get());
  EXPECT_EQ(copy.Scale(), 10000.0);
  EXPECT_EQ(copy.Center_X(), 3000.0);
  EXPECT_EQ(copy.Center_Y(), 4000.0);
  EXPECT_EQ(copy.PixelSizeX(), 2.5);
  EXPECT_EQ(copy.OriginX(), 2000.0);
}

// Renderers recompute the transform themselves for a page they draw on.
TEST_F(ProjectionEdgeStatesTest, CalculateFromOutsideMakesTheWholeTransform) {
  T_Page other;
  other.PageRect = {0, 0, 400, 200};
  other.SetResolution(2000, 1000);
  projection->Calculate({0, 100}, &other, 8000);
  EXPECT_EQ(projection->Page(), &other);
  EXPECT_EQ(projection->Scale(), 8000.0);
  EXPECT_EQ(projection->PixelSizeX(), 4.0);
  EXPECT_EQ(projection->PixelSizeY(), 8.0);
  EXPECT_EQ(projection->PixelSizeMax(), 8.0);
  EXPECT_EQ(projection->OriginX(), -800.0);
  EXPECT_EQ(projection->OriginY(), 900.0);
}

}  // namespace
