#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "cartography/layouts/desktop_interprets.h"
#include "cartography/layouts/text_block.h"
#include "framework/stream/kes_loader.h"
#include "framework/stream/kes_saver.h"
#include "render/rasters/raster.h"
#include "tests/cartography/layouts/layouts_fixture.h"
#include "tests/cartography/layouts/sample_layouts.h"
#include "tests/render/drawing_fixture.h"

namespace {

using LayoutFilesTest = LayoutTest;

std::string FileContent(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::unique_ptr<TElement> Load(const std::string& fileName) {
  TLoad load;
  load.FileName = fileName;
  load.DoIt();
  return std::unique_ptr<TElement>(load.Output());
}

// Class, name and the values that place and draw an element, for the
// element and everything below it (children of views: their model once).
void Describe(TElement& element, std::vector<std::string>& lines, int depth = 0) {
  static const char* const kProperties[] = {"MinX",
                                            "MinY",
                                            "MaxX",
                                            "MaxY",
                                            "Text",
                                            "FontName",
                                            "Scale",
                                            "Angle",
                                            "ModelCenterX",
                                            "ModelCenterY",
                                            "ControlViewName",
                                            "ModelDeltaX",
                                            "PenColor",
                                            "PenStyle",
                                            "PenWidth",
                                            "BrushColor",
                                            "BrushStyle",
                                            "LineHeight",
                                            "TextHeight",
                                            "FileName",
                                            "Delimiter",
                                            "Width",
                                            "Height",
                                            "Color",
                                            "Size",
                                            "NumberTextName",
                                            "NoNumberText"};
  std::string line =
      std::string(static_cast<std::size_t>(depth) * 2, ' ') + element.ClassName() + " " + element.GetName();
  for (const char* name : kProperties)
    if (element.HasProperty(name)) line += " " + std::string(name) + "=" + element.GetPropertyText(name);
  if (auto* view = DynamicCast<TView>(&element)) line += " model=" + (view->Model() ? view->Model()->GetName() : "-");
  lines.push_back(line);
  if (auto* entity = DynamicCast<TEntity>(&element))
    for (TElement* child : entity->Children())
      if (!DynamicCast<TView>(&element) || child != static_cast<TView&>(element).Model())
        Describe(*child, lines, depth + 1);
}

std::string Description(TElement& element) {
  std::vector<std::string> lines;
  Describe(element, lines);
  return Join(lines, "\n");
}

// The desktop drawn at a thousand pixels a sheet unit, row by row.
std::vector<platform::ColorValue> Drawn(TElement& desktop) {
  auto device = MakeBitmapDevice(300, 215);
  device->Projection()->Calculate({0.15, 0.1075}, device->Page(), device->Page()->HRes() / 1000);
  std::unique_ptr<TDesktopInterpret> interpret(CreateElement<TDesktopInterpret>());
  DrawElement(*interpret, desktop, *device);
  std::vector<platform::ColorValue> pixels;
  for (int y = 0; y < 215; ++y)
    for (int x = 0; x < 300; ++x) pixels.push_back(device->Canvas()->Pixel(x, y));
  return pixels;
}

TEST_F(LayoutFilesTest, TheSampleLayoutsAreWhatTheirWriterMakes) {
  TempFolder folder;
  WriteSampleLayouts(folder.Path());
  for (const char* name : {"desktop.kes", "pages.kes", kSampleLegendFile})
    EXPECT_EQ(FileContent(folder.File(name)), FileContent(std::string(KESTX_SAMPLES_DIR) + "/layouts/" + name)) << name;
}

TEST_F(LayoutFilesTest, ADesktopWithViewsTextsTextBlocksAndRastersComesBackFromItsFileAsItWasAndDrawsTheSame) {
  TempFolder folder;
  std::unique_ptr<TDesktop> desktop(BuildSampleDesktop());
  auto* raster = new TRaster;
  raster->SetName("Ortofoto");
  raster->SetFileName(std::string(KESTX_SAMPLES_DIR) + "/pictures/colour.jpg");
  desktop->AddElement(raster);
  // The lines are not stored: the loaded block reads them from its file.
  DynamicCast<TTextBlock>(desktop->FindElementByName("Legenda"))
      ->SetFileName(std::string(KESTX_SAMPLES_DIR) + "/layouts/" + kSampleLegendFile);
  const std::string file = folder.File("desktop.kes");
  {
    TSave save;
    save.FileName = file;
    save.SetInput(desktop.get());
    save.DoIt();
  }
  std::unique_ptr<TElement> loaded = Load(file);
  ASSERT_TRUE(DynamicCast<TDesktop>(loaded.get()));
  EXPECT_EQ(Description(*loaded), Description(*desktop));
  auto* map = DynamicCast<TView>(static_cast<TEntity*>(loaded.get())->FindElementByName("Mapa"));
  auto* overview = DynamicCast<TView>(static_cast<TEntity*>(loaded.get())->FindElementByName("Přehled"));
  ASSERT_TRUE(map && overview);
  EXPECT_EQ(map->Model(), overview->Model()) << "one model for both views";
  EXPECT_EQ(map->Projection()->View(), map) << "the loaded projection is bound to its view";
  EXPECT_EQ(overview->ControlView(), map);
  EXPECT_EQ(Drawn(*loaded), Drawn(*desktop));
}

TEST_F(LayoutFilesTest, TheSampleMultiPageDesktopLoadsWithItsPagesNumbered) {
  std::unique_ptr<TElement> loaded = Load(std::string(KESTX_SAMPLES_DIR) + "/layouts/pages.kes");
  auto* pages = DynamicCast<TMultiPageDesktop>(loaded.get());
  ASSERT_TRUE(pages);
  std::vector<std::string> numbers;
  for (TElement* page : pages->Children()) {
    std::string line = page->GetName() + ":";
    for (const char* name : {"Číslo", "Vlevo", "Vpravo", "Nahoře", "Dole"})
      line += DynamicCast<TText>(static_cast<TEntity*>(page)->FindElementByName(name))->Text;
    numbers.push_back(line);
  }
  EXPECT_EQ(Join(numbers), "Page 1:1-2-- Page 2:213-- Page 3:32---");
  EXPECT_EQ(pages->ActualNumber(), 3);
}

}  // namespace
