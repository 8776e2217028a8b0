#pragma once
// The planar graph that topology building makes from lines: a node is a
// point where line ends meet, and each line end there is a branch.  A node
// keeps its branches in the order of the direction in which their lines
// leave it, so that a walk can turn from one line to the next around a face
// with the face on its right.
#include <memory>
#include <vector>

#include "spatial/geometry/geometry_elements.h"
#include "spatial/objects/space_entities.h"

class TAreaElement;
class TNode;

// The direction a branch's angle is taken from: from the line's end to its
// first vertex apart from the end.
struct TBranchDirection {
  double DX = 0;
  double DY = 0;
  bool HasLine = false;

  // In (0, 2pi]; 0 without a line.
  double Angle() const;
  // Angle() > other.Angle().  Placing a branch compares it with every branch
  // before its place, so the comparison mostly decides from the vectors
  // themselves and takes the two angles only where they lie too close for
  // that, or near the direction where the angles wrap.
  bool AngleAbove(const TBranchDirection& other) const;
};

// One end of one line at a node.  The line, the far node and the area are
// referred to, not owned.
class TNodeBranch : public TElement {
  KESTX_CLASS(TNodeBranch)
 public:
  // The node is at the line's first vertex (else at its last).
  bool LineBegin = false;
  // Already walked by a marking TraceArea.
  bool NotRegularArea = false;

  // Inline: a face walk reads the line of every branch it turns past.
  TPolyLineElement* GetLine() const { return static_cast<TPolyLineElement*>(line_.Get()); }
  void SetLine(TPolyLineElement* Line);
  TAreaElement* GetRightArea() const;
  void SetRightArea(TAreaElement* Area);
  // Inline, as the line is.
  TNode* GetFarNode() const;
  void SetFarNode(TNode* Node);

  // Direction in (0, 2pi] from the branch's end to the next vertex; 0
  // without a line.
  double GetAngle() const;
  TBranchDirection Direction() const;
  double GetX2() const;
  double GetY2() const;
  TAreaElement* GetLeftArea() const;

  // The node and branch of the line's other end (for a ring: the same
  // node's other branch); nil and nil when none.
  void GiveLineSecondNodeBranch(TNode*& Node, TNodeBranch*& Branch) const;
  // Across the line and on to the next branch around the far node.
  TNodeBranch* NextAroundFace(TNode*& Node) const;
  // Walks one face from this branch, adding up the lines' area terms.  With
  // Path, a walk that closes leaves the ring's branches there in walking
  // order (this one first); any other walk leaves it empty.
  void TraceArea(double& Area, bool& Closed, int& Steps, bool Mark, std::vector<TNodeBranch*>* Path = nullptr);

 private:
  TElementLink line_;
  TElementLink rightArea_;
  TElementLink farNode_;
};

// Children: the branches in ascending angle, then their lines, each once.
class TNode : public TRectEntity {
  KESTX_CLASS(TNode)
 public:
  // Nil until the first line end is added.
  T2DCoordinate* Position() const { return position_.get(); }
  double GetX() const;
  double GetY() const;
  int GetBranchCount() const;

  // The branch of that line end, made and placed in angle order when new;
  // nil when it could not be made.
  TNodeBranch* AddLine(TPolyLineElement* Line, bool AtBegin);
  TNodeBranch* FindBranch(const TPolyLineElement* Line, bool AtBegin) const;
  TNodeBranch* NextBranch(const TNodeBranch* Branch) const;
  TNodeBranch* PrevBranch(const TNodeBranch* Branch) const;
  // NextBranch(FindBranch(Line, AtBegin)) in one pass.
  TNodeBranch* BranchAfterLineEnd(const TPolyLineElement* Line, bool AtBegin) const;

 private:
  // The branch Offset places after the first branch that Is picks, wrapping;
  // nil when none does.  One pass over the branches.
  template <class Pick>
  TNodeBranch* BranchBeside(Pick Is, int Offset) const;

  std::unique_ptr<T2DCoordinate> position_;
};

inline TNode* TNodeBranch::GetFarNode() const { return static_cast<TNode*>(farNode_.Get()); }

// Among the line's owners, the first node with a branch for that end.
void FindLineEndNode(TPolyLineElement* Line, bool AtBegin, TNode*& Node, TNodeBranch*& Branch);

void RegisterE_nodeClasses();
