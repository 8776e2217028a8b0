#pragma once
// Interpret layers: entities of a model that bind a class of elements to an
// interpret of their own, shown within a scale range unless switched off;
// and the containers that hold them.
#include <cstdint>
#include <string>

#include "spatial/geometry/geometry_elements.h"

class TInterpret;

class TInterpretLayer : public TRectEntity {
  KESTX_CLASS(TInterpretLayer)
 public:
  std::string LayerType;
  std::string Path;
  std::int32_t GlobalColor = 0;
  std::int32_t GlobalSymbol = 0;
  bool SwitchedOff = false;
  double MinScaleNumber = 0;
  double MaxScaleNumber = 0;
  bool AsText = false;

  TClass LayerClass() const { return layerClass_; }
  std::string LayerClassName() const;
  // An unknown name clears the class.
  void SetLayerClassName(const std::string& name);
  TInterpret* Interpret() const;
  // Owned: the previous one is freed; the one held already stays.
  void SetInterpret(TInterpret* interpret);
  // The class name of the interpret held ("" for none).
  std::string InterpretName() const;
  // A new interpret of the interpret class of that name (none for another
  // name), unless the one held is of that class already.
  void SetInterpretName(const std::string& name);
  // Not switched off, and the scale within the range (a bound of 0 is none).
  bool VisibleAt(double scale) const;

 private:
  TClass layerClass_ = nullptr;
  TElementLink interpret_;
};

class TInterpretContainer : public TRectEntity {
  KESTX_CLASS(TInterpretContainer)
 public:
  // Its bounds grow by each rect entity added.
  void AddElement(TElement* element) override;
};

void RegisterInterpretLayerClasses();
