#pragma once
// The registers that file the space entities of GIS blocks by block, kind
// letter and object number: one TRegister for the model, one TBlockRegister
// per block, and in each block one TObjectRegister per kind letter whose
// child at index n is the slot of object number n.
//
// Kind letters: B point, T text, L line, P area, X any other element.
#include <memory>
#include <string>

#include "framework/tools/tools.h"
#include "spatial/objects/space_entities.h"

// One slot: the entities filed under one number.
class TObjectOwner : public TOwnerEntity {
  KESTX_CLASS(TObjectOwner)
 public:
  // The inherited answer, else that of the first entity.
  std::string GetPropertyText(const std::string& name) const override;
  void ReceiveMessage(TKestuMessage*& message, bool& handled) override;

 private:
  friend class TObjectRegister;
  int number_ = -1;  // the index it was created at
};

class TObjectRegister : public TSpaceEntity {
  KESTX_CLASS(TObjectRegister)
 public:
  // Numbers that can be filed.
  static constexpr int MinNumber = 1;
  static constexpr int MaxNumber = 500000;

  // Files a space entity under its SpaceID; any other element, and numbers
  // outside MinNumber .. MaxNumber, are not filed.
  void Register(TElement* Entity);
  TSpaceEntity* FindEntity(int Number) const;
  // Empties one slot; a number that names no slot is ignored.
  void ClearSlot(int Number);
  int SlotCount() const { return static_cast<int>(Children().size()); }
  // The slot's object number, -1 when it is no slot of this register.
  int SlotNumber(const TObjectOwner* slot) const;
  std::string GetBlockName() const;

  // The attribute table; the block subsystem's registers create one.
  virtual TObject* GetDBF() const;
  // A new empty slot, not yet added.
  virtual TObjectOwner* CreateSlot() const;

 protected:
  std::unique_ptr<TObject> DBFTable;  // owned
};

class TBlockRegister : public TSpaceEntity {
  KESTX_CLASS(TBlockRegister)
 public:
  // Files the element under its kind letter; the block's bounds grow by it
  // whether or not it could be filed.
  virtual void RegisterElement(TElement* Element);
  virtual void RegisterSpaceEntity(TElement* Entity);
  // Created on first use.
  virtual TObjectRegister* GetObjectRegister(char Letter);
  virtual TSpaceEntity* FindObject(char Letter, int Number);
  virtual void ClearObject(char Letter, int Number);
};

class TRegister : public TSpaceEntity {
  KESTX_CLASS(TRegister)
 public:
  virtual TBlockRegister* FindBlockRegister(const std::string& Name) const;
  // Creates the block register by class name when there is none; nil when
  // that class makes no block register.
  virtual TBlockRegister* GetBlockRegister(const std::string& Name, const std::string& ClassName);
};

// Finds an object by block name, kind and number in the world's register.
class TRegisterObjectSelector : public TTool {
  KESTX_CLASS(TRegisterObjectSelector)
 public:
  std::string BlockName;
  std::int32_t ObjectNo = 0;
  // Its first character is the kind letter; empty finds nothing.
  std::string ObjectType;

  void DoIt() override;
};

void RegisterE_RegClasses();
