#pragma once
// Elements, entities and owners: the classes every framework object is made
// of.  An entity holds an ordered list of children; one element may sit in
// several entities.  Besides the published owners list of the owner classes,
// every element keeps a hidden list of the entities whose child lists hold it,
// so that it is freed only by its last holder and, when freed, leaves every
// list it is still in.
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/type_info.h"

class TEntity;
class TKestuMessage;
class TQuickEntity;
namespace platform {
class TReader;
class TWriter;
}  // namespace platform

// The stamp of the current graph walk: always negative and never -1, so it
// cannot be mistaken for an element number or for "never numbered".
int NewVisitStamp();
int CurrentVisitStamp();

// A list of pointers in one word: empty, one entry held inline, or (tagged
// by the low bit) a vector of all entries.  Most elements have one holder and
// one owner, and a million elements should cost neither a million small
// allocations nor more than a word per list.
template <class T>
class TPointerList {
 public:
  TPointerList() = default;
  TPointerList(const TPointerList&) = delete;
  TPointerList& operator=(const TPointerList&) = delete;
  ~TPointerList() { Release(); }

  int Count() const {
    if (bits_ == 0) return 0;
    return IsVector() ? static_cast<int>(Vector().size()) : 1;
  }
  T* At(int index) const {
    if (index < 0 || index >= Count()) return nullptr;
    return IsVector() ? Vector()[static_cast<std::size_t>(index)] : Single();
  }
  // Appends for index 0 or an index past the end, else inserts at index.
  void Insert(int index, T* item) {
    if (bits_ == 0 && item) {
      bits_ = reinterpret_cast<std::uintptr_t>(item);
      return;
    }
    InsertInVector(index, item);
  }
  void Add(T* item) { Insert(0, item); }
  // Removes the first occurrence; false when absent.
  bool Remove(const T* item) {
    if (!IsVector()) {
      if (bits_ == 0 || Single() != item) return false;
      bits_ = 0;
      return true;
    }
    return RemoveFromVector(item);
  }
  bool Contains(const T* item) const {
    for (int i = 0; i < Count(); ++i)
      if (At(i) == item) return true;
    return false;
  }
  void Release() {
    if (IsVector()) delete &Vector();
    bits_ = 0;
  }

 private:
  void InsertInVector(int index, T* item) {
    const int count = Count();
    std::vector<T*>& vector = MakeVector();
    if (index <= 0 || index >= count) vector.push_back(item);
    else vector.insert(vector.begin() + index, item);
  }
  bool RemoveFromVector(const T* item) {
    std::vector<T*>& vector = Vector();
    for (auto it = vector.begin(); it != vector.end(); ++it) {
      if (*it == item) {
        vector.erase(it);
        if (vector.empty()) Release();
        return true;
      }
    }
    return false;
  }
  bool IsVector() const { return (bits_ & 1u) != 0; }
  T* Single() const { return reinterpret_cast<T*>(bits_); }
  std::vector<T*>& Vector() const { return *reinterpret_cast<std::vector<T*>*>(bits_ & ~std::uintptr_t{1}); }
  std::vector<T*>& MakeVector() {
    if (IsVector()) return Vector();
    auto* vector = new std::vector<T*>;
    if (bits_ != 0) vector->push_back(Single());
    bits_ = reinterpret_cast<std::uintptr_t>(vector) | 1u;
    return *vector;
  }

  std::uintptr_t bits_ = 0;
};

class TElement;

// Raised when an entity is asked to hold or to free itself or one of its
// ancestors: the graph of holders stays acyclic, so walks up the owners end,
// and no entity frees the list it is being changed through.
class ECircularOwnership : public std::runtime_error {
 public:
  ECircularOwnership();
};

// Whether element is an entity in the middle of freeing an element it held
// (clearing its list, letting go of a child or a field): whatever that frees
// must not free it in turn.
bool IsFreeingHeldElements(const TElement* element);

// Elements are referred to in text (and from other threads) by a handle from a
// table of live elements, never by address.  0 stands for nil.
std::uint32_t HandleOfElement(TElement* element);
TElement* ElementOfHandle(std::uint32_t handle);

// A reference that does not own its element and reads nil once the element
// has been freed.
class TElementLink {
 public:
  TElementLink() = default;
  explicit TElementLink(TElement* element) { Set(element); }
  TElement* Get() const;
  void Set(TElement* element);
  // Set to an element that has since been freed.
  bool IsDangling() const { return handle_ != 0 && Get() == nullptr; }
  bool IsSet() const { return handle_ != 0; }

 private:
  std::uint32_t handle_ = 0;
};

class TElement : public TPersistent {
  KESTX_CLASS(TElement)
 public:
  TElement();
  ~TElement() override;
  TElement(const TElement&) = delete;
  TElement& operator=(const TElement&) = delete;

  // Declared before ID, so that ID and the handle flag leave tail padding that
  // a descendant's small fields can use.
 private:
  TPointerList<TEntity> holders_;

 public:
  std::int32_t ID = -1;

  virtual int GetSize() const;
  int GetWholeSize();
  virtual int AccumulateSize();
  virtual std::string GetName() const;
  virtual void SetName(const std::string& name);
  virtual TElement* GetOwner(int index) const;
  virtual void InsertOwner(int index, TElement* owner);
  virtual int GetOwnersCount() const;
  virtual bool HasName() const;
  // The element's record in the older component stream: the reader takes
  // what follows the class name; child numbers index elementMap.
  virtual void ReadData(platform::TReader& reader, TQuickEntity& elementMap);
  virtual void WriteData(platform::TWriter& writer) const;
  virtual bool IsEmpty() const;
  virtual TElement* CreateEnvelope() const;
  // Takes over the values of Source; classes that can copy another element
  // override it, the others ignore it.
  virtual void Assign(const TElement* /*Source*/) {}

  virtual void ReceiveMessage(TKestuMessage*& message, bool& handled);
  virtual void PassMessageToOwners(TKestuMessage*& message, bool& handled);
  virtual void SendMessage(int code, TElement* receiver, TElement* data, bool killData);
  virtual void PostMessage(int code, TElement* receiver, TElement* data, bool killData);
  virtual void SendMessageToOwners(int code, TElement* data, bool killData);
  virtual void PostMessageToOwners(int code, TElement* data, bool killData);
  virtual void PropagateDown();

  virtual void AddOwner(TElement* owner);
  virtual void RemoveOwner(TElement* owner);
  virtual bool HasOwner(const TElement* element) const;
  virtual bool HasNoOwner() const;
  virtual TElement* GetOwnerByClass(TClass cls) const;
  virtual TElement* GetOwnerByName(const std::string& name) const;
  virtual TElement* FindUpByClass(TClass cls);
  virtual bool CanFree() const;
  void MarkReachable();
  virtual void MarkVisited();

  // Dotted paths from this element through class-typed properties and
  // FINDELEMENTBYNAME(...) / FINDELEMENTBYCLASS(...) searches (E_Path).
  virtual std::string GetPathValue(const std::string& path) const;
  // One line per value; "ELEMENT.Prop" gives Prop of every child.
  virtual std::vector<std::string> GetPathValueList(const std::string& path) const;
  virtual TElement* FindPathElement(const std::string& path) const;

  virtual bool HasProperty(const std::string& name) const;
  virtual std::string GetPropertyText(const std::string& name) const;
  virtual void SetPropertyText(const std::string& name, const std::string& text);
  virtual int GetPropertyInteger(const std::string& name) const;
  virtual void SetPropertyInteger(const std::string& name, int value);
  virtual bool GetPropertyBoolean(const std::string& name) const;
  virtual void SetPropertyBoolean(const std::string& name, bool value);

  // Entities whose child lists hold this element (one entry per slot).
  int HolderCount() const;

 protected:
  // Leaves the child list of every holder.  Destructors that may run code
  // reaching other elements call it first, so nothing reaches a dying element.
  void DetachFromHolders();

 private:
  friend class TEntity;
  friend std::uint32_t HandleOfElement(TElement*);
  void AddHolder(TEntity* holder);
  bool RemoveHolder(TEntity* holder);

  // Set once the element has been given a handle (kept in a side table, so
  // that elements without one - nearly all - do not pay for it).
  bool hasHandle_ = false;
};

// Frees an element the way an owner does when it lets go of it for good.
void FreeAndNil(TElement*& element);

// The stored name of the two named classes, which sit on different branches
// of the class tree; an unnamed element answers its class name.
template <class Base>
class TNamed : public Base {
 public:
  std::string GetName() const override;
  void SetName(const std::string& name) override;
  bool HasName() const override;
  // The name follows what the base writes (for an entity: its child list).
  void ReadData(platform::TReader& reader, TQuickEntity& elementMap) override;
  void WriteData(platform::TWriter& writer) const override;

 protected:
  std::string name_;
};

class TNameElement : public TNamed<TElement> {
  KESTX_CLASS(TNameElement)
 public:
  int GetSize() const override;
};

// Looks through the owners for the first of a class / with a name (exactly);
// an envelope among them may stand for the element it wraps.
TElement* FirstOwnerOfClass(const TPointerList<TElement>& owners, TClass cls, bool throughEnvelopes);
TElement* FirstOwnerNamed(const TPointerList<TElement>& owners, const std::string& name, bool throughEnvelopes);

// The owners list of the two owner classes, which sit on different branches
// of the class tree.
template <class Base, bool ThroughEnvelopes>
class TOwnersOf : public Base {
 public:
  TElement* GetOwner(int index) const override { return owners_.At(index); }
  void InsertOwner(int index, TElement* owner) override { owners_.Insert(index, owner); }
  int GetOwnersCount() const override { return owners_.Count(); }
  void AddOwner(TElement* owner) override { owners_.Add(owner); }
  void RemoveOwner(TElement* owner) override { owners_.Remove(owner); }
  bool HasOwner(const TElement* element) const override { return owners_.Contains(element); }
  bool HasNoOwner() const override { return owners_.Count() == 0; }
  TElement* GetOwnerByClass(TClass cls) const override { return FirstOwnerOfClass(owners_, cls, ThroughEnvelopes); }
  TElement* GetOwnerByName(const std::string& name) const override {
    return FirstOwnerNamed(owners_, name, ThroughEnvelopes);
  }

 protected:
  TPointerList<TElement> owners_;
};

class TOwnerElement : public TOwnersOf<TNameElement, false> {
  KESTX_CLASS(TOwnerElement)
 public:
  ~TOwnerElement() override;
};

class TAliasElement : public TOwnerElement {
  KESTX_CLASS(TAliasElement)
 public:
  TElement* Target() const { return target_.Get(); }
  void SetTarget(TElement* target) { target_.Set(target); }

 private:
  TElementLink target_;
};

class TEntity : public TElement {
  KESTX_CLASS(TEntity)
 public:
  ~TEntity() override;

  virtual int GetCount();
  virtual int GetLastIndex();
  virtual TElement* GetElement(int index);
  virtual void SetElement(int index, TElement* element);
  virtual int IndexOf(const TElement* element) const;
  virtual void Clear();
  virtual TElement* AddNew(const std::string& className, const std::string& name);
  virtual void AddElement(TElement* element);
  virtual void InsertElement(int index, TElement* element);
  virtual void RemoveElement(TElement* element);
  virtual void FreeElement(TElement* element);
  virtual TElement* FindElementByClass(TClass cls) const;
  virtual TElement* FindElementByName(const std::string& name) const;
  virtual bool AllowFree(const TElement* element) const;

  int AccumulateSize() override;
  void ReadData(platform::TReader& reader, TQuickEntity& elementMap) override;
  void WriteData(platform::TWriter& writer) const override;
  bool IsEmpty() const override;
  TElement* CreateEnvelope() const override;
  void PropagateDown() override;
  void MarkVisited() override;

  TElement* FindByAliasOrName(const std::string& name) const;
  void AddAliased(const std::string& alias, TElement* element);
  TElement* GetOrCreateElement(TClass cls, const std::string& name);
  void SetOwnedElement(TElement*& field, TElement* element);
  // The same for a child kept through a link: the old one goes through
  // FreeElement, the new one (when not nil) becomes a child.
  void SetLinkedElement(TElementLink& link, TElement* element);
  int WholeCount();
  void AddAllFrom(TElement* source);

  // Children without creating the list; empty when there is none.
  const std::vector<TElement*>& Children() const;

  // Whether element is this entity or one of its ancestors (an entity that
  // holds it, in a child list or a field, directly or further up).
  bool IsSelfOrAncestor(const TElement* element) const;
  // Raises ECircularOwnership when element may not become held by this
  // entity.  Setters that replace a held element check before they let the
  // old one go.
  void CheckNewHeld(const TElement* element) const;

 protected:
  // Appends or inserts without telling the child (the element map of the
  // stream reader works so).
  void AppendUnowned(TElement* element);
  void InsertUnowned(int index, TElement* element);
  // Holds an element without becoming its owner, in a slot that keeps its
  // place, and answers the slot; ReleaseHeld empties the element's slot (the
  // hint when it still holds the element, else searching from the end)
  // without freeing it, false when not held.  The stream reader keeps what it
  // reads alive so until the graph owns it.
  std::size_t AppendHeld(TElement* element);
  bool ReleaseHeld(TElement* element, std::size_t slotHint);
  // A field that holds an element outside the child list (a property object,
  // a holes container): the entity is one of the element's holders and
  // owners, so the freeing rule decides when it dies.  The previous element
  // is let go as FreeElement lets a child go; self and ancestors are refused.
  void HoldInField(TElement*& field, TElement* element);
  void ReleaseField(TElement*& field);
  // An element held in a field is being freed by someone else: the class
  // that keeps the field clears it.
  virtual void FieldElementFreed(TElement* element);

 private:
  friend class TElement;
  std::vector<TElement*>& List();
  bool RefusesChild(const TElement* element) const;
  void DropChild(TElement* element);  // a dying child leaves the list
  int CountWalk();

  // Fields holding an element (HoldInField); declared first so that it
  // sits in the tail padding of TElement.
  std::uint8_t fieldHolds_ = 0;
  std::unique_ptr<std::vector<TElement*>> children_;
};

class TAliases : public TEntity {
  KESTX_CLASS(TAliases)
 public:
  TElement* GetAliasTarget(const std::string& name) const;
  void SetAlias(const std::string& name, TElement* element);
};

class TQuickEntity : public TEntity {
  KESTX_CLASS(TQuickEntity)
 public:
  void AddElement(TElement* element) override;
  void InsertElement(int index, TElement* element) override;
};

class TEnvelopeEntity : public TEntity {
  KESTX_CLASS(TEnvelopeEntity)
 public:
  TElement* Wrapped() const { return wrapped_.Get(); }
  void AddOwner(TElement* owner) override;
  TElement* GetOwnerByClass(TClass cls) const override;
  TElement* FindUpByClass(TClass cls) override;
  void ReceiveMessage(TKestuMessage*& message, bool& handled) override;

 private:
  TElementLink wrapped_;
};

class TNameEntity : public TNamed<TEntity> {
  KESTX_CLASS(TNameEntity)
 public:
  int GetSize() const override;
};

class TOwnerEntity : public TOwnersOf<TNameEntity, true> {
  KESTX_CLASS(TOwnerEntity)
 public:
  ~TOwnerEntity() override;
  TElement* GetOwner(int index) const override;
};

// Creates an element of a class by its virtual constructor; nil for an
// abstract class or one that is not an element.
TElement* NewElement(TClass cls);

template <class T>
T* ElementCast(TElement* element) {
  return DynamicCast<T>(element);
}

void RegisterElementsClasses();
