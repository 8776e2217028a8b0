#pragma once
// Element classes with a property of every stored kind, for the element
// stream tests.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/core/elements.h"

// A leaf whose constructor sets non-zero values, so that a value the writer
// omitted shows whether the reader restored it.
class TTestLeaf : public TOwnerElement {
  KESTX_CLASS(TTestLeaf)
 public:
  TTestLeaf() { ++Alive; }
  ~TTestLeaf() override { --Alive; }
  std::int32_t Value = 7;
  double Ratio = 1.5;
  char Letter = 'q';
  std::string Label = "x";
  bool Flag = true;
  TElement* Link() const { return link_.Get(); }
  void SetLink(TElement* element) { link_.Set(element); }
  static inline int Alive = 0;

 private:
  TElementLink link_;
};

// An entity that owns the element of its Part property and refers to a leaf
// through Typed.
class TTestBox : public TOwnerEntity {
  KESTX_CLASS(TTestBox)
 public:
  TElement* Part() const { return part_; }
  void SetPart(TElement* element) { SetOwnedElement(part_, element); }
  TTestLeaf* Typed() const { return static_cast<TTestLeaf*>(typed_.Get()); }
  void SetTyped(TTestLeaf* leaf) { typed_.Set(leaf); }

 private:
  TElement* part_ = nullptr;
  TElementLink typed_;
};

void RegisterKesTestClasses();

// The loaded graph as text, for one comparison per graph: leaves as
// [name:]L(value ratio letter label flag), other elements as class [name]
// [children]; references as ->#i (a child of the root) or ->(the element).
std::string DumpGraph(TElement* root);

// Frees a loaded graph with the inline elements its properties took without
// owning them (the reader leaves those alive, as the file made them).
void FreeLoaded(TElement* root);
struct FreeGraph {
  void operator()(TElement* root) const { FreeLoaded(root); }
};
using Graph = std::unique_ptr<TElement, FreeGraph>;
