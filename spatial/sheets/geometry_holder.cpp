#include "spatial/sheets/geometry_holder.h"

#include "framework/core/class_registry.h"

bool TGeometryElement::NoGeometry() const {
  if (!geometry_.Get()) geometry_.Set(FindElementByName(GeometryName));
  return geometry_.Get() == nullptr;
}

TElement* TGeometryElement::GetGeometry() {
  if (NoGeometry()) {
    auto* geometry = new TRectEntity;
    geometry->SetName(GeometryName);
    geometry_.Set(geometry);
    TRectEntity::AddElement(geometry);
  }
  return geometry_.Get();
}

void TGeometryElement::SetGeometry(TElement* E) {
  NoGeometry();  // a child from a file, not yet looked up, is replaced too
  ReplaceLinkedChild(geometry_, E);
}

void TGeometryElement::AddElement(TElement* element) { AddLinkedChild(geometry_, element); }

TClass TGeometryElement::StaticClass() {
  using G = TGeometryElement;
  static const TClassInfo info = DescribeClass<G>(
      "TGeometryElement", TRectEntity::StaticClass(), "e_Geometry",
      {StoredWhen(AccessorProp<G, TElement*>(
                      "Geometry", [](const G& g) { return const_cast<G&>(g).GetGeometry(); },
                      [](G& g, TElement* e) { g.SetGeometry(e); }),
                  [](const TObject& o) { return !static_cast<const G&>(o).NoGeometry(); }),
       NotStored(ReadProp("NoGeometry", &G::NoGeometry))});
  return &info;
}

void RegisterE_GeometryClasses() { RegisterKestuClass(TGeometryElement::StaticClass()); }
