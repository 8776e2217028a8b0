#include "block/topology/label_points.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <memory>

#include "framework/core/class_registry.h"
#include "platform/dialogs.h"
#include "spatial/geometry/intersections.h"
#include "spatial/objects/space_entities.h"

namespace {

void SetLabel(TAreaElement& area, double X, double Y) {
  area.SetAbsRefX(X);
  area.SetAbsRefY(Y);
}

// The plain outline a crossing count needs: a line-bounded area's copy
// (the caller owns it), or the area itself.
struct TPlainOutline {
  explicit TPlainOutline(const TAreaElement& area) {
    if (const auto* bounded = DynamicCast<TPolyLineAreaElement>(&area)) copy.reset(bounded->CreateAreaWithHoles());
    outline = copy ? copy.get() : &area;
  }
  std::unique_ptr<TAreaElement> copy;
  const TAreaElement* outline;
};

}  // namespace

void TAreaPointPlacer::DoIt() {
  SetOutput(Input());
  auto* area = DynamicCast<TAreaElement>(Input());
  if (!area) return;
  try {
    PlaceLabel(*area);
  } catch (const std::exception&) {
    SetLabel(*area, area->GetCenterX(), area->GetCenterY());
  }
}

void TAreaPointPlacer::PlaceLabel(TAreaElement& area) {
  const double cx = area.GetCenterX();
  const double cy = area.GetCenterY();
  if (!area.ContainsPointOutsideHoles(cx, cy)) {
    RasterAnalysis(area);
    return;
  }
  SetLabel(area, cx, cy);
  if (AcceptCentre || KeepOffTheBoundary(area)) return;
  RasterAnalysis(area);
}

bool TAreaPointPlacer::KeepOffTheBoundary(TAreaElement& area) {
  const TPlainOutline plain(area);
  const double x = area.GetAbsRefX();
  const double y = area.GetAbsRefY();
  double left = 0, right = 0;
  std::int32_t count = 0;
  AnalInt::HorizontalCrossings(plain.outline, left, right, x, y, count);
  if (100 * std::min(std::fabs(left - x), std::fabs(right - x)) > std::fabs(left - right)) return true;
  if (count < 2 || count % 2 != 0) return true;
  SetLabel(area, (left + right) / 2, y);
  return area.ContainsPointOutsideHoles(area.GetAbsRefX(), y);
}

void TAreaPointPlacer::RasterAnalysis(TAreaElement& area) { CorrectOutsidePoint(area); }

void TAreaPointPlacer::CorrectOutsidePoint(TAreaElement& area) {
  double x = area.GetAbsRefX();
  const double y = area.GetAbsRefY();
  if (area.ContainsPointOutsideHoles(x, y)) return;
  const TPlainOutline plain(area);
  double first = 0, second = 0;
  std::int32_t count = 0;
  AnalInt::HorizontalCrossingsTwoNearest(plain.outline, first, second, x, y, count);
  if (count < 2 || count % 2 != 0) AnalInt::HorizontalCrossingsTwoNearest(plain.outline, first, second, x - 1e10, y, count);
  if (count >= 2 && count % 2 == 0) x = (first + second) / 2;
  SetLabel(area, x, y);
  if (!area.ContainsPointOutsideHoles(x, y))
    Log("Chyba umístění pop.bodu u plochy \r\n" + FloatToText(x) + " ; " + FloatToText(y));
}

// ---------------------------------------------------------------- every area of a list

void TMultiAreaPointPlacer::DoIt() {
  if (!DynamicCast<TAreaString>(Input())) return;
  platform::WaitCursor hourglass;
  TAreaPointPlacer placer;
  placer.AcceptCentre = true;
  placer_ = &placer;
  struct Forget {
    TAreaPointPlacer*& placer;
    ~Forget() { placer = nullptr; }
  } forget{placer_};
  TRecursor::DoIt();
}

// Areas hold lines and lines hold vertices: no area lies below either.
bool TMultiAreaPointPlacer::QGoInside(TElement* element) {
  return DynamicCast<TEntity>(element) && !DynamicCast<TPolyElement>(element);
}

bool TMultiAreaPointPlacer::QProcessBefore(TElement* element) { return DynamicCast<TAreaElement>(element) != nullptr; }

void TMultiAreaPointPlacer::Process(TElement* element) {
  if (!placer_) return;
  // One area that fails keeps the label it had; the others go on.
  try {
    placer_->SetInput(element);
    placer_->DoIt();
  } catch (const std::exception&) {
  }
}

// ---------------------------------------------------------------- classes

TClass TAreaPointPlacer::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TAreaPointPlacer>("TAreaPointPlacer", TTool::StaticClass(), "T_Lumar", {});
  return &info;
}

TClass TMultiAreaPointPlacer::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TMultiAreaPointPlacer>("TMultiAreaPointPlacer", TRecursor::StaticClass(), "T_Lumar", {});
  return &info;
}

void RegisterLabelPointClasses() { RegisterKestuClass(TMultiAreaPointPlacer::StaticClass()); }
