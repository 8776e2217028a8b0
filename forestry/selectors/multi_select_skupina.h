#pragma once
// Stand groups touched by a rectangle or a line, and the test whether a line
// touches an area.  The store tools use them to find every stand group an
// edited line belongs to.
#include <memory>
#include <unordered_set>

#include "framework/tools/recursor.h"

class TAreaElement;
class TPolyElement;

// Result: the line (Line) touches the area (Input): a vertex of the line lies
// inside it, or a segment of the line crosses a segment of its outline.
class TSpatialAnalysisTool : public TBooleanTool {
  KESTX_CLASS(TSpatialAnalysisTool)
 public:
  TPolyElement* Line() const;
  void SetLine(TPolyElement* line);

  void DoIt() override;

 private:
  TElementLink line_;
};

// Whether the line touches the area; both need two vertices at least.
bool LineTouchesArea(const TPolyElement& line, const TAreaElement& area);

// Walks the forest hierarchy of the object model (DATA/HIERARCHY) and
// gathers the stand groups whose stand areas the subclass accepts.
class TMultiSelectSkupina : public TRecursor {
  KESTX_CLASS(TMultiSelectSkupina)
 public:
  TMultiSelectSkupina();

  virtual void SetHierarchyAsInput();
  virtual void ClearOutput();
  virtual bool AcceptArea(TAreaElement* area);

  void DoIt() override;
  void Process(TElement* element) override;

 private:
  // While a walk runs: the groups the Output holds, so that a group found
  // again is known without searching the list.
  std::unordered_set<const TElement*> chosen_;
  bool walking_ = false;
};

class TMultiSelectSkupinaByRect : public TMultiSelectSkupina {
  KESTX_CLASS(TMultiSelectSkupinaByRect)
 public:
  double MinX = 0;
  double MinY = 0;
  double MaxX = 0;
  double MaxY = 0;

  bool AcceptArea(TAreaElement* area) override;
  bool QGoInside(TElement* element) override;
  bool QProcessBefore(TElement* element) override;
  bool QProcessAfter(TElement* element) override;

 protected:
  bool MeetsRect(const TElement* element) const;
};

class TMultiSelectSkupinaByLine : public TMultiSelectSkupinaByRect {
  KESTX_CLASS(TMultiSelectSkupinaByLine)
 public:
  TMultiSelectSkupinaByLine();
  ~TMultiSelectSkupinaByLine() override;

  TPolyElement* Line() const;
  // Also sets the rectangle to the line's bounds; nil empties it.
  void SetLine(TPolyElement* line);

  bool AcceptArea(TAreaElement* area) override;

 private:
  TElementLink line_;
  std::unique_ptr<TSpatialAnalysisTool> analysis_;
};

void RegisterMultiSelectSkupinaClasses();
