#pragma once
// The line export: the guide export's road into a block.  The lines of one
// list are numbered 1, 2, 3 ..., linked to the lines they meet at their
// nodes, and written into the block's TN.LIN and TN.CRD.
#include <array>
#include <vector>

#include "block/export/export_tools.h"

class TNode;
class TNodeBranch;
class TPolyLineElement;
class TLumarLineProps;

// The node at one end of a line, the line's branch there and the branches
// before and after it around the node.
struct TLineEnd {
  TNode* Node = nullptr;
  TNodeBranch* Branch = nullptr;
  TNodeBranch* Previous = nullptr;
  TNodeBranch* Next = nullptr;
};
// A line's beginning [0] and end [1]; none at an end without a node.
using TLineEnds = std::array<TLineEnd, 2>;
// Both ends in one look at the line's nodes.
TLineEnds FindLineEnds(const TPolyLineElement& Line);
bool HasBothEnds(const TLineEnds& Ends);

// Numbers the polylines of the input 1 .. n in list order (a line listed
// twice keeps its first number; other children get none) and fills each
// line's links from its nodes.  The input becomes the output.
class TPrepareExportLinesToLumar : public TTool {
  KESTX_CLASS(TPrepareExportLinesToLumar)
 public:
  void DoIt() override;
  // The same with the ends already found by a caller that needed them:
  // Ends[i] belongs to the input's i-th child.
  void PrepareWithEnds(const std::vector<TLineEnds>& Ends);

 private:
  void Prepare(const std::vector<TLineEnds>* Ends);
};

// Writes the polylines of the input entity into the block BlockName, which
// is made when missing; TN.LIN and TN.CRD are started anew.  A failure
// part-way is logged with the block's name and raised again: the block then
// holds the whole lines written before it.
class TExportLinesToLumar : public TExportLumarElements {
  KESTX_CLASS(TExportLinesToLumar)
 public:
  void DoIt() override;
  // The user stopped the last run before its last line.
  bool StoppedByUser() const { return stoppedByUser_; }

 private:
  void Export(TEntity& input);

  bool stoppedByUser_ = false;
};

// Registers the export tools that scripts create by name.
void RegisterT_LumExpClasses();
