#include "block/topology/area_extraction.h"

#include <unordered_set>

#include "framework/core/class_registry.h"
#include "spatial/objects/space_entities.h"

// ---------------------------------------------------------------- any lines

TExtractAnyLines::TIndex& TExtractAnyLines::Index() {
  if (!index_) index_ = std::make_shared<TIndex>();
  return *index_;
}

TElement* TExtractAnyLines::GetLines() {
  TIndex& index = Index();
  if (TElement* list = index.list.Get()) return list;
  auto* list = new TPolyLineString;
  AddElement(list);
  index.list.Set(list);
  index.at.clear();
  return list;
}

void TExtractAnyLines::SetLines(TElement* Lines) {
  index_ = std::make_shared<TIndex>();
  index_->list.Set(Lines);
  if (const auto* list = DynamicCast<TEntity>(Lines)) {
    const auto& children = list->Children();
    for (std::size_t i = children.size(); i-- > 0;) index_->at[children[i]] = static_cast<int>(i);
  }
}

void TExtractAnyLines::ShareLines(TExtractAnyLines& other) {
  other.GetLines();
  index_ = other.index_;
}

int TExtractAnyLines::AddLine(TElement* Line) {
  auto* list = DynamicCast<TEntity>(GetLines());
  if (!list || !Line) return -1;
  TIndex& index = Index();
  if (auto found = index.at.find(Line); found != index.at.end() && list->GetElement(found->second) == Line)
    return found->second;
  if (auto* bounded = DynamicCast<TRectEntity>(list)) bounded->AddEntity(Line);
  else list->AddElement(Line);
  const int at = list->GetCount() - 1;
  index.at[Line] = at;
  return at;
}

// ---------------------------------------------------------------- for areas

void TExtractBounderyLinesForArea::DoIt() {
  if (const auto* area = DynamicCast<TEntity>(Input()))
    for (TElement* line : area->Children())
      if (DynamicCast<TPolyLineElement>(line)) AddLine(line);
  SetOutput(GetLines());
}

void TExtractHolesLinesForArea::DoIt() {
  const auto* area = DynamicCast<TAreaElement>(Input());
  if (area && area->Holes()) {
    TExtractBounderyLinesForArea boundary;
    boundary.ShareLines(*this);
    for (TElement* hole : area->Holes()->Children()) {
      boundary.SetInput(hole);
      boundary.DoIt();
    }
  }
  SetOutput(GetLines());
}

void TExtractLinesForAreas::ExtractForArea(TElement* Area) {
  TExtractBounderyLinesForArea boundary;
  boundary.ShareLines(*this);
  boundary.SetInput(Area);
  boundary.DoIt();
}

void TExtractLinesForAreas::DoIt() {
  if (auto* areas = DynamicCast<TEntity>(Input()))
    for (TElement* area : areas->Children()) ExtractForArea(area);
  SetOutput(GetLines());
}

// ---------------------------------------------------------------- sub-areas

TAreaString* TExtractSubAreasForArea::GetSubAreas() {
  if (auto* list = DynamicCast<TAreaString>(subAreas_.Get())) return list;
  auto* list = new TAreaString;
  AddElement(list);
  subAreas_.Set(list);
  return list;
}

void TExtractSubAreasForArea::SetSubAreas(TAreaString* list) { subAreas_.Set(list); }

void TExtractSubAreasForArea::DoIt() {
  SetOutput(nullptr);
  auto* area = DynamicCast<TAreaElement>(Input());
  if (!area || !area->Holes()) return;
  THolesEntity* holes = area->Holes();
  const auto* within = DynamicCast<TEntity>(GetAreaString());
  TAreaString* result = GetSubAreas();
  std::unordered_set<const TElement*> taken;
  // The lines of the holes in a list of their own, freed with the extractor.
  TExtractHolesLinesForArea extractor;
  extractor.SetInput(area);
  extractor.DoIt();
  // Nodes and line lists own the lines too: only areas are taken.
  for (TElement* line : static_cast<TEntity*>(extractor.GetLines())->Children()) {
    for (int i = 0; i < line->GetOwnersCount(); ++i) {
      auto* owner = DynamicCast<TAreaElement>(line->GetOwner(i));
      if (!owner || owner == area || holes->IndexOf(owner) >= 0) continue;
      if (within && within->IndexOf(owner) < 0) continue;
      if (taken.insert(owner).second) result->AddEntity(owner);
    }
  }
  SetOutput(result);
}

// ---------------------------------------------------------------- classes

TClass TExtractAnyLines::StaticClass() {
  using E = TExtractAnyLines;
  static const TClassInfo info = DescribeClass<E>("TExtractAnyLines", TTool::StaticClass(), "T_Lumar",
                                                  {NotStored(AccessorProp<E, TElement*>(
                                                      "Lines", [](const E& e) { return const_cast<E&>(e).GetLines(); },
                                                      [](E& e, TElement* lines) { e.SetLines(lines); }))});
  return &info;
}

#define KESTX_EXTRACTOR_CLASS(Self, Parent)                                                          \
  TClass Self::StaticClass() {                                                                     \
    static const TClassInfo info = DescribeClass<Self>(#Self, Parent::StaticClass(), "T_Lumar", {}); \
    return &info;                                                                                  \
  }

KESTX_EXTRACTOR_CLASS(TExtractAnyLinesForArea, TExtractAnyLines)
KESTX_EXTRACTOR_CLASS(TExtractBounderyLinesForArea, TExtractAnyLinesForArea)
KESTX_EXTRACTOR_CLASS(TExtractHolesLinesForArea, TExtractAnyLinesForArea)
KESTX_EXTRACTOR_CLASS(TExtractLinesForAreas, TExtractAnyLines)

#undef KESTX_EXTRACTOR_CLASS

TClass TExtractSubAreasForArea::StaticClass() {
  using E = TExtractSubAreasForArea;
  static const TClassInfo info =
      DescribeClass<E>("TExtractSubAreasForArea", TTool::StaticClass(), "T_Lumar",
                       {NotStored(AccessorProp<E, TAreaString*>(
                            "SubAreas", [](const E& e) { return const_cast<E&>(e).GetSubAreas(); },
                            [](E& e, TAreaString* list) { e.SetSubAreas(list); })),
                        ReadWriteProp("AreaString", &E::GetAreaString, &E::SetAreaString)});
  return &info;
}

void RegisterAreaExtractionClasses() {
  for (TClass cls : {TExtractAnyLines::StaticClass(), TExtractAnyLinesForArea::StaticClass(),
                     TExtractBounderyLinesForArea::StaticClass(), TExtractHolesLinesForArea::StaticClass(),
                     TExtractLinesForAreas::StaticClass(), TExtractSubAreasForArea::StaticClass()})
    RegisterKestuClass(cls);
}
