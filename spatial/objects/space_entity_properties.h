#pragma once
// The property object of a map object that comes from a GIS block or goes
// into one: it knows its entity and, walking the element graph upwards
// (entity -> slot -> object register -> block register), the number the
// entity is filed under and the block's name.  Names no level publishes
// are fields of the block's attribute record, which the block subsystem's
// descendants read and write.
#include <string>

#include "framework/core/elements.h"

class TSpaceEntity;
class TObjectRegister;
class TBlockRegister;

class TSpaceEntityProps : public TOwnerEntity {
  KESTX_CLASS(TSpaceEntityProps)
 public:
  // A working mark of its own, distinct from the entity's.
  bool IsDone = false;

  // Set by the entity's Properties writer; reads nil once the entity is gone.
  TSpaceEntity* SpaceEntity() const;
  void SetSpaceEntity(TSpaceEntity* entity);

  virtual int GetSpaceID() const;
  // Nil, -1 or empty wherever a link of the upward walk is missing.
  virtual TObjectRegister* GetObjectRegister() const;
  virtual TBlockRegister* GetBlockRegister() const;
  // Entities filed under one number share the first one's properties.
  virtual TElement* GetPrimaryProps() const;
  // The number under which the entity is filed.
  virtual int GetOrigNo() const;
  virtual std::string GetBlockName() const;
  virtual bool HasField(const std::string& Name) const;
  virtual void GetFieldValue(const std::string& Name, std::string& Value) const;
  virtual void SetFieldValue(const std::string& Name, const std::string& Value);
  virtual bool LocateRecord() const;
  // A new object of the same class with this one's own published values;
  // the caller owns it.
  virtual TSpaceEntityProps* CloneProps() const;

  bool HasProperty(const std::string& name) const override;
  std::string GetPropertyText(const std::string& name) const override;
  void SetPropertyText(const std::string& name, const std::string& text) override;

 private:
  TElementLink spaceEntity_;
};
