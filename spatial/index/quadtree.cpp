#include "spatial/index/quadtree.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <exception>
#include <memory>
#include <vector>

#include "framework/core/class_registry.h"
#include "framework/core/messages.h"
#include "spatial/objects/space_entities.h"

namespace {

// Grid arithmetic on whole map units; div truncates toward zero.
std::int64_t Trunc(double v) { return static_cast<std::int64_t>(v); }
std::int64_t Up(double v) { return v > 0 ? Trunc(v) + 1 : Trunc(v); }
std::int64_t Down(double v) { return v < 0 ? Trunc(v) - 1 : Trunc(v); }

std::int64_t Pow2Above(std::int64_t n) {
  std::int64_t power = 1;
  while (n >= 1 && power <= n) power *= 2;
  return power;
}

// The grid origin of W below v.  Left of zero the origin steps one W further
// out; right of zero it is the multiple of W at or below v, so that the
// square starting there contains v.
std::int64_t Align(std::int64_t W, double v) {
  if (W <= 0) return std::llround(v);
  if (v > 0) return (Trunc(v) / W) * W;
  return (Down(v) / W - 1) * W;
}

struct AxisSquare {
  std::int64_t Origin;
  std::int64_t Width;
};

AxisSquare SquareOfAxis(double Lo, double Hi) {
  std::int64_t W = Pow2Above(Up(std::fabs(Hi - Lo)));
  const std::int64_t O = Align(W, Lo);
  while (O + W < Hi) W *= 2;
  return {O, W};
}

// The root's origin and side on one axis after growing to [Lo, Hi].
AxisSquare GrownAxis(std::int64_t O, std::int64_t W, double Lo, double Hi) {
  if (!(O > Lo || O + W < Hi)) return {O, W};
  const std::int64_t origin = O > Lo ? O - ((O - Down(Lo)) / W + 1) * W : O;
  const double hi = std::max(Hi, static_cast<double>(O + W));
  return {origin, Pow2Above((Up(hi) - origin) / W + 1) * W};
}

bool BoxIsFileable(double MinX, double MinY, double MaxX, double MaxY) {
  const double limit = static_cast<double>(TQTree::MaxWidth);
  // Written so that NaN fails every test.
  return MinX <= MaxX && MinY <= MaxY && MinX >= -limit && MaxX <= limit && MinY >= -limit && MaxY <= limit;
}

// The cells a walk down the tree has still to visit, the next on top.  A
// tree made here is at most about thirty levels deep, so the stack keeps its
// entries inline and filing allocates nothing; a deeper tree (one read from
// a file) spills the rest to the heap rather than being trusted to a bound.
class PendingCells {
 public:
  explicit PendingCells(TQTree* first) { Push(first); }
  bool Empty() const { return size_ == 0; }
  void Push(TQTree* cell) {
    if (size_ < kInline) inline_[size_] = cell;
    else spilled_.push_back(cell);
    ++size_;
  }
  TQTree* Pop() {
    --size_;
    if (size_ < kInline) return inline_[size_];
    TQTree* cell = spilled_.back();
    spilled_.pop_back();
    return cell;
  }
  // The quarters of cell, pushed so that the first comes off first.
  void PushQuarters(TQTree& cell) {
    const auto& quarters = cell.Children();
    for (auto it = quarters.rbegin(); it != quarters.rend(); ++it)
      if (auto* quarter = DynamicCast<TQTree>(*it)) Push(quarter);
  }

 private:
  // Three waiting quarters a level for thirty levels, and the root.
  static constexpr std::size_t kInline = 96;
  std::array<TQTree*, kInline> inline_;
  std::vector<TQTree*> spilled_;
  std::size_t size_ = 0;
};

constexpr const char* kNoValidBounds = "nemá platné hranice";
constexpr const char* kBeyondLargest = "leží mimo největší možný čtverec";

constexpr const char* kQuarterNames[4] = {"Levý dolní čtverec", "Pravý dolní čtverec", "Levý horní čtverec",
                                          "Pravý horní čtverec"};

}  // namespace

// ---------------------------------------------------------------- the square

void TQTree::SetQWidth(std::int32_t value) {
  qWidth_ = value;
  SetMaxX(GetMinX() + value);
  SetMaxY(GetMinY() + value);
}

void TQTree::SetSquare(std::int64_t X, std::int64_t Y, std::int64_t W) {
  SetQXMin(static_cast<double>(X));
  SetQYMin(static_cast<double>(Y));
  SetQWidth(static_cast<std::int32_t>(W));
}

bool TQTree::IsLeaf() const {
  const auto& children = Children();
  return children.empty() || !DynamicCast<TQTree>(children.front());
}

bool TQTree::ElementMeetsRect(TElement* Element, double MinX, double MinY, double MaxX, double MaxY) const {
  const auto* entity = DynamicCast<TRectEntity>(Element);
  return entity && entity->IntersectsRect(MinX, MinY, MaxX, MaxY);
}

bool TQTree::SquareMeetsRect(double MinX, double MinY, double MaxX, double MaxY) const {
  return GetQXMin() <= MaxX && GetQXMin() + qWidth_ >= MinX && GetQYMin() <= MaxY && GetQYMin() + qWidth_ >= MinY;
}

bool TQTree::SquareContainsRect(double MinX, double MinY, double MaxX, double MaxY) const {
  return GetQXMin() <= MinX && MaxX <= GetQXMin() + qWidth_ && GetQYMin() <= MinY && MaxY <= GetQYMin() + qWidth_;
}

bool TQTree::SquareContainsSquare(std::int64_t X, std::int64_t Y, std::int64_t W) const {
  const double x = static_cast<double>(X);
  const double y = static_cast<double>(Y);
  const double w = static_cast<double>(W);
  return x >= GetQXMin() && x + w <= GetQXMin() + qWidth_ && y >= GetQYMin() && y + w <= GetQYMin() + qWidth_;
}

void TQTree::SetSquareFor(double MinX, double MinY, double MaxX, double MaxY) {
  if (MinX > MaxX) std::swap(MinX, MaxX);
  if (MinY > MaxY) std::swap(MinY, MaxY);
  // The empty rectangle (+1e30 to -1e30) swaps into a huge one and is
  // refused here with NaN and the boxes beyond the largest side.
  RefuseUnfileable(MinX, MinY, MaxX, MaxY);
  const AxisSquare x = SquareOfAxis(MinX, MaxX);
  const AxisSquare y = SquareOfAxis(MinY, MaxY);
  const std::int64_t width = std::max(x.Width, y.Width);
  if (width > MaxWidth) throw Exception("QTree " + GetName() + ": " + kBeyondLargest);
  SetSquare(x.Origin, y.Origin, width);
}

void TQTree::RefuseUnfileable(double MinX, double MinY, double MaxX, double MaxY) const {
  if (!BoxIsFileable(MinX, MinY, MaxX, MaxY)) throw Exception("QTree " + GetName() + ": " + kNoValidBounds);
}

bool TQTree::ExpandWouldOverflow(double MinX, double MinY, double MaxX, double MaxY) const {
  if (qWidth_ <= 0) {
    const AxisSquare x = SquareOfAxis(std::min(MinX, MaxX), std::max(MinX, MaxX));
    const AxisSquare y = SquareOfAxis(std::min(MinY, MaxY), std::max(MinY, MaxY));
    return std::max(x.Width, y.Width) > MaxWidth;
  }
  if (SquareContainsRect(MinX, MinY, MaxX, MaxY)) return false;
  const AxisSquare x = GrownAxis(std::llround(GetQXMin()), qWidth_, MinX, MaxX);
  const AxisSquare y = GrownAxis(std::llround(GetQYMin()), qWidth_, MinY, MaxY);
  return std::max(x.Width, y.Width) > MaxWidth;
}

void TQTree::MakeQuarters(TQTree* (&quarters)[4]) const {
  const std::int64_t h = qWidth_ / 2;
  const std::int64_t x = std::llround(GetQXMin());
  const std::int64_t y = std::llround(GetQYMin());
  const std::array<std::array<std::int64_t, 2>, 4> corners{{{x, y}, {x + h, y}, {x, y + h}, {x + h, y + h}}};
  for (int i = 0; i < 4; ++i) {
    auto* quarter = static_cast<TQTree*>(NewElement(ClassType()));
    quarter->SetName(kQuarterNames[i]);
    quarter->Level = Level + 1;
    quarter->SetSquare(corners[static_cast<std::size_t>(i)][0], corners[static_cast<std::size_t>(i)][1], h);
    quarters[i] = quarter;
  }
}

void TQTree::Expand(double MinX, double MinY, double MaxX, double MaxY) {
  RefuseUnfileable(MinX, MinY, MaxX, MaxY);
  // An empty tree has no square to grow from.
  if (qWidth_ <= 0) {
    if (Level == 0) SetSquareFor(MinX, MinY, MaxX, MaxY);
    return;
  }
  if (SquareContainsRect(MinX, MinY, MaxX, MaxY)) return;
  if (ExpandWouldOverflow(MinX, MinY, MaxX, MaxY)) throw Exception("QTree " + GetName() + ": " + kBeyondLargest);
  const std::int64_t oldX = std::llround(GetQXMin());
  const std::int64_t oldY = std::llround(GetQYMin());
  const std::int64_t oldW = qWidth_;
  const AxisSquare x = GrownAxis(oldX, oldW, MinX, MaxX);
  const AxisSquare y = GrownAxis(oldY, oldW, MinY, MaxY);
  const std::int64_t newW = std::max(x.Width, y.Width);
  if (IsLeaf()) {
    if (Level == 0) SetSquare(x.Origin, y.Origin, newW);
    return;
  }
  // The chain of quarters from the new square down to the old one, worked
  // out before anything is detached, so that a failure leaves the tree whole.
  std::vector<int> chain;
  for (std::int64_t cx = x.Origin, cy = y.Origin, w = newW; w > oldW; w /= 2) {
    const std::int64_t h = w / 2;
    const std::array<std::array<std::int64_t, 2>, 4> corners{{{cx, cy}, {cx + h, cy}, {cx, cy + h}, {cx + h, cy + h}}};
    int chosen = -1;
    for (int i = 0; i < 4 && chosen < 0; ++i) {
      const auto [qx, qy] = corners[static_cast<std::size_t>(i)];
      if (oldX >= qx && oldX + oldW <= qx + h && oldY >= qy && oldY + oldW <= qy + h) chosen = i;
    }
    if (chosen < 0) throw Exception("Chyba při rozšiřování QTree");
    chain.push_back(chosen);
    cx = corners[static_cast<std::size_t>(chosen)][0];
    cy = corners[static_cast<std::size_t>(chosen)][1];
  }
  const std::vector<TElement*> oldQuarters(Children().begin(), Children().end());
  for (TElement* quarter : oldQuarters) RemoveElement(quarter);
  SetSquare(x.Origin, y.Origin, newW);
  TQTree* current = this;
  for (int chosen : chain) {
    TQTree* quarters[4];
    current->MakeQuarters(quarters);
    for (TQTree* quarter : quarters) current->AddElement(quarter);
    current = quarters[chosen];
  }
  for (TElement* quarter : oldQuarters) current->AddElement(quarter);
}

// ---------------------------------------------------------------- filing

bool TQTree::Refuse(TElement* Element, const char* why) {
  PostTextMessage(this, msgLogText, "QTree " + GetName() + ": prvek " + Element->GetName() + " " + why + ", nebyl zařazen",
                  nullptr);
  return false;
}

bool TQTree::AddAndGrow(TElement* Element) {
  if (!Element) return false;
  double minX = 0, minY = 0, maxX = 0, maxY = 0;
  GetElementBounds(Element, minX, minY, maxX, maxY);
  if (!BoxIsFileable(minX, minY, maxX, maxY)) return Refuse(Element, kNoValidBounds);
  if (ExpandWouldOverflow(minX, minY, maxX, maxY)) return Refuse(Element, kBeyondLargest);
  if (qWidth_ == 0) SetSquareFor(minX, minY, maxX, maxY);
  else Expand(minX, minY, maxX, maxY);
  Insert(Element, minX, minY, maxX, maxY);
  return true;
}

bool TQTree::AddByBounds(TElement* Element) {
  if (!Element) return false;
  double minX = 0, minY = 0, maxX = 0, maxY = 0;
  GetElementBounds(Element, minX, minY, maxX, maxY);
  if (!BoxIsFileable(minX, minY, maxX, maxY)) return Refuse(Element, kNoValidBounds);
  Insert(Element, minX, minY, maxX, maxY);
  return true;
}

void TQTree::Insert(TElement* Element, double MinX, double MinY, double MaxX, double MaxY) {
  // A box no square meets would leave the element out without a word.
  RefuseUnfileable(MinX, MinY, MaxX, MaxY);
  // The tree may come from a file, so its depth is not trusted to the call
  // stack.
  PendingCells pending(this);
  while (!pending.Empty()) {
    TQTree* cell = pending.Pop();
    try {
      if (!cell->SquareMeetsRect(MinX, MinY, MaxX, MaxY)) continue;
      if (!cell->IsLeaf()) {
        pending.PushQuarters(*cell);
        continue;
      }
      cell->AddElement(Element);
      if (static_cast<int>(cell->Children().size()) > cell->GetCapacity() && cell->qWidth_ >= MinSplitWidth)
        cell->Split();
    } catch (const std::exception& error) {
      // The other quarters are still tried.
      PostTextMessage(this, msgLogText, "Chyba při zařazování do čtverce " + cell->GetName() + ": " + error.what(),
                      nullptr);
    }
  }
}

void TQTree::Split() {
  TQTree* quarters[4];
  MakeQuarters(quarters);
  // Freed should the sharing-out fail; what they took is still held here.
  std::unique_ptr<TQTree> owned[4];
  for (int i = 0; i < 4; ++i) owned[i].reset(quarters[i]);
  // Sharing out changes only the quarters, so the leaf's list is read in place.
  for (TElement* element : Children()) {
    double minX = 0, minY = 0, maxX = 0, maxY = 0;
    GetElementBounds(element, minX, minY, maxX, maxY);
    bool placed = false;
    for (TQTree* quarter : quarters) {
      if (quarter->SquareMeetsRect(minX, minY, maxX, maxY)) {
        quarter->AddElement(element);
        placed = true;
      }
    }
    // An element whose bounds moved away since it was filed stays in the
    // tree rather than being freed with the cleared leaf.
    if (!placed) quarters[0]->AddElement(element);
  }
  Clear();
  for (std::unique_ptr<TQTree>& quarter : owned) AddElement(quarter.release());
}

// ---------------------------------------------------------------- queries

namespace {

// Visits the cells below root depth first in quarter order until visit
// answers true; whether it did.
template <class Visit>
bool AnyCell(TQTree& root, Visit visit) {
  PendingCells pending(&root);
  while (!pending.Empty()) {
    TQTree* cell = pending.Pop();
    if (visit(*cell)) return true;
    if (!cell->IsLeaf()) pending.PushQuarters(*cell);
  }
  return false;
}

}  // namespace

bool TQTree::AnyElementMeetsRect(double MinX, double MinY, double MaxX, double MaxY) {
  // A cell's quarters lie within its square: below a cell whose square
  // misses the rectangle no leaf meets it, and the walk does not go there.
  PendingCells pending(this);
  while (!pending.Empty()) {
    TQTree* cell = pending.Pop();
    if (!cell->SquareMeetsRect(MinX, MinY, MaxX, MaxY)) continue;
    if (!cell->IsLeaf()) {
      pending.PushQuarters(*cell);
      continue;
    }
    for (TElement* element : cell->Children())
      if (element && cell->ElementMeetsRect(element, MinX, MinY, MaxX, MaxY)) return true;
  }
  return false;
}

int TQTree::GetElementsCount() const {
  int count = 0;
  AnyCell(const_cast<TQTree&>(*this), [&count](TQTree& cell) {
    if (cell.IsLeaf()) count += static_cast<int>(cell.Children().size());
    return false;
  });
  return count;
}

int TQTree::GetLeavesCount() const {
  int count = 0;
  AnyCell(const_cast<TQTree&>(*this), [&count](TQTree& cell) {
    if (cell.IsLeaf()) ++count;
    return false;
  });
  return count;
}

void TSpaceEntityQTree::GetElementBounds(TElement* Element, double& MinX, double& MinY, double& MaxX,
                                         double& MaxY) const {
  const auto* entity = DynamicCast<TRectEntity>(Element);
  if (!entity) {
    // Not fileable: the empty box, refused on entry.
    MinX = MinY = TRectangle::EmptyMarker;
    MaxX = MaxY = -TRectangle::EmptyMarker;
    return;
  }
  MinX = entity->GetMinX();
  MinY = entity->GetMinY();
  MaxX = entity->GetMaxX();
  MaxY = entity->GetMaxY();
}

void TSpaceEntityQTree::SetNextSpaceEntity(TSpaceEntity* Entity) {
  if (Entity) AddAndGrow(Entity);
}

void QTreeOwnerOf(TElement* Element, TQTree*& Cell, int& Index) {
  Cell = nullptr;
  if (!Element) return;
  auto* owner = static_cast<TQTree*>(Element->GetOwnerByClass(TQTree::StaticClass()));
  if (!owner) return;
  Cell = owner;
  Index = owner->IndexOf(Element);
}

// ---------------------------------------------------------------- walker

bool TQTreeWalker::NodeMeetsRect(const TQTree* Cell) const {
  return Cell->SquareMeetsRect(MinX - Tol, MinY - Tol, MaxX + Tol, MaxY + Tol);
}

TElement* TQTreeWalker::FindFirst(TQTree* Tree, double MinX_, double MinY_, double MaxX_, double MaxY_,
                                  double Tol_) {
  Current = nullptr;
  root_ = Tree;
  if (!Tree || !Tree->SquareMeetsRect(MinX_ - Tol_, MinY_ - Tol_, MaxX_ + Tol_, MaxY_ + Tol_)) return nullptr;
  MinX = MinX_;
  MinY = MinY_;
  MaxX = MaxX_;
  MaxY = MaxY_;
  Tol = Tol_;
  Current = Tree;
  NextIndex = 0;
  currentIsLeaf_ = Tree->IsLeaf();
  return FindNext();
}

TElement* TQTreeWalker::FindNext() {
  while (Current) {
    const auto& children = Current->Children();
    if (NextIndex >= static_cast<int>(children.size())) {
      // Up one cell; the search ends at the cell it started from, even when
      // that cell sits inside a larger tree.
      if (Current == root_) {
        Current = nullptr;
        break;
      }
      TQTree* owner = nullptr;
      int index = -1;
      QTreeOwnerOf(Current, owner, index);
      Current = owner;
      NextIndex = index + 1;
      currentIsLeaf_ = false;
      continue;
    }
    TElement* child = children[static_cast<std::size_t>(NextIndex)];
    if (!currentIsLeaf_) {
      auto* quarter = DynamicCast<TQTree>(child);
      if (quarter && NodeMeetsRect(quarter)) {
        Current = quarter;
        NextIndex = 0;
        currentIsLeaf_ = quarter->IsLeaf();
      } else {
        ++NextIndex;
      }
      continue;
    }
    ++NextIndex;
    if (child && Current->ElementMeetsRect(child, MinX - Tol, MinY - Tol, MaxX + Tol, MaxY + Tol)) return child;
  }
  return nullptr;
}

// ---------------------------------------------------------------- classes

TClass TQTree::StaticClass() {
  static const TClassInfo info = DescribeClass<TQTree>(
      "TQTree", TRectEntity::StaticClass(), "E_QTree",
      {FieldProp("Level", &TQTree::Level), ReadWriteProp("QWidth", &TQTree::GetQWidth, &TQTree::SetQWidth),
       NotStored(ReadWriteProp("QXMin", &TQTree::GetQXMin, &TQTree::SetQXMin)),
       NotStored(ReadWriteProp("QYMin", &TQTree::GetQYMin, &TQTree::SetQYMin)),
       NotStored(ReadProp("IsLeaf", &TQTree::IsLeaf)),
       NotStored(ReadProp("ElementsCount", &TQTree::GetElementsCount)),
       NotStored(ReadProp("LeavesCount", &TQTree::GetLeavesCount))});
  return &info;
}

TClass TSpaceEntityQTree::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TSpaceEntityQTree>("TSpaceEntityQTree", TQTree::StaticClass(), "E_QTree",
                                       {WriteProp("NextSpaceEntity", &TSpaceEntityQTree::SetNextSpaceEntity)});
  return &info;
}

void RegisterE_QTreeClasses() {
  for (TClass cls : {TQTree::StaticClass(), TSpaceEntityQTree::StaticClass()}) RegisterKestuClass(cls);
}
