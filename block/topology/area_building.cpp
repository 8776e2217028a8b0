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
#include "spatial/geometry/intersections.h"
#include "spatial/index/box_tree.h"
#include "spatial/index/quadtree.h"
#include "spatial/objects/space_entities.h"
#include "spatial/topology/topology_nodes.h"

namespace {

void ShowError(const std::string& text) { platform::MessageDlg(text, platform::MsgDlgType::Error, platform::mbOK); }

TNodeBranch* BranchAt(const TNode& node, std::size_t index) {
  const auto& children = node.Children();
  return index < children.size() ? DynamicCast<TNodeBranch>(children[index]) : nullptr;
}

// Every vertex of the area's lines in walking order, each line whole, and
// where each line begins; false (the outline readers' own rules then apply)
// for a child that is no line, a line without vertices or a missing vertex.
bool ReadLineVertices(const TPolyLineAreaElement& area, std::vector<TRealPoint>& points,
                      std::vector<std::size_t>& starts) {
  points.clear();
  starts.clear();
  const auto& children = area.Children();
  for (std::size_t i = 0; i < children.size(); ++i) {
    const auto* line = DynamicCast<TPolyLineElement>(children[i]);
    if (!line || line->Children().empty()) return false;
    // A polyline's vertices are its children, as its VertexAt reads them.
    const auto& vertices = line->Children();
    const std::size_t count = vertices.size();
    const bool forward = area.GetLineOrigin(static_cast<int>(i));
    starts.push_back(points.size());
    for (std::size_t v = 0; v < count; ++v) {
      const auto* vertex = DynamicCast<T2DCoordinate>(vertices[forward ? v : count - 1 - v]);
      if (!vertex) return false;
      points.push_back({vertex->GetX(), vertex->GetY()});
    }
  }
  return true;
}

// The outline's sum as WholeArea takes it, term for term: each line's
// vertices but its last, the ring closed at the first.
double OutlineSum(const std::vector<TRealPoint>& points, const std::vector<std::size_t>& starts) {
  const TRealPoint* first = nullptr;
  const TRealPoint* previous = nullptr;
  double sum = 0;
  for (std::size_t l = 0; l < starts.size(); ++l) {
    const std::size_t end = l + 1 < starts.size() ? starts[l + 1] : points.size();
    for (std::size_t i = starts[l]; i + 1 < end; ++i) {
      const TRealPoint* current = &points[i];
      if (previous) sum += (current->X - previous->X) * (current->Y + previous->Y) / 2;
      else first = current;
      previous = current;
    }
  }
  if (first) sum += (first->X - previous->X) * (first->Y + previous->Y) / 2;
  return sum;
}

// The ring the area's OutlineRing reads: all of the first line, all but the
// first vertex of every later one.
std::vector<TRealPoint> OutlineRingOf(const std::vector<TRealPoint>& points, const std::vector<std::size_t>& starts) {
  std::vector<TRealPoint> ring;
  ring.reserve(points.size());
  for (std::size_t l = 0; l < starts.size(); ++l) {
    const std::size_t end = l + 1 < starts.size() ? starts[l + 1] : points.size();
    ring.insert(ring.end(), points.begin() + static_cast<std::ptrdiff_t>(starts[l] + (l == 0 ? 0 : 1)),
                points.begin() + static_cast<std::ptrdiff_t>(end));
  }
  return ring;
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
  // not one way round by more than the minimum is no area either.  The
  // lines' vertices are read once for that sum and for the label.
  const bool read = ReadLineVertices(*area, ringPoints_, lineStarts_);
  const double outline = read ? OutlineSum(ringPoints_, lineStarts_) : area->WholeArea();
  area->KeepWholeArea(outline);
  if (holeRing ? outline >= -MinRingArea : outline <= MinRingArea) return nullptr;
  if (!holeRing && PlaceLabel) {
    TAreaPointPlacer placer;
    placer.AcceptCentre = AcceptLabelCentre;
    if (read) {
      placer.PlaceOnOutline(*area, OutlineRingOf(ringPoints_, lineStarts_));
    } else {
      placer.SetInput(area.get());
      placer.DoIt();
    }
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

// A candidate's outline sum, its outline as an index by height, and its
// holes by their boxes: one stand may enclose tens of thousands of islands,
// and each asks whether its point lies inside the stand and outside the
// holes the stand took before it.  Nothing changes the areas while the pass
// walks, and the holes it finds are given only when it is done: until then
// the encloser answers for them.
class TSubAreaMakerInQTree::TEncloser {
 public:
  explicit TEncloser(TAreaElement& area) : Area(area.WholeArea()), outline_(area.OutlineRing()), holes_({}) {
    if (const THolesEntity* holes = area.Holes())
      for (TElement* child : holes->Children())
        if (auto* hole = DynamicCast<TAreaElement>(child)) AddHole(hole);
  }

  // As the area's ContainsPointOutsideHoles answers, the holes it is to take
  // counted as taken.
  bool ContainsOutsideHoles(double X, double Y) {
    if (!outline_.Contains({X, Y})) return false;
    found_.clear();
    holes_.Search({X, Y, X, Y}, found_);
    for (const std::size_t id : found_)
      if (filed_[id]->OutlineContainsPoint(X, Y)) return false;
    for (const TAreaElement* hole : boxless_)
      if (hole->OutlineContainsPoint(X, Y)) return false;
    return true;
  }

  // A hole the area is to take once the pass is done.
  void Take(TAreaElement* hole) {
    AddHole(hole);
    Taken.push_back(hole);
  }

  const double Area;
  std::vector<TAreaElement*> Taken;

 private:
  // The hole's box is filed as it is now; one without a box is always read.
  void AddHole(TAreaElement* hole) {
    if (!hole->IsValid()) {
      boxless_.push_back(hole);
      return;
    }
    holes_.File(filed_.size(), {hole->GetMinX(), hole->GetMinY(), hole->GetMaxX(), hole->GetMaxY()});
    filed_.push_back(hole);
  }

  AnalInt::TRingIndex outline_;
  TBoxTree holes_;
  std::vector<TAreaElement*> filed_;  // by id in holes_
  std::vector<TAreaElement*> boxless_;
  std::vector<std::size_t> found_;
};

TSubAreaMakerInQTree::TSubAreaMakerInQTree() = default;
TSubAreaMakerInQTree::~TSubAreaMakerInQTree() = default;

TSpaceEntityQTree* TSubAreaMakerInQTree::GetAreaQTree() const {
  return static_cast<TSpaceEntityQTree*>(areaQTree_.Get());
}
void TSubAreaMakerInQTree::SetAreaQTree(TSpaceEntityQTree* tree) { areaQTree_.Set(tree); }

void TSubAreaMakerInQTree::DoIt() {
  auto* tree = DynamicCast<TSpaceEntityQTree>(Input());
  if (Busy() || !tree) return;
  SetAreaQTree(tree);
  // Read afresh by every run: the areas may have changed in between.
  enclosers_.clear();
  takers_.clear();
  TProchazecPlochGauge::DoIt();
  // The holes go to their areas once the walk is done, each area's in the
  // order they were found: while it ran, the enclosers answered for them.
  // An area held in every leaf of the index takes its many holes at once.
  for (TAreaElement* area : takers_) area->AddHoles(enclosers_[area]->Taken);
  takers_.clear();
  enclosers_.clear();
}

TSubAreaMakerInQTree::TEncloser& TSubAreaMakerInQTree::EncloserOf(TAreaElement* candidate) {
  std::unique_ptr<TEncloser>& encloser = enclosers_[candidate];
  if (!encloser) encloser = std::make_unique<TEncloser>(*candidate);
  return *encloser;
}

bool TSubAreaMakerInQTree::Encloses(TAreaElement* candidate, TAreaElement* hole, std::optional<double>& holeArea,
                                    double X, double Y, double& candidateArea) {
  if (candidate->IsHole ||
      !candidate->ContainsRect(hole->GetMinX(), hole->GetMinY(), hole->GetMaxX(), hole->GetMaxY()) ||
      !hole->NoChildHasOwner(candidate))
    return false;
  if (!holeArea) holeArea = hole->WholeArea();
  TEncloser& encloser = EncloserOf(candidate);
  candidateArea = encloser.Area;
  return -*holeArea < candidateArea && encloser.ContainsOutsideHoles(X, Y);
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
    if (best) {
      TEncloser& encloser = EncloserOf(best);
      if (encloser.Taken.empty()) takers_.push_back(best);
      encloser.Take(hole);
    }
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
