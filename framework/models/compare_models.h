#pragma once
// A comparison of two element trees: per-class comparison models name the
// key properties that pair children and the properties compared; the result
// is a tree of comparison nodes, one per pair, with a status and the first
// differing property.
#include <cstdint>
#include <string>

#include "framework/core/elements.h"
#include "framework/values/inheritance_models.h"

class TStringListElement;
class TTool;

enum class TCompareStatus : std::uint8_t { csOK, csLeftNotFound, csRightNotFound, csDifference, csClassNotFound };
enum class TCompareType : std::uint8_t { ctCompareNames, ctCompareNameAndClass, ctCompareAll };

namespace typinfo {
template <>
const TEnumType& EnumTypeOf<TCompareStatus>();
template <>
const TEnumType& EnumTypeOf<TCompareType>();
}  // namespace typinfo

// The class's compared properties: the key properties pair a left child with
// a right one, the properties are compared in their order.
class TCompareClassModel : public TInheritanceModel {
  KESTX_CLASS(TCompareClassModel)
 public:
  TStringListElement* KeyProperties();
  TStringListElement* Properties();
  void SetNextKeyProperty(const std::string& name);
  void SetNextProperty(const std::string& name);
};

class TCompareClassModels : public TInheritanceModelEntity {
  KESTX_CLASS(TCompareClassModels)
 public:
  TClass GetDefaultItemClass() const override;
  TCompareClassModel* ActualClassModel() const;
};

// The envelope of a node's child nodes.
class TCompareNodes : public TEnvelopeEntity {
  KESTX_CLASS(TCompareNodes)
 public:
  std::string GetName() const override;
  // Names are compared as GetName gives them, not as stored.
  bool SameNameAs(std::string_view name) const override { return TElement::SameNameAs(name); }
};

class TCompareModel;

class TCompareNode : public TOwnerEntity {
  KESTX_CLASS(TCompareNode)
 public:
  TCompareStatus Status = TCompareStatus::csOK;

  TElement* Model1() const { return model1_.Get(); }
  // Each compared element becomes a child of the node.
  void SetModel1(TElement* element);
  TElement* Model2() const { return model2_.Get(); }
  virtual void SetModel2(TElement* element);
  std::string Model1Name() const;
  std::string Model2Name() const;
  // Found or created: "Differences" and "NODES".
  TStringListElement* ErrProps();
  TCompareNodes* Nodes();
  TCompareModel* Root() const;
  void SetRoot(TCompareModel* root);
  // A new node with the same root, added to this node's nodes.
  virtual TCompareNode* NewNode();

 protected:
  // Stores the right element without starting a comparison.
  void StoreModel2(TElement* element);

 private:
  // Takes the element as a child in the link's place, the old one going.
  void Hold(TElementLink& link, TElement* element);

  TElementLink model1_;
  TElementLink model2_;
  TElementLink root_;
};

class TCompareModel : public TCompareNode {
  KESTX_CLASS(TCompareModel)
 public:
  TCompareType CompareType = TCompareType::ctCompareNames;
  bool CompareThruDifference = false;

  TCompareModel();
  TCompareClassModels* CompareScript();
  void SetCompareScript(TCompareClassModels* script);
  TTool* Progress();
  // Pairs compared in the last comparison.
  int Compared() const { return counter_; }

  // Storing the right element compares the two trees.
  void SetModel2(TElement* element) override;
  // The comparison model for a class (the last one looked up is kept).
  TCompareClassModel* ClassModel(TClass cls);

 private:
  friend class TCompareRun;
  int counter_ = 0;
  TClass cachedClass_ = nullptr;
  TElementLink cachedModel_;
};

void RegisterCompareClasses();
