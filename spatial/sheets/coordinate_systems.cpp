#include "spatial/sheets/coordinate_systems.h"

#include "framework/core/class_registry.h"
#include "spatial/geometry/geometry_elements.h"

// ---------------------------------------------------------------- TWCS

std::uint8_t TWCS::GetKind() const { return kind_; }
void TWCS::SetKind(std::uint8_t value) { kind_ = value; }
std::string TWCS::GetAxis1Name() const { return axis1_; }
std::string TWCS::GetAxis2Name() const { return axis2_; }
std::string TWCS::GetAxis3Name() const { return axis3_; }
void TWCS::SetAxis1Name(const std::string& value) { axis1_ = value; }
void TWCS::SetAxis2Name(const std::string& value) { axis2_ = value; }
void TWCS::SetAxis3Name(const std::string& value) { axis3_ = value; }

// ---------------------------------------------------------------- TJTSK

std::uint8_t TJTSK::GetKind() const { return Kind; }
std::string TJTSK::GetAxis1Name() const { return "Y"; }
std::string TJTSK::GetAxis2Name() const { return "X"; }
std::string TJTSK::GetAxis3Name() const { return "Vyska"; }

void TJTSK::ConvertToWorld(long double X, long double Y, long double Z, long double& WX, long double& WY,
                           long double& WZ) const {
  WX = -X;
  WY = -Y;
  WZ = -Z;
}

void TJTSK::ConvertFromWorld(long double WX, long double WY, long double WZ, long double& X, long double& Y,
                             long double& Z) const {
  X = -WX;
  Y = -WY;
  Z = -WZ;
}

TCoordinate* TJTSK::CoordToWorld(TCoordinate* C) const {
  C->SetX(-C->GetX());
  C->SetY(-C->GetY());
  C->SetZ(-C->GetZ());
  return C;
}

TCoordinate* TJTSK::CoordFromWorld(TCoordinate* C) const { return CoordToWorld(C); }

TGeographic_WCS* TJTSK::CoordToGeographic(TCoordinate*) { return this; }
TGeographic_WCS* TJTSK::CoordFromGeographic(TCoordinate*) { return this; }

// ---------------------------------------------------------------- TWCSLibrary

TWCS* TWCSLibrary::FindWCS(std::uint8_t Kind) {
  for (TElement* child : Children())
    if (auto* wcs = DynamicCast<TWCS>(child); wcs && wcs->GetKind() == Kind) return wcs;
  if (Kind != TJTSK::Kind) return nullptr;
  auto* grid = new TJTSK;
  AddElement(grid);
  return grid;
}

// ---------------------------------------------------------------- TWCSWorld

TWCSLibrary* TWCSWorld::GetLibrary() {
  if (!library_.Get()) {
    auto* library = new TWCSLibrary;
    AddElement(library);
    library_.Set(library);
  }
  return static_cast<TWCSLibrary*>(library_.Get());
}

TWCS* TWCSWorld::GetWCS(std::uint8_t Kind) { return GetLibrary()->FindWCS(Kind); }

// ---------------------------------------------------------------- descriptions

TClass TWCS::StaticClass() {
  static const TClassInfo info = DescribeClass<TWCS>("TWCS", TElement::StaticClass(), "e_WCS", {});
  return &info;
}

TClass TGeographic_WCS::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TGeographic_WCS>("TGeographic_WCS", TWCS::StaticClass(), "e_WCS", {});
  return &info;
}

TClass TJTSK::StaticClass() {
  static const TClassInfo info = DescribeClass<TJTSK>("TJTSK", TGeographic_WCS::StaticClass(), "e_WCS", {});
  return &info;
}

TClass TWCSLibrary::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TWCSLibrary>("TWCSLibrary", TOwnerEntity::StaticClass(), "e_WCS", {});
  return &info;
}

TClass TWCSWorld::StaticClass() {
  static const TClassInfo info = DescribeClass<TWCSWorld>("TWCSWorld", TWorld::StaticClass(), "e_WCS", {});
  return &info;
}

// The program's world is made by this class name (WorldClass of the world unit).
void RegisterE_WCSClasses() { RegisterKestuClass(TWCSWorld::StaticClass()); }
