#pragma once
// Models that describe elements as data: property models linked to each
// other, and element models naming a class, its sub-element models and its
// property models.  Tools configure themselves from them.
#include <string>

#include "framework/core/elements.h"

class TStringListElement;

// A link between two models; applying it makes the element described by the
// source a child of the element described by the destination.
class TModelLink : public TOwnerElement {
  KESTX_CLASS(TModelLink)
 public:
  TElement* GetSource() const { return source_.Get(); }
  void SetSource(TElement* source) { source_.Set(source); }
  TElement* GetDestination() const { return destination_.Get(); }
  void SetDestination(TElement* destination) { destination_.Set(destination); }

  void Apply();

 private:
  TElementLink source_;
  TElementLink destination_;
};

class TPropertyModel : public TOwnerEntity {
  KESTX_CLASS(TPropertyModel)
 public:
  bool LinkOnly = false;
  std::string Alias;
  std::string Value;

  // The child "LINKS", created on first use.
  TOwnerEntity* Links();
  bool NoLinks() const;
  void NewSourceLink(TElement* element);
  void NewDestinationLink(TElement* element);

  // The element this model describes.
  virtual TElement* GetModelElement();

 protected:
  // The named child entity, found or created.
  TOwnerEntity* NamedPart(const char* name);
  // The named child when it exists and has children.
  TEntity* FilledPart(const char* name) const;

 private:
  void AddLink(TElement* source, TElement* destination);
};

class TElementModel : public TPropertyModel {
  KESTX_CLASS(TElementModel)
 public:
  std::string ElementClassName;
  std::string Comment;
  std::string AttachToPropertyName;
  int ImageIndex = 0;

  TOwnerEntity* ModelElements();
  bool NoModelElements() const;
  TOwnerEntity* ModelProperties();
  bool NoModelProperties() const;
  TStringListElement* Images();
  bool NoImages() const;
  void NewElementName(const std::string& name);
  void NewPropertyName(const std::string& name);
  void NewImage(const std::string& text);
  TPropertyModel* LastPropertyModel() const;

  TElement* GetModelElement() override;
};

void RegisterElementModelClasses();
