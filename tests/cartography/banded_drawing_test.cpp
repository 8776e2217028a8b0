// A page drawn in bands is the page drawn whole, byte for byte: every kind of
// object the tests draw whole, placed to reach over the seams of bands that
// begin at odd rows, a desktop sheet whose views set up their own clip and
// transform, and a raster.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "cartography/layouts/desktop.h"
#include "cartography/layouts/text_block.h"
#include "render/devices/tile_device.h"
#include "render/interprets/interpret_script.h"
#include "render/interprets/script_creator.h"
#include "render/interprets/universal_interpret.h"
#include "render/rasters/raster.h"
#include "spatial/sheets/map_sheets.h"
#include "spatial/topology/topology_nodes.h"
#include "tests/cartography/layouts/sample_layouts.h"
#include "tests/cartography/symbology/block_objects.h"
#include "tests/cartography/symbols/symbol_fixture.h"

namespace {

// Two failed bitmaps split the 250 rows into 4 bands of 63: the seams lie at
// rows 63, 126 and 189.
constexpr int kWidth = 300, kHeight = 250;
constexpr int kSeams[] = {63, 126, 189};

// The map: 10 pixels a world unit, world (0, 0) at the bottom left corner.
double YOfRow(double row) { return (kHeight - row) / 10; }

template <class S>
S* Layer(TEntity& model) {
  auto* layer = new S;
  model.AddElement(layer);
  return layer;
}

// Block objects of every kind the symbology draws, a selection frame, a node,
// a map sheet and grid marks; the area in selected gets a highlight.
std::unique_ptr<TOwnerEntity> Scene(TAreaElement*& selected) {
  auto model = std::make_unique<TOwnerEntity>();
  auto* points = Layer<TPointString>(*model);
  // Crosses and symbols centred one row above a seam, and on one.
  points->AddElement(MakePoint(3, YOfRow(62), 4, 0));
  points->AddElement(MakePoint(5, YOfRow(126), 4, 0));
  points->AddElement(MakePoint(9, YOfRow(188), 2, 1065));
  points->AddElement(MakePoint(12, YOfRow(64), 2, 1065));
  auto* lines = Layer<TPolyLineString>(*model);
  lines->AddElement(MakeLine(4, 3, 0, {{1, 1}, {29, 24}}));
  lines->AddElement(MakeLine(5, 4, 0, {{1, 24}, {29, 2}}));
  lines->AddElement(MakeLine(6, 1001, 0, {{2, 20}, {28, 5}}));
  lines->AddElement(MakeLine(4, 3, 1065, {{5, YOfRow(124)}, {25, YOfRow(124)}}));
  auto* areas = Layer<TAreaString>(*model);
  selected = MakeArea(10, 4, 14, 20, 4);
  areas->AddElement(selected);
  areas->AddElement(MakeArea(16, 3, 22, 22, 2001));
  auto* texts = Layer<TTextString>(*model);
  texts->AddElement(MakeText("Lesy", cpIBM, 4, 3, YOfRow(125)));
  texts->AddElement(MakeText("Lesy", cpIBM, 13, 17, YOfRow(61)));
  auto* frame = new TSelectedElement;
  frame->SetBounds({2, YOfRow(189), 27, YOfRow(63)});
  model->AddElement(frame);
  auto* node = new TNode;
  node->AddLine(WithVertices(new TPolyLineElement, {{24, YOfRow(189)}, {28, 2}}), true);
  model->AddElement(node);
  auto* sheet = new TSMO_5;
  sheet->SetName("M-33-5");
  sheet->SetBounds({1.5, 1.5, 28.5, YOfRow(64)});
  model->AddElement(sheet);
  auto* grid = new TLines;
  grid->Width = grid->Height = 7.3;
  grid->Color = 0x808000;
  grid->PenWidth = 1;
  model->AddElement(grid);
  auto* crosses = new TCross;
  crosses->SetStep(4.1);
  crosses->Size = 1;
  crosses->Color = 0x008080;
  model->AddElement(crosses);
  return model;
}

// The default symbology with nodes and selection frames, and a second pass
// that highlights the selected area.
TInterpretScript* Script(TAreaElement* selected) {
  TUniversalLumarScriptCreator creator;
  creator.DoIt();
  auto* script = DynamicCast<TInterpretScript>(creator.Output());
  for (const auto& [element, interpret] :
       {std::pair("TNode", "TNodeInterpret"), std::pair("TSelectedElement", "TSelectedElementInterpret")}) {
    script->SetNewClassName(element);
    script->SetActualInterpretName(interpret);
  }
  script->SetPassesCount(2);
  script->SetPass(1);
  script->SetNewElement(selected);
  script->SetActualInterpretName("TSelectedSpaceElementInterpret");
  return script;
}

using BandedDrawingTest = SymbolTest;

// The picture of the model under the script, whole or in bands.
std::unique_ptr<TRecordingDevice> Draw(TElement& model, TInterpretScript* script,
                                       const std::function<void(TDevice&)>& place, bool tile) {
  auto device = MakeMapDevice(kWidth, kHeight);
  place(*device);
  TUniversalInterpret universal;
  universal.SetScript(script);
  universal.SetInput(&model);
  universal.Tile = tile;
  universal.AttachDevice(device.get());
  platform::Bitmap::FailNextCreations(tile ? 2 : 0);
  universal.DoIt();
  EXPECT_EQ(universal.TileDevice()->TileCount, tile ? 4 : 0);
  universal.DetachDevice();
  return device;
}

TEST_F(BandedDrawingTest, APageDrawnInBandsIsThePageDrawnWholeByteForByte) {
  TAreaElement* selected = nullptr;
  const std::unique_ptr<TElement> map = Scene(selected);
  const std::unique_ptr<TElement> desktop(BuildSampleDesktop());
  TOwnerEntity pictures;
  auto* raster = new TRaster;
  raster->SetFileName(std::string(KESTX_SAMPLES_DIR) + "/pictures/large.jpg");
  raster->SetBounds({-10, -4, 25, 23});
  pictures.AddElement(raster);
  struct Case {
    const char* name;
    TElement* model;
    std::function<TInterpretScript*()> script;
    std::function<void(TDevice&)> place;
  };
  const Case cases[] = {
      {"block objects, marks and a highlight on a map", map.get(), [&] { return Script(selected); },
       [](TDevice&) {}},
      {"a desktop sheet with its views, texts and legend", desktop.get(),
       [] {
         TUniversalLumarScriptCreator creator;
         creator.DoIt();
         return DynamicCast<TInterpretScript>(creator.Output());
       },
       [&](TDevice& device) {
         const auto& sheet = static_cast<const TRectEntity&>(*desktop);
         device.Projection()->FitRect({sheet.GetMinX(), sheet.GetMinY(), sheet.GetMaxX(), sheet.GetMaxY()});
       }},
      {"a raster drawn in tiles of its own", &pictures,
       [] {
         auto* script = new TInterpretScript;
         script->SetNewClassName("TRaster");
         script->SetActualInterpretName("TRasterInterpret");
         return script;
       },
       [](TDevice&) {}},
  };
  for (const Case& test : cases) {
    const auto whole = Draw(*test.model, test.script(), test.place, false);
    const auto banded = Draw(*test.model, test.script(), test.place, true);
    std::string differ;
    int differing = 0;
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x)
        if (banded->Canvas()->Pixel(x, y) != whole->Canvas()->Pixel(x, y) && ++differing <= 30)
          differ += " (" + std::to_string(x) + "," + std::to_string(y) + ")";
    EXPECT_EQ(differing, 0) << test.name << ":" << differ;
    // Something is drawn near every seam.
    for (const int seam : kSeams) {
      int inked = 0;
      for (int x = 0; x < kWidth; ++x)
        for (int y = seam - 3; y <= seam + 2; ++y) inked += whole->Canvas()->Pixel(x, y) != 0xFFFFFF;
      EXPECT_GT(inked, 20) << test.name << ": seam " << seam;
    }
  }
}

}  // namespace
