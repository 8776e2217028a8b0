#pragma once
// The stand-group selector of a graphic window: the stand notation of the
// stand area under the mouse in the window's status panels, and the area
// handed on when clicked.
#include <cstdint>
#include <memory>

#include "app/pickers/object_selectors.h"

class TAreaElement;
class THeleSkupina;

class TPSKSelector : public TObjectSelector {
  KESTX_CLASS(TPSKSelector)
 public:
  // Looks in the object model's "DATA"/"HIERARCHY"; without it the selector
  // shows and chooses nothing.
  TPSKSelector();
  ~TPSKSelector() override;

  // The lookup under the mouse; nil without a hierarchy.
  THeleSkupina* Lookup() const { return lookup_.get(); }

  std::int32_t GetCursor() override;
  void MouseMove(TKestuMessage* message, bool& handled) override;
  void MouseUp(TKestuMessage* message, bool& handled) override;

 private:
  // LHC, compartment, sub-compartment, stand and stand group of the area
  // found, or nothing, in the panels 0 to 4 of the window.
  void ShowKeys();

  std::unique_ptr<THeleSkupina> lookup_;
};

// The mark of a chosen stand area: its outline in red, and at its reference
// point a red diagonal cross and a white upright one.
void MarkStandArea(TDevice& device, TAreaElement& area);

void RegisterPSKSelectorClasses();
