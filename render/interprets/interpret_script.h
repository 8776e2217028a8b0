#pragma once
// Interpret scripts: which interpret draws which element.  A script is a tree
// of nodes: class nodes bind an element class (and its descendants) to an
// interpret and are nested by inheritance, instance nodes bind one element.
// A script may hold several passes, each a tree of its own; its published
// properties form a small editing language that reports through Error.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/core/elements.h"

class TDevice;
class TInterpret;
class TISClass;
class TISInstances;

class TISInstance : public TOwnerEntity {
  KESTX_CLASS(TISInstance)
 public:
  TElement* Element() const { return element_.Get(); }
  void SetElement(TElement* element);
  using TOwnerEntity::SetElement;

  virtual TInterpret* GetInterpret() const;
  // Held as a child; the previous one is let go (the same one stays).
  virtual void SetInterpret(TInterpret* interpret);
  virtual bool Accepts(const TElement* element) const;
  virtual bool AcceptsClass(TClass cls) const;
  virtual TInterpret* FindInterpret(const TElement* element) const;
  virtual void AttachDevice(TDevice* device);
  virtual void DetachDevice();
  virtual void UpdateName();

 private:
  // Each list holding the node drops its index.
  void DropIndexes() const;
  TElementLink element_;
  TElementLink interpret_;
};

// The nodes of one level, and the root of one pass.  A level may hold an
// instance node for each element drawn: it keeps an index of its nodes (its
// class nodes in list order, and each element's first instance node), so
// that finding a node takes the class nodes and one look-up, not the whole
// list.  Every change of the list drops the index, but for nodes appended
// one by one, which join it.
class TISInstances : public TOwnerEntity {
  KESTX_CLASS(TISInstances)
 public:
  ~TISInstances() override;
  // The first node in list order that accepts the element; only instance
  // nodes when instancesOnly.
  TISInstance* FirstAccepting(const TElement* element, bool instancesOnly) const;
  // The last class node in list order, other than except, that accepts the
  // element.
  TISClass* LastClassNodeAccepting(const TElement* element, const TISInstance* except) const;
  // The list or a node's element changed under the index.
  void DropIndex() const;

  void AddElement(TElement* element) override;
  void InsertElement(int index, TElement* element) override;
  void SetElement(int index, TElement* element) override;
  void RemoveElement(TElement* element) override;
  std::vector<TElement*> RemoveElementsIf(const std::function<bool(TElement*)>& Drop) override;
  void FreeElement(TElement* element) override;
  void Clear() override;
  void ReadData(platform::TReader& reader, TQuickEntity& elementMap) override;

 private:
  struct TIndex;
  // The index as the list stands, made again when it was dropped or does
  // not match the list.
  const TIndex& Index() const;
  // Takes the node at position into the index.
  static void IndexNode(TIndex& index, TElement* child, std::size_t position);

  mutable std::unique_ptr<TIndex> index_;
};

class TISClass : public TISInstance {
  KESTX_CLASS(TISClass)
 public:
  TClass ElementClass() const { return elementClass_; }
  void SetElementClass(TClass cls);
  std::string ElementClassName() const;
  // An unknown name leaves the class as it was.
  void SetElementClassName(const std::string& name);

  // Created on first use.
  virtual TISInstances* GetSubNodes();
  // Files the node under the deepest class node, reached from the end of the
  // lists, whose class its element belongs to.
  virtual void InsertInstanceNode(TISInstance* node);
  // Files the class node by inheritance: nodes of its descendants move under
  // it, and it goes under the node of its nearest ancestor.
  virtual void InsertClassNode(TISClass* node);
  virtual void AddClassNode(TISClass* node);
  void SetNextInstance(TISInstance* node) { InsertInstanceNode(node); }
  void SetNextClass(TISClass* node) { AddClassNode(node); }

  bool Accepts(const TElement* element) const override;
  bool AcceptsClass(TClass cls) const override;
  TInterpret* FindInterpret(const TElement* element) const override;
  // Its own, then each node below; a node that fails is reported in a
  // message box and the rest go on.
  void AttachDevice(TDevice* device) override;
  void DetachDevice() override;
  void UpdateName() override;
  // Nil before the first use.
  TISInstances* ExistingSubNodes() const;

 protected:
  void SetSubNodes(TISInstances* nodes);
  // Every node below this one, depth first in list order, without recursion.
  void ForEachNodeBelow(const std::function<void(TISInstance&)>& visit);

 private:
  TClass elementClass_ = nullptr;
  TElementLink subNodes_;
};

class TInterpretScript : public TISClass {
  KESTX_CLASS(TInterpretScript)
 public:
  TInterpretScript();

  enum : std::int32_t {
    errNone = 0,
    errNotFound = 1,
    errUnknownClass = 2,
    errNoNode = 3,
    errNoElement = 4,
    errNoInterpret = 5,
    errPass = 8
  };
  std::int32_t Error = 0;

  // The current node; the script itself when there is none.
  TISInstance* ActualItem() const;

  void SetNewElement(TElement* element);
  void SetNewClassName(const std::string& name);
  void SetFindElement(TElement* element);
  void SetFindClassName(const std::string& name);
  void SetFindInterpretName(const std::string& name);
  TElement* GetActualElement();
  void SetActualElement(TElement* element);
  std::string GetActualClassName();
  void SetActualClassName(const std::string& name);
  TInterpret* GetActualInterpret();
  void SetActualInterpret(TInterpret* interpret);
  std::string GetActualInterpretName();
  void SetActualInterpretName(const std::string& name);
  void SetDeleteActualItem(const std::string& any);
  bool IsError() const { return Error > 0; }
  std::int32_t PassesCount() const;
  // More than MaxPasses is refused with Error 8.
  static constexpr std::int32_t MaxPasses = 1000;
  void SetPassesCount(std::int32_t count);
  std::int32_t Pass() const { return pass_; }
  void SetPass(std::int32_t index);

  // The current pass; the first is made when there is none.
  TISInstances* GetSubNodes() override;
  void UpdateName() override;

  // Searches from the current pass; nil when nothing answers.
  TISInstance* FindInstanceNode(const TElement* element);
  TISClass* FindClassNode(TClass cls);
  TISInstance* FindNodeByInterpretName(const std::string& name);

 private:
  // The node to work on, or nil (Error 3) when it is the script.
  TISInstance* CurrentNode();
  void SetActualItem(TISInstance* node) { actualItem_.Set(node); }
  // Takes the node out of the list that holds it.
  static void Detach(TISInstance* node);

  std::int32_t pass_ = 0;
  TElementLink actualItem_;
};

// The class of that name when it is an interpret class, else nil.
TClass FindInterpretClass(const std::string& name);

void RegisterInterpretScriptClasses();
