#pragma once
// A region quadtree over the map plane.  Every cell is a square whose corner
// and side are whole map units; a leaf holds the elements filed in it (shared
// with their other owners), a split cell holds its four quarters.  An element
// is filed in every leaf its box meets, so it may sit in several leaves.  The
// root grows on the integer grid when an element falls outside it.
#include <cstdint>

#include "spatial/geometry/geometry_elements.h"

class TSpaceEntity;

class TQTree : public TRectEntity {
  KESTX_CLASS(TQTree)
 public:
  // Leaves never split below this side: quarters of side 0 could not hold
  // what the leaf holds.
  static constexpr int MinSplitWidth = 2;
  // The largest side a tree takes; an element that would need more is
  // refused, as are boxes with a coordinate beyond it.
  static constexpr std::int64_t MaxWidth = std::int64_t{1} << 30;

  // Depth when the cell was made; cells moved under a grown root keep it.
  std::int32_t Level = 0;

  double GetQXMin() const { return GetMinX(); }
  void SetQXMin(double value) { SetMinX(value); }
  double GetQYMin() const { return GetMinY(); }
  void SetQYMin(double value) { SetMinY(value); }
  std::int32_t GetQWidth() const { return qWidth_; }
  // Max follows the corner: set the corner first.
  void SetQWidth(std::int32_t value);
  bool IsLeaf() const;

  virtual int GetCapacity() const = 0;
  virtual void GetElementBounds(TElement* Element, double& MinX, double& MinY, double& MaxX, double& MaxY) const = 0;
  virtual bool ElementMeetsRect(TElement* Element, double MinX, double MinY, double MaxX, double MaxY) const;

  // The normal way to file an element: sets or grows the root square first.
  // False (with a log line) when the element is refused.
  bool AddAndGrow(TElement* Element);
  // Files by the element's bounds without growing the root.
  bool AddByBounds(TElement* Element);
  // These three raise Exception for a box that is empty, holds NaN or needs
  // a side beyond MaxWidth; the tree is then unchanged.
  void Insert(TElement* Element, double MinX, double MinY, double MaxX, double MaxY);
  void SetSquareFor(double MinX, double MinY, double MaxX, double MaxY);
  // On an empty root, sets the square as SetSquareFor does.
  void Expand(double MinX, double MinY, double MaxX, double MaxY);

  bool SquareMeetsRect(double MinX, double MinY, double MaxX, double MaxY) const;
  bool SquareContainsRect(double MinX, double MinY, double MaxX, double MaxY) const;
  bool SquareContainsSquare(std::int64_t X, std::int64_t Y, std::int64_t W) const;
  bool AnyElementMeetsRect(double MinX, double MinY, double MaxX, double MaxY);

  // Entries summed over the leaves (an element in three leaves counts three).
  int GetElementsCount() const;
  int GetLeavesCount() const;

 private:
  void SetSquare(std::int64_t X, std::int64_t Y, std::int64_t W);
  // The four quarters of this cell's square, not yet added to it.
  void MakeQuarters(TQTree* (&quarters)[4]) const;
  void Split();
  // Logs why an element is not filed; false for the caller to return.
  bool Refuse(TElement* Element, const char* why);
  // Raises for a box that is empty, holds NaN or lies beyond MaxWidth.
  void RefuseUnfileable(double MinX, double MinY, double MaxX, double MaxY) const;
  // Growing the root to the box would need a side beyond MaxWidth.
  bool ExpandWouldOverflow(double MinX, double MinY, double MaxX, double MaxY) const;

  std::int32_t qWidth_ = 0;
};

// A tree of rect entities: they are filed under their own bounds.
class TSpaceEntityQTree : public TQTree {
  KESTX_CLASS(TSpaceEntityQTree)
 public:
  int GetCapacity() const override { return 64; }
  void GetElementBounds(TElement* Element, double& MinX, double& MinY, double& MaxX, double& MaxY) const override;
  // Files a rect entity; anything else is ignored.
  void SetNextSpaceEntity(TSpaceEntity* Entity);
};

// The element's first owner that is a tree cell and its index there; Cell is
// nil and Index unchanged when there is none.
void QTreeOwnerOf(TElement* Element, TQTree*& Cell, int& Index);

// One running search over a tree: depth first, quarters in order, elements
// in filing order; an element filed in several leaves comes once for each.
class TQTreeWalker {
 public:
  virtual ~TQTreeWalker() = default;

  double MinX = 0;
  double MinY = 0;
  double MaxX = 0;
  double MaxY = 0;
  TQTree* Current = nullptr;
  int NextIndex = 0;
  double Tol = 0;

  virtual bool NodeMeetsRect(const TQTree* Cell) const;
  TElement* FindFirst(TQTree* Tree, double MinX, double MinY, double MaxX, double MaxY, double Tol);
  TElement* FindNext();

 private:
  // The cell the search started from: it does not climb above it.
  TQTree* root_ = nullptr;
  // Whether the current cell holds elements rather than quarters.
  bool currentIsLeaf_ = false;
};

void RegisterE_QTreeClasses();
