#pragma once
// A rect entity that keeps its geometry in one child named "GEOMETRY".
#include "spatial/geometry/geometry_elements.h"

class TGeometryElement : public TRectEntity {
  KESTX_CLASS(TGeometryElement)
 public:
  static constexpr const char* GeometryName = "GEOMETRY";

  bool NoGeometry() const;
  // Made as an empty rect entity when there is none.
  TElement* GetGeometry();
  // The old geometry is freed; E becomes the geometry and a child.
  void SetGeometry(TElement* E);

  // The stream lists the geometry among the children after setting it: it
  // stays one child, in the place the list gives it.
  void AddElement(TElement* element) override;

 private:
  mutable TElementLink geometry_;
};

void RegisterE_GeometryClasses();
