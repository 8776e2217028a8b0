#pragma once
// The block registers of this subsystem: object registers whose slots name
// themselves after their first object and which keep the attribute table of
// the objects they file.
#include "spatial/objects/registers.h"

class TLumarDBFTable;

// The slot of one object number.
class TLumarObjectOwner : public TObjectOwner {
  KESTX_CLASS(TLumarObjectOwner)
 public:
  // The first block object added names the slot: kind letter, number, ":",
  // kind (L12:1 for line 12 of kind 1).
  void AddElement(TElement* element) override;
};

class TLumarObjectRegister : public TObjectRegister {
  KESTX_CLASS(TLumarObjectRegister)
 public:
  // Created read-only on first use; owned.
  TObject* GetDBF() const override;
  TLumarDBFTable* GetDBFTable() const;
  TObjectOwner* CreateSlot() const override;
};

class TLumarBlockRegister : public TBlockRegister {
  KESTX_CLASS(TLumarBlockRegister)
 public:
  // Creates a TLumarObjectRegister when the letter has none.
  TObjectRegister* GetObjectRegister(char Letter) override;
};

void RegisterE_LmrRegClasses();
