#pragma once
// Areas from the node graph: every ring of lines that closes round a face
// becomes an area bounded by those lines (one direction bit per line).  A
// ring walked with its face on the right comes out clockwise (a positive
// sum) round a bounded face, and counter-clockwise round the outside of a
// connected group of lines: that ring becomes a hole, and each hole goes to
// the smallest area that encloses it.
#include <cstdint>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

#include "block/topology/node_building.h"
#include "spatial/geometry/geometry_types.h"

class TAreaElement;
class TPolyLineAreaElement;
class TSpaceEntityQTree;

// Builds the area on the right of one branch.
class TCreateAreaForBranch : public TTool {
  KESTX_CLASS(TCreateAreaForBranch)
 public:
  // The walk limit of a face trace: longer rings are taken for open ones.
  static constexpr int MaxRingSteps = 10000;
  // Rings of no more area than this are no areas (a dangle's two sides).
  static constexpr double MinRingArea = 0.001;

  // Off where the caller places every label afterwards anyway.
  bool PlaceLabel = true;
  // A centre inside the area is taken as it is (as the placer of a finished
  // area list takes it).
  bool AcceptLabelCentre = false;

  double GetAreaValue() const { return areaValue_; }
  // Input a branch with a line and a far node, not yet walked; Output the
  // new area or nil.
  void DoIt() override;

 private:
  // The area of the ring the marking walk left in ring_.
  TPolyLineAreaElement* BuildRing();

  double areaValue_ = 0;
  // The branches of the last ring walked, its start first; kept to spare the
  // allocation on every ring.
  std::vector<TNodeBranch*> ring_;
  // Every vertex of the ring's lines, each line walked its way, and where
  // each line's begin; read once for both the outline's sum and the label.
  std::vector<TRealPoint> ringPoints_;
  std::vector<std::size_t> lineStarts_;
};

// Builds the areas of every leaf's nodes and files them in a new area index.
class TCreateAreasForQTree : public TProchazecListuQTreeGauge {
  KESTX_CLASS(TCreateAreasForQTree)
 public:
  std::int32_t AreaCount = 0;
  // Handed to each area's maker.
  bool PlaceLabels = true;
  bool AcceptLabelCentres = false;

  // The area index being built; nil before DoIt.  Output; the caller owns it.
  TSpaceEntityQTree* AreaQTree() const;
  void DoIt() override;
  void Process(TElement* element) override;

 private:
  TElementLink areaQTree_;
};

// Attaches every hole to the smallest area that encloses it.
class TSubAreaMakerInQTree : public TProchazecPlochGauge {
  KESTX_CLASS(TSubAreaMakerInQTree)
 public:
  TSubAreaMakerInQTree();
  ~TSubAreaMakerInQTree() override;

  TSpaceEntityQTree* GetAreaQTree() const;
  void SetAreaQTree(TSpaceEntityQTree* tree);
  // Input the area index, which is also searched.
  void DoIt() override;
  void Process(TElement* element) override;

 private:
  // What the pass asks of one candidate for every hole near it, read once.
  class TEncloser;

  // Whether the hole may go to candidate, and candidate's area then.  The
  // areas are summed (the hole's once) only for a candidate whose bounds
  // hold the hole's and that shares no line with it (the island's face does).
  bool Encloses(TAreaElement* candidate, TAreaElement* hole, std::optional<double>& holeArea, double X, double Y,
                double& candidateArea);
  TEncloser& EncloserOf(TAreaElement* candidate);

  TElementLink areaQTree_;
  // Only while DoIt runs: nothing else changes the areas then.
  std::unordered_map<const TAreaElement*, std::unique_ptr<TEncloser>> enclosers_;
  // The areas that took holes, in the order each took its first.
  std::vector<TAreaElement*> takers_;
};

// Nodes and areas of a set of lines: Output is a list of the areas (holes
// attached, label points set), which also goes into the world's object
// model.  The line-end index with the nodes and the area index stay the
// tool's children until it is freed: the area export reads the nodes.
class TMakeNodesAndAreas : public TMakeNodes {
  KESTX_CLASS(TMakeNodesAndAreas)
 public:
  TSpaceEntityQTree* GetAreasQTree() const;
  void DoIt() override;
};

void RegisterAreaBuildingClasses();
