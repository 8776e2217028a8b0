#include "tests/cartography/layouts/sample_layouts.h"

#include <memory>

#include "cartography/layouts/desktop.h"
#include "cartography/layouts/text_block.h"
#include "cartography/layouts/view.h"
#include "framework/stream/kes_saver.h"
#include "framework/values/typed_values.h"
#include "platform/files.h"

namespace {

template <class T>
T* Placed(const std::string& name, const TRealRect& sheet) {
  auto* element = new T;
  element->SetName(name);
  element->SetBounds(sheet);
  return element;
}

TText* Text(const std::string& name, const std::string& text, const TRealRect& sheet) {
  auto* element = Placed<TText>(name, sheet);
  element->Text = text;
  element->FontName = "DejaVu Sans";
  return element;
}

void Save(TElement& element, const std::string& fileName) {
  TSave save;
  save.FileName = fileName;
  save.SetInput(&element);
  save.DoIt();
}

}  // namespace

std::vector<std::string> SampleLegendLines() {
  return {"Smrk ztepilý;SM", "Borovice lesní;BO", "Buk lesní;BK", "Dub letní;DB"};
}

TDesktop* BuildSampleDesktop() {
  auto desktop = std::unique_ptr<TDesktop>(Placed<TDesktop>("List", {0, 0, 0.297, 0.21}));
  auto* model = new TRectEntity;
  model->SetName("Předmět zájmu");
  auto* grid = new TLines;
  grid->Width = grid->Height = 100;
  grid->Color = 0x808080;
  model->AddElement(grid);
  auto* crosses = new TCross;
  crosses->SetStep(500);
  crosses->Size = 40;
  crosses->Color = 0x0000FF;
  model->AddElement(crosses);

  auto* map = Placed<TView>("Mapa", {0.02, 0.03, 0.2, 0.19});
  map->SetScale(5000);
  map->Projection()->SetCenter({-745000, -1045000});
  map->SetModel(model);
  desktop->AddElement(map);
  auto* overview = Placed<TView>("Přehled", {0.21, 0.12, 0.28, 0.19});
  overview->SetScale(20000);
  overview->ControlViewName = "Mapa";
  overview->ModelDeltaX = 500;
  overview->SetModel(model);
  desktop->AddElement(overview);

  desktop->AddElement(Text("Nadpis", "Lesní hospodářský plán", {0.02, 0.195, 0.2, 0.205}));
  auto* frame = Placed<TDrawRectangle>("Rám", {0.01, 0.01, 0.287, 0.2});
  frame->BrushStyle = bsClear;
  frame->PenWidth = 0.0005;
  desktop->AddElement(frame);
  auto* legend = Placed<TTextBlock>("Legenda", {0.21, 0.03, 0.28, 0.1});
  legend->FontName = "DejaVu Sans";
  legend->Delimiter = ";";
  legend->LineHeight = 0.006;
  legend->TextHeight = 0.004;
  for (const std::string& line : SampleLegendLines()) legend->Lines()->NextValue(line);
  legend->SetFileName(kSampleLegendFile);
  desktop->AddElement(legend);
  return desktop.release();
}

TMultiPageDesktop* BuildSampleMultiPageDesktop() {
  auto pages = std::make_unique<TMultiPageDesktop>();
  pages->SetName("Mapové listy");
  pages->NumberTextName = "Číslo";
  pages->LeftNumberTextName = "Vlevo";
  pages->RightNumberTextName = "Vpravo";
  pages->TopNumberTextName = "Nahoře";
  pages->BottomNumberTextName = "Dole";
  pages->NoNumberText = "-";
  for (int i = 0; i < 3; ++i) {
    const double left = 0.2 * i;
    auto* sheet = Placed<TDesktop>("", {left, 0, left + 0.2, 0.3});
    sheet->AddElement(Text("Číslo", "", {left + 0.09, 0.14, left + 0.11, 0.16}));
    sheet->AddElement(Text("Vlevo", "", {left + 0.005, 0.14, left + 0.02, 0.155}));
    sheet->AddElement(Text("Vpravo", "", {left + 0.18, 0.14, left + 0.195, 0.155}));
    sheet->AddElement(Text("Nahoře", "", {left + 0.09, 0.28, left + 0.11, 0.295}));
    sheet->AddElement(Text("Dole", "", {left + 0.09, 0.005, left + 0.11, 0.02}));
    pages->AddElement(sheet);
  }
  pages->FillNumbers();
  return pages.release();
}

void WriteSampleLayouts(const std::string& folder) {
  platform::WriteTextLines(folder + "/" + kSampleLegendFile, SampleLegendLines());
  std::unique_ptr<TDesktop> desktop(BuildSampleDesktop());
  Save(*desktop, folder + "/desktop.kes");
  std::unique_ptr<TMultiPageDesktop> pages(BuildSampleMultiPageDesktop());
  Save(*pages, folder + "/pages.kes");
}
