#pragma once
// Finding things in the forest hierarchy: down the names of the levels, the
// stand area (and so its stand group) under a map point, and every entity
// of a name.
#include <array>
#include <memory>
#include <string>

#include "framework/tools/recursor.h"

class TAreaElement;
class TPorostniSkupina;
class TRectEntity;

// Follows the names LHC, compartment, sub-compartment, stand and stand group
// down from the Input; Output is the deepest unit found.
class THeleHier : public TTool {
  KESTX_CLASS(THeleHier)
 public:
  enum Level { kLHC, kOdd, kDil, kPor, kPSK, kLevels };

  // The name of the unit found at the level; empty when none.
  std::string NodeName(Level level) const;
  // Looks the name up under the unit of the level above (under the Input for
  // the LHC) and forgets the deeper levels.
  void SetNodeName(Level level, const std::string& name);

  void DoIt() override;

 private:
  std::array<TElementLink, kLevels> nodes_;
};

// Finds the stand area under the point (X, Y) by walking the hierarchy from
// the Input into the groups whose bounds hold the point, and inside a stand
// group only into its "GEOMETRY".  The area found last is tested first.
class THeleSkupina : public TRecursor {
  KESTX_CLASS(THeleSkupina)
 public:
  THeleSkupina();
  ~THeleSkupina() override;

  double X = 0;
  double Y = 0;
  bool Found = false;

  // The geometry the point was tested against: the area itself, or its
  // plain copy with holes when it is bounded by lines.
  TAreaElement* KeptArea() const;
  // The found area's keys: "LHC ODDELENIDILECPOROST SKUPINA", empty without
  // an Output.
  std::string OutString() const;
  // The Output's keys LHC, ODDELENI, DILEC, POROST, SKUPINA (KeyText).
  std::string Key(const char* property) const;
  // The stand group the area was found in; nil unless found.
  TPorostniSkupina* PSKObject() const;

  void DoIt() override;
  bool QGoInside(TElement* element) override;
  bool QProcessBefore(TElement* element) override;
  void Process(TElement* element) override;
  void Prepare() override;

 protected:
  void LeftInside(TElement* element) override;

 private:
  void Forget();

  TElementLink area_;
  // Owned when the area had to be converted; else nil and the area is used.
  std::unique_ptr<TAreaElement> converted_;
  TElementLink psk_;
  // The level below the stand group being walked, 0 outside one.
  int pskDepth_ = 0;
  TElementLink pskEntered_;
};

// Collects every entity named SelectedName into its Output, the entity
// "Selected elements".
class TSelectByName : public TRecursor {
  KESTX_CLASS(TSelectByName)
 public:
  std::string SelectedName;
  bool CaseSensitive = false;
  // The name need only occur in the element's name.
  bool Partialy = false;

  bool QProcessBefore(TElement* element) override;
  void Process(TElement* element) override;

 private:
  bool Matches(const std::string& name) const;
};

// The object model's DATA/"HIERARCHY"; nil without a world or either of them.
TElement* ModelHierarchy();

void RegisterHierarchyLookupClasses();
