#include "block/topology/area_building.h"

#include <cmath>
#include <exception>
#include <memory>
#include <optional>

#include "block/topology/label_points.h"
#include "framework/core/class_registry.h"
#include "framework/tools/world.h"
#include "platform/app_queue.h"
#include "platform/dialogs.h"
#include "spatial/index/quadtree.h"
#include "spatial/objects/space_entities.h"
#include "spatial/topology/topology_nodes.h"

namespace {

void ShowError(const std::string& text) { platform::MessageDlg(text, platform::MsgDlgType::Error, platform::mbOK); }

TNodeBranch* BranchAt(const TNode& node, std::size_t index) {
  const auto& children = node.Children();
  return index < children.size() ? DynamicCast<TNodeBranch>(children[index]) : nullptr;
}

}  // namespace

// ---------------------------------------------------------------- one ring

void TCreateAreaForBranch::DoIt() {
  SetOutput(nullptr);
  auto* start = DynamicCast<TNodeBranch>(Input());
  if (!start || !start->GetLine() || !start->GetFarNode() || start->GetRightArea() || start->NotRegularArea) return;
  bool closed = false;
  int steps = 0;
  start->TraceArea(areaValue_, closed, steps, true, &ring_);
  // The branches of a ring that is not built stay marked: it is not tried
  // again from any of them, and a walk that meets them ends there unlogged.
  if (!closed) {
    if (steps >= MaxRingSteps)
      Log("Obvod od linie č. " + std::to_string(start->GetLine()->GetSpaceID()) + " se neuzavřel po " +
        std::to_string(steps) + " krocích, plocha nevznikla");
    return;
  }
  // A walk that had no second branch to go to walked no ring.
  if (ring_.empty() || std::fabs(areaValue_) <= MinRingArea) return;
  try {
    SetOutput(BuildRing());
  } catch (const std::exception&) {
    SetOutput(nullptr);
  }
}

TPolyLineAreaElement* TCreateAreaForBranch::BuildRing() {
  // The marking walk summed the same terms in the same order: its value is
  // the ring's.
  const bool holeRing = areaValue_ < 0;
  auto area = std::make_unique<TPolyLineAreaElement>();
  if (holeRing) area->IsHole = true;
  platform::MessageHold hold;
  for (std::size_t i = 0; i < ring_.size(); ++i) {
    TNodeBranch* branch = ring_[i];
    branch->NotRegularArea = false;
    // The start of a hole ring is left without an area.
    branch->SetRightArea(holeRing && i == 0 ? nullptr : area.get());
    area->AddLine(branch->GetLine(), branch->LineBegin);
    if (i > 0) platform::Application::Instance().ProcessMessages();
  }
  // Line ends up to the node tolerance apart meet in one node, so the sum
  // along the lines may differ from the outline's own: an outline that is
  // not one way round by more than the minimum is no area either.
  const double outline = area->WholeArea();
  if (holeRing ? outline >= -MinRingArea : outline <= MinRingArea) return nullptr;
  if (!holeRing && PlaceLabel) {
    TAreaPointPlacer placer;
    placer.AcceptCentre = AcceptLabelCentre;
    placer.SetInput(area.get());
    placer.DoIt();
  }
  return area.release();
}

// ---------------------------------------------------------------- every leaf

TSpaceEntityQTree* TCreateAreasForQTree::AreaQTree() const {
  return static_cast<TSpaceEntityQTree*>(areaQTree_.Get());
}

void TCreateAreasForQTree::DoIt() {
  if (Busy() || !DynamicCast<TOwnerEntity>(Input())) return;
  auto tree = std::make_unique<TSpaceEntityQTree>();
  areaQTree_.Set(tree.get());
  AreaCount = 0;
  TProchazecListuQTreeGauge::DoIt();
  SetOutput(tree.release());
}

void TCreateAreasForQTree::Process(TElement* element) {
  ++Count;
  SetGaugeProgress(Count);
  TOwnerEntity* nodes = NodesOfCell(static_cast<TSpaceLineBegEndCell*>(element));
  TSpaceEntityQTree* tree = AreaQTree();
  if (!nodes || !tree) return;
  TCreateAreaForBranch maker;
  maker.PlaceLabel = PlaceLabels;
  maker.AcceptLabelCentre = AcceptLabelCentres;
  try {
    for (TElement* child : nodes->Children()) {
      auto* node = DynamicCast<TNode>(child);
      if (!node) continue;
      for (std::size_t i = 0; TNodeBranch* branch = BranchAt(*node, i); ++i) {
        // The flag first: it is at hand, the area and line are links to read.
        if (branch->NotRegularArea || branch->GetRightArea() || !branch->GetLine()) continue;
        maker.SetInput(branch);
        maker.DoIt();
        platform::Application::Instance().ProcessMessages();
        auto* area = DynamicCast<TAreaElement>(maker.Output());
        if (!area) continue;
        ++AreaCount;
        tree->SetNextSpaceEntity(area);
        // An area the index refused (it logged why) has no other holder.
        if (area->HolderCount() == 0) DisposeElement(area);
      }
    }
  } catch (const std::exception&) {
    ShowError("Chyba v CreateAreaForQtree");
  }
}

// ---------------------------------------------------------------- holes

TSpaceEntityQTree* TSubAreaMakerInQTree::GetAreaQTree() const {
  return static_cast<TSpaceEntityQTree*>(areaQTree_.Get());
}
void TSubAreaMakerInQTree::SetAreaQTree(TSpaceEntityQTree* tree) { areaQTree_.Set(tree); }

void TSubAreaMakerInQTree::DoIt() {
  auto* tree = DynamicCast<TSpaceEntityQTree>(Input());
  if (Busy() || !tree) return;
  SetAreaQTree(tree);
  TProchazecPlochGauge::DoIt();
}

bool TSubAreaMakerInQTree::Encloses(TAreaElement* candidate, TAreaElement* hole, std::optional<double>& holeArea,
                                    double X, double Y, double& candidateArea) {
  if (candidate->IsHole ||
      !candidate->ContainsRect(hole->GetMinX(), hole->GetMinY(), hole->GetMaxX(), hole->GetMaxY()) ||
      !hole->NoChildHasOwner(candidate))
    return false;
  if (!holeArea) holeArea = hole->WholeArea();
  candidateArea = candidate->WholeArea();
  return -*holeArea < candidateArea && candidate->ContainsPointOutsideHoles(X, Y);
}

void TSubAreaMakerInQTree::Process(TElement* element) {
  ++Count;
  SetGaugeProgress(Count);
  auto* hole = static_cast<TAreaElement*>(element);
  if (!hole->IsHole || hole->GetIsDone()) return;
  TSpaceEntityQTree* tree = GetAreaQTree();
  const T2DCoordinate* first = hole->GetCoord(0);
  if (tree && first) {
    const double x = first->GetX();
    const double y = first->GetY();
    // Summed once a candidate needs it: nothing encloses the outer ring of
    // a map, the longest ring there is.
    std::optional<double> holeArea;
    TAreaElement* best = nullptr;
    double bestArea = 0;
    TQTreeWalker walker;
    for (TElement* found = walker.FindFirst(tree, x, y, x, y, 0); found; found = walker.FindNext()) {
      auto* candidate = DynamicCast<TAreaElement>(found);
      if (!candidate || candidate == best || candidate->IsHole) continue;
      double area = 0;
      if (!Encloses(candidate, hole, holeArea, x, y, area)) continue;
      if (!best || area < bestArea) {
        best = candidate;
        bestArea = area;
      }
    }
    if (best) best->AddHole(hole);
  }
  hole->SetIsDone(true);
}

// ---------------------------------------------------------------- the chain

namespace {

// What a list placer run over the areas gives the areas that got holes after
// their labels were placed; the others keep theirs, already placed so.
void PlaceLabelsOfAreasWithHoles(TAreaString& areas) {
  platform::WaitCursor hourglass;
  TAreaPointPlacer placer;
  placer.AcceptCentre = true;
  for (TElement* child : areas.Children()) {
    auto* area = DynamicCast<TAreaElement>(child);
    const THolesEntity* holes = area ? area->Holes() : nullptr;
    if (!holes || holes->Children().empty()) continue;
    placer.SetInput(area);
    placer.DoIt();
  }
}

}  // namespace

TSpaceEntityQTree* TMakeNodesAndAreas::GetAreasQTree() const {
  for (TElement* child : Children())
    if (auto* tree = DynamicCast<TSpaceEntityQTree>(child)) return tree;
  return nullptr;
}

void TMakeNodesAndAreas::DoIt() {
  TSpaceLineBegEndCell* nodes = BuildNodes();
  if (!nodes) return;
  auto* areas = [nodes]() -> TSpaceEntityQTree* {
    TCreateAreasForQTree creator;
    // Each label is placed as its ring is built, while the ring's lines and
    // vertices are still in the cache, as the placer of the finished list
    // would place it; only areas that get holes below are placed again.
    creator.AcceptLabelCentres = true;
    creator.SetInput(nodes);
    creator.DoIt();
    return creator.AreaQTree();
  }();
  if (!areas) return;
  AddElement(areas);
  TSubAreaMakerInQTree holes;
  holes.SetInput(areas);
  holes.DoIt();
  auto* list = new TAreaString;
  TObjectModel* model = World() ? World()->ObjectModel() : nullptr;
  if (model) model->AddElement(list);
  else AddElement(list);
  THledacPloch collector;
  collector.SetOutput(list);
  collector.SetInput(areas);
  collector.DoIt();
  PlaceLabelsOfAreasWithHoles(*list);
  SetOutput(list);
}

// ---------------------------------------------------------------- classes

TClass TCreateAreaForBranch::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TCreateAreaForBranch>("TCreateAreaForBranch", TTool::StaticClass(), "T_Lumar",
                                          {NotStored(ReadProp("AreaValue", &TCreateAreaForBranch::GetAreaValue))});
  return &info;
}

TClass TCreateAreasForQTree::StaticClass() {
  static const TClassInfo info = DescribeClass<TCreateAreasForQTree>(
      "TCreateAreasForQTree", TProchazecListuQTreeGauge::StaticClass(), "T_Lumar", {});
  return &info;
}

TClass TSubAreaMakerInQTree::StaticClass() {
  using S = TSubAreaMakerInQTree;
  static const TClassInfo info =
      DescribeClass<S>("TSubAreaMakerInQTree", TProchazecPlochGauge::StaticClass(), "T_Lumar",
                       {ReadWriteProp("AreaQTree", &S::GetAreaQTree, &S::SetAreaQTree)});
  return &info;
}

TClass TMakeNodesAndAreas::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TMakeNodesAndAreas>("TMakeNodesAndAreas", TMakeNodes::StaticClass(), "T_Lumar", {});
  return &info;
}

void RegisterAreaBuildingClasses() {
  for (TClass cls : {TCreateAreaForBranch::StaticClass(), TCreateAreasForQTree::StaticClass(),
                     TSubAreaMakerInQTree::StaticClass(), TMakeNodesAndAreas::StaticClass()})
    RegisterKestuClass(cls);
}
