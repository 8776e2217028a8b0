#pragma once
// The line export: the guide export's road into a block.  The lines of one
// list are numbered 1, 2, 3 ..., linked to the lines they meet at their
// nodes, and written into the block's TN.LIN and TN.CRD.
#include "block/export/export_tools.h"

class TPolyLineElement;
class TLumarLineProps;

// Numbers the polylines of the input 1 .. n in list order (a line listed
// twice keeps its first number; other children get none) and fills each
// line's links from its nodes.  The input becomes the output.
class TPrepareExportLinesToLumar : public TTool {
  KESTX_CLASS(TPrepareExportLinesToLumar)
 public:
  void DoIt() override;
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

// The log line of a block left incomplete by a failure.
std::string IncompleteBlockText(const std::string& BlockName, const std::string& Reason);

// Registers the export tools that scripts create by name.
void RegisterT_LumExpClasses();
