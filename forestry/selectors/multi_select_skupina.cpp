#include "forestry/selectors/multi_select_skupina.h"

#include <algorithm>
#include <memory>

#include "block/forest_model/forest_units.h"
#include "forestry/hierarchy/hierarchy_lookup.h"
#include "forestry/selectors/owned_output.h"
#include "framework/core/class_registry.h"
#include "spatial/geometry/plane_math.h"
#include "spatial/objects/space_entities.h"

namespace {

constexpr double kEmptyMin = 1e30;
constexpr double kEmptyMax = -1e30;

bool BoundsMeet(const TRectEntity& a, const TRectEntity& b) {
  return a.IntersectsRect(b.GetMinX(), b.GetMinY(), b.GetMaxX(), b.GetMaxY());
}

bool AnyVertexInside(const TPolyElement& line, const TAreaElement& area) {
  for (int i = 0; i < line.GetCoordsCount(); ++i)
    if (area.HitTest(line.GetCoord(i), 0)) return true;
  return false;
}

bool SegmentBoxesMeet(double x1, double y1, double x2, double y2, double x3, double y3, double x4, double y4) {
  return std::max(x1, x2) >= std::min(x3, x4) && std::max(x3, x4) >= std::min(x1, x2) &&
         std::max(y1, y2) >= std::min(y3, y4) && std::max(y3, y4) >= std::min(y1, y2);
}

// The outline is closed: its last vertex joins its first.
bool AnySegmentCrosses(const TPolyElement& line, const TAreaElement& outline) {
  const int ringCount = outline.GetCoordsCount();
  for (int i = 0; i + 1 < line.GetCoordsCount(); ++i) {
    const double x1 = line.GetCoordX(i), y1 = line.GetCoordY(i);
    const double x2 = line.GetCoordX(i + 1), y2 = line.GetCoordY(i + 1);
    for (int j = 0; j < ringCount; ++j) {
      const int next = (j + 1) % ringCount;
      const double x3 = outline.GetCoordX(j), y3 = outline.GetCoordY(j);
      const double x4 = outline.GetCoordX(next), y4 = outline.GetCoordY(next);
      if (SegmentBoxesMeet(x1, y1, x2, y2, x3, y3, x4, y4) && Mathlib::SegmentsCross(x1, y1, x2, y2, x3, y3, x4, y4))
        return true;
    }
  }
  return false;
}

}  // namespace

bool LineTouchesArea(const TPolyElement& line, const TAreaElement& area) {
  if (line.GetCoordsCount() < 2 || area.GetCoordsCount() < 2) return false;
  if (!BoundsMeet(area, line)) return false;
  // An area bounded by lines is tested as a plain polygon with its holes.
  std::unique_ptr<TAreaElement> converted;
  const TAreaElement* tested = &area;
  if (const auto* bounded = DynamicCast<TPolyLineAreaElement>(&area)) {
    converted.reset(bounded->CreateAreaWithHoles());
    tested = converted.get();
  }
  return AnyVertexInside(line, *tested) || AnySegmentCrosses(line, *tested);
}

// ---------------------------------------------------------------- TSpatialAnalysisTool

TPolyElement* TSpatialAnalysisTool::Line() const { return DynamicCast<TPolyElement>(line_.Get()); }

void TSpatialAnalysisTool::SetLine(TPolyElement* line) { line_.Set(line); }

void TSpatialAnalysisTool::DoIt() {
  auto* area = DynamicCast<TAreaElement>(Input());
  TPolyElement* line = Line();
  Result = area && line && LineTouchesArea(*line, *area);
}

// ---------------------------------------------------------------- TMultiSelectSkupina

TMultiSelectSkupina::TMultiSelectSkupina() { SetInput(ModelHierarchy()); }

void TMultiSelectSkupina::SetHierarchyAsInput() {
  TElement* hierarchy = ModelHierarchy();
  if (Input() != hierarchy) SetInput(hierarchy);
}

void TMultiSelectSkupina::ClearOutput() {
  if (auto* selected = DynamicCast<TEntity>(Output())) selected->Clear();
}

bool TMultiSelectSkupina::AcceptArea(TAreaElement*) { return false; }

void TMultiSelectSkupina::DoIt() {
  SetHierarchyAsInput();
  if (!OwnedOutputEntity(*this)) Log("ERROR: TMultiSelectSkupina required TEntity class at Output!");
  TRecursor::DoIt();
}

void TMultiSelectSkupina::Process(TElement* element) {
  auto* psk = DynamicCast<TPorostniSkupina>(element);
  if (!psk || psk->NoGeometry()) return;
  auto* geometry = DynamicCast<TEntity>(psk->GetGeometry());
  auto* selected = DynamicCast<TEntity>(Output());
  if (!geometry || !selected) return;
  for (TElement* child : geometry->Children()) {
    auto* area = DynamicCast<TAreaElement>(child);
    if (area && AcceptArea(area)) {
      if (selected->IndexOf(psk) < 0) selected->AddElement(psk);
      return;
    }
  }
}

// ---------------------------------------------------------------- TMultiSelectSkupinaByRect

bool TMultiSelectSkupinaByRect::MeetsRect(const TElement* element) const {
  const auto* bounded = DynamicCast<TRectEntity>(element);
  return bounded && bounded->IntersectsRect(MinX, MinY, MaxX, MaxY);
}

bool TMultiSelectSkupinaByRect::AcceptArea(TAreaElement* area) { return MeetsRect(area); }

bool TMultiSelectSkupinaByRect::QGoInside(TElement* element) {
  if (!element->IsAnEntity()) return false;
  return !DynamicCast<TRectEntity>(element) || DynamicCast<TPorostniSkupina>(element) || MeetsRect(element);
}

bool TMultiSelectSkupinaByRect::QProcessBefore(TElement* element) { return MeetsRect(element); }

bool TMultiSelectSkupinaByRect::QProcessAfter(TElement*) { return false; }

// ---------------------------------------------------------------- TMultiSelectSkupinaByLine

TMultiSelectSkupinaByLine::TMultiSelectSkupinaByLine() : analysis_(std::make_unique<TSpatialAnalysisTool>()) {
  SetLine(nullptr);
}

TMultiSelectSkupinaByLine::~TMultiSelectSkupinaByLine() = default;

TPolyElement* TMultiSelectSkupinaByLine::Line() const { return DynamicCast<TPolyElement>(line_.Get()); }

void TMultiSelectSkupinaByLine::SetLine(TPolyElement* line) {
  line_.Set(line);
  analysis_->SetLine(line);
  if (line) {
    MinX = line->GetMinX();
    MinY = line->GetMinY();
    MaxX = line->GetMaxX();
    MaxY = line->GetMaxY();
  } else {
    MinX = MinY = kEmptyMin;
    MaxX = MaxY = kEmptyMax;
  }
}

bool TMultiSelectSkupinaByLine::AcceptArea(TAreaElement* area) {
  analysis_->SetInput(area);
  analysis_->DoIt();
  return analysis_->Result;
}

// ---------------------------------------------------------------- classes

TClass TSpatialAnalysisTool::StaticClass() {
  using E = TSpatialAnalysisTool;
  static const TClassInfo info = DescribeClass<E>("TSpatialAnalysisTool", TBooleanTool::StaticClass(), "T_Selectors",
                                                  {ReadWriteProp("Line", &E::Line, &E::SetLine)});
  return &info;
}

TClass TMultiSelectSkupina::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TMultiSelectSkupina>("TMultiSelectSkupina", TRecursor::StaticClass(), "T_Selectors", {});
  return &info;
}

TClass TMultiSelectSkupinaByRect::StaticClass() {
  using E = TMultiSelectSkupinaByRect;
  static const TClassInfo info = DescribeClass<E>(
      "TMultiSelectSkupinaByRect", TMultiSelectSkupina::StaticClass(), "T_Selectors",
      {FieldProp("MinX", &E::MinX), FieldProp("MinY", &E::MinY), FieldProp("MaxX", &E::MaxX), FieldProp("MaxY", &E::MaxY)});
  return &info;
}

TClass TMultiSelectSkupinaByLine::StaticClass() {
  using E = TMultiSelectSkupinaByLine;
  static const TClassInfo info = DescribeClass<E>("TMultiSelectSkupinaByLine", TMultiSelectSkupinaByRect::StaticClass(),
                                                  "T_Selectors", {ReadWriteProp("Line", &E::Line, &E::SetLine)});
  return &info;
}

void RegisterMultiSelectSkupinaClasses() {
  RegisterKestuClass(TSpatialAnalysisTool::StaticClass());
  RegisterKestuClass(TMultiSelectSkupina::StaticClass());
  RegisterKestuClass(TMultiSelectSkupinaByRect::StaticClass());
  RegisterKestuClass(TMultiSelectSkupinaByLine::StaticClass());
}
