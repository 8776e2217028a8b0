#include "forestry/reconstruction/clear_areas.h"

#include <map>
#include <utility>

#include "framework/core/class_registry.h"
#include "platform/dialogs.h"
#include "spatial/index/quadtree.h"
#include "spatial/objects/space_entities.h"

namespace {

using Point = std::pair<double, double>;

TPolyElement* LineAt(TPolyLineAreaElement& area, int index) {
  return DynamicCast<TPolyElement>(area.GetElement(index));
}

// Where the boundary line at index starts and ends in its direction.
Point StartOf(TPolyLineAreaElement& area, int index) {
  Point p{0, 0};
  if (TPolyElement* line = LineAt(area, index)) line->GetVertexXY(0, area.GetLineOrigin(index), p.first, p.second);
  return p;
}
Point EndOf(TPolyLineAreaElement& area, int index) {
  Point p{0, 0};
  if (TPolyElement* line = LineAt(area, index)) line->GetVertexXY(0, !area.GetLineOrigin(index), p.first, p.second);
  return p;
}

std::int32_t MarkOf(TPolyLineAreaElement& area, int index) {
  TPolyElement* line = LineAt(area, index);
  return line ? line->ID : TClearAreas::kUnvisited;
}

void SetMark(TPolyLineAreaElement& area, int index, std::int32_t mark) {
  if (TPolyElement* line = LineAt(area, index)) line->ID = mark;
}

}  // namespace

void TClearAreas::DoIt() {
  Processed = 0;
  if (auto* tree = DynamicCast<TSpaceEntityQTree>(Input())) {
    outputTree_.Set(tree);
    TProchazecPlochGauge::DoIt();
  } else if (auto* area = DynamicCast<TPolyLineAreaElement>(Input())) {
    outputTree_.Set(nullptr);
    Process(area);
  }
}

void TClearAreas::Process(TElement* element) {
  auto* area = DynamicCast<TPolyLineAreaElement>(element);
  if (area && area->GetCalculatedArea() > 0 && !area->GetIsDone()) ClearArea(*area);
}

TClearAreas::Ring TClearAreas::WalkRing(TPolyLineAreaElement& area, int start) const {
  Ring ring;
  const int count = area.GetCount();
  const Point begin = StartOf(area, start);
  for (int step = 0, at = start; step < count; ++step, at = (at + 1) % count) {
    if (TPolyElement* line = LineAt(area, at)) ring.Sum += line->AreaTerm(area.GetLineOrigin(at));
    ring.Lines.push_back(at);
    if (EndOf(area, at) == begin) {
      ring.Closed = true;
      break;
    }
  }
  return ring;
}

bool TClearAreas::HeldBothWays(const TElement* line) const {
  const auto use = uses_.find(line);
  return use != uses_.end() && use->second.Forward && use->second.Backward;
}

void TClearAreas::MarkInnerRing(TPolyLineAreaElement& area, int start) {
  const Ring ring = WalkRing(area, start);
  if (!ring.Closed) {
    platform::ShowMessage("Bad ring");
    return;
  }
  if (ring.Sum > 0) return;
  for (int at : ring.Lines)
    SetMark(area, at, HeldBothWays(area.GetElement(at)) ? kBothSides : kInnerRing);
}

void TClearAreas::BuildRing(TPolyLineAreaElement& area, int first, const RingStarts& starts) {
  // A ring goes on with the line that starts where the last one ended, the
  // next in boundary order when several do.
  const int count = area.GetCount();
  auto* made = CreateElement<TPolyLineAreaElement>();
  std::vector<int> used;
  const Point begin = StartOf(area, first);
  Point reached = begin;
  bool closed = false;
  for (int step = 0, at = first; step < count && at >= 0; ++step) {
    made->AddLine(LineAt(area, at), area.GetLineOrigin(at));
    SetMark(area, at, kUsed);
    used.push_back(at);
    reached = EndOf(area, at);
    if (reached == begin) {
      closed = true;
      break;
    }
    const auto next = starts.find(reached);
    const int from = at;
    at = -1;
    if (next == starts.end()) continue;
    for (int candidate : next->second)
      if (MarkOf(area, candidate) == kInnerRing && (at < 0 || (at < from && candidate > from))) at = candidate;
  }
  if (!closed) {
    // The lines stay with the area they came from.
    for (int at : used) SetMark(area, at, kUnvisited);
    delete made;
    platform::ShowMessage("Area " + std::to_string(area.GetSpaceID()) + ":Bad ring near " +
                          FloatToText(reached.first) + "; " + FloatToText(reached.second));
    return;
  }
  made->CalcBounds();
  made->IsHole = made->GetCalculatedArea() < 0;
  HandOver(made);
}

void TClearAreas::HandOver(TPolyLineAreaElement* made) {
  if (auto* tree = DynamicCast<TSpaceEntityQTree>(outputTree_.Get())) {
    tree->SetNextSpaceEntity(made);
    return;
  }
  auto* output = DynamicCast<TEntity>(Output());
  if (!output) {
    output = CreateElement<TOwnerEntity>();
    AddElement(output);
    SetOutput(output);
  }
  output->AddElement(made);
}

void TClearAreas::ClearArea(TPolyLineAreaElement& area) {
  ++Processed;
  SetGaugeProgress(Processed);
  const int count = area.GetCount();
  uses_.clear();
  for (int at = 0; at < count; ++at) {
    SetMark(area, at, kUnvisited);
    LineUse& use = uses_[area.GetElement(at)];
    (area.GetLineOrigin(at) ? use.Forward : use.Backward) = true;
    use.At.push_back(at);
  }
  for (int at = 0; at < count; ++at) {
    TPolyElement* line = LineAt(area, at);
    if (!line || line->ID != kUnvisited || !HeldBothWays(line)) continue;
    line->ID = kBothSides;
    // The ring behind either side of the connecting line: whichever of the
    // two is the inner one, whatever line the boundary list starts with.
    MarkInnerRing(area, (at + 1) % count);
    for (int other : uses_[line].At)
      if (other > at) MarkInnerRing(area, (other + 1) % count);
  }
  // Marks only leave "inner ring" while rings are built, so the lines that
  // may go on a ring are gathered once; BuildRing checks each mark as it goes.
  RingStarts starts;
  for (int at = 0; at < count; ++at)
    if (MarkOf(area, at) == kInnerRing) starts[StartOf(area, at)].push_back(at);
  for (int at = 0; at < count; ++at)
    if (MarkOf(area, at) == kInnerRing) BuildRing(area, at, starts);
  // Every line of a mark but "unvisited" leaves: the mark is the line's, so
  // all its occurrences go together, in one pass over the boundary.
  const std::vector<TElement*> gone = area.RemoveElementsIf([](TElement* element) {
    const auto* line = DynamicCast<TPolyElement>(element);
    return line && line->ID != kUnvisited;
  });
  // A connecting line nobody else holds goes with its last occurrence.
  std::unordered_map<const TElement*, std::size_t> last;
  for (std::size_t i = 0; i < gone.size(); ++i) last[gone[i]] = i;
  for (std::size_t i = 0; i < gone.size(); ++i)
    if (last[gone[i]] == i && gone[i]->HolderCount() == 0 && gone[i]->GetOwnersCount() == 0) delete gone[i];
  uses_.clear();
  area.CalcBounds();
  area.SetIsDone(true);
}

TClass TClearAreas::StaticClass() {
  using E = TClearAreas;
  static const TClassInfo info = DescribeClass<E>(
      "TClearAreas", TProchazecPlochGauge::StaticClass(), "T_Helcle",
      {FieldProp("DontRemoveConectionAreaArea", &E::DontRemoveConectionAreaArea)});
  return &info;
}

void RegisterClearAreasClasses() { RegisterKestuClass(TClearAreas::StaticClass()); }
