#include "forestry/selectors/neighbour_groups.h"

#include <unordered_set>

#include "block/forest_model/forest_units.h"
#include "forestry/selectors/owned_output.h"
#include "framework/core/class_registry.h"
#include "spatial/objects/space_entities.h"

namespace {

// The stand group whose geometry holds the area.
TPorostniSkupina* GroupOfArea(const TElement& area) {
  for (int i = 0; i < area.GetOwnersCount(); ++i) {
    TElement* geometry = area.GetOwner(i);
    for (int j = 0; geometry && j < geometry->GetOwnersCount(); ++j)
      if (auto* psk = DynamicCast<TPorostniSkupina>(geometry->GetOwner(j))) return psk;
  }
  return nullptr;
}

// A hole stands for the area it is a hole of.
TAreaElement* AreaOf(TElement* owner) {
  auto* area = DynamicCast<TAreaElement>(owner);
  if (area && area->IsHole) return area->HoleOwnerArea();
  return area;
}

// Every area other than the ring itself that shares one of the ring's lines.
template <class Visit>
void ForAreasSharingLines(TPolyLineAreaElement& ring, const Visit& visit) {
  for (TElement* line : ring.Children()) {
    if (!DynamicCast<TPolyElement>(line)) continue;
    for (int i = 0; i < line->GetOwnersCount(); ++i) {
      TElement* owner = line->GetOwner(i);
      if (owner == &ring) continue;
      if (TAreaElement* other = AreaOf(owner)) visit(*other);
    }
  }
}

}  // namespace

void TFindOkolniSkupiny::DoIt() {
  auto* psk = DynamicCast<TPorostniSkupina>(Input());
  TEntity* neighbours = OwnedOutputEntity(*this);
  if (!psk || !neighbours || psk->NoGeometry()) return;
  auto* geometry = DynamicCast<TEntity>(psk->GetGeometry());
  if (!geometry) return;
  // The set answers "listed already?" in constant time; the output keeps the order groups are met in.
  std::unordered_set<const TElement*> listed(neighbours->Children().begin(), neighbours->Children().end());
  const auto addGroupOf = [&](TAreaElement& area) {
    TPorostniSkupina* other = GroupOfArea(area);
    if (other && other != psk && listed.insert(other).second) neighbours->AddElement(other);
  };
  for (TElement* child : geometry->Children()) {
    auto* area = DynamicCast<TPolyLineAreaElement>(child);
    if (!area) continue;
    ForAreasSharingLines(*area, addGroupOf);
    if (THolesEntity* holes = area->Holes())
      for (TElement* hole : holes->Children())
        if (auto* ring = DynamicCast<TPolyLineAreaElement>(hole)) ForAreasSharingLines(*ring, addGroupOf);
  }
}

TClass TFindOkolniSkupiny::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TFindOkolniSkupiny>("TFindOkolniSkupiny", TTool::StaticClass(), "T_Selectors", {});
  return &info;
}

void RegisterNeighbourGroupClasses() { RegisterKestuClass(TFindOkolniSkupiny::StaticClass()); }
