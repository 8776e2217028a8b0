#include "render/area_symbols/area_symbol.h"

#include <algorithm>

#include "framework/core/class_registry.h"

void TPlosnaZnacka::UpdateActiveEdges(std::int32_t last, std::int32_t Y, std::int32_t& first, std::int32_t& index) {
  const auto end = std::min<std::int32_t>(last, static_cast<std::int32_t>(Edges.size()) - 1);
  while (first <= end && Edges[static_cast<std::size_t>(first)].TopY >= Y) ++first;
  while (index < first && Edges[static_cast<std::size_t>(index)].Count == 0) ++index;
}

void TPlosnaZnacka::SortActiveEdges(std::int32_t& count, std::int32_t last, std::int32_t first) {
  count = 0;
  first = std::max(first, 0);
  last = std::min<std::int32_t>(last, static_cast<std::int32_t>(Edges.size()) - 1);
  if (first > last) return;
  const auto begin = Edges.begin() + first, end = Edges.begin() + last + 1;
  // Stable: the edges meeting at a vertex keep the order they were entered in.
  std::stable_sort(begin, end, [](const TEdgeRecord& a, const TEdgeRecord& b) {
    if ((a.Count > 0) != (b.Count > 0)) return a.Count == 0;
    return a.X < b.X;
  });
  count = static_cast<std::int32_t>(std::count_if(begin, end, [](const TEdgeRecord& e) { return e.Count > 0; }));
}

void TPlosnaZnacka::StepActiveEdges(std::int32_t first, std::int32_t last) {
  first = std::max(first, 0);
  last = std::min<std::int32_t>(last, static_cast<std::int32_t>(Edges.size()) - 1);
  for (std::int32_t i = first; i <= last; ++i) {
    TEdgeRecord& edge = Edges[static_cast<std::size_t>(i)];
    if (edge.Count <= 0) continue;
    --edge.Count;
    edge.X -= edge.Step;
  }
}

TClass TPlosnaZnacka::StaticClass() {
  static const TClassInfo info = DescribeClass<TPlosnaZnacka>(
      "TPlosnaZnacka", TOwnerElement::StaticClass(), "e_PlZn",
      {FieldProp("TrueColor", &TPlosnaZnacka::TrueColor), FieldProp("ByTrueColor", &TPlosnaZnacka::ByTrueColor),
       FieldProp("FillBackground", &TPlosnaZnacka::FillBackground), FieldProp("Color", &TPlosnaZnacka::Color)});
  return &info;
}

void RegisterAreaSymbolClasses() { RegisterKestuClass(TPlosnaZnacka::StaticClass()); }
