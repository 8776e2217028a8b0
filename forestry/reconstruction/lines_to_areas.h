#pragma once
// From loose boundary lines to areas: the lines collected from areas, joined
// again with a snap distance, and the areas the joined lines enclose.
#include <unordered_set>
#include <vector>

#include "framework/tools/recursor.h"

class THolesEntity;

// Collects every polyline below the Input, the boundary lines of holes
// included, into its Output (each line once).  The Output is the tool's:
// setting another one frees the previous one.
class TLineExtractor : public TRecursor {
  KESTX_CLASS(TLineExtractor)
 public:
  // Adds new lines with copies of the vertices instead of the lines.
  bool CopyLines = false;

  void SetOutput(TElement* element) override;
  // Makes an owner entity the Output when none is set.
  void DoIt() override;
  bool QGoInside(TElement* element) override;
  bool QProcessBefore(TElement* element) override;
  void Process(TElement* element) override;

 private:
  TElementLink owned_;
  std::unordered_set<const TElement*> taken_;
  // Holes reached during the walk, walked after it: no recursion on how
  // deep holes nest.
  std::vector<TElementLink> holes_;
};

// Joins the lines of its Input (a rect entity) in place: Output := Input.
class TClearLines : public TTool {
  KESTX_CLASS(TClearLines)
 public:
  static constexpr double SnapDistance = 0.01;

  void DoIt() override;
};

// The areas the clean lines of its Input (a rect entity) enclose, holes
// attached and label points placed: Output a new area string, the caller's.
class TAreasFromClearLines : public TTool {
  KESTX_CLASS(TAreasFromClearLines)
 public:
  void DoIt() override;
};

// Joins the lines of its Input and builds their areas.
class TCreateAreasFromLinesTool : public TSeqTechnology {
  KESTX_CLASS(TCreateAreasFromLinesTool)
 public:
  TCreateAreasFromLinesTool();
};

void RegisterLinesToAreasClasses();
