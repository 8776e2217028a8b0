#pragma once
// Task models (per-class lists of tasks the shell offers for an element),
// groups that pass a message on to their members, and the record of a
// view's projection parameters.
#include <string>

#include "framework/core/elements.h"
#include "framework/values/inheritance_models.h"

class TStringListElement;

class TTaskModel : public TInheritanceModel {
  KESTX_CLASS(TTaskModel)
 public:
  // The child "TASKS", found or created.
  TStringListElement* Tasks();
};

class TTaskModelEntity : public TInheritanceModelEntity {
  KESTX_CLASS(TTaskModelEntity)
 public:
  TClass GetDefaultItemClass() const override;
  TTaskModel* ActualTaskModel() const;
};

// An entity whose children are its members.
class TGroup : public TOwnerEntity {
  KESTX_CLASS(TGroup)
 public:
  // Offers the message to each member but its sender until one handles it.
  void ReceiveMessage(TKestuMessage*& message, bool& handled) override;
};

class TProjectionInfo : public TOwnerElement {
  KESTX_CLASS(TProjectionInfo)
 public:
  double X = 0;
  double y = 0;
  double Scale = 0;
  double VirtualScale = 0;
};

void RegisterTaskModelClasses();
