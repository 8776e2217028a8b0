#include "app/pickers/pick_uppers.h"

#include <initializer_list>

#include "framework/core/class_registry.h"
#include "spatial/objects/space_entities.h"

namespace {

bool IsAny(const TElement* element, std::initializer_list<TClass> classes) {
  for (TClass cls : classes)
    if (element->InheritsFrom(cls)) return true;
  return false;
}

// A rect entity that is none of the classes the walk keeps out of.
bool MayEnter(const TElement* element, std::initializer_list<TClass> keptOut) {
  return DynamicCast<TRectEntity>(element) && !IsAny(element, keptOut);
}

}  // namespace

TPickUper::TPickUper() = default;
TPickUper::~TPickUper() = default;

T2DCoordinate& TPickUper::Point() {
  if (!point_) point_ = std::make_unique<T2DCoordinate>();
  return *point_;
}

double TPickUper::X() const { return point_ ? point_->GetX() : 0; }
double TPickUper::Y() const { return point_ ? point_->GetY() : 0; }
void TPickUper::SetX(double value) { Point().SetX(value); }
void TPickUper::SetY(double value) { Point().SetY(value); }

void TPickUper::DoIt() {
  found_ = false;
  TRecursor::DoIt();
}

// A run that finds nothing must not leave the last run's element as its
// answer.
void TPickUper::Prepare() { SetOutput(nullptr); }

void TPickUper::Process(TElement* element) {
  auto* entity = DynamicCast<TSpaceEntity>(element);
  if (found_ || !entity || !point_) return;
  found_ = entity->HitTest(point_.get(), Tolerance);
  if (found_) SetOutput(entity);
}

bool TPickUpPoint::QGoInside(TElement* element) {
  return !Found() && MayEnter(element, {TAreaString::StaticClass(), TPolyLineString::StaticClass(),
                                        TPolyLineElement::StaticClass(), TAreaElement::StaticClass()});
}

bool TPickUpPoint::QProcessBefore(TElement* element) { return !Found() && DynamicCast<TPointElement>(element); }

bool TPickUpPolyLine::QGoInside(TElement* element) {
  return !Found() && MayEnter(element, {TPolyLineElement::StaticClass(), TAreaElement::StaticClass(),
                                        TAreaString::StaticClass(), TPointString::StaticClass()});
}

bool TPickUpPolyLine::QProcessBefore(TElement* element) { return !Found() && DynamicCast<TPolyLineElement>(element); }

bool TPickUpArea::QGoInside(TElement* element) {
  return !Found() && MayEnter(element, {TAreaElement::StaticClass(), TPolyLineElement::StaticClass(),
                                        TPolyLineString::StaticClass(), TPointString::StaticClass()});
}

bool TPickUpArea::QProcessBefore(TElement* element) { return !Found() && DynamicCast<TAreaElement>(element); }

TClass TPickUper::StaticClass() {
  using E = TPickUper;
  static const TClassInfo info =
      DescribeClass<E>("TPickUper", TRecursor::StaticClass(), "T_PickUp",
                       {NotStored(ReadProp("Found", &E::Found)), ReadWriteProp("X", &E::X, &E::SetX),
                        ReadWriteProp("Y", &E::Y, &E::SetY), FieldProp("Tolerance", &E::Tolerance)});
  return &info;
}

TClass TPickUpPoint::StaticClass() {
  static const TClassInfo info = DescribeClass<TPickUpPoint>("TPickUpPoint", TPickUper::StaticClass(), "T_PickUp", {});
  return &info;
}

TClass TPickUpPolyLine::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TPickUpPolyLine>("TPickUpPolyLine", TPickUper::StaticClass(), "T_PickUp", {});
  return &info;
}

TClass TPickUpArea::StaticClass() {
  static const TClassInfo info = DescribeClass<TPickUpArea>("TPickUpArea", TPickUper::StaticClass(), "T_PickUp", {});
  return &info;
}

void RegisterPickUperClasses() {
  RegisterKestuClass(TPickUper::StaticClass());
  RegisterKestuClass(TPickUpPoint::StaticClass());
  RegisterKestuClass(TPickUpPolyLine::StaticClass());
  RegisterKestuClass(TPickUpArea::StaticClass());
}
