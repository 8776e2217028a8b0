#include "render/rasters/raster.h"

#include <memory>

#include "framework/core/class_registry.h"
#include "tests/render/render_fixture.h"

namespace {

using RasterTest = RenderTest;

// Scripts make picture elements by class name and give them their file.
TEST_F(RasterTest, PictureElementsAreMadeByNameAndKeepTheirFile) {
  for (const char* name : {"TGraphicFileElement", "TRaster"}) {
    const TClass cls = FindKestuClass(name);
    ASSERT_NE(cls, nullptr) << name;
    std::unique_ptr<TElement> picture(NewElement(cls));
    ASSERT_NE(DynamicCast<TGraphicFileElement>(picture.get()), nullptr) << name;
    EXPECT_EQ(picture->ClassName(), name);
    picture->SetPropertyText("FileName", "/data/mapa.ras");
    EXPECT_EQ(picture->GetPropertyText("FileName"), "/data/mapa.ras") << name;
  }
}

}  // namespace
