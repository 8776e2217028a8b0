#include "block/export/select_lines_from_groups.h"

#include "spatial/objects/space_entities.h"

namespace {

// The owner's group: the first owner of it (of the outer area for a hole)
// whose ID is GroupId; nil when none.
const TElement* GroupOf(const TElement* owner, std::int32_t GroupId) {
  if (const auto* area = DynamicCast<TAreaElement>(owner); area && area->IsHole)
    if (const TAreaElement* outer = area->HoleOwnerArea()) owner = outer;
  for (int i = 0; i < owner->GetOwnersCount(); ++i)
    if (const TElement* group = owner->GetOwner(i); group && group->ID == GroupId) return group;
  return nullptr;
}

}  // namespace

bool TSelectLinesFromGroups::PassesGroupTest(const TPolyLineElement& Line) const {
  const TElement* owners[2] = {nullptr, nullptr};
  int found = 0;
  for (int i = 0; i < Line.GetOwnersCount() && found < 2; ++i)
    if (const TElement* owner = Line.GetOwner(i)) owners[found++] = owner;
  if (found < 2) return true;
  return GroupOf(owners[0], GroupId) != GroupOf(owners[1], GroupId);
}

void TSelectLinesFromGroups::DoIt() {
  if (Busy() || !DynamicCast<TPolyLineString>(Output())) return;
  TProchazecLiniiGauge::DoIt();
}

void TSelectLinesFromGroups::Process(TElement* element) {
  ++Count;
  SetGaugeProgress(Count);
  auto* line = static_cast<TPolyLineElement*>(element);
  auto* output = DynamicCast<TPolyLineString>(Output());
  // A line shared by two areas is reached through both.
  if (!output || line->GetIsDone()) return;
  line->SetIsDone(true);
  if (PassesGroupTest(*line)) output->AddEntity(line);
}

TClass TSelectLinesFromGroups::StaticClass() {
  using E = TSelectLinesFromGroups;
  static const TClassInfo info = DescribeClass<E>("TSelectLinesFromGroups", TProchazecLiniiGauge::StaticClass(),
                                                  "T_LumExp", {FieldProp("GroupId", &E::GroupId)});
  return &info;
}
