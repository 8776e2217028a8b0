#include "spatial/objects/space_entities.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <utility>
#include <vector>

#include "framework/core/class_registry.h"
#include "framework/core/messages.h"
#include "platform/dialogs.h"
#include "spatial/geometry/intersections.h"
#include "spatial/objects/space_entity_properties.h"
#include "spatial/objects/properties.h"
#include "spatial/geometry/plane_math.h"

namespace {

void ShowError(const std::string& text) { platform::MessageDlg(text, platform::MsgDlgType::Error, platform::mbOK); }

// The trapezoid shoelace sum over vertex(0) .. vertex(count - 1), with the
// closing term when closed.  Nothing when the first vertex is missing; a
// later missing vertex ends the sum where it stands, with a message.
template <class VertexOf>
double ShoelaceSum(int count, VertexOf vertex, bool closed) {
  if (count <= 0) return 0;
  const T2DCoordinate* first = vertex(0);
  if (!first) return 0;
  double sum = 0;
  const T2DCoordinate* previous = first;
  for (int i = 1; i < count; ++i) {
    const T2DCoordinate* current = vertex(i);
    if (!current) {
      ShowError("GetCalculatedArea Error");
      return sum;
    }
    sum += (current->GetX() - previous->GetX()) * (current->GetY() + previous->GetY()) / 2;
    previous = current;
  }
  if (closed) sum += (first->GetX() - previous->GetX()) * (first->GetY() + previous->GetY()) / 2;
  return sum;
}

// The shoelace sum over a line's vertices walked from either end.
double WalkedSum(const TPolyElement& line, bool fromBegin, bool closed) {
  return ShoelaceSum(line.VertexCount(), [&line, fromBegin](int i) { return line.VertexAt(i, fromBegin); }, closed);
}

bool IsAddElementMessage(const TKestuMessage* message) { return message && message->Message == msgAddElement; }

// A property object may be a space entity with a property object of its own.
// Lookups follow such a chain this far and no further, so that no file makes
// them recurse as deep as its chain is long; beyond it an entity answers as
// one without Properties.
constexpr int kMaxPropertyChain = 64;
thread_local int propertyChainDepth = 0;

class ChainStep {
 public:
  ChainStep() { ++propertyChainDepth; }
  ~ChainStep() { --propertyChainDepth; }
  ChainStep(const ChainStep&) = delete;
  ChainStep& operator=(const ChainStep&) = delete;
  static bool TooDeep() { return propertyChainDepth > kMaxPropertyChain; }
};

}  // namespace

// ---------------------------------------------------------------- TSpaceEntity

TSpaceEntity::~TSpaceEntity() { ReleaseField(properties_); }

void TSpaceEntity::SetProperties(TElement* props) {
  if (props == properties_) return;
  HoldInField(properties_, props);
  if (auto* spaceProps = DynamicCast<TSpaceEntityProps>(props)) spaceProps->SetSpaceEntity(this);
}

void TSpaceEntity::FieldElementFreed(TElement* element) {
  if (element == properties_) properties_ = nullptr;
  TRectEntity::FieldElementFreed(element);
}

int TSpaceEntity::GetSpaceID() const {
  const ChainStep step;
  if (!properties_ || ChainStep::TooDeep()) return -1;
  if (const auto* spaceProps = DynamicCast<TSpaceEntityProps>(properties_)) return spaceProps->GetSpaceID();
  return properties_->GetPropertyInteger("SPACEID");
}

void TSpaceEntity::SetSpaceID(int value) {
  const ChainStep step;
  if (properties_ && !ChainStep::TooDeep()) properties_->SetPropertyInteger("SPACEID", value);
}

int TSpaceEntity::GetGroup() const {
  const ChainStep step;
  return properties_ && !ChainStep::TooDeep() ? properties_->GetPropertyInteger("GROUP") : -1;
}

bool TSpaceEntity::HitTest(const TCoordinate* Point, double Tolerance) const {
  if (!Point) return false;
  return Mathlib::Distance(Point->GetX(), Point->GetY(), GetAbsRefX(), GetAbsRefY()) < std::fabs(Tolerance);
}

bool TSpaceEntity::NoChildHasOwner(const TElement* Owner) const {
  for (TElement* child : Children())
    if (DynamicCast<TSpaceEntity>(child) && child->HasOwner(Owner)) return false;
  return true;
}

void TSpaceEntity::Assign(const TElement* Source) {
  TRectEntity::Assign(Source);
  const auto* source = DynamicCast<TSpaceEntity>(Source);
  if (!source) return;
  if (const auto* props = DynamicCast<TSpaceEntityProps>(source->Properties())) SetProperties(props->CloneProps());
}

TElement* TSpaceEntity::CreateEnvelope() const { return const_cast<TSpaceEntity*>(this); }

bool TSpaceEntity::HasProperty(const std::string& name) const {
  if (TRectEntity::HasProperty(name)) return true;
  const ChainStep step;
  return properties_ && !ChainStep::TooDeep() && properties_->HasProperty(name);
}

std::string TSpaceEntity::GetPropertyText(const std::string& name) const {
  std::string text = TRectEntity::GetPropertyText(name);
  const ChainStep step;
  if (text.empty() && properties_ && !ChainStep::TooDeep()) text = properties_->GetPropertyText(name);
  return text;
}

void TSpaceEntity::SetPropertyText(const std::string& name, const std::string& text) {
  const ChainStep step;
  if (ClassType()->FindProp(name)) TRectEntity::SetPropertyText(name, text);
  else if (properties_ && !ChainStep::TooDeep()) properties_->SetPropertyText(name, text);
}

// ---------------------------------------------------------------- TSpaceEntityString

void TSpaceEntityString::SetPropertyText(const std::string& name, const std::string& text) {
  if (!Properties()) SetProperties(new TDynamicProperties);
  TSpaceEntity::SetPropertyText(name, text);
}

void TSpaceEntityString::ReceiveMessage(TKestuMessage*& message, bool& handled) {
  TSpaceEntity::ReceiveMessage(message, handled);
  if (IsAddElementMessage(message)) AddElement(message->Data());
}

// ---------------------------------------------------------------- TPolyElement

int TPolyElement::GetCoordsCount() const { return static_cast<int>(Children().size()); }

T2DCoordinate* TPolyElement::GetCoord(int Index) const { return ChildVertex(Index); }

double TPolyElement::GetCalculatedArea() const {
  TCoordCursor cursor(*this);
  return ShoelaceSum(VertexCount(), [&cursor](int i) { return cursor.At(i); }, true);
}

void TPolyElement::AddLine(TPolyElement* Line, bool Forward) {
  if (!Line || Line == this) return;
  const auto& vertices = Line->Children();
  if (Forward) {
    for (TElement* vertex : vertices) AddElement(vertex);
  } else {
    for (auto it = vertices.rbegin(); it != vertices.rend(); ++it) AddElement(*it);
  }
}

double TPolyElement::GetCoordX(int Index) const {
  const T2DCoordinate* vertex = Vertex(Index);
  return vertex ? vertex->GetX() : 0;
}

double TPolyElement::GetCoordY(int Index) const {
  const T2DCoordinate* vertex = Vertex(Index);
  return vertex ? vertex->GetY() : 0;
}

void TPolyElement::SetCoordX(int Index, double X) {
  if (T2DCoordinate* vertex = Vertex(Index)) vertex->SetX(X);
}

void TPolyElement::SetCoordY(int Index, double Y) {
  if (T2DCoordinate* vertex = Vertex(Index)) vertex->SetY(Y);
}

T2DCoordinate* TPolyElement::AddVertex(double X, double Y) {
  auto* vertex = new T2DCoordinate(X, Y);
  AddElement(vertex);
  return vertex;
}

int TPolyElement::TakeVertices(TPolyElement& Line, int From, int To) {
  // Only vertices that are children can change hands as children.
  if (!verticesAreChildren_ || !Line.verticesAreChildren_) return From;
  return TakeSoleChildren(Line, From, To, T2DCoordinate::StaticClass());
}

T2DCoordinate* TPolyElement::InsertVertex(int Index, double X, double Y) {
  auto* vertex = new T2DCoordinate(X, Y);
  const std::size_t before = Children().size();
  InsertElement(Index, vertex);
  if (Children().size() == before) {  // refused: nobody holds it
    delete vertex;
    return nullptr;
  }
  return vertex;
}

void TPolyElement::CalcBounds() {
  BoundRect()->Clear();
  const int count = VertexCount();
  TCoordCursor cursor(*this);
  for (int i = 0; i < count; ++i)
    if (const T2DCoordinate* vertex = cursor.At(i)) BoundRect()->IncludePoint(vertex->GetX(), vertex->GetY());
}

double TPolyElement::Length() const {
  double length = 0;
  const int count = VertexCount();
  TCoordCursor cursor(*this);  // an outline of lines is read in one pass, not from its start per vertex
  const T2DCoordinate* previous = cursor.At(0);
  for (int i = 1; i < count; ++i) {
    const T2DCoordinate* current = cursor.At(i);
    if (previous && current)
      length += Mathlib::Distance(previous->GetX(), previous->GetY(), current->GetX(), current->GetY());
    previous = current;
  }
  return length;
}

double TPolyElement::GetCalculatedAreaFrom(bool FromBegin) const { return SumFrom(FromBegin, true); }

double TPolyElement::AreaTerm(bool FromBegin) const { return SumFrom(FromBegin, false); }

double TPolyElement::SumFrom(bool FromBegin, bool Closed) const {
  if (!verticesAreChildren_) return WalkedSum(*this, FromBegin, Closed);
  // The vertices are the children: read straight from the list, each as
  // VertexAt reads it, without asking for the count again per vertex (a
  // face walk sums every line it passes).
  const auto& children = Children();
  const std::size_t last = children.size() - 1;
  return ShoelaceSum(
      static_cast<int>(children.size()),
      [&children, last, FromBegin](int i) {
        const auto index = static_cast<std::size_t>(i);
        return DynamicCast<T2DCoordinate>(children[FromBegin ? index : last - index]);
      },
      Closed);
}

void TPolyElement::PointAtDistance(double& X, double& Y, double Dist, double& angle) const {
  X = 0;
  Y = 0;
  angle = 0;
  const int count = VertexCount();
  const auto atLast = [&] {
    if (const T2DCoordinate* last = Vertex(count - 1)) {
      X = last->GetX();
      Y = last->GetY();
    }
  };
  // A distance beyond the length needs no measuring first: the walk adds the
  // segments in Length's order, so it meets no segment ending past Dist and
  // ends at the last vertex as well.
  double walked = 0;
  TCoordCursor cursor(*this);
  const T2DCoordinate* b = cursor.At(0);
  for (int i = 0; i + 1 < count; ++i) {
    const T2DCoordinate* a = b;
    b = cursor.At(i + 1);
    if (!a || !b) continue;
    const double segment = Mathlib::Distance(a->GetX(), a->GetY(), b->GetX(), b->GetY());
    if (walked + segment > Dist) {
      Mathlib::PointTowards(X, Y, a->GetX(), a->GetY(), b->GetX(), b->GetY(), Dist - walked, 0);
      angle = Mathlib::VectorAngle(b->GetX() - a->GetX(), b->GetY() - a->GetY()) + std::numbers::pi / 2;
      return;
    }
    walked += segment;
  }
  atLast();
}

void TPolyElement::GetMiddlePoint(double& X, double& Y, double& angle) const {
  PointAtDistance(X, Y, Length() / 2, angle);
}

void TPolyElement::PlaceRefAtMiddle() { PlaceRefAtMiddle(Length()); }

void TPolyElement::PlaceRefAtMiddle(double length) {
  double X = 0;
  double Y = 0;
  double middleAngle = 0;
  PointAtDistance(X, Y, length / 2, middleAngle);
  SetAbsRefX(X);
  SetAbsRefY(Y);
  Angle = middleAngle;
}

bool TPolyLineElement::HitTest(const TCoordinate* Point, double Tolerance) const {
  if (!Point) return false;
  const double px = Point->GetX();
  const double py = Point->GetY();
  const int count = VertexCount();
  for (int i = 0; i + 1 < count; ++i) {
    const T2DCoordinate* a = Vertex(i);
    const T2DCoordinate* b = Vertex(i + 1);
    if (!a || !b) continue;
    bool onSegment = false;
    double fx = 0;
    double fy = 0;
    double distance = 0;
    Mathlib::ProjectPointToSegment(onSegment, fx, fy, px, py, a->GetX(), a->GetY(), b->GetX(), b->GetY(), distance);
    if (onSegment && distance < Tolerance) return true;
  }
  // A point beyond a segment's ends has no foot on it, yet it may lie within
  // the tolerance of a vertex: past a line's end or outside a bend.
  for (int i = 0; i < count; ++i) {
    const T2DCoordinate* vertex = Vertex(i);
    if (vertex && Mathlib::Distance(px, py, vertex->GetX(), vertex->GetY()) < Tolerance) return true;
  }
  return false;
}

// ---------------------------------------------------------------- TAreaElement

TAreaElement::TAreaElement() = default;
TAreaElement::~TAreaElement() { ReleaseField(holes_); }

THolesEntity* TAreaElement::Holes() const { return static_cast<THolesEntity*>(holes_); }

void TAreaElement::SetHoles(THolesEntity* holes) {
  if (holes == holes_) return;
  HoldInField(holes_, holes);
  if (holes) holes->SetOwnerArea(this);
}

void TAreaElement::FieldElementFreed(TElement* element) {
  if (element == holes_) holes_ = nullptr;
  TPolyElement::FieldElementFreed(element);
}

void TAreaElement::AddHole(TAreaElement* Area) {
  if (!Area || Area == this) return;
  if (!holes_) SetHoles(new THolesEntity);
  Holes()->AddEntity(Area);
  Area->IsHole = true;
}

void TAreaElement::AddHoles(const std::vector<TAreaElement*>& Areas) {
  const std::vector<const TElement*> holding(Areas.begin(), Areas.end());
  // One that would hold this area is refused by AddHole, as alone.
  if (holes_ || AnyIsSelfOrAncestor(holding)) {
    for (TAreaElement* area : Areas) AddHole(area);
    return;
  }
  auto holes = std::make_unique<THolesEntity>();
  for (TAreaElement* area : Areas) {
    if (!area) continue;
    holes->AddEntity(area);
    area->IsHole = true;
  }
  SetHoles(holes.release());
}

TAreaElement* TAreaElement::HoleOwnerArea() const {
  if (!IsHole) return nullptr;
  const auto* holes = static_cast<const THolesEntity*>(GetOwnerByClass(THolesEntity::StaticClass()));
  return holes ? holes->OwnerArea() : nullptr;
}

double TAreaElement::WholeArea() const {
  savedArea_ = TPolyElement::GetCalculatedArea();
  return savedArea_;
}

double TAreaElement::GetCalculatedArea() const {
  const double outline = WholeArea();
  double holes = 0;
  if (holes_)
    for (TElement* child : Holes()->Children())
      if (const auto* hole = DynamicCast<TAreaElement>(child)) holes += std::fabs(hole->WholeArea());
  // Holes shrink the outline whichever way it runs.
  return outline < 0 ? outline + holes : outline - holes;
}

bool TAreaElement::HitTest(const TCoordinate* Point, double Tolerance) const {
  if (!Point) return false;
  const double x = Point->GetX();
  const double y = Point->GetY();
  return ContainsRect(x - Tolerance, y - Tolerance, x + Tolerance, y + Tolerance) && ContainsPointOutsideHoles(x, y);
}

std::vector<TRealPoint> TAreaElement::OutlineRing() const {
  std::vector<TRealPoint> ring;
  ring.reserve(Children().size());
  for (const TElement* child : Children())
    if (const auto* vertex = DynamicCast<TCoordinate>(child)) ring.push_back({vertex->GetX(), vertex->GetY()});
  return ring;
}

bool TAreaElement::OutlineContainsPoint(double X, double Y) const {
  return AnalInt::PointInPolygon(OutlineRing(), TRealPoint{X, Y});
}

TAreaElement* TAreaElement::FindHoleAt(double X, double Y) const {
  if (!holes_) return nullptr;
  for (TElement* child : Holes()->Children()) {
    auto* hole = DynamicCast<TAreaElement>(child);
    // A hole's box holds its outline: a point outside the box is not in the
    // hole, and its ring is not read.  A hole without a box is read.
    if (!hole || (hole->IsValid() && !hole->ContainsPoint(X, Y))) continue;
    if (hole->OutlineContainsPoint(X, Y)) return hole;
  }
  return nullptr;
}

bool TAreaElement::ContainsPointOutsideHoles(double X, double Y) const {
  return OutlineContainsPoint(X, Y) && !FindHoleAt(X, Y);
}

std::vector<std::uint8_t> TAreaElement::PointsOutsideHoles(const std::vector<TRealPoint>& Points) const {
  const std::vector<TRealPoint> outline[] = {OutlineRing()};
  std::vector<std::uint8_t> inside = AnalInt::PointsInAnyPolygon(outline, Points);
  if (!holes_) return inside;
  std::vector<std::vector<TRealPoint>> holes;
  for (TElement* child : Holes()->Children())
    if (const auto* hole = DynamicCast<TAreaElement>(child)) holes.push_back(hole->OutlineRing());
  if (holes.empty()) return inside;
  const std::vector<std::uint8_t> inHole = AnalInt::PointsInAnyPolygon(holes, Points);
  for (std::size_t i = 0; i < inside.size(); ++i)
    if (inHole[i]) inside[i] = 0;
  return inside;
}

// ---------------------------------------------------------------- TPolyLineAreaElement

namespace {

// Hands each of the boundary lines' vertices to visit in walking order: all
// of the first line, all but the first of every later one.
template <class Visit>
void ForEachBoundaryVertex(const TPolyLineAreaElement& area, Visit visit) {
  const auto& children = area.Children();
  bool firstLine = true;
  for (std::size_t i = 0; i < children.size(); ++i) {
    const auto* line = DynamicCast<TPolyLineElement>(children[i]);
    if (!line) continue;
    const bool forward = area.GetLineOrigin(static_cast<int>(i));
    const int count = line->GetCoordsCount();
    for (int v = firstLine ? 0 : 1; v < count; ++v)
      if (T2DCoordinate* vertex = line->VertexAt(v, forward)) visit(vertex);
    firstLine = false;
  }
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

}  // namespace

void TPolyLineAreaElement::AddLine(TPolyElement* Line, bool Forward) {
  if (!Line || Line == this) return;
  AddEntity(Line);
  SetLineOrigin(static_cast<int>(Children().size()) - 1, Forward);
}

void TPolyLineAreaElement::InsertLine(int Index, TPolyElement* Line, bool Origin) {
  if (!Line || Line == this) return;
  const int before = static_cast<int>(Children().size());
  InsertElement(Index, Line);
  const int count = static_cast<int>(Children().size());
  if (count == before) return;
  const int at = std::clamp(Index, 0, before);
  if (!origins_.empty())
    for (int i = count - 1; i > at; --i) SetLineOrigin(i, GetLineOrigin(i - 1));
  SetLineOrigin(at, Origin);
}

void TPolyLineAreaElement::RemoveElement(TElement* element) {
  const int index = IndexOf(element);
  if (index >= 0 && !origins_.empty()) {
    const int count = static_cast<int>(Children().size());
    const int bits = static_cast<int>(origins_.size()) * 8;
    for (int i = index; i < count - 1 && i < bits; ++i) SetLineOrigin(i, GetLineOrigin(i + 1));
    if (count - 1 < bits) SetLineOrigin(count - 1, false);
  }
  TAreaElement::RemoveElement(element);
}

std::vector<TElement*> TPolyLineAreaElement::RemoveElementsIf(const std::function<bool(TElement*)>& Drop) {
  const int count = static_cast<int>(Children().size());
  std::vector<bool> drop(static_cast<std::size_t>(count));
  int kept = 0;
  for (int i = 0; i < count; ++i) {
    drop[static_cast<std::size_t>(i)] = Drop(Children()[static_cast<std::size_t>(i)]);
    if (drop[static_cast<std::size_t>(i)]) continue;
    // A bit is only written where it changes, so the string never grows:
    // bits past its end read clear, as they did before.
    if (const bool origin = GetLineOrigin(i); GetLineOrigin(kept) != origin) SetLineOrigin(kept, origin);
    ++kept;
  }
  for (int i = kept; i < count; ++i)
    if (GetLineOrigin(i)) SetLineOrigin(i, false);
  std::size_t asked = 0;
  return TAreaElement::RemoveElementsIf([&](TElement*) { return drop[asked++]; });
}

bool TPolyLineAreaElement::GetLineOrigin(int Index) const {
  if (Index < 0 || static_cast<std::size_t>(Index / 8) >= origins_.size()) return false;
  return (static_cast<unsigned char>(origins_[static_cast<std::size_t>(Index / 8)]) >> (Index % 8) & 1u) != 0;
}

void TPolyLineAreaElement::SetLineOrigin(int Index, bool Value) {
  if (Index < 0) return;
  const auto byte = static_cast<std::size_t>(Index / 8);
  if (byte >= origins_.size()) origins_.resize(byte + 1, '\0');
  const auto mask = static_cast<unsigned char>(1u << (Index % 8));
  auto bits = static_cast<unsigned char>(origins_[byte]);
  bits = Value ? static_cast<unsigned char>(bits | mask) : static_cast<unsigned char>(bits & ~mask);
  origins_[byte] = static_cast<char>(bits);
}

bool TPolyLineAreaElement::HasLine(const TElement* Line, bool Origin) const {
  const auto& children = Children();
  for (std::size_t i = 0; i < children.size(); ++i)
    if (children[i] == Line && GetLineOrigin(static_cast<int>(i)) == Origin) return true;
  return false;
}

int TPolyLineAreaElement::GetCoordsCount() const {
  int count = 0;
  for (TElement* child : Children())
    if (const auto* line = DynamicCast<TPolyLineElement>(child)) count += line->GetCoordsCount() - 1;
  return count;
}

T2DCoordinate* TPolyLineAreaElement::GetCoord(int Index) const {
  TLinePlace start;
  return CoordFrom(start, Index);
}

// The vertex lies on the first line whose running total passes Index.  An
// empty line contributes -1, so totals may fall; a line left behind had a
// total no higher than the index it was passed for, hence no higher than any
// later one either, and the walk may resume where it stood.
T2DCoordinate* TPolyLineAreaElement::CoordFrom(TLinePlace& Place, int Index) const {
  if (Index < 0) return nullptr;
  if (Place.Current && Place.Share + Place.Before > Index)
    return Place.Current->VertexAt(Index - Place.Before, Place.Forward);
  Place.Current = nullptr;
  const auto& children = Children();
  for (; Place.Line < children.size(); ++Place.Line) {
    const auto* line = DynamicCast<TPolyLineElement>(children[Place.Line]);
    if (!line) continue;
    const int share = line->GetCoordsCount() - 1;
    if (share + Place.Before > Index) {
      Place.Current = line;
      Place.Share = share;
      Place.Forward = GetLineOrigin(static_cast<int>(Place.Line));
      return line->VertexAt(Index - Place.Before, Place.Forward);
    }
    Place.Before += share;
  }
  return nullptr;
}

// ---------------------------------------------------------------- TCoordCursor

TCoordCursor::TCoordCursor(const TPolyElement& Poly)
    : poly_(Poly), lines_(DynamicCast<TPolyLineAreaElement>(&Poly)) {}

T2DCoordinate* TCoordCursor::AlongLines(int Index) {
  if (Index < last_) place_ = {};
  last_ = std::max(Index, 0);
  return lines_->CoordFrom(place_, Index);
}

namespace {

TAreaElement* CopyOfOutline(const TAreaElement& outline) {
  auto* area = new TAreaElement;
  for (int i = 0; i < outline.GetCoordsCount(); ++i) area->AddVertex(outline.GetCoordX(i), outline.GetCoordY(i));
  area->CalcBounds();
  return area;
}

}  // namespace

TAreaElement* TPolyLineAreaElement::CreateArea() const {
  auto* area = new TAreaElement;
  ForEachBoundaryVertex(*this, [area](T2DCoordinate* vertex) { area->AddElement(vertex->CreateCopy()); });
  area->SetBoundRect(BoundRect()->CreateCopy());
  return area;
}

TAreaElement* TPolyLineAreaElement::CreateAreaWithHoles() const {
  TAreaElement* area = CreateArea();
  // The block reader gives holes as polygons of their own vertices; both
  // kinds are holes of the plain area.
  if (!Holes()) return area;
  for (TElement* child : Holes()->Children()) {
    if (const auto* hole = DynamicCast<TPolyLineAreaElement>(child))
      area->AddHole(hole->CreateArea());
    else if (const auto* plain = DynamicCast<TAreaElement>(child))
      area->AddHole(CopyOfOutline(*plain));
  }
  return area;
}

std::vector<TRealPoint> TPolyLineAreaElement::OutlineRing() const {
  std::vector<TRealPoint> ring;
  // Every line but the first gives all its vertices but one: read straight
  // into a ring of the right size, the outline is one pass over the lines.
  ring.reserve(static_cast<std::size_t>(std::max(GetCoordsCount() + 1, 0)));
  ForEachBoundaryVertex(*this,
                        [&ring](const T2DCoordinate* vertex) { ring.push_back({vertex->GetX(), vertex->GetY()}); });
  return ring;
}

void TPolyLineAreaElement::ReceiveMessage(TKestuMessage*& message, bool& handled) {
  TAreaElement::ReceiveMessage(message, handled);
  if (!IsAddElementMessage(message)) return;
  auto* sender = DynamicCast<TPolyLineElement>(message->Sender());
  auto* data = DynamicCast<TPolyLineElement>(message->Data());
  if (!sender || !data) return;
  const int index = IndexOf(sender);
  if (index < 0) return;
  const bool origin = GetLineOrigin(index);
  InsertLine(origin ? index : index + 1, data, origin);
}

std::string TPolyLineAreaElement::GetLinesOriginesHex() const {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string text;
  text.reserve(origins_.size() * 2);
  for (char c : origins_) {
    const auto byte = static_cast<unsigned char>(c);
    text += kDigits[byte >> 4];
    text += kDigits[byte & 15];
  }
  return text;
}

void TPolyLineAreaElement::SetLinesOriginesHex(const std::string& text) {
  std::string bytes;
  for (std::size_t i = 0; i + 1 < text.size(); i += 2) {
    const int high = HexDigit(text[i]);
    const int low = HexDigit(text[i + 1]);
    if (high < 0 || low < 0) {
      PostTextMessage(this, msgLogText,
                      "LinesOriginesHex: \"" + text.substr(i, 2) + "\" není šestnáctkové číslo, bity linií nezměněny",
                      nullptr);
      return;
    }
    bytes += static_cast<char>(high * 16 + low);
  }
  origins_ = std::move(bytes);
}

// ---------------------------------------------------------------- line-end index

// The links are set only to cells and lists made here, and a link never
// answers another element than its own, so what they answer needs no class
// check: filing an end asks them at every level of the tree.
TSpaceRect* TSpaceRect::Cell(Quarter quarter) const { return static_cast<TSpaceRect*>(cells_[quarter].Get()); }

TSpaceRect* TSpaceRect::CellFor(double X, double Y) const {
  const bool left = X < SplitX;
  const bool upper = Y >= SplitY;
  if (left) return Cell(upper ? UpperLeft : LowerLeft);
  return Cell(upper ? UpperRight : LowerRight);
}

void TSpaceRect::SplitIntoQuarters() {
  const double minX = GetMinX();
  const double minY = GetMinY();
  const double maxX = GetMaxX();
  const double maxY = GetMaxY();
  SplitX = TLineEndPlan::SplitOf(minX, maxX);
  SplitY = TLineEndPlan::SplitOf(minY, maxY);
  // Made in the plan's slot order, so that a planned index gets the same
  // quarters in the same order.
  struct Made {
    TLineEndPlan::Slot slot;
    const char* name;
  };
  constexpr Made quarters[4] = {{TLineEndPlan::LowerLeft, "LEVY DOLNI"},
                                {TLineEndPlan::UpperLeft, "LEVY HORNI"},
                                {TLineEndPlan::LowerRight, "PRAVY DOLNI"},
                                {TLineEndPlan::UpperRight, "PRAVY HORNI"}};
  for (const Made& made : quarters) {
    auto* cell = static_cast<TSpaceRect*>(NewElement(ClassType()));
    cell->SetBounds(TLineEndPlan::QuarterBounds({minX, minY, maxX, maxY}, SplitX, SplitY, made.slot));
    cell->SetName(made.name);
    cells_[QuarterOfSlot(made.slot)].Set(cell);
    AddElement(cell);
  }
  last_ = false;
}

TSpaceRect::Quarter TSpaceRect::QuarterOfSlot(TLineEndPlan::Slot slot) {
  switch (slot) {
    case TLineEndPlan::LowerLeft:
      return LowerLeft;
    case TLineEndPlan::UpperLeft:
      return UpperLeft;
    case TLineEndPlan::LowerRight:
      return LowerRight;
    case TLineEndPlan::UpperRight:
      break;
  }
  return UpperRight;
}

TPolyLineString* TSpaceLineBegEndCell::Begins() const { return static_cast<TPolyLineString*>(begins_.Get()); }
TPolyLineString* TSpaceLineBegEndCell::Ends() const { return static_cast<TPolyLineString*>(ends_.Get()); }

int TSpaceLineBegEndCell::GetEndsCount() const {
  // An inner cell whose quarter was freed files the ends it would take itself.
  int count = 0;
  for (const TPolyLineString* list : {Begins(), Ends()})
    if (list) count += static_cast<int>(list->Children().size());
  if (Last()) return count;
  for (Quarter quarter : {UpperLeft, LowerLeft, UpperRight, LowerRight})
    if (const TSpaceRect* cell = Cell(quarter)) count += cell->GetEndsCount();
  return count;
}

bool TSpaceLineBegEndCell::ReadLineEnd(TPolyElement* Line, bool AtBegin, TLineEndToFile& End) {
  const T2DCoordinate* end = Line ? Line->VertexAt(0, AtBegin) : nullptr;
  if (!end) {
    ShowError("Error: TSpaceLineBegEndCell.AddLine");
    return false;
  }
  End = {Line, AtBegin, end->GetX(), end->GetY()};
  return true;
}

void TSpaceLineBegEndCell::AddLineEnd(TPolyElement* Line, bool AtBegin) {
  TLineEndToFile end;
  if (ReadLineEnd(Line, AtBegin, end)) FileEnd(Line, AtBegin, end.X, end.Y);
}

void TSpaceLineBegEndCell::AddLineEnds(const std::vector<TLineEndToFile>& Batch) {
  // Lists already here would be kept or freed by the splits as filing one
  // at a time decides; only an index without them is planned.
  if (!Last() || Begins() || Ends()) {
    for (const TLineEndToFile& end : Batch) FileEnd(end.Line, end.AtBegin, end.X, end.Y);
    return;
  }
  TLineEndPlan plan({GetMinX(), GetMinY(), GetMaxX(), GetMaxY()}, Capacity, MinCellSize);
  plan.File(Batch);
  const std::vector<TLineEndPlan::Cell>& cells = plan.Cells();
  std::vector<TSpaceLineBegEndCell*> made(cells.size(), nullptr);
  made[0] = this;
  // A cell's quarters come after it in the plan, so each is made before it
  // is reached.
  for (std::size_t i = 0; i < cells.size(); ++i) {
    if (cells[i].IsLeaf()) continue;
    made[i]->SplitIntoQuarters();
    for (TLineEndPlan::Slot slot :
         {TLineEndPlan::LowerLeft, TLineEndPlan::UpperLeft, TLineEndPlan::LowerRight, TLineEndPlan::UpperRight})
      made[static_cast<std::size_t>(cells[i].Quarters[slot])] =
          static_cast<TSpaceLineBegEndCell*>(made[i]->Cell(QuarterOfSlot(slot)));
  }
  // Each leaf's lists, made on their first end as one at a time makes them.
  std::vector<std::array<TPolyLineString*, 2>> lists(cells.size(), {nullptr, nullptr});
  for (int index : plan.EndsInFilingOrder()) {
    const TLineEndToFile& end = Batch[static_cast<std::size_t>(index)];
    const auto leaf = static_cast<std::size_t>(plan.LeafOf(index));
    TPolyLineString*& list = lists[leaf][end.AtBegin ? 0 : 1];
    if (!list) list = made[leaf]->ListOf(end.AtBegin);
    list->AddEntity(end.Line);
  }
}

void TSpaceLineBegEndCell::FileEnd(TPolyElement* Line, bool AtBegin, double X, double Y) {
  TSpaceLineBegEndCell* cell = this;
  while (!cell->Last()) {
    auto* quarter = static_cast<TSpaceLineBegEndCell*>(cell->CellFor(X, Y));
    if (!quarter) {
      cell->ListOf(AtBegin)->AddEntity(Line);
      return;
    }
    cell = quarter;
  }
  // An empty or inverted box, with sides below zero, does not split either.
  const bool bigEnough = cell->GetWidth() >= MinCellSize && cell->GetHeight() >= MinCellSize;
  if (cell->GetEndsCount() >= Capacity && bigEnough) {
    cell->Split();
    cell = static_cast<TSpaceLineBegEndCell*>(cell->CellFor(X, Y));
    cell->FileEnd(Line, AtBegin, X, Y);
    return;
  }
  cell->ListOf(AtBegin)->AddEntity(Line);
}

TPolyLineString* TSpaceLineBegEndCell::ListOf(bool AtBegin) {
  if (TPolyLineString* list = AtBegin ? Begins() : Ends()) return list;
  auto* list = new TPolyLineString;
  list->SetName(AtBegin ? "BEGINS" : "ENDS");
  AddElement(list);
  (AtBegin ? begins_ : ends_).Set(list);
  return list;
}

void TSpaceLineBegEndCell::Split() {
  SplitIntoQuarters();
  // This cell is inner now: filing an end again passes it down to a quarter.
  // A line that lost its vertices since it was filed is refused as on entry.
  for (bool atBegin : {true, false}) {
    const TPolyLineString* list = atBegin ? Begins() : Ends();
    if (!list) continue;
    const std::vector<TElement*> lines(list->Children().begin(), list->Children().end());
    for (TElement* element : lines) AddLineEnd(DynamicCast<TPolyElement>(element), atBegin);
  }
  TElement* lists[] = {Begins(), Ends()};
  begins_.Set(nullptr);
  ends_.Set(nullptr);
  for (TElement* list : lists)
    if (list) FreeElement(list);
}

// ---------------------------------------------------------------- class descriptions

TClass TSpaceEntity::StaticClass() {
  using E = TSpaceEntity;
  static const TClassInfo info = DescribeClass<E>(
      "TSpaceEntity", TRectEntity::StaticClass(), "E_Space",
      {ReadWriteProp("SpaceID", &E::GetSpaceID, &E::SetSpaceID), NotStored(ReadProp("Group", &E::GetGroup)),
       NotStored(ReadWriteProp("IsDone", &E::GetIsDone, &E::SetIsDone)), FieldProp("Angle", &E::Angle),
       ReadWriteProp("Properties", &E::Properties, &E::SetProperties)});
  return &info;
}

TClass TSpaceEntityString::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TSpaceEntityString>("TSpaceEntityString", TSpaceEntity::StaticClass(), "E_Space", {});
  return &info;
}

TClass TPointString::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TPointString>("TPointString", TSpaceEntityString::StaticClass(), "E_Space", {});
  return &info;
}

TClass TTextString::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TTextString>("TTextString", TSpaceEntityString::StaticClass(), "E_Space", {});
  return &info;
}

TClass TPolyLineString::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TPolyLineString>("TPolyLineString", TSpaceEntityString::StaticClass(), "E_Space", {});
  return &info;
}

TClass TAreaString::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TAreaString>("TAreaString", TSpaceEntityString::StaticClass(), "E_Space", {});
  return &info;
}

TClass TPointElement::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TPointElement>("TPointElement", TSpaceEntity::StaticClass(), "E_Space", {});
  return &info;
}

TClass TTextElement::StaticClass() {
  static const TClassInfo info = DescribeClass<TTextElement>("TTextElement", TSpaceEntity::StaticClass(), "E_Space",
                                                             {FieldProp("Text", &TTextElement::Text)});
  return &info;
}

TClass TPolyElement::StaticClass() {
  using E = TPolyElement;
  static const TClassInfo info = DescribeClass<E>(
      "TPolyElement", TSpaceEntity::StaticClass(), "E_Space",
      {NotStored(ReadProp("CoordsCount", &E::GetCoordsCount)), NotStored(ReadProp("Length", &E::Length)),
       NotStored(ReadProp("Area1", &E::GetCalculatedArea))});
  return &info;
}

TClass TPolyLineElement::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TPolyLineElement>("TPolyLineElement", TPolyElement::StaticClass(), "E_Space", {});
  return &info;
}

TClass TAreaElement::StaticClass() {
  using E = TAreaElement;
  static const TClassInfo info = DescribeClass<E>(
      "TAreaElement", TPolyElement::StaticClass(), "E_Space",
      {ReadWriteProp("Holes", &E::Holes, &E::SetHoles), FieldProp("IsHole", &E::IsHole),
       NotStored(ReadProp("HoleOwnerArea", &E::HoleOwnerArea)), NotStored(ReadProp("WholeArea", &E::WholeArea)),
       NotStored(ReadProp("SavedArea", &E::SavedArea))});
  return &info;
}

TAreaElement* THolesEntity::OwnerArea() const { return DynamicCast<TAreaElement>(ownerArea_.Get()); }

TClass THolesEntity::StaticClass() {
  static const TClassInfo info = DescribeClass<THolesEntity>(
      "THolesEntity", TRectEntity::StaticClass(), "E_Space",
      {NotStored(ReadProp("OwnerArea", &THolesEntity::OwnerArea))});
  return &info;
}

TClass TPolyLineAreaElement::StaticClass() {
  using E = TPolyLineAreaElement;
  static const TClassInfo info =
      DescribeClass<E>("TPolyLineAreaElement", TAreaElement::StaticClass(), "E_Space",
                       {ReadWriteProp("LinesOriginesHex", &E::GetLinesOriginesHex, &E::SetLinesOriginesHex)});
  return &info;
}

TClass TSpaceRect::StaticClass() {
  static const TClassInfo info = DescribeClass<TSpaceRect>("TSpaceRect", TRectEntity::StaticClass(), "E_Space",
                                                           {NotStored(ReadProp("Last", &TSpaceRect::Last))});
  return &info;
}

TClass TSpaceLineBegEndCell::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TSpaceLineBegEndCell>("TSpaceLineBegEndCell", TSpaceRect::StaticClass(), "E_Space",
                                          {NotStored(ReadProp("Count", &TSpaceLineBegEndCell::GetEndsCount))});
  return &info;
}

void RegisterE_SpaceClasses() {
  for (TClass cls : {TSpaceEntity::StaticClass(), TPointElement::StaticClass(), TPointString::StaticClass(),
                     TTextElement::StaticClass(), TTextString::StaticClass(), TPolyElement::StaticClass(),
                     TPolyLineElement::StaticClass(), TPolyLineString::StaticClass(), TAreaElement::StaticClass(),
                     TAreaString::StaticClass(), TPolyLineAreaElement::StaticClass(),
                     TSpaceLineBegEndCell::StaticClass(), THolesEntity::StaticClass()})
    RegisterKestuClass(cls);
}
