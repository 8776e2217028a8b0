#include "tests/block/guide/sample_guide.h"

#include <memory>

#include "block/guide/guide_model.h"
#include "framework/stream/kes_saver.h"

TGuide* BuildSampleGuide() {
  auto guide = std::make_unique<TGuide>();
  TSMO_50* sheet = guide->CreateSheet50(26, 53, "Nymburk", "NY");
  sheet->Selected = true;
  sheet->CreateDetail10();
  sheet->CreateDetail25();
  // Two of the four 1:25 000 quarters.
  sheet->FindSheet25(0, 0)->Selected = true;
  sheet->FindSheet25(5, 5)->Selected = true;
  // Three 1:10 000 sheets; two of them with their 1:5 000 detail.
  for (const auto& [c, r] : {std::pair{0, 0}, std::pair{2, 4}, std::pair{8, 8}}) sheet->FindSheet10(c, r)->Selected = true;
  for (const auto& [c, r] : {std::pair{0, 0}, std::pair{2, 4}}) sheet->FindSheet10(c, r)->CreateDetail();
  // 1:5 000 sheets, one with its 1:2 000 quarters of which two are chosen.
  sheet->FindSheet5(0, 0)->Selected = true;
  sheet->FindSheet5(1, 1)->Selected = true;
  sheet->FindSheet5(3, 5)->Selected = true;
  TSMO_5* five = sheet->FindSheet5(1, 1);
  five->CreateDetail();
  for (int i : {0, 3}) {
    auto* two = static_cast<TMapSpace*>(five->GetRow(i / 2)->GetCell(i % 2));
    two->Selected = true;
  }
  // The user's own map spaces, one of them not marked as chosen.
  struct Space {
    const char* name;
    double minX, minY, maxX, maxY;
    bool selected;
  };
  const Space spaces[] = {
      {"Obora Kněžičky", -670000, -1075000, -667500, -1072000, true},
      {"Polabí", -662000, -1068000, -656000, -1064000, true},
      {"Návrh", -660000, -1078000, -659000, -1077000, false},
  };
  for (const Space& s : spaces) {
    auto* space = new TUserMapSpace();
    space->SetName(s.name);
    space->SetBounds({s.minX, s.minY, s.maxX, s.maxY});
    space->SetScale(10000);
    space->Selected = s.selected;
    guide->UserMapSpaces()->AddElement(space);
  }
  return guide.release();
}

void WriteSampleGuide(const std::string& fileName) {
  std::unique_ptr<TGuide> guide(BuildSampleGuide());
  TSave save;
  save.FileName = fileName;
  save.SetInput(guide.get());
  save.DoIt();
}
