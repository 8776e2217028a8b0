#pragma once
// Inheritance models: per-class information arranged in a tree that follows
// the class hierarchy, so that the most specific entry for any class can be
// found.  A node's sub-nodes are the nodes of the nearest descendant classes.
// The class models of the system register are such trees.
#include <cstdint>
#include <string>

#include "framework/core/elements.h"

// The container of a node's sub-nodes; passes messages on to the node.
class TModelItems : public TEnvelopeEntity {
  KESTX_CLASS(TModelItems)
 public:
  std::string GetName() const override;
  // Names are compared as GetName gives them, not as stored.
  bool SameNameAs(std::string_view name) const override { return TElement::SameNameAs(name); }
};

class TInheritanceModel : public TOwnerEntity {
  KESTX_CLASS(TInheritanceModel)
 public:
  TClass ElementClass() const { return elementClass_; }
  std::string GetElementClassName() const;

  // Created on first use.
  virtual TModelItems* GetItems();
  virtual bool GetNoItems() const;
  // Files node in the tree below this node.
  virtual void InsertModel(TInheritanceModel* node);
  virtual void SetElementClass(TClass cls);
  virtual void SetElementClassName(const std::string& name);
  // The most specific node for cls, nil when none.
  virtual TInheritanceModel* FindModel(TClass cls);
  virtual TInheritanceModel* FindModelByName(const std::string& name);
  virtual bool AcceptsClass(TClass cls) const;

  // The items without creating them; nil when there are none.
  TModelItems* ExistingItems() const;

 private:
  TClass elementClass_ = nullptr;
};

// The root of a tree, with a current node and an error code.
class TInheritanceModelEntity : public TInheritanceModel {
  KESTX_CLASS(TInheritanceModelEntity)
 public:
  enum : std::int32_t { errNone = 0, errNoModel = 1, errNoClass = 2, errNoActual = 3 };
  std::int32_t Error = errNone;

  TClass ItemClass() const;
  std::string GetItemClassName() const;
  void SetItemClassName(const std::string& name);
  TInheritanceModel* ActualItem() const;

  // "NIL" and errNoActual without a current node.
  virtual std::string GetActualClassName();
  virtual bool GetIsError() const;
  virtual void SetNewClassName(const std::string& name);
  virtual void SetActualClassName(const std::string& name);
  virtual void SetFindClassName(const std::string& name);
  virtual void DeleteActualItem(bool flag);
  virtual TClass GetDefaultItemClass() const;

 private:
  // Frees the current node; the sub-nodes it holds go back into the tree.
  void FreeActualItem();

  TClass itemClass_ = nullptr;
  TElementLink actualItem_;
};

// ---------------------------------------------------------------- register models

class TRegisterPropertyModel : public TOwnerEntity {
  KESTX_CLASS(TRegisterPropertyModel)
 public:
  std::string Alias;
  std::int32_t ImageIndex = 0;
  std::string Editor;
};

class TRegisterClassModel : public TInheritanceModel {
  KESTX_CLASS(TRegisterClassModel)
 public:
  std::string Alias;
  std::int32_t ImageIndex = 0;
  std::int32_t ImageSelectedIndex = 0;
  std::string Editor;
  std::string Interpret;
  std::string SubClass;

  // The children "PROPERTY MODELS" and "SHELL", created on first use.
  TOwnerEntity* PropertyModels();
  TOwnerEntity* Shell();
};

class TRegisterClassModels : public TInheritanceModelEntity {
  KESTX_CLASS(TRegisterClassModels)
 public:
  TClass GetDefaultItemClass() const override;
  TRegisterClassModel* ActualClassModel() const;
};

// Registers the register models (the tree classes themselves are created
// by class reference only).
void RegisterInhMdlClasses();
