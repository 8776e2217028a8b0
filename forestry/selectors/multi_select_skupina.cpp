#include "forestry/selectors/multi_select_skupina.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

#include "block/forest_model/forest_units.h"
#include "forestry/hierarchy/hierarchy_lookup.h"
#include "forestry/selectors/owned_output.h"
#include "framework/core/class_registry.h"
#include "spatial/geometry/intersections.h"
#include "spatial/geometry/plane_math.h"
#include "spatial/geometry/segment_sweep.h"
#include "spatial/objects/space_entities.h"

namespace {

constexpr double kEmptyMin = 1e30;
constexpr double kEmptyMax = -1e30;

bool BoundsMeet(const TRectEntity& a, const TRectEntity& b) {
  return a.IntersectsRect(b.GetMinX(), b.GetMinY(), b.GetMaxX(), b.GetMaxY());
}

// The polygon's vertices in order; a missing one reads (0, 0) as GetCoordX does.
std::vector<TRealPoint> PointsOf(const TPolyElement& poly) {
  const int count = poly.GetCoordsCount();
  std::vector<TRealPoint> points;
  points.reserve(static_cast<std::size_t>(std::max(count, 0)));
  TCoordCursor cursor(poly);
  for (int i = 0; i < count; ++i) {
    const T2DCoordinate* vertex = cursor.At(i);
    points.push_back(vertex ? TRealPoint{vertex->GetX(), vertex->GetY()} : TRealPoint{});
  }
  return points;
}

// Consecutive vertices, and the last back to the first when closed.
std::vector<TSweepSegment> SegmentsOf(const std::vector<TRealPoint>& points, bool closed) {
  std::vector<TSweepSegment> segments;
  const std::size_t count = points.size();
  for (std::size_t i = 0; i < count; ++i) {
    if (!closed && i + 1 == count) break;
    const TRealPoint& a = points[i];
    const TRealPoint& b = points[(i + 1) % count];
    segments.push_back({a.X, a.Y, b.X, b.Y});
  }
  return segments;
}

bool SegmentsCross(const TSweepSegment& a, const TSweepSegment& b) {
  return Mathlib::SegmentsCross(a.X1, a.Y1, a.X2, a.Y2, b.X1, b.Y1, b.X2, b.Y2);
}

// A segment of the line crosses one of the outline (not of its holes).  The
// outline is closed: its last vertex joins its first.
bool AnySegmentCrosses(const TPolyElement& line, const TAreaElement& outline) {
  return AnyMeetingPair(SegmentsOf(PointsOf(line), false), SegmentsOf(PointsOf(outline), true), SegmentsCross);
}

// A vertex of the line hits the area as HitTest with no tolerance says:
// within its bounds, inside its outline and outside every hole.  The rings
// are tested for all vertices at once.
bool AnyVertexInside(const TPolyElement& line, const TAreaElement& area) {
  std::vector<TRealPoint> candidates;
  const int count = line.GetCoordsCount();
  TCoordCursor cursor(line);
  for (int i = 0; i < count; ++i)
    if (const T2DCoordinate* vertex = cursor.At(i); vertex && area.ContainsRect(vertex->GetX(), vertex->GetY(),
                                                                                 vertex->GetX(), vertex->GetY()))
      candidates.push_back({vertex->GetX(), vertex->GetY()});
  if (candidates.empty()) return false;
  const std::vector<std::uint8_t> inside = area.PointsOutsideHoles(candidates);
  return std::find(inside.begin(), inside.end(), 1) != inside.end();
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
  return AnySegmentCrosses(line, *tested) || AnyVertexInside(line, *tested);
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
  TEntity* selected = OwnedOutputEntity(*this);
  if (!selected) Log("ERROR: TMultiSelectSkupina required TEntity class at Output!");
  chosen_.clear();
  if (selected) chosen_.insert(selected->Children().begin(), selected->Children().end());
  walking_ = true;
  struct TWalkEnd {
    TMultiSelectSkupina& tool;
    ~TWalkEnd() {
      tool.walking_ = false;
      tool.chosen_.clear();
    }
  } walkEnd{*this};
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
      const bool fresh = walking_ ? chosen_.insert(psk).second : selected->IndexOf(psk) < 0;
      if (fresh) selected->AddElement(psk);
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
