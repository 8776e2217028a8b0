#include "block/topology/label_points.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <memory>
#include <utility>
#include <vector>

#include "framework/core/class_registry.h"
#include "platform/dialogs.h"
#include "render/devices/border_buffer.h"
#include "spatial/geometry/intersections.h"
#include "spatial/geometry/page.h"
#include "spatial/geometry/projection.h"
#include "spatial/objects/space_entities.h"

namespace {

void SetLabel(TAreaElement& area, double X, double Y) {
  area.SetAbsRefX(X);
  area.SetAbsRefY(Y);
}

// The outline's vertices in walking order, as a plain copy of the area would
// hold them: all of the first line, all but the first of every later one.
std::vector<TRealPoint> OutlineRing(const TAreaElement& area) {
  if (const auto* bounded = DynamicCast<TPolyLineAreaElement>(&area)) return bounded->OutlineRing();
  std::vector<TRealPoint> ring;
  for (int i = 0; i < area.GetCoordsCount(); ++i)
    if (const T2DCoordinate* vertex = area.GetCoord(i)) ring.push_back({vertex->GetX(), vertex->GetY()});
  return ring;
}

// The label as stored (relative to the bounds) is what is tested: a point
// on the boundary may fall either side of it once stored.
bool LabelInside(const TAreaElement& area, const TLabelRings& rings) {
  return rings.Contains(area.GetAbsRefX(), area.GetAbsRefY());
}

}  // namespace

TLabelRings::TLabelRings(const TAreaElement& Area) : TLabelRings(Area, OutlineRing(Area)) {}

TLabelRings::TLabelRings(const TAreaElement& Area, std::vector<TRealPoint> Outline) {
  rings_.push_back({&Area, std::move(Outline), DynamicCast<TPolyLineAreaElement>(&Area) != nullptr});
  AddHoles(Area);
}

void TLabelRings::AddHoles(const TAreaElement& Area) {
  if (const THolesEntity* holes = Area.Holes())
    for (TElement* child : holes->Children())
      if (const auto* hole = DynamicCast<TAreaElement>(child))
        rings_.push_back({hole, OutlineRing(*hole), DynamicCast<TPolyLineAreaElement>(hole) != nullptr});
}

bool TLabelRings::RingContains(const TRing& Ring, double X, double Y) const {
  return Ring.OfLines ? AnalInt::PointInPolygon(Ring.Points, TRealPoint{X, Y})
                      : Ring.Area->OutlineContainsPoint(X, Y);
}

bool TLabelRings::Contains(double X, double Y) const {
  if (!RingContains(rings_.front(), X, Y)) return false;
  for (std::size_t i = 1; i < rings_.size(); ++i)
    if (RingContains(rings_[i], X, Y)) return false;
  return true;
}

void TLabelRings::AddPolygons(const TProjection& Projection, TPolygonList& Polygons) const {
  for (const TRing& ring : rings_) {
    auto* polygon = new TIntegerPolygon;
    Polygons.AddElement(polygon);
    const std::size_t bytes = ring.Points.size() * sizeof(TDevicePoint);
    if (ring.Points.empty() || bytes > static_cast<std::size_t>(TBorderBuffer::MaxBufferSize)) continue;
    polygon->ByteSize = static_cast<std::int32_t>(bytes);
    polygon->Points = std::make_unique<TDevicePoint[]>(ring.Points.size());
    for (const TRealPoint& point : ring.Points) {
      const TDevicePoint pixel{Projection.WorldToDeviceX(point.X), Projection.WorldToDeviceY(point.Y)};
      if (polygon->Count == 0 || !(polygon->Points[polygon->Count - 1] == pixel))
        polygon->Points[polygon->Count++] = pixel;
    }
  }
}

void TAreaPointPlacer::DoIt() {
  SetOutput(Input());
  auto* area = DynamicCast<TAreaElement>(Input());
  if (!area) return;
  std::vector<TRealPoint> outline;
  try {
    outline = OutlineRing(*area);
  } catch (const std::exception&) {
    SetLabel(*area, area->GetCenterX(), area->GetCenterY());
    return;
  }
  PlaceOnOutline(*area, std::move(outline));
}

void TAreaPointPlacer::PlaceOnOutline(TAreaElement& Area, std::vector<TRealPoint> Outline) {
  SetOutput(&Area);
  try {
    const TLabelRings rings(Area, std::move(Outline));
    PlaceLabel(Area, rings);
  } catch (const std::exception&) {
    SetLabel(Area, Area.GetCenterX(), Area.GetCenterY());
  }
}

void TAreaPointPlacer::PlaceLabel(TAreaElement& area, const TLabelRings& rings) {
  SetLabel(area, area.GetCenterX(), area.GetCenterY());
  if (!LabelInside(area, rings)) {
    RasterAnalysis(area, rings);
    return;
  }
  if (AcceptCentre || KeepOffTheBoundary(area, rings)) return;
  RasterAnalysis(area, rings);
}

bool TAreaPointPlacer::KeepOffTheBoundary(TAreaElement& area, const TLabelRings& rings) {
  const double x = area.GetAbsRefX();
  const double y = area.GetAbsRefY();
  double left = 0, right = 0;
  std::int32_t count = 0;
  AnalInt::HorizontalCrossings(rings.Outline(), left, right, x, y, count);
  if (100 * std::min(std::fabs(left - x), std::fabs(right - x)) > std::fabs(left - right)) return true;
  if (count < 2 || count % 2 != 0) return true;
  SetLabel(area, (left + right) / 2, y);
  return LabelInside(area, rings);
}

// ---------------------------------------------------------------- raster analysis

void TAnalDevice::SetupPage() {
  T_Page* page = Page();
  TPageProjection* projection = Projection();
  if (!page || !projection) return;
  page->PageRect = {0, 0, PageSide, PageSide};
  page->ClipRect = page->PageRect;
  page->SetResolution(PixelsPerUnit, PixelsPerUnit);
  projection->Calculate({projection->Center_X(), projection->Center_Y()}, page, projection->Scale());
}

TIntegerPolygon* TPolygonList::Polygon(int I) const {
  return static_cast<TIntegerPolygon*>(Children()[static_cast<std::size_t>(I)]);
}

void TAnalArea::AddRing(const TDevicePoint* Points, std::int32_t Count) {
  // A closed ring may repeat its first point at its end.
  if (Count > 1 && Points[Count - 1] == Points[0]) --Count;
  if (Count < 3) return;
  auto at = [&](std::int32_t i) { return Points[((i % Count) + Count) % Count]; };
  // The next point from i in direction dir whose Y differs from that of i.
  auto beyond = [&](std::int32_t i, std::int32_t dir) {
    for (std::int32_t k = 1; k < Count; ++k)
      if (at(i + dir * k).Y != at(i).Y) return at(i + dir * k);
    return at(i);
  };
  for (std::int32_t i = 0; i < Count; ++i) {
    LowestY = std::min(LowestY, at(i).Y);
    const TDevicePoint a = at(i), b = at(i + 1);
    if (a.Y == b.Y) continue;
    const bool aLower = a.Y < b.Y;
    const TDevicePoint top = aLower ? b : a, bottom = aLower ? a : b;
    const std::int32_t lines = top.Y - bottom.Y;
    // The ring going on downwards past the lower end meets that line in the
    // next edge: this one leaves it out, so the vertex counts once.
    const TDevicePoint past = aLower ? beyond(i, -1) : beyond(i + 1, 1);
    TEdgeRecord edge;
    edge.TopY = top.Y;
    edge.X = top.X * 1000;
    edge.Count = lines + 1 - (past.Y < bottom.Y ? 1 : 0);
    edge.Step = static_cast<std::int32_t>((static_cast<std::int64_t>(top.X) - bottom.X) * 1000 / lines);
    Edges.push_back(edge);
  }
}

void TAnalArea::BuildEdgeTable(const TPolygonList& Polygons) {
  Edges.clear();
  LowestY = 1000;
  for (int i = 0; i < static_cast<int>(Polygons.Children().size()); ++i) {
    const TIntegerPolygon* polygon = Polygons.Polygon(i);
    if (polygon->Points) AddRing(polygon->Points.get(), polygon->Count);
  }
  // Highest top first; records of one top keep the order they were made in,
  // as insertion after their equals would leave them, without its square
  // cost on long outlines.
  std::stable_sort(Edges.begin(), Edges.end(),
                   [](const TEdgeRecord& a, const TEdgeRecord& b) { return a.TopY > b.TopY; });
}

void TAnalArea::AdvanceToRow(std::int32_t Row, std::int32_t& First) {
  // Row by row from the top, an edge joins when the table's leading run of
  // tops reaches the row (its own top in a sorted table) and then moves one
  // step a row while it has rows left: the same as its steps counted.
  const std::int32_t count = static_cast<std::int32_t>(Edges.size());
  std::int64_t joins = Edges.empty() ? Row : Edges.front().TopY;
  for (; First < count; ++First) {
    TEdgeRecord& edge = Edges[static_cast<std::size_t>(First)];
    joins = std::min<std::int64_t>(joins, edge.TopY);
    if (joins < Row) break;
    const std::int64_t steps = std::min<std::int64_t>(std::max(edge.Count, 0), joins - Row);
    edge.X = static_cast<std::int32_t>(edge.X - steps * edge.Step);
    edge.Count = static_cast<std::int32_t>(edge.Count - steps);
  }
}

bool TAnalArea::WidestSpanMiddle(std::int32_t& X, std::int32_t& Y) {
  if (Edges.empty()) return false;
  const std::int32_t last = static_cast<std::int32_t>(Edges.size()) - 1;
  const std::int32_t middle = (Edges.front().TopY + LowestY) / 2;
  std::int32_t first = 0, index = 0;
  AdvanceToRow(middle, first);
  UpdateActiveEdges(last, middle, first, index);
  std::int32_t count = 0;
  SortActiveEdges(count, first - 1, index);
  bool found = false;
  std::int32_t widest = 0;
  for (std::int32_t i = first - count; i + 1 < first; i += 2) {
    const TEdgeRecord& left = Edges[static_cast<std::size_t>(i)];
    const TEdgeRecord& right = Edges[static_cast<std::size_t>(i + 1)];
    const std::int32_t width = right.X / 1000 - left.X / 1000;
    if (found && width <= widest) continue;
    found = true;
    widest = width;
    X = (left.X + (right.X - left.X) / 2) / 1000;
    Y = middle;
  }
  return found;
}

TAnalDevice& TAreaPointPlacer::Device() {
  if (auto* device = static_cast<TAnalDevice*>(device_.Get())) return *device;
  auto* device = new TAnalDevice;
  AddElement(device);
  device_.Set(device);
  return *device;
}

TPolygonList& TAreaPointPlacer::Polygons() {
  if (auto* polygons = static_cast<TPolygonList*>(polygons_.Get())) return *polygons;
  auto* polygons = new TPolygonList;
  AddElement(polygons);
  polygons_.Set(polygons);
  return *polygons;
}

TAnalArea& TAreaPointPlacer::Scanner() {
  if (auto* scanner = static_cast<TAnalArea*>(scanner_.Get())) return *scanner;
  auto* scanner = new TAnalArea;
  AddElement(scanner);
  scanner_.Set(scanner);
  return *scanner;
}

void TAreaPointPlacer::RasterAnalysis(TAreaElement& area, const TLabelRings& rings) {
  TAnalDevice& device = Device();
  device.SetupPage();
  device.Projection()->FitRectangle(area.BoundRect(), device.Page());
  TPolygonList& polygons = Polygons();
  struct Empty {
    TPolygonList& list;
    ~Empty() { list.Clear(); }
  } empty{polygons};
  rings.AddPolygons(*device.Projection(), polygons);
  TAnalArea& scanner = Scanner();
  scanner.BuildEdgeTable(polygons);
  std::int32_t px = 0, py = 0;
  // An outline too large for the device buffer leaves no edges: the
  // correction starts from the centre of the bounds.
  if (scanner.WidestSpanMiddle(px, py)) {
    TRealPoint point;
    device.Projection()->DeviceToWorld(px, py, point);
    SetLabel(area, point.X, point.Y);
  } else {
    SetLabel(area, area.GetCenterX(), area.GetCenterY());
  }
  CorrectOutsidePoint(area, rings);
}

void TAreaPointPlacer::CorrectOutsidePoint(TAreaElement& area, const TLabelRings& rings) {
  double x = area.GetAbsRefX();
  const double y = area.GetAbsRefY();
  if (LabelInside(area, rings)) return;
  const std::vector<TRealPoint>& ring = rings.Outline();
  double first = 0, second = 0;
  std::int32_t count = 0;
  AnalInt::HorizontalCrossingsTwoNearest(ring, first, second, x, y, count);
  if (count < 2 || count % 2 != 0) AnalInt::HorizontalCrossingsTwoNearest(ring, first, second, x - 1e10, y, count);
  if (count >= 2 && count % 2 == 0) x = (first + second) / 2;
  SetLabel(area, x, y);
  if (!LabelInside(area, rings))
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

TClass TAnalDevice::StaticClass() {
  static const TClassInfo info = DescribeClass<TAnalDevice>("TAnalDevice", TCanvasDevice::StaticClass(), "T_Lumar", {});
  return &info;
}

TClass TIntegerPolygon::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TIntegerPolygon>("TIntegerPolygon", TElement::StaticClass(), "T_Lumar",
                                     {NotStored(FieldProp("Count", &TIntegerPolygon::Count)),
                                      NotStored(FieldProp("ByteSize", &TIntegerPolygon::ByteSize))});
  return &info;
}

TClass TPolygonList::StaticClass() {
  static const TClassInfo info = DescribeClass<TPolygonList>("TPolygonList", TEntity::StaticClass(), "T_Lumar", {});
  return &info;
}

TClass TAnalArea::StaticClass() {
  static const TClassInfo info = DescribeClass<TAnalArea>("TAnalArea", TPlosnaZnacka::StaticClass(), "T_Lumar", {});
  return &info;
}

void RegisterLabelPointClasses() { RegisterKestuClass(TMultiAreaPointPlacer::StaticClass()); }
