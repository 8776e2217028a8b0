#include "render/rasters/raster.h"

#include <filesystem>
#include <fstream>

#include "framework/stream/kes_loader.h"
#include "tests/render/rasters/fake_raster_servers.h"
#include "framework/stream/kes_saver.h"
#include "tests/render/render_fixture.h"

namespace {

const std::string kSamples = std::string(KESTX_SAMPLES_DIR) + "/pictures/";

std::vector<double> Bounds(const TRectEntity& e) { return {e.GetMinX(), e.GetMinY(), e.GetWidth(), e.GetHeight()}; }

}  // namespace

class RasterTest : public RenderTest {
 protected:
  void SetUp() override {
    RenderTest::SetUp();
    MainTool = &log;
  }
  TRecorder log;
};

TEST_F(RasterTest, LandsOnTheServersRectangle) {
  struct Row {
    const char* name;
    double originX, originY, extentX, extentY, horizRes, vertRes;
    std::vector<double> bounds;  // MinX, MinY, Width, Height
    bool geo;
  };
  const Row rows[] = {
      {"georeferenced: origin and extent negated", 1000, 2000, 500, 400, 1, 1, {-1500, -2400, 500, 400}, true},
      {"at the origin with resolutions 2", 0, 0, 500, 400, 2, 2, {-500, -400, 500, 400}, true},
      {"at the origin with resolutions 1 and 0", 0, 0, 500, 400, 1, 0, {-500, -400, 500, 400}, true},
      {"at the origin with resolutions 1", 0, 0, 500, 400, 1, 1, {0, 0, 1000, 800}, false},
      {"at the origin with resolutions 0", 0, 0, 500, 400, 0, 0, {0, 0, 1000, 800}, false},
  };
  for (const Row& row : rows) {
    FakeRasterServers servers;
    *servers.State = {.Width = 1000, .Height = 800, .OriginX = row.originX, .OriginY = row.originY,
                      .ExtentX = row.extentX, .ExtentY = row.extentY, .HorizRes = row.horizRes, .VertRes = row.vertRes};
    TRaster raster;
    raster.SetFileName("r.bmp");
    EXPECT_EQ(raster.GetGeoRaster(), row.geo) << row.name;
    EXPECT_EQ(Bounds(raster), row.bounds) << row.name;
  }
}

TEST_F(RasterTest, DotsPerInchSizeAPlainRasterOnly) {
  struct Row {
    const char* name;
    const char* property;
    const char* value;
    bool geo;
    std::vector<double> bounds;
  };
  const Row rows[] = {
      {"254 dots an inch", "HorizDPI", "254", false, {0, 0, 1000 / 254.0 * 0.0254, 800}},
      {"vertically", "VertDPI", "100", false, {0, 0, 1000, 800 / 100.0 * 0.0254}},
      {"0: the server's extent", "HorizDPI", "0", false, {0, 0, 500, 800}},
      {"georeferenced: nothing changes", "HorizDPI", "254", true, {-1500, -2400, 500, 400}},
      {"georeferenced, vertically", "VertDPI", "254", true, {-1500, -2400, 500, 400}},
  };
  for (const Row& row : rows) {
    FakeRasterServers servers;
    *servers.State = {.Width = 1000, .Height = 800, .ExtentX = 500, .ExtentY = 400};
    if (row.geo) servers.State->OriginX = 1000, servers.State->OriginY = 2000;
    TRaster raster;
    raster.SetFileName("r.bmp");
    SetPropertyTextByName(raster, row.property, row.value);
    EXPECT_EQ(Bounds(raster), row.bounds) << row.name;
    EXPECT_EQ(raster.GetPropertyText(row.property), row.geo ? "0" : row.value) << row.name;
  }
  FakeRasterServers servers;
  *servers.State = {.Width = 1000, .Height = 800};
  TRaster raster;
  raster.SetFileName("r.bmp");
  raster.SetHorizDPI(254);
  EXPECT_DOUBLE_EQ(raster.GetWidth(), 0.1) << "1000 pixels at 254 dots an inch";
}

TEST_F(RasterTest, WithoutAFileTheResolutionLeavesTheRectangle) {
  TRaster closed;
  closed.SetBounds({1, 2, 5, 7});
  closed.SetHorizDPI(0);
  closed.SetVertDPI(254);
  EXPECT_EQ(Bounds(closed), (std::vector<double>{1, 2, 4, 5}));
  EXPECT_EQ(closed.GetVertDPI(), 254);
}

TEST_F(RasterTest, TalksToItsServersInOrder) {
  FakeRasterServers servers;
  servers.State->Width = 10, servers.State->Height = 10;
  servers.State->Notes = "poznámka";
  {
    TRaster raster;
    EXPECT_EQ(Join(servers.State->Calls, " "), "entry 1:=1 entry 20:=raster");
    servers.State->Calls.clear();
    raster.SetFileName("a.bmp");
    raster.SetFileName("b.bmp");
    EXPECT_EQ(Join(servers.State->Calls, " "),
              "1 2:=a.bmp 28(a.bmp,1,2) 19 1 30(False) 2:=b.bmp 28(b.bmp,1,2) 19");
    servers.State->Calls.clear();
    EXPECT_EQ(raster.GetFileName(), "b.bmp");
    servers.State->Calls.clear();
  }
  EXPECT_EQ(Join(servers.State->Calls, " "), "1 30(False)") << "closed when freed";
  RunMessages();
  EXPECT_EQ(log.Log(), "8<nil poznámka, 8<nil poznámka") << "what the opening noticed is logged";
}

TEST_F(RasterTest, AFailedOpeningRaisesAndKeepsTheRectangle) {
  FakeRasterServers servers;
  *servers.State = {.Width = 10, .Height = 20};
  TRaster raster;
  raster.SetFileName("a.bmp");
  servers.State->FailOpen = true;
  servers.State->Width = 99;
  EXPECT_EQ(ErrorOf<platform::ERasterServerError>([&] { raster.SetFileName("b.bmp"); }), "b.bmp: nelze otevřít");
  EXPECT_EQ(Bounds(raster), (std::vector<double>{0, 0, 10, 20}));
}

TEST_F(RasterTest, OpensPicturesThroughTheLocalServers) {
  struct Row {
    const char* file;
    std::vector<double> bounds;
    bool geo;
  };
  const Row rows[] = {
      {"colour.jpg", {-1000.5, -2000 - 48 * 0.5, 64 * 0.5, 48 * 0.5}, true},
      {"mono.bmp", {0, 0, 13, 6}, false},
  };
  for (const Row& row : rows) {
    TRaster raster;
    raster.SetFileName(kSamples + row.file);
    EXPECT_EQ(raster.GetGeoRaster(), row.geo) << row.file;
    EXPECT_EQ(Bounds(raster), row.bounds) << row.file;
  }
}

TEST_F(RasterTest, PathIsTheFolderOfTheFileName) {
  struct Row {
    const char* file;
    const char* path;
    const char* written;  // the path written
    const char* moved;    // the file name after
  };
  const Row rows[] = {
      {"C:\\A\\B.BMP", "C:\\A\\", "D:\\IMG", "D:\\IMG\\B.BMP"},
      {"/a/b.bmp", "/a/", "/img", "/img/b.bmp"},
      {"/a/b.bmp", "/a/", "/img/", "/img/b.bmp"},
      {"b.bmp", "", "/img", "/img/b.bmp"},
      {"/a/b.bmp", "/a/", "", "b.bmp"},
  };
  for (const Row& row : rows) {
    TBMPFileElement element;
    element.SetBounds({1, 2, 3, 4});
    element.SetFileName(row.file);
    EXPECT_EQ(element.GetPropertyText("Path"), row.path) << row.file;
    SetPropertyTextByName(element, "Path", row.written);
    EXPECT_EQ(element.GetFileName(), row.moved) << row.file << " into " << row.written;
    EXPECT_EQ(Bounds(element), (std::vector<double>{1, 2, 2, 2})) << "a file element does not move";
  }
}

TEST_F(RasterTest, AModelNamingARasterThatNoLongerOpensLoadsTheRest) {
  TempFolder folder;
  std::filesystem::copy_file(kSamples + "mono.bmp", folder.File("r.bmp"));
  {
    TRectEntity model;
    auto* raster = CreateElement<TRaster>();
    raster->SetFileName(folder.File("r.bmp"));
    raster->Color = 255;
    model.AddElement(raster);
    auto* other = Named<TRectEntity>("other", &model);
    other->SetBounds({1, 2, 3, 4});
    TSave save;
    save.FileName = folder.File("model.kes");
    save.SetInput(&model);
    save.DoIt();
  }
  std::ofstream(folder.File("r.bmp"), std::ios::trunc) << "no picture";
  TLoad load;
  load.FileName = folder.File("model.kes");
  load.DoIt();
  std::unique_ptr<TElement> loaded(load.Output());
  auto* model = DynamicCast<TRectEntity>(loaded.get());
  ASSERT_TRUE(model);
  ASSERT_EQ(model->GetCount(), 2);
  auto* raster = DynamicCast<TRaster>(model->GetElement(0));
  ASSERT_TRUE(raster);
  EXPECT_EQ(Bounds(*raster), (std::vector<double>{0, 0, 13, 6})) << "the stored rectangle";
  EXPECT_EQ(raster->Color, 255);
  EXPECT_EQ(Bounds(*static_cast<TRectEntity*>(model->GetElement(1))), (std::vector<double>{1, 2, 2, 2}));
  EXPECT_EQ(Boxes(), std::vector<std::string>{"Property Set Error TRaster FileName"});
}
