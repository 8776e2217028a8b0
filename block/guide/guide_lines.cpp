#include "block/guide/guide_lines.h"

#include <memory>

#include "block/guide/guide_model.h"
#include "block/props/lumar_props.h"
#include "framework/core/class_registry.h"
#include "spatial/objects/space_entities.h"

namespace {

// The frame's line properties: kind 1, colour 13, symbol 0.
constexpr std::int16_t kFrameDruh = 1;
constexpr std::int16_t kFrameBarva = 13;
constexpr std::int16_t kFrameZnacka = 0;

}  // namespace

void TSelectGuideLines::Prepare() {
  TRecursor::Prepare();
  walked_.clear();
}

bool TSelectGuideLines::QProcessBefore(TElement* element) {
  return DynamicCast<TMapSpace>(element) && !walked_.contains(element);
}

bool TSelectGuideLines::QGoInside(TElement* element) {
  return TRecursor::QGoInside(element) && walked_.insert(element).second;
}

void TSelectGuideLines::Process(TElement* element) {
  struct Series {
    TClass cls;
    bool TSelectGuideLines::*flag;
    const char* name;
  };
  const Series series[] = {
      {TGuidePage_50::StaticClass(), &TSelectGuideLines::f50_, "50"},
      {TGuidePage_25::StaticClass(), &TSelectGuideLines::f25_, "25"},
      {TGuidePage_10::StaticClass(), &TSelectGuideLines::f10_, "10"},
      {TGuidePage_5::StaticClass(), &TSelectGuideLines::f5_, "5"},
      {TGuidePage_2::StaticClass(), &TSelectGuideLines::f2_, "2"},
      {TUserMapSpace::StaticClass(), &TSelectGuideLines::fUser_, "User"},
  };
  auto* space = DynamicCast<TMapSpace>(element);
  if (!space) return;
  for (const Series& s : series) {
    if (space->ClassType() != s.cls) continue;
    // A guide keeps the unselected sheets above a selected one: they hold
    // its place in the tree but are not the user's choice.  User map spaces
    // are all the user's own.
    const bool chosen = s.cls == TUserMapSpace::StaticClass() || space->Selected;
    if (this->*s.flag && chosen) AddSheetFrame(s.name, space);
    return;
  }
}

void TSelectGuideLines::AddSheetFrame(const std::string& Name, TRectEntity* Sheet) {
  auto* output = DynamicCast<TEntity>(Output());
  if (!Input() || !output || !Sheet) return;
  if (!Sheet->IsValid()) {
    Log("Mapový prostor " + Sheet->GetName() + " nemá rozsah, rámeček nevytvořen");
    return;
  }
  auto* lines = DynamicCast<TPolyLineString>(output->GetOrCreateElement(TPolyLineString::StaticClass(), Name));
  if (!lines) {
    Log("Prvek " + Name + " není řetězec linií, rámeček listu " + Sheet->GetName() + " nevytvořen");
    return;
  }
  auto frame = std::make_unique<TPolyLineElement>();
  const double minX = Sheet->GetMinX();
  const double minY = Sheet->GetMinY();
  const double maxX = Sheet->GetMaxX();
  const double maxY = Sheet->GetMaxY();
  frame->AddVertex(minX, minY);
  frame->AddVertex(maxX, minY);
  frame->AddVertex(maxX, maxY);
  frame->AddVertex(minX, maxY);
  frame->AddVertex(minX, minY);
  auto* props = new TLumarLineProps;
  props->Druh = kFrameDruh;
  props->Barva = kFrameBarva;
  props->Znacka = kFrameZnacka;
  frame->SetProperties(props);
  frame->CalcBounds();
  lines->AddEntity(frame.release());
}

TClass TSelectGuideLines::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TSelectGuideLines>("TSelectGuideLines", TRecursor::StaticClass(), "T_Lumar", {});
  return &info;
}

void RegisterGuideLineClasses() { RegisterKestuClass(TSelectGuideLines::StaticClass()); }
