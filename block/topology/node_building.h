#pragma once
// Node building: every line end of a loose set of polylines is attached to a
// topology node, ends that coincide share one node, each branch learns the
// node at its line's other end, and (on request) a node where exactly two
// lines meet is removed by joining the two lines into one.  The passes walk
// the leaves of a line-end index; each leaf that received a line end ends up
// holding a "NODES" list with its nodes.
//
// Two ends are one node when |dX| < 0.0001 and |dY| < 0.0001, and only when
// they were filed in the same leaf: ends on either side of a leaf border
// never share a node, however close they are.
#include <cstdint>
#include <vector>

#include "block/topology/walkers.h"

class TNode;
class TNodeBranch;
class TOwnerEntity;
class TPolyElement;
class TPolyLineElement;
class TRectEntity;

// Attaches the line ends of one leaf to that leaf's nodes.
class TPutLinesIntoNodes : public TProchazecLinii {
  KESTX_CLASS(TPutLinesIntoNodes)
 public:
  // The per-axis distance below which two ends are one node.
  static constexpr double Tolerance = 0.0001;

  bool BothEnds = false;
  bool AtBegin = false;

  // Only for a leaf of a line-end index.
  void DoIt() override;
  bool QGoInside(TElement* element) override;
  void Process(TElement* element) override;

  void AttachLineEnd(TPolyLineElement* Line, bool Begin);
  // The first node of the leaf within the tolerance of the point, or nil.
  TNode* FindNode(double X, double Y) const;
  // The leaf's "NODES" list; nil until the first line end.
  TOwnerEntity* Nodes() const;

 private:
  TOwnerEntity& NodesMadeOnDemand();

  TElementLink nodes_;
};

// Builds the nodes of every leaf.
class TPutNodesIntoQTree : public TProchazecListuQTreeGauge {
  KESTX_CLASS(TPutNodesIntoQTree)
 public:
  void Process(TElement* element) override;
};

// Frees the leaves' BEGINS and ENDS lists once the nodes hold the lines.
class TDeleteDirectRelationsToLinesInQTree : public TProchazecListuQTreeGauge {
  KESTX_CLASS(TDeleteDirectRelationsToLinesInQTree)
 public:
  void Process(TElement* element) override;
};

// Connects one node: tells each branch its far node, or removes the node by
// joining its two lines.
class TNodeConector : public TTool {
  KESTX_CLASS(TNodeConector)
 public:
  bool JoinDifferentLines = false;
  bool DeletePseudoNode = false;
  // Most vertices a joined line may have; 0: no limit.
  std::int32_t MaxCoordsCount = 0;

  void DoIt() override;
  // Joins the lines of a node of two branches; true when they were joined
  // (the caller then frees the node).  A join that fails changes nothing and
  // is logged.
  bool JoinAtPseudoNode(TNode* Node);

 private:
  void ConnectFarNodes(TNode* Node);
};

class TNodesConector : public TProchazecListuQTreeGauge {
  KESTX_CLASS(TNodesConector)
 public:
  bool JoinDifferentLines = false;
  bool DeletePseudoNodes = false;
  std::int32_t MaxCoordsCount = 0;

  void Process(TElement* element) override;

 private:
  // The lines of a leaf's open branches, kept from leaf to leaf for room.
  std::vector<const TPolyElement*> approached_;
};

// Removes dangling ends from the graph: a node with one branch goes, and so
// does the branch at its line's other end.  The lines themselves stay.
class TRemoveSingleLinesInQTree : public TProchazecListuQTreeGauge {
  KESTX_CLASS(TRemoveSingleLinesInQTree)
 public:
  void Process(TElement* element) override;
};

// The whole chain: lines into a line-end index, nodes, far-node links and
// pseudo-node joins; Output is a container of the resulting lines.  The
// index and the container are the tool's children.
class TMakeNodes : public TTool {
  KESTX_CLASS(TMakeNodes)
 public:
  bool JoinDifferentLines = false;
  bool DeletePseudoNodes = false;

  TSpaceLineBegEndCell* GetNodesQTree() const;
  void DoIt() override;

 protected:
  // Builds and connects the nodes of Input; the index, or nil (an input
  // without valid bounds and without lines with bounds is named in the log).
  TSpaceLineBegEndCell* BuildNodes();
  // A new rectangle round the bounds of every line below Input; nil when
  // no line has valid bounds.  The caller owns it.
  TRectEntity* BoundsOfLines() const;
  // The lines the nodes hold, each once, in a container that is the tool's
  // child.
  TElement* CollectLines(TSpaceLineBegEndCell* tree);
};

// The "NODES" list of a leaf; nil when it has none.
TOwnerEntity* NodesOfCell(const TSpaceLineBegEndCell* Cell);

void RegisterNodeBuildingClasses();
