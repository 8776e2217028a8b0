#pragma once
// The point export: the points of one list written into a block, each at
// the record of its place in the list.
#include "block/export/export_tools.h"

// Writes the points of the input entity into the block BlockName (TN.PNT
// started anew); the point at index i is object i + 1, so the other
// children leave their records untouched.  A failure on the way, also that
// of the file's last write, is logged with the block's name and raised
// again.
class TExportPointsToLumar : public TExportLumarElements {
  KESTX_CLASS(TExportPointsToLumar)
 public:
  void DoIt() override;
  virtual void ExportPoints();
};
