#include "block/topology/node_building.h"

#include <cmath>
#include <exception>
#include <memory>
#include <vector>

#include "framework/core/class_registry.h"
#include "platform/app_queue.h"
#include "platform/dialogs.h"
#include "spatial/geometry/plane_math.h"
#include "spatial/objects/space_entities.h"
#include "spatial/topology/topology_nodes.h"

namespace {

void ShowError(const std::string& text) { platform::MessageDlg(text, platform::MsgDlgType::Error, platform::mbOK); }

// A property of the line's property object as an integer; 0 without one.
int IntegerProperty(const TElement* element, const std::string& name) {
  return element->HasProperty(name) ? element->GetPropertyInteger(name) : 0;
}

// Length() != 0 without summing the whole line: the distances are never
// negative, so the first one that is not 0 decides.
bool HasLength(const TPolyLineElement& line) {
  const int count = line.VertexCount();
  const T2DCoordinate* previous = line.Vertex(0);
  for (int i = 1; i < count; ++i) {
    const T2DCoordinate* current = line.Vertex(i);
    if (previous && current &&
        Mathlib::Distance(previous->GetX(), previous->GetY(), current->GetX(), current->GetY()) != 0)
      return true;
    previous = current;
  }
  return false;
}

// The leaf's line-end list of that name, freed and cleared.
void FreeList(TSpaceLineBegEndCell& cell, TElement* list) {
  if (list) cell.FreeElement(list);
}

TNodeBranch* BranchAt(const TNode& node, std::size_t index) {
  const auto& children = node.Children();
  return index < children.size() ? DynamicCast<TNodeBranch>(children[index]) : nullptr;
}

// The branch's opposite and its node.
struct TOpposite {
  TNode* Node = nullptr;
  TNodeBranch* Branch = nullptr;
};
TOpposite OppositeOf(const TNodeBranch& branch) {
  TOpposite opposite;
  branch.GiveLineSecondNodeBranch(opposite.Node, opposite.Branch);
  return opposite;
}

// Frees a branch and, when no other branch of its node keeps the line, lets
// the node go of the line too.
void FreeBranch(TNode& node, TNodeBranch* branch) {
  TPolyLineElement* line = branch->GetLine();
  node.FreeElement(branch);
  if (line && !node.FindBranch(line, true) && !node.FindBranch(line, false)) node.FreeElement(line);
}

// The lines of a leaf lie scattered over a large map, and each is a header
// with blocks of its own (vertex list, vertices, holder and owner lists,
// bounds) that the leaf's walk reads one after another.  They are asked for
// in sweeps over the leaf's lists before the walk, each sweep reading only
// what the one before asked for, so that the loads of a whole leaf overlap
// instead of following each other.
void ApproachLeafLines(const TSpaceLineBegEndCell& cell) {
  const TPolyLineString* lists[] = {cell.Begins(), cell.Ends()};
  const auto eachLine = [&lists](auto visit) {
    for (const TPolyLineString* list : lists)
      if (list)
        for (TElement* element : list->Children())
          if (element) visit(*element);
  };
  eachLine([](const TElement& line) { __builtin_prefetch(&line); });
  eachLine([](TElement& element) {
    if (const auto* line = DynamicCast<TPolyElement>(&element)) {
      line->PrefetchChildren();
      line->PrefetchHolders();
      line->PrefetchOwners();
      line->PrefetchBounds();
    }
  });
  eachLine([](TElement& element) {
    const auto* line = DynamicCast<TPolyElement>(&element);
    if (!line || line->Children().empty()) return;
    __builtin_prefetch(line->Children().front());
    __builtin_prefetch(line->Children().back());
  });
}

// The far-node links of a leaf step from each branch to its line, to the
// line's owners and on to the far node; over a large map each step is a load
// from afar.  The first steps are asked for in sweeps over the leaf's nodes,
// as for the lines above, for the branches still without a far node; lines
// keeps them between the sweeps.  (Asking for the far node's branches as
// well cost more in a small map than it saved in a large one.)
void ApproachFarNodes(const TOwnerEntity& nodes, std::vector<const TPolyElement*>& lines) {
  lines.clear();
  for (const TElement* element : nodes.Children())
    if (const auto* node = DynamicCast<TNode>(element))
      for (const TElement* child : node->Children()) {
        const auto* branch = DynamicCast<TNodeBranch>(child);
        if (!branch) break;
        if (branch->GetFarNode()) continue;
        if (const TPolyElement* line = branch->GetLine()) {
          __builtin_prefetch(line);
          lines.push_back(line);
        }
      }
  for (const TPolyElement* line : lines) line->PrefetchOwners();
  for (const TPolyElement* line : lines)
    for (int i = 0, count = line->GetOwnersCount(); i < count; ++i) __builtin_prefetch(line->GetOwner(i));
}

}  // namespace

// ---------------------------------------------------------------- line ends into nodes

TOwnerEntity* NodesOfCell(const TSpaceLineBegEndCell* Cell) {
  return Cell ? DynamicCast<TOwnerEntity>(Cell->FindElementByName("NODES")) : nullptr;
}

TOwnerEntity* TPutLinesIntoNodes::Nodes() const { return static_cast<TOwnerEntity*>(nodes_.Get()); }

// One leaf of a pass over many: the pass shows the gauge and the cursor and
// holds the messages, so the leaf's walk runs bare.
void TPutLinesIntoNodes::DoIt() {
  auto* cell = DynamicCast<TSpaceLineBegEndCell>(Input());
  if (Busy() || !cell || !cell->Last()) return;
  nodes_.Set(NodesOfCell(cell));
  SetBusy(true);
  struct Idle {
    TTool& tool;
    ~Idle() { tool.SetBusy(false); }
  } idle{*this};
  ApproachLeafLines(*cell);
  Walk();
}

bool TPutLinesIntoNodes::QGoInside(TElement* element) {
  // Asked of every line of the leaf: the class is asked once.
  static const TClass rectEntity = TRectEntity::StaticClass();
  static const TClass polyLine = TPolyLineElement::StaticClass();
  static const TClass lineString = TPolyLineString::StaticClass();
  if (!element) return false;
  const TClass cls = element->ClassType();
  if (!cls->InheritsFrom(rectEntity) || cls->InheritsFrom(polyLine)) return false;
  const bool named = cls->InheritsFrom(lineString);
  if (named && element->GetName() == "BEGINS") {
    BothEnds = false;
    AtBegin = true;
  } else if (named && element->GetName() == "ENDS") {
    BothEnds = false;
    AtBegin = false;
  } else {
    BothEnds = true;
  }
  return true;
}

TOwnerEntity& TPutLinesIntoNodes::NodesMadeOnDemand() {
  if (TOwnerEntity* nodes = Nodes()) return *nodes;
  auto* nodes = new TOwnerEntity;
  nodes->SetName("NODES");
  static_cast<TEntity*>(Input())->AddElement(nodes);
  nodes_.Set(nodes);
  return *nodes;
}

void TPutLinesIntoNodes::Process(TElement* element) {
  platform::Application::Instance().ProcessMessages();
  auto* line = static_cast<TPolyLineElement*>(element);
  // A line without length leaves its node in no direction: the face walks
  // could not order it among the others.
  if (line->VertexCount() < 2 || !HasLength(*line)) {
    if (BothEnds || AtBegin)
      Log("Linie č. " + std::to_string(line->GetSpaceID()) + " má nulovou délku, do uzlů nevstupuje");
    line->SetIsDone(true);
    ++Count;
    return;
  }
  NodesMadeOnDemand();
  if (BothEnds || AtBegin) AttachLineEnd(line, true);
  if (BothEnds || !AtBegin) AttachLineEnd(line, false);
  line->SetIsDone(true);
  ++Count;
}

TNode* TPutLinesIntoNodes::FindNode(double X, double Y) const {
  const TOwnerEntity* nodes = Nodes();
  if (!nodes) return nullptr;
  for (TElement* child : nodes->Children()) {
    auto* node = DynamicCast<TNode>(child);
    if (node && std::fabs(node->GetX() - X) < Tolerance && std::fabs(node->GetY() - Y) < Tolerance) return node;
  }
  return nullptr;
}

void TPutLinesIntoNodes::AttachLineEnd(TPolyLineElement* Line, bool Begin) {
  const T2DCoordinate* end = Line->VertexAt(0, Begin);
  if (!end) return;
  TNode* node = FindNode(end->GetX(), end->GetY());
  if (!node) {
    node = new TNode;
    NodesMadeOnDemand().AddElement(node);
  }
  node->AddLine(Line, Begin);
}

// ---------------------------------------------------------------- leaf passes

void TPutNodesIntoQTree::Process(TElement* element) {
  ++Count;
  TPutLinesIntoNodes putter;
  putter.SetInput(element);
  putter.DoIt();
  SetGaugeProgress(Count);
}

void TDeleteDirectRelationsToLinesInQTree::Process(TElement* element) {
  ++Count;
  auto* cell = static_cast<TSpaceLineBegEndCell*>(element);
  FreeList(*cell, cell->Begins());
  FreeList(*cell, cell->Ends());
  SetGaugeProgress(Count);
}

void TNodesConector::Process(TElement* element) {
  ++Count;
  SetGaugeProgress(Count);
  try {
    TOwnerEntity* nodes = NodesOfCell(static_cast<TSpaceLineBegEndCell*>(element));
    if (!nodes) return;
    ApproachFarNodes(*nodes, approached_);
    TNodeConector conector;
    conector.JoinDifferentLines = JoinDifferentLines;
    conector.DeletePseudoNode = DeletePseudoNodes;
    conector.MaxCoordsCount = MaxCoordsCount;
    for (int i = 0; i < nodes->GetCount();) {
      const int before = nodes->GetCount();
      if (auto* node = DynamicCast<TNode>(nodes->GetElement(i))) {
        conector.SetInput(node);
        conector.DoIt();
      }
      // A node freed by a join leaves its place to the next one.
      if (nodes->GetCount() == before) ++i;
    }
  } catch (const std::exception&) {
    ShowError("TNodesConector.Process: Chyba");
  }
}

void TRemoveSingleLinesInQTree::Process(TElement* element) {
  ++Count;
  SetGaugeProgress(Count);
  try {
    TOwnerEntity* nodes = NodesOfCell(static_cast<TSpaceLineBegEndCell*>(element));
    if (!nodes) return;
    for (int i = nodes->GetCount() - 1; i >= 0; --i) {
      if (i >= nodes->GetCount()) continue;
      auto* node = DynamicCast<TNode>(nodes->GetElement(i));
      // A node left without branches by an earlier dangle goes as well.
      if (!node || node->GetBranchCount() > 1) continue;
      for (int b = node->GetBranchCount() - 1; b >= 0; --b) {
        TNodeBranch* branch = BranchAt(*node, static_cast<std::size_t>(b));
        if (!branch || !branch->GetLine()) continue;
        const TOpposite far = OppositeOf(*branch);
        if (far.Branch) FreeBranch(*far.Node, far.Branch);
      }
      nodes->FreeElement(node);
    }
  } catch (const std::exception& e) {
    ShowError(std::string("TRemoveSingleLinesInQTree.Process: Chyba ") + e.what());
  }
}

// ---------------------------------------------------------------- one node

void TNodeConector::DoIt() {
  auto* node = DynamicCast<TNode>(Input());
  if (!node) return;
  try {
    if (DeletePseudoNode && node->GetBranchCount() == 2 && JoinAtPseudoNode(node)) {
      if (auto* owner = DynamicCast<TEntity>(node->GetOwnerByClass(TEntity::StaticClass()))) owner->FreeElement(node);
      else DisposeElement(node);
      return;
    }
    ConnectFarNodes(node);
  } catch (const std::exception&) {
    ShowError("TNodeConector.Process: Chyba");
  }
}

void TNodeConector::ConnectFarNodes(TNode* Node) {
  for (std::size_t i = 0; TNodeBranch* branch = BranchAt(*Node, i); ++i) {
    if (branch->GetFarNode()) continue;
    const TOpposite far = OppositeOf(*branch);
    branch->SetFarNode(far.Node);
    if (far.Branch) far.Branch->SetFarNode(Node);
  }
}

bool TNodeConector::JoinAtPseudoNode(TNode* Node) {
  TNodeBranch* b0 = BranchAt(*Node, 0);
  TNodeBranch* b1 = BranchAt(*Node, 1);
  if (!b0 || !b1) return false;
  TPolyLineElement* l0 = b0->GetLine();
  TPolyLineElement* l1 = b1->GetLine();
  if (!l0 || !l1 || l0 == l1) return false;
  if (MaxCoordsCount > 0 && l0->GetCoordsCount() + l1->GetCoordsCount() - 1 > MaxCoordsCount) return false;
  const TOpposite farOfL1 = OppositeOf(*b1);
  if (farOfL1.Branch == b0) return false;
  if (!JoinDifferentLines && IntegerProperty(l0, "Druh") != IntegerProperty(l1, "Druh")) return false;
  const TOpposite farOfL0 = OppositeOf(*b0);

  // Everything that can fail comes before the first change: a failed join
  // leaves both lines and the graph as they were.
  std::vector<T2DCoordinate*> moved;  // L1's vertices walked away from the node, its node vertex left out
  try {
    const int count = l1->GetCoordsCount();
    for (int i = 1; i < count; ++i) {
      T2DCoordinate* vertex = l1->VertexAt(i, b1->LineBegin);
      if (!vertex) throw Exception("vertex " + std::to_string(i) + " missing");
      moved.push_back(vertex);
    }
  } catch (const std::exception& e) {
    Log("Chyba při spojování v pseudouzlu linie č." + l0->GetPropertyText("Cislo") + ": " + e.what());
    return false;
  }

  // At L0's begin each vertex goes to the front, so L0 then starts at L1's
  // far end; at its end they are appended.  L1's node vertex stays with L1
  // and dies with it unless L0 shares the very object.
  const bool begin = b0->LineBegin;
  for (T2DCoordinate* vertex : moved) {
    if (begin) l0->InsertElement(0, vertex);
    else l0->AddElement(vertex);
  }
  // L1's branch at its far node gives way to one of L0, and L0's branch at
  // its other end now looks across to L1's far node.
  if (farOfL1.Branch) {
    FreeBranch(*farOfL1.Node, farOfL1.Branch);
    if (TNodeBranch* branch = farOfL1.Node->AddLine(l0, begin)) branch->SetFarNode(farOfL0.Node);
  }
  if (farOfL0.Branch) farOfL0.Branch->SetFarNode(farOfL1.Node);
  DisposeElement(l1);
  l0->CalcBounds();
  l0->PlaceRefAtMiddle();
  return true;
}

// ---------------------------------------------------------------- the chain

TSpaceLineBegEndCell* TMakeNodes::GetNodesQTree() const {
  return DynamicCast<TSpaceLineBegEndCell>(FindElementByClass(TSpaceLineBegEndCell::StaticClass()));
}

TRectEntity* TMakeNodes::BoundsOfLines() const {
  auto found = std::make_unique<TSpaceEntity>();
  {
    THledacLinii finder;
    finder.SetOutput(found.get());
    finder.SetInput(Input());
    finder.DoIt();
  }
  if (!found->IsValid()) return nullptr;
  auto* bounds = new TRectEntity;
  bounds->SetBounds({found->GetMinX(), found->GetMinY(), found->GetMaxX(), found->GetMaxY()});
  return bounds;
}

TSpaceLineBegEndCell* TMakeNodes::BuildNodes() {
  auto* input = DynamicCast<TEntity>(Input());
  if (!input) return nullptr;
  // The line-end index spans the input's bounds; an input without valid
  // ones (an owner of lines, a list whose bounds were never computed) is
  // indexed over its lines' bounds.
  const auto* box = DynamicCast<TRectEntity>(input);
  TRectEntity* lineBounds = box && box->IsValid() ? nullptr : BoundsOfLines();
  if ((!box || !box->IsValid()) && !lineBounds) {
    Log("Uzly nevytvořeny: " + input->GetName() + " nemá platný rozsah a neobsahuje linie s rozsahem");
    return nullptr;
  }
  auto* tree = [this, lineBounds]() -> TSpaceLineBegEndCell* {
    TReadLinesIntoQTree reader;
    reader.SetInput(Input());
    if (lineBounds) reader.AddParameter(lineBounds);
    reader.DoIt();
    return DynamicCast<TSpaceLineBegEndCell>(reader.Output());
  }();
  if (!tree) return nullptr;
  AddElement(tree);
  TPutNodesIntoQTree putter;
  putter.SetInput(tree);
  putter.DoIt();
  TDeleteDirectRelationsToLinesInQTree unlinker;
  unlinker.SetInput(tree);
  unlinker.DoIt();
  TNodesConector conector;
  conector.JoinDifferentLines = JoinDifferentLines;
  conector.DeletePseudoNodes = DeletePseudoNodes;
  conector.SetInput(tree);
  conector.DoIt();
  return tree;
}

TElement* TMakeNodes::CollectLines(TSpaceLineBegEndCell* tree) {
  auto* lines = new TSpaceEntity;
  AddElement(lines);
  THledacLinii searcher;
  searcher.SetOutput(lines);
  searcher.SetInput(tree);
  searcher.DoIt();
  return lines;
}

void TMakeNodes::DoIt() {
  if (TSpaceLineBegEndCell* tree = BuildNodes()) SetOutput(CollectLines(tree));
}

// ---------------------------------------------------------------- classes

TClass TPutLinesIntoNodes::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TPutLinesIntoNodes>("TPutLinesIntoNodes", TProchazecLinii::StaticClass(), "T_Lumar", {});
  return &info;
}

TClass TPutNodesIntoQTree::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TPutNodesIntoQTree>("TPutNodesIntoQTree", TProchazecListuQTreeGauge::StaticClass(), "T_Lumar", {});
  return &info;
}

TClass TDeleteDirectRelationsToLinesInQTree::StaticClass() {
  static const TClassInfo info = DescribeClass<TDeleteDirectRelationsToLinesInQTree>(
      "TDeleteDirectRelationsToLinesInQTree", TProchazecListuQTreeGauge::StaticClass(), "T_Lumar", {});
  return &info;
}

TClass TRemoveSingleLinesInQTree::StaticClass() {
  static const TClassInfo info = DescribeClass<TRemoveSingleLinesInQTree>(
      "TRemoveSingleLinesInQTree", TProchazecListuQTreeGauge::StaticClass(), "T_Lumar", {});
  return &info;
}

TClass TNodeConector::StaticClass() {
  using C = TNodeConector;
  static const TClassInfo info = DescribeClass<C>(
      "TNodeConector", TTool::StaticClass(), "T_Lumar",
      {FieldProp("JoinDifferentLines", &C::JoinDifferentLines), FieldProp("DeletePseudoNode", &C::DeletePseudoNode),
       FieldProp("MaxCoordsCount", &C::MaxCoordsCount)});
  return &info;
}

TClass TNodesConector::StaticClass() {
  using C = TNodesConector;
  static const TClassInfo info = DescribeClass<C>(
      "TNodesConector", TProchazecListuQTreeGauge::StaticClass(), "T_Lumar",
      {FieldProp("JoinDifferentLines", &C::JoinDifferentLines), FieldProp("DeletePseudoNodes", &C::DeletePseudoNodes),
       FieldProp("MaxCoordsCount", &C::MaxCoordsCount)});
  return &info;
}

TClass TMakeNodes::StaticClass() {
  using M = TMakeNodes;
  static const TClassInfo info = DescribeClass<M>(
      "TMakeNodes", TTool::StaticClass(), "T_Lumar",
      {FieldProp("JoinDifferentLines", &M::JoinDifferentLines), FieldProp("DeletePseudoNodes", &M::DeletePseudoNodes),
       NotStored(ReadProp("NodesQTree", &M::GetNodesQTree))});
  return &info;
}

void RegisterNodeBuildingClasses() {
  for (TClass cls : {TPutLinesIntoNodes::StaticClass(), TPutNodesIntoQTree::StaticClass(),
                     TNodesConector::StaticClass(), TDeleteDirectRelationsToLinesInQTree::StaticClass()})
    RegisterKestuClass(cls);
}
