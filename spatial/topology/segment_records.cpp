#include "spatial/topology/segment_records.h"

#include <algorithm>

#include "framework/core/class_registry.h"
#include "spatial/geometry/plane_math.h"
#include "spatial/objects/space_entities.h"

// ---------------------------------------------------------------- ends

TPolyLineElement* TLumLinAbscissa::GetLine() const { return static_cast<TPolyLineElement*>(line_.Get()); }
void TLumLinAbscissa::SetLine(TPolyLineElement* Line) { line_.Set(Line); }

void TLumLinAbscissa::GetEnds(double& X1, double& Y1, double& X2, double& Y2) const {
  X1 = Y1 = X2 = Y2 = 0;
  if (const TPolyLineElement* line = GetLine()) {
    line->GetVertexXY(Index, true, X1, Y1);
    line->GetVertexXY(Index + 1, true, X2, Y2);
  }
}

namespace {

struct Ends {
  double X1, Y1, X2, Y2;
  explicit Ends(const TLumLinAbscissa& segment) { segment.GetEnds(X1, Y1, X2, Y2); }
  double X(bool AtBegin) const { return AtBegin ? X1 : X2; }
  double Y(bool AtBegin) const { return AtBegin ? Y1 : Y2; }
};

}  // namespace

double TLumLinAbscissa::GetX1() const { return Ends(*this).X1; }
double TLumLinAbscissa::GetY1() const { return Ends(*this).Y1; }
double TLumLinAbscissa::GetX2() const { return Ends(*this).X2; }
double TLumLinAbscissa::GetY2() const { return Ends(*this).Y2; }

void TLumLinAbscissa::SetX1(double value) {
  if (TPolyLineElement* line = GetLine()) line->SetCoordX(Index, value);
}
void TLumLinAbscissa::SetY1(double value) {
  if (TPolyLineElement* line = GetLine()) line->SetCoordY(Index, value);
}
void TLumLinAbscissa::SetX2(double value) {
  if (TPolyLineElement* line = GetLine()) line->SetCoordX(Index + 1, value);
}
void TLumLinAbscissa::SetY2(double value) {
  if (TPolyLineElement* line = GetLine()) line->SetCoordY(Index + 1, value);
}

void TLumLinAbscissa::MoveEnd(bool AtBegin, double X, double Y) {
  TPolyLineElement* line = GetLine();
  if (!line) return;
  const int vertex = AtBegin ? Index : Index + 1;
  line->SetCoordX(vertex, X);
  line->SetCoordY(vertex, Y);
}

double TLumLinAbscissa::GetXmin() const {
  const Ends e(*this);
  return std::min(e.X1, e.X2);
}
double TLumLinAbscissa::GetYmin() const {
  const Ends e(*this);
  return std::min(e.Y1, e.Y2);
}
double TLumLinAbscissa::GetXmax() const {
  const Ends e(*this);
  return std::max(e.X1, e.X2);
}
double TLumLinAbscissa::GetYmax() const {
  const Ends e(*this);
  return std::max(e.Y1, e.Y2);
}

double TLumLinAbscissa::GetLength() const {
  const Ends e(*this);
  return Mathlib::Distance(e.X1, e.Y1, e.X2, e.Y2);
}

bool TLumLinAbscissa::GetIsFirst() const { return Index == 0; }

bool TLumLinAbscissa::GetIsLast() const {
  const TPolyLineElement* line = GetLine();
  return Index >= (line ? line->GetCoordsCount() : 0) - 2;
}

bool TLumLinAbscissa::GetIsMargin() const { return GetIsFirst() || GetIsLast(); }

int TLumLinAbscissa::GetLineNo() const {
  const TPolyLineElement* line = GetLine();
  return line ? line->GetPropertyInteger("Cislo") : -1;
}

// ---------------------------------------------------------------- tests and moves

bool TLumLinAbscissa::SnapEnd(bool AtBegin, double X, double Y, double Tol) {
  const Ends e(*this);
  if (!Mathlib::PointsCoincide(X, Y, e.X(AtBegin), e.Y(AtBegin), Tol)) return false;
  MoveEnd(AtBegin, X, Y);
  return true;
}

bool TLumLinAbscissa::EndMeetsEndOf(bool AtBegin, const TLumLinAbscissa* Other, bool OtherAtBegin, double Tol,
                                    double& Dist, double& X, double& Y) const {
  if (!Other) return false;
  const Ends other(*Other);
  X = other.X(OtherAtBegin);
  Y = other.Y(OtherAtBegin);
  if (AtBegin ? FixedBegin : FixedEnd) return false;
  const Ends e(*this);
  if (!Mathlib::PointsCoincide(X, Y, e.X(AtBegin), e.Y(AtBegin), Tol)) return false;
  Dist = Mathlib::Distance(X, Y, e.X(AtBegin), e.Y(AtBegin));
  return true;
}

bool TLumLinAbscissa::SnapEndToSegment(bool AtBegin, const TLumLinAbscissa* Other, double Tol, double& X, double& Y) {
  if (!Other) return false;
  const Ends e(*this);
  const Ends other(*Other);
  if (!Mathlib::RectsOverlap(e.X1, e.Y1, e.X2, e.Y2, other.X1, other.Y1, other.X2, other.Y2, Tol)) return false;
  if (AtBegin ? FixedBegin : FixedEnd) return false;
  const double px = e.X(AtBegin);
  const double py = e.Y(AtBegin);
  if (Mathlib::PointsEqual(px, py, other.X1, other.Y1) || Mathlib::PointsEqual(px, py, other.X2, other.Y2))
    return false;
  bool within = false;
  double dist = 0;
  Mathlib::ProjectPointToSegment(within, X, Y, px, py, other.X1, other.Y1, other.X2, other.Y2, dist);
  if (!within || !(dist < Tol)) return false;
  MoveEnd(AtBegin, X, Y);
  (AtBegin ? FixedBegin : FixedEnd) = true;
  return true;
}

void TLumLinAbscissa::CrossingWith(const TLumLinAbscissa* Other, bool AtBegin, double Tol, bool& Found, bool& NearEnd,
                                   double& PX, double& PY, double& FX, double& FY) const {
  Found = false;
  NearEnd = false;
  if (!Other) return;
  bool beginBegin = false, endEnd = false, beginEnd = false, endBegin = false;
  SharedEnds(Other, beginBegin, endEnd, beginEnd, endBegin);
  if ((beginBegin && endEnd) || (beginEnd && endBegin)) return;
  if (AtBegin ? (beginBegin || endBegin) : (beginEnd || endEnd)) return;
  const bool sharesEnd = beginBegin || endEnd || beginEnd || endBegin;
  if (sharesEnd && Other->GetLine() == GetLine() && Other->Index - 1 == Index) return;
  const Ends other(*Other);
  PX = other.X(AtBegin);
  PY = other.Y(AtBegin);
  if (Index > 0) {
    double x = 0, y = 0;
    if (const TPolyLineElement* line = GetLine()) line->GetVertexXY(Index - 1, true, x, y);
    if (GetLine() && Mathlib::PointsEqual(x, y, PX, PY)) return;
  }
  const Ends e(*this);
  bool within = false;
  double dist = 0;
  Mathlib::ProjectPointToSegment(within, FX, FY, PX, PY, e.X1, e.Y1, e.X2, e.Y2, dist);
  if (!within || dist >= Tol) return;
  Found = true;
  NearEnd = Mathlib::Distance(FX, FY, e.X1, e.Y1) < dist || Mathlib::Distance(FX, FY, e.X2, e.Y2) < dist;
}

void TLumLinAbscissa::SplitAt(TLumLinAbscissa*& NewSegment, double X, double Y) {
  NewSegment = nullptr;
  TPolyLineElement* line = GetLine();
  if (!line || !line->InsertVertex(Index + 1, X, Y)) return;
  NewSegment = new TLumLinAbscissa;
  NewSegment->SetLine(line);
  NewSegment->Index = Index + 1;
  NewSegment->IsNew = true;
}

bool TLumLinAbscissa::BoundsMeetRect(double MinX, double MinY, double MaxX, double MaxY, double Tol) const {
  const Ends e(*this);
  return std::max(e.X1, e.X2) + Tol >= MinX && std::min(e.X1, e.X2) - Tol <= MaxX &&
         std::max(e.Y1, e.Y2) + Tol >= MinY && std::min(e.Y1, e.Y2) - Tol <= MaxY;
}

void TLumLinAbscissa::SharedEnds(const TLumLinAbscissa* Other, bool& BeginBegin, bool& EndEnd, bool& BeginEnd,
                                 bool& EndBegin) const {
  BeginBegin = EndEnd = BeginEnd = EndBegin = false;
  if (!Other) return;
  const Ends e(*this);
  const Ends o(*Other);
  BeginBegin = Mathlib::PointsEqual(e.X1, e.Y1, o.X1, o.Y1);
  EndEnd = Mathlib::PointsEqual(e.X2, e.Y2, o.X2, o.Y2);
  BeginEnd = Mathlib::PointsEqual(e.X1, e.Y1, o.X2, o.Y2);
  EndBegin = Mathlib::PointsEqual(e.X2, e.Y2, o.X1, o.Y1);
}

// ---------------------------------------------------------------- segment tree

void TQTreeLumLinAbsc::GetElementBounds(TElement* Element, double& MinX, double& MinY, double& MaxX,
                                        double& MaxY) const {
  const auto* segment = DynamicCast<TLumLinAbscissa>(Element);
  if (!segment) {
    // Not fileable: the empty box, refused on entry.
    MinX = MinY = TRectangle::EmptyMarker;
    MaxX = MaxY = -TRectangle::EmptyMarker;
    return;
  }
  double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  segment->GetEnds(x1, y1, x2, y2);
  MinX = std::min(x1, x2);
  MinY = std::min(y1, y2);
  MaxX = std::max(x1, x2);
  MaxY = std::max(y1, y2);
}

bool TQTreeLumLinAbsc::ElementMeetsRect(TElement* Element, double MinX, double MinY, double MaxX, double MaxY) const {
  const auto* segment = DynamicCast<TLumLinAbscissa>(Element);
  return segment && segment->BoundsMeetRect(MinX, MinY, MaxX, MaxY, 0);
}

// ---------------------------------------------------------------- classes

TClass TLumLinAbscissa::StaticClass() {
  using S = TLumLinAbscissa;
  static const TClassInfo info = DescribeClass<S>(
      "TLumLinAbscissa", TOwnerElement::StaticClass(), "E_QTLin",
      {ReadWriteProp("Line", &S::GetLine, &S::SetLine), FieldProp("Index", &S::Index),
       FieldProp("IsNewEnd", &S::IsNewEnd), FieldProp("IsNew", &S::IsNew), FieldProp("IsDeleted", &S::IsDeleted),
       FieldProp("FixedBegin", &S::FixedBegin), FieldProp("FixedEnd", &S::FixedEnd),
       NotStored(ReadWriteProp("X1", &S::GetX1, &S::SetX1)), NotStored(ReadWriteProp("Y1", &S::GetY1, &S::SetY1)),
       NotStored(ReadWriteProp("X2", &S::GetX2, &S::SetX2)), NotStored(ReadWriteProp("Y2", &S::GetY2, &S::SetY2)),
       NotStored(ReadProp("Xmin", &S::GetXmin)), NotStored(ReadProp("Ymin", &S::GetYmin)),
       NotStored(ReadProp("Xmax", &S::GetXmax)), NotStored(ReadProp("Ymax", &S::GetYmax)),
       NotStored(ReadProp("Length", &S::GetLength)), NotStored(ReadProp("IsFirst", &S::GetIsFirst)),
       NotStored(ReadProp("IsLast", &S::GetIsLast)), NotStored(ReadProp("IsMargin", &S::GetIsMargin)),
       NotStored(ReadProp("LineNo", &S::GetLineNo))});
  return &info;
}

TClass TQTreeLumLin::StaticClass() {
  static const TClassInfo info = DescribeClass<TQTreeLumLin>("TQTreeLumLin", TSpaceEntityQTree::StaticClass(), "E_QTLin", {});
  return &info;
}

TClass TQTreeLumLinAbsc::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TQTreeLumLinAbsc>("TQTreeLumLinAbsc", TQTree::StaticClass(), "E_QTLin", {});
  return &info;
}

void RegisterE_QTLinClasses() {
  for (TClass cls : {TLumLinAbscissa::StaticClass(), TQTreeLumLin::StaticClass(), TQTreeLumLinAbsc::StaticClass()})
    RegisterKestuClass(cls);
}
