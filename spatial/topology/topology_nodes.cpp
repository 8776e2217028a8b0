#include "spatial/topology/topology_nodes.h"

#include <cmath>
#include <exception>
#include <optional>

#include "framework/core/class_registry.h"
#include "platform/app_queue.h"
#include "platform/dialogs.h"
#include "spatial/geometry/plane_math.h"
#include "spatial/objects/space_entities.h"

namespace {

void ShowError(const std::string& text) { platform::MessageDlg(text, platform::MsgDlgType::Error, platform::mbOK); }

// A face walk longer than this is taken for one that never closes.
constexpr int kMaxTraceSteps = 10000;

}  // namespace

// ---------------------------------------------------------------- branch

TPolyLineElement* TNodeBranch::GetLine() const { return static_cast<TPolyLineElement*>(line_.Get()); }
void TNodeBranch::SetLine(TPolyLineElement* Line) { line_.Set(Line); }
TAreaElement* TNodeBranch::GetRightArea() const { return static_cast<TAreaElement*>(rightArea_.Get()); }
void TNodeBranch::SetRightArea(TAreaElement* Area) { rightArea_.Set(Area); }
TNode* TNodeBranch::GetFarNode() const { return static_cast<TNode*>(farNode_.Get()); }
void TNodeBranch::SetFarNode(TNode* Node) { farNode_.Set(Node); }

double TBranchDirection::Angle() const { return HasLine ? Mathlib::VectorAngle(DX, DY) : 0; }

namespace {

// Sines of angle differences above this are told apart from the vectors: far
// above the rounding of the products and of the angles (about 1e-15), far
// below any angle between two real lines at a node.
constexpr double kClearSine = 1e-9;

// Which side of the angles' wrap a direction lies on: 1 above the X axis
// (angles in (0, pi)), 2 below it (in (pi, 2pi)); 0 too near the axis, or
// not a plain direction (no line, no length, not a number), to say.
int HalfOf(const TBranchDirection& d) {
  if (!d.HasLine) return 0;
  const double across = std::fabs(d.DY);
  if (!(across > kClearSine * std::fabs(d.DX))) return 0;
  return d.DY > 0 ? 1 : 2;
}

}  // namespace

bool TBranchDirection::AngleAbove(const TBranchDirection& other) const {
  const int half = HalfOf(*this);
  const int otherHalf = HalfOf(other);
  if (half != 0 && otherHalf != 0) {
    if (half != otherHalf) return half > otherHalf;
    // Within one half a turn from other to this of less than pi: the cross
    // product's sign is the sign of the angle difference.
    const double cross = other.DX * DY - other.DY * DX;
    const double scale = (std::fabs(DX) + std::fabs(DY)) * (std::fabs(other.DX) + std::fabs(other.DY));
    if (std::fabs(cross) > kClearSine * scale) return cross > 0;
  }
  return Angle() > other.Angle();
}

TBranchDirection TNodeBranch::Direction() const {
  const TPolyLineElement* line = GetLine();
  if (!line) return {};
  double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  line->GetVertexXY(0, LineBegin, x0, y0);
  // A zero-length first segment has no direction: the first vertex apart
  // from the end gives it.
  const int count = line->VertexCount();
  for (int i = 1; i < count; ++i) {
    line->GetVertexXY(i, LineBegin, x1, y1);
    if (x1 != x0 || y1 != y0) break;
  }
  return {x1 - x0, y1 - y0, true};
}

double TNodeBranch::GetAngle() const { return Direction().Angle(); }

double TNodeBranch::GetX2() const {
  double x = 0, y = 0;
  if (const TPolyLineElement* line = GetLine()) line->GetVertexXY(1, LineBegin, x, y);
  return x;
}

double TNodeBranch::GetY2() const {
  double x = 0, y = 0;
  if (const TPolyLineElement* line = GetLine()) line->GetVertexXY(1, LineBegin, x, y);
  return y;
}

TAreaElement* TNodeBranch::GetLeftArea() const {
  TNode* node = nullptr;
  TNodeBranch* opposite = nullptr;
  GiveLineSecondNodeBranch(node, opposite);
  return opposite ? opposite->GetRightArea() : nullptr;
}

void TNodeBranch::GiveLineSecondNodeBranch(TNode*& Node, TNodeBranch*& Branch) const {
  Node = nullptr;
  Branch = nullptr;
  try {
    TPolyLineElement* line = GetLine();
    if (!line) return;
    // Looking for a branch changes no owner list.
    const int owners = line->GetOwnersCount();
    for (int i = 0; i < owners; ++i) {
      auto* node = DynamicCast<TNode>(line->GetOwner(i));
      if (!node) continue;
      TNodeBranch* found = node->FindBranch(line, !LineBegin);
      if (found && found != this) {
        Node = node;
        Branch = found;
        return;
      }
    }
  } catch (const std::exception&) {
    ShowError("TNodeBranch.GiveLineSecondNodeBranch: Chyba");
  }
}

TNodeBranch* TNodeBranch::NextAroundFace(TNode*& Node) const {
  // A connected branch knows the node of the other end: the line's owners
  // (lists, nodes, areas) need not be searched for it.
  if (TNode* far = GetFarNode(); far && GetLine()) {
    if (TNodeBranch* next = far->BranchAfterLineEnd(GetLine(), !LineBegin)) {
      Node = far;
      return next;
    }
  }
  TNodeBranch* opposite = nullptr;
  GiveLineSecondNodeBranch(Node, opposite);
  return opposite ? Node->NextBranch(opposite) : nullptr;
}

void TNodeBranch::TraceArea(double& Area, bool& Closed, int& Steps, bool Mark, std::vector<TNodeBranch*>* Path) {
  if (Path) Path->clear();
  // Whatever way the walk ends but closing, the path it leaves is empty.
  struct KeepOnlyARing {
    std::vector<TNodeBranch*>* path;
    const bool& closed;
    ~KeepOnlyARing() {
      if (path && !closed) path->clear();
    }
  } keep{Path, Closed};
  Closed = true;
  Steps = 1;
  if (Mark) NotRegularArea = true;
  TNode* node = nullptr;
  if (!GetLine() || !GetFarNode()) return;
  TNodeBranch* current = NextAroundFace(node);
  if (!current) return;
  if (Path) Path->push_back(this);
  // Messages run at every step to keep the window alive; none of them may
  // change the graph under the walk.
  platform::MessageHold hold;
  bool metMarked = false;
  try {
    Area = GetLine()->AreaTerm(LineBegin);
    while (current != this && Steps < kMaxTraceSteps && !metMarked) {
      if (current->NotRegularArea) metMarked = true;
      else if (Mark) current->NotRegularArea = true;
      if (Path) Path->push_back(current);
      const TPolyLineElement* line = current->GetLine();
      if (!line) {
        Closed = false;
        return;
      }
      Area += line->AreaTerm(current->LineBegin);
      current = current->NextAroundFace(node);
      if (!current) {
        Closed = false;
        return;
      }
      ++Steps;
      platform::Application::Instance().ProcessMessages();
    }
    if (Steps >= kMaxTraceSteps || metMarked) Closed = false;
  } catch (const std::exception&) {
    Closed = false;
  }
}

// ---------------------------------------------------------------- node

double TNode::GetX() const { return position_ ? position_->GetX() : 0; }
double TNode::GetY() const { return position_ ? position_->GetY() : 0; }

// The branches come first among the children, the lines after them.
int TNode::GetBranchCount() const {
  int count = 0;
  for (const TElement* child : Children()) {
    if (!DynamicCast<TNodeBranch>(child)) break;
    ++count;
  }
  return count;
}

TNodeBranch* TNode::FindBranch(const TPolyLineElement* Line, bool AtBegin) const {
  for (TElement* child : Children()) {
    auto* branch = DynamicCast<TNodeBranch>(child);
    if (!branch) break;
    // The flag is at hand; the line is a link to read.
    if (branch->LineBegin == AtBegin && branch->GetLine() == Line) return branch;
  }
  return nullptr;
}

template <class Pick>
TNodeBranch* TNode::BranchBeside(Pick Is, int Offset) const {
  const auto& children = Children();
  const std::size_t size = children.size();
  std::size_t at = 0;
  for (;; ++at) {
    if (at == size) return nullptr;
    auto* branch = DynamicCast<TNodeBranch>(children[at]);
    if (!branch) return nullptr;
    if (Is(branch)) break;
  }
  // A neighbour within the branches needs no count of them (a face walk
  // turns at every node it passes): those before the picked one are
  // branches, and the ones after it are asked only up to the neighbour.
  const std::ptrdiff_t near = static_cast<std::ptrdiff_t>(at) + Offset;
  auto n = static_cast<std::ptrdiff_t>(at) + 1;
  while (n < static_cast<std::ptrdiff_t>(size) && (near < 0 || n <= near) &&
         DynamicCast<TNodeBranch>(children[static_cast<std::size_t>(n)]))
    ++n;
  // Where the neighbour lies past the first n children, n counts the branches.
  const std::ptrdiff_t beside = near >= 0 && near < n ? near : (near % n + n) % n;
  return static_cast<TNodeBranch*>(children[static_cast<std::size_t>(beside)]);
}

TNodeBranch* TNode::NextBranch(const TNodeBranch* Branch) const {
  return BranchBeside([Branch](const TNodeBranch* b) { return b == Branch; }, 1);
}
TNodeBranch* TNode::PrevBranch(const TNodeBranch* Branch) const {
  return BranchBeside([Branch](const TNodeBranch* b) { return b == Branch; }, -1);
}
TNodeBranch* TNode::BranchAfterLineEnd(const TPolyLineElement* Line, bool AtBegin) const {
  return BranchBeside([=](const TNodeBranch* b) { return b->LineBegin == AtBegin && b->GetLine() == Line; }, 1);
}

TNodeBranch* TNode::AddLine(TPolyLineElement* Line, bool AtBegin) {
  TNodeBranch* branch = nullptr;
  try {
    const T2DCoordinate* end = Line ? Line->VertexAt(0, AtBegin) : nullptr;
    if (!end) throw Exception("no line end");
    if (!position_) position_ = std::make_unique<T2DCoordinate>(end->GetX(), end->GetY());
    if (TNodeBranch* found = FindBranch(Line, AtBegin)) return found;
    auto made = std::make_unique<TNodeBranch>();
    made->SetLine(Line);
    made->LineBegin = AtBegin;
    const auto& children = Children();
    std::size_t at = 0;
    // Taken only when there are branches to place it among: a node's first
    // line end needs no direction.
    std::optional<TBranchDirection> direction;
    while (at < children.size()) {
      const auto* other = DynamicCast<TNodeBranch>(children[at]);
      if (!other) break;
      if (!direction) direction = made->Direction();
      if (other->Direction().AngleAbove(*direction)) break;
      ++at;
    }
    branch = made.release();
    InsertElement(static_cast<int>(at), branch);
    if (IndexOf(Line) < 0) AddEntity(Line);
  } catch (const std::exception&) {
    ShowError("Error: TNode.AddLine");
  }
  return branch;
}

void FindLineEndNode(TPolyLineElement* Line, bool AtBegin, TNode*& Node, TNodeBranch*& Branch) {
  Node = nullptr;
  Branch = nullptr;
  if (!Line) return;
  for (int i = 0; i < Line->GetOwnersCount(); ++i) {
    auto* node = DynamicCast<TNode>(Line->GetOwner(i));
    if (!node) continue;
    if (TNodeBranch* found = node->FindBranch(Line, AtBegin)) {
      Node = node;
      Branch = found;
      return;
    }
  }
}

// ---------------------------------------------------------------- classes

TClass TNodeBranch::StaticClass() {
  using B = TNodeBranch;
  static const TClassInfo info = DescribeClass<B>(
      "TNodeBranch", TElement::StaticClass(), "E_node",
      {FieldProp("LineBegin", &B::LineBegin), FieldProp("NotRegularArea", &B::NotRegularArea),
       ReadWriteProp("RightArea", &B::GetRightArea, &B::SetRightArea), ReadWriteProp("Line", &B::GetLine, &B::SetLine),
       NotStored(ReadProp("Angle", &B::GetAngle)), NotStored(ReadProp("X2", &B::GetX2)),
       NotStored(ReadProp("Y2", &B::GetY2)), NotStored(ReadProp("LeftArea", &B::GetLeftArea))});
  return &info;
}

TClass TNode::StaticClass() {
  static const TClassInfo info = DescribeClass<TNode>(
      "TNode", TRectEntity::StaticClass(), "E_node",
      {NotStored(ReadProp("X", &TNode::GetX)), NotStored(ReadProp("Y", &TNode::GetY)),
       NotStored(ReadProp("BranchCount", &TNode::GetBranchCount))});
  return &info;
}

void RegisterE_nodeClasses() {
  for (TClass cls : {TNode::StaticClass(), TNodeBranch::StaticClass()}) RegisterKestuClass(cls);
}
