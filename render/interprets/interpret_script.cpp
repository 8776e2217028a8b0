#include "render/interprets/interpret_script.h"

#include <algorithm>
#include <exception>
#include <unordered_map>
#include <utility>
#include <vector>

#include "framework/core/class_registry.h"
#include "platform/dialogs.h"
#include "render/interprets/interpret.h"

namespace {

bool IsExactly(const TElement* element, TClass cls) { return element && element->ClassType() == cls; }

// The nodes of a list, last first: filing moves nodes out of the list being walked.
std::vector<TISInstance*> NodesOf(TISInstances* list) {
  std::vector<TISInstance*> nodes;
  if (!list) return nodes;
  for (TElement* child : list->Children())
    if (auto* node = DynamicCast<TISInstance>(child)) nodes.push_back(node);
  return nodes;
}

void MoveNode(TISInstance* node, TISInstances* from, TISInstances* to) {
  from->RemoveElement(node);
  to->AddElement(node);
}

}  // namespace

TClass FindInterpretClass(const std::string& name) {
  if (name.empty()) return nullptr;
  TClass cls = FindKestuClassWithOrWithoutT(name);
  return cls && cls->InheritsFrom(TInterpret::StaticClass()) ? cls : nullptr;
}

// ---------------------------------------------------------------- node lists

struct TISInstances::TIndex {
  // The list's length when the index was made or last joined.
  std::size_t Count = 0;
  // The class nodes and their positions, in list order.
  std::vector<std::pair<std::size_t, TISClass*>> ClassNodes;
  // Each element's first instance node and its position.
  std::unordered_map<const TElement*, std::pair<std::size_t, TISInstance*>> FirstInstance;
};

TISInstances::~TISInstances() = default;

void TISInstances::DropIndex() const { index_.reset(); }

void TISInstances::IndexNode(TIndex& index, TElement* child, std::size_t position) {
  if (auto* classNode = DynamicCast<TISClass>(child)) {
    index.ClassNodes.emplace_back(position, classNode);
  } else if (auto* node = DynamicCast<TISInstance>(child); node && node->Element()) {
    index.FirstInstance.try_emplace(node->Element(), position, node);
  }
}

// A list that changed without passing through this class (a node freed
// elsewhere leaves it) has another length.
const TISInstances::TIndex& TISInstances::Index() const {
  const auto& children = Children();
  if (!index_ || index_->Count != children.size()) {
    index_ = std::make_unique<TIndex>();
    for (std::size_t i = 0; i < children.size(); ++i) IndexNode(*index_, children[i], i);
    index_->Count = children.size();
  }
  return *index_;
}

TISInstance* TISInstances::FirstAccepting(const TElement* element, bool instancesOnly) const {
  if (!element) return nullptr;
  // A node not where the index has it means a change the index missed: it
  // is made again, once.
  for (int attempt = 0; attempt < 2; ++attempt) {
    const TIndex& index = Index();
    const auto& children = Children();
    bool stale = false;
    std::size_t first = children.size();
    TISInstance* found = nullptr;
    if (const auto at = index.FirstInstance.find(element); at != index.FirstInstance.end()) {
      const auto& [position, node] = at->second;
      stale = children[position] != node || node->Element() != element;
      first = position;
      found = node;
    }
    for (const auto& [position, classNode] : index.ClassNodes) {
      if (instancesOnly || stale || position >= first) break;
      stale = children[position] != classNode;
      if (!stale && classNode->Accepts(element)) {
        found = classNode;
        break;
      }
    }
    if (!stale) return found;
    DropIndex();
  }
  return nullptr;
}

TISClass* TISInstances::LastClassNodeAccepting(const TElement* element, const TISInstance* except) const {
  if (!element) return nullptr;
  for (int attempt = 0; attempt < 2; ++attempt) {
    const TIndex& index = Index();
    const auto& children = Children();
    bool stale = false;
    for (auto at = index.ClassNodes.rbegin(); at != index.ClassNodes.rend() && !stale; ++at) {
      const auto& [position, classNode] = *at;
      stale = children[position] != classNode;
      if (!stale && classNode != except && classNode->Accepts(element)) return classNode;
    }
    if (!stale) return nullptr;
    DropIndex();
  }
  return nullptr;
}

// Nodes appended one by one (a script filing an instance node for each
// element) join the index.
void TISInstances::AddElement(TElement* element) {
  const std::size_t before = Children().size();
  const bool indexed = index_ && index_->Count == before;
  TOwnerEntity::AddElement(element);
  if (indexed && Children().size() == before + 1 && Children().back() == element) {
    IndexNode(*index_, element, before);
    index_->Count = before + 1;
  } else {
    DropIndex();
  }
}

void TISInstances::InsertElement(int index, TElement* element) {
  TOwnerEntity::InsertElement(index, element);
  DropIndex();
}

void TISInstances::SetElement(int index, TElement* element) {
  TOwnerEntity::SetElement(index, element);
  DropIndex();
}

void TISInstances::RemoveElement(TElement* element) {
  TOwnerEntity::RemoveElement(element);
  DropIndex();
}

std::vector<TElement*> TISInstances::RemoveElementsIf(const std::function<bool(TElement*)>& Drop) {
  std::vector<TElement*> removed = TOwnerEntity::RemoveElementsIf(Drop);
  DropIndex();
  return removed;
}

void TISInstances::FreeElement(TElement* element) {
  TOwnerEntity::FreeElement(element);
  DropIndex();
}

void TISInstances::Clear() {
  TOwnerEntity::Clear();
  DropIndex();
}

void TISInstances::ReadData(platform::TReader& reader, TQuickEntity& elementMap) {
  TOwnerEntity::ReadData(reader, elementMap);
  DropIndex();
}

// ---------------------------------------------------------------- instance nodes

void TISInstance::DropIndexes() const {
  for (int i = 0; i < GetOwnersCount(); ++i)
    if (const auto* list = DynamicCast<TISInstances>(GetOwner(i))) list->DropIndex();
}

void TISInstance::SetElement(TElement* element) {
  DropIndexes();
  element_.Set(element);
  UpdateName();
}

TInterpret* TISInstance::GetInterpret() const { return static_cast<TInterpret*>(interpret_.Get()); }

void TISInstance::SetInterpret(TInterpret* interpret) {
  SetLinkedElement(interpret_, interpret);
  UpdateName();
}

bool TISInstance::Accepts(const TElement* element) const { return element && element == Element(); }

bool TISInstance::AcceptsClass(TClass cls) const { return Element() && cls == Element()->ClassType(); }

TInterpret* TISInstance::FindInterpret(const TElement* element) const {
  return Accepts(element) ? GetInterpret() : nullptr;
}

void TISInstance::AttachDevice(TDevice* device) {
  if (TInterpret* interpret = GetInterpret()) interpret->AttachDevice(device);
}

void TISInstance::DetachDevice() {
  if (TInterpret* interpret = GetInterpret()) interpret->DetachDevice();
}

void TISInstance::UpdateName() {
  std::string name;
  if (const TElement* element = Element()) name = element->GetName() + "(" + element->ClassName() + "):";
  if (const TInterpret* interpret = GetInterpret()) name += interpret->GetName();
  if (!name.empty()) SetName(name);
}

// ---------------------------------------------------------------- class nodes

void TISClass::SetElementClass(TClass cls) {
  elementClass_ = cls;
  UpdateName();
}

std::string TISClass::ElementClassName() const { return elementClass_ ? elementClass_->ClassName : ""; }

void TISClass::SetElementClassName(const std::string& name) {
  if (TClass cls = FindKestuClassWithOrWithoutT(name)) SetElementClass(cls);
}

TISInstances* TISClass::ExistingSubNodes() const { return static_cast<TISInstances*>(subNodes_.Get()); }

void TISClass::SetSubNodes(TISInstances* nodes) { subNodes_.Set(nodes); }

TISInstances* TISClass::GetSubNodes() {
  if (!ExistingSubNodes()) {
    auto* nodes = new TISInstances;
    AddElement(nodes);
    subNodes_.Set(nodes);
  }
  return ExistingSubNodes();
}

bool TISClass::Accepts(const TElement* element) const {
  return element && elementClass_ && element->InheritsFrom(elementClass_);
}

bool TISClass::AcceptsClass(TClass cls) const { return cls && elementClass_ && cls->InheritsFrom(elementClass_); }

TInterpret* TISClass::FindInterpret(const TElement* element) const {
  if (!Accepts(element)) return nullptr;
  const TISClass* node = this;
  // Down through the class nodes: the first that accepts at each level.
  for (;;) {
    const TISInstances* below = node->ExistingSubNodes();
    if (!below || below->Children().empty()) return node->GetInterpret();
    // An element of exactly the node's class still has its own instance
    // node to look at; no class node below can take it.
    const bool exact = element->ClassType() == node->elementClass_;
    const TISInstance* next = below->FirstAccepting(element, exact);
    if (!next) return node->GetInterpret();
    const auto* nextClass = DynamicCast<TISClass>(next);
    if (!nextClass) return next->FindInterpret(element);
    node = nextClass;
  }
}

void TISClass::InsertInstanceNode(TISInstance* node) {
  if (!node) return;
  TISClass* level = this;
  while (const TISInstances* nodes = level->ExistingSubNodes()) {
    TISClass* deeper = nodes->LastClassNodeAccepting(node->Element(), node);
    if (!deeper) break;
    level = deeper;
  }
  if (node->HasNoOwner()) level->GetSubNodes()->AddElement(node);
}

void TISClass::InsertClassNode(TISClass* node) {
  if (!node || !node->ElementClass()) return;
  const TClass cls = node->ElementClass();
  // The levels the filing has entered, each with the nodes still to visit
  // (taken last first); a level done files the node when nothing has.
  struct Level {
    TISClass* Node;
    std::vector<TISInstance*> Pending;
  };
  std::vector<Level> levels{{this, NodesOf(ExistingSubNodes())}};
  while (!levels.empty()) {
    Level& level = levels.back();
    if (level.Pending.empty()) {
      TISClass* done = level.Node;
      levels.pop_back();
      if (node->HasNoOwner()) done->GetSubNodes()->AddElement(node);
      continue;
    }
    TISInstance* sub = level.Pending.back();
    level.Pending.pop_back();
    if (sub == node) continue;
    auto* classNode = DynamicCast<TISClass>(sub);
    if (!classNode) {
      if (sub->Element() && sub->Element()->InheritsFrom(cls))
        MoveNode(sub, level.Node->GetSubNodes(), node->GetSubNodes());
    } else if (classNode->ElementClass() && classNode->ElementClass()->InheritsFrom(cls)) {
      MoveNode(sub, level.Node->GetSubNodes(), node->GetSubNodes());
    } else if (classNode->AcceptsClass(cls)) {
      levels.push_back({classNode, NodesOf(classNode->ExistingSubNodes())});
    }
  }
}

void TISClass::AddClassNode(TISClass* node) { InsertClassNode(node); }

void TISClass::ForEachNodeBelow(const std::function<void(TISInstance&)>& visit) {
  std::vector<std::vector<TISInstance*>> stack{NodesOf(ExistingSubNodes())};
  for (auto& level : stack) std::reverse(level.begin(), level.end());
  while (!stack.empty()) {
    if (stack.back().empty()) {
      stack.pop_back();
      continue;
    }
    TISInstance* node = stack.back().back();
    stack.back().pop_back();
    visit(*node);
    if (auto* classNode = DynamicCast<TISClass>(node)) {
      std::vector<TISInstance*> below = NodesOf(classNode->ExistingSubNodes());
      std::reverse(below.begin(), below.end());
      stack.push_back(std::move(below));
    }
  }
}

void TISClass::AttachDevice(TDevice* device) {
  TISInstance::AttachDevice(device);
  ForEachNodeBelow([device](TISInstance& node) {
    try {
      node.TISInstance::AttachDevice(device);
    } catch (const std::exception& failure) {
      platform::MessageDlg(failure.what(), platform::MsgDlgType::Error, platform::mbOK);
      platform::CurrentDialogs().SetScreenCursor(platform::Cursor::Default);
    }
  });
}

void TISClass::DetachDevice() {
  TISInstance::DetachDevice();
  ForEachNodeBelow([](TISInstance& node) { node.TISInstance::DetachDevice(); });
}

void TISClass::UpdateName() {
  std::string name = "(" + ElementClassName() + "):";
  if (const TInterpret* interpret = GetInterpret()) name += interpret->GetName();
  SetName(name);
}

// ---------------------------------------------------------------- the script

TInterpretScript::TInterpretScript() { SetElementClass(TElement::StaticClass()); }

void TInterpretScript::UpdateName() { SetName("Interpret Script"); }

TISInstance* TInterpretScript::ActualItem() const {
  auto* node = static_cast<TISInstance*>(actualItem_.Get());
  return node ? node : const_cast<TInterpretScript*>(this);
}

TISInstance* TInterpretScript::CurrentNode() {
  TISInstance* node = ActualItem();
  if (node != this) return node;
  Error = errNoNode;
  return nullptr;
}

void TInterpretScript::Detach(TISInstance* node) {
  for (int i = node->GetOwnersCount() - 1; i >= 0; --i)
    if (auto* list = DynamicCast<TISInstances>(node->GetOwner(i))) list->RemoveElement(node);
}

std::int32_t TInterpretScript::PassesCount() const {
  std::int32_t count = 0;
  for (TElement* child : Children())
    if (DynamicCast<TISInstances>(child)) ++count;
  return count;
}

void TInterpretScript::SetPassesCount(std::int32_t count) {
  Error = errNone;
  if (count < 0) return;
  // A count from a script line cannot claim unbounded memory.
  if (count > MaxPasses) {
    Error = errPass;
    return;
  }
  std::vector<TISInstances*> passes;
  for (TElement* child : Children())
    if (auto* pass = DynamicCast<TISInstances>(child)) passes.push_back(pass);
  for (auto index = static_cast<std::int32_t>(passes.size()) - 1; index >= count; --index) {
    if (passes[static_cast<std::size_t>(index)] == ExistingSubNodes()) SetSubNodes(nullptr);
    FreeElement(passes[static_cast<std::size_t>(index)]);
  }
  for (auto index = static_cast<std::int32_t>(passes.size()); index < count; ++index) {
    auto* pass = new TISInstances;
    pass->SetName("Pass " + std::to_string(index));
    AddElement(pass);
  }
}

void TInterpretScript::SetPass(std::int32_t index) {
  Error = errNone;
  if (PassesCount() == 0) SetPassesCount(1);
  if (index < 0 || index >= PassesCount()) {
    Error = errPass;
    index = 0;
  }
  std::int32_t seen = 0;
  for (TElement* child : Children())
    if (auto* pass = DynamicCast<TISInstances>(child); pass && seen++ == index) SetSubNodes(pass);
  pass_ = index;
}

TISInstances* TInterpretScript::GetSubNodes() {
  if (!ExistingSubNodes()) {
    const std::int32_t error = Error;
    SetPass(PassesCount() == 0 ? 0 : pass_);
    Error = error;
  }
  return ExistingSubNodes();
}

TISInstance* TInterpretScript::FindInstanceNode(const TElement* element) {
  TISInstance* found = nullptr;
  // Class nodes are searched through in list order; the last answer counts.
  std::vector<std::vector<TISInstance*>> stack{NodesOf(GetSubNodes())};
  std::reverse(stack.back().begin(), stack.back().end());
  while (!stack.empty()) {
    if (stack.back().empty()) {
      stack.pop_back();
      continue;
    }
    TISInstance* node = stack.back().back();
    stack.back().pop_back();
    if (IsExactly(node, TISClass::StaticClass())) {
      if (!node->Accepts(element)) continue;
      std::vector<TISInstance*> below = NodesOf(static_cast<TISClass*>(node)->ExistingSubNodes());
      std::reverse(below.begin(), below.end());
      stack.push_back(std::move(below));
    } else if (IsExactly(node, TISInstance::StaticClass()) && node->Accepts(element)) {
      // The answer of this level; a later class node may still give another.
      found = node;
      stack.back().clear();
    }
  }
  return found;
}

TISClass* TInterpretScript::FindClassNode(TClass cls) {
  TISClass* node = this;
  for (;;) {
    TISClass* deeper = nullptr;
    for (TISInstance* sub : NodesOf(node == this ? GetSubNodes() : node->ExistingSubNodes()))
      if (IsExactly(sub, TISClass::StaticClass()) && sub->AcceptsClass(cls)) {
        deeper = static_cast<TISClass*>(sub);
        break;
      }
    if (!deeper) return node;
    node = deeper;
  }
}

TISInstance* TInterpretScript::FindNodeByInterpretName(const std::string& name) {
  const std::string wanted = AsciiUpperCase(name);
  TISInstance* found = nullptr;
  std::vector<std::vector<TISInstance*>> stack{NodesOf(GetSubNodes())};
  std::reverse(stack.back().begin(), stack.back().end());
  while (!stack.empty() && !found) {
    if (stack.back().empty()) {
      stack.pop_back();
      continue;
    }
    TISInstance* node = stack.back().back();
    stack.back().pop_back();
    if (const TInterpret* interpret = node->GetInterpret(); interpret && AsciiUpperCase(interpret->GetName()) == wanted)
      found = node;
    else if (IsExactly(node, TISClass::StaticClass())) {
      std::vector<TISInstance*> below = NodesOf(static_cast<TISClass*>(node)->ExistingSubNodes());
      std::reverse(below.begin(), below.end());
      stack.push_back(std::move(below));
    }
  }
  return found;
}

void TInterpretScript::SetNewElement(TElement* element) {
  Error = errNone;
  if (!element) return;
  auto* node = new TISInstance;
  node->SetElement(element);
  SetActualItem(node);
  InsertInstanceNode(node);
}

void TInterpretScript::SetNewClassName(const std::string& name) {
  Error = errNone;
  if (name.empty()) return;
  TClass cls = FindKestuClassWithOrWithoutT(name);
  if (!cls) {
    Error = errUnknownClass;
    return;
  }
  auto* node = new TISClass;
  node->SetElementClass(cls);
  SetActualItem(node);
  AddClassNode(node);
}

void TInterpretScript::SetFindElement(TElement* element) {
  Error = errNone;
  TISInstance* node = FindInstanceNode(element);
  if (!node) Error = errNotFound;
  SetActualItem(node);
}

void TInterpretScript::SetFindClassName(const std::string& name) {
  Error = errNone;
  TClass cls = FindKestuClassWithOrWithoutT(name);
  if (!cls) {
    Error = errUnknownClass;
    SetActualItem(nullptr);
    return;
  }
  TISClass* node = FindClassNode(cls);
  SetActualItem(node == this ? nullptr : node);
}

void TInterpretScript::SetFindInterpretName(const std::string& name) {
  Error = errNone;
  TISInstance* node = FindNodeByInterpretName(name);
  if (!node) Error = errNotFound;
  SetActualItem(node);
}

TElement* TInterpretScript::GetActualElement() {
  Error = errNone;
  TISInstance* node = CurrentNode();
  return node ? node->Element() : nullptr;
}

void TInterpretScript::SetActualElement(TElement* element) {
  Error = errNone;
  if (!element) {
    Error = errNoElement;
    return;
  }
  TISInstance* node = ActualItem();
  if (!IsExactly(node, TISInstance::StaticClass())) {
    Error = errNoNode;
    return;
  }
  // Out of the list that holds it, wherever that is, and filed again.
  Detach(node);
  node->SetElement(element);
  InsertInstanceNode(node);
}

std::string TInterpretScript::GetActualClassName() {
  Error = errNone;
  TISInstance* node = CurrentNode();
  if (!node) return "";
  const auto* classNode = DynamicCast<TISClass>(node);
  return classNode ? classNode->ElementClassName() : "NIL";
}

void TInterpretScript::SetActualClassName(const std::string& name) {
  Error = errNone;
  TISInstance* node = ActualItem();
  if (!IsExactly(node, TISClass::StaticClass())) {
    Error = errNoNode;
    return;
  }
  TClass cls = FindKestuClassWithOrWithoutT(name);
  if (!cls) {
    Error = errUnknownClass;
    return;
  }
  auto* classNode = static_cast<TISClass*>(node);
  Detach(classNode);
  classNode->SetElementClass(cls);
  AddClassNode(classNode);
}

TInterpret* TInterpretScript::GetActualInterpret() {
  Error = errNone;
  TISInstance* node = CurrentNode();
  return node ? node->GetInterpret() : nullptr;
}

void TInterpretScript::SetActualInterpret(TInterpret* interpret) {
  Error = errNone;
  if (TISInstance* node = CurrentNode()) node->SetInterpret(interpret);
}

std::string TInterpretScript::GetActualInterpretName() {
  Error = errNone;
  TISInstance* node = CurrentNode();
  if (!node) return "";
  if (const TInterpret* interpret = node->GetInterpret()) return interpret->GetName();
  Error = errNoInterpret;
  return "";
}

void TInterpretScript::SetActualInterpretName(const std::string& name) {
  Error = errNone;
  TISInstance* node = CurrentNode();
  if (!node) return;
  // Only interpret classes make interprets.
  TClass cls = FindInterpretClass(name);
  auto* interpret = cls ? static_cast<TInterpret*>(NewElement(cls)) : nullptr;
  if (!interpret) Error = errUnknownClass;
  node->SetInterpret(interpret);
}

void TInterpretScript::SetDeleteActualItem(const std::string&) {
  Error = errNone;
  TISInstance* node = CurrentNode();
  if (!node) return;
  SetActualItem(nullptr);
  Detach(node);
  if (node->HasNoOwner()) DisposeElement(node);
}

TClass TInterpretScript::StaticClass() {
  static const TClassInfo info = DescribeClass<TInterpretScript>(
      "TInterpretScript", TISClass::StaticClass(), "E_iscrpt",
      {FieldProp("Error", &TInterpretScript::Error),
       NotStored(ReadProp("ActualItem", &TInterpretScript::ActualItem)),
       NotStored(WriteProp("NewElement", &TInterpretScript::SetNewElement)),
       NotStored(WriteProp("NewClassName", &TInterpretScript::SetNewClassName)),
       NotStored(WriteProp("FindElement", &TInterpretScript::SetFindElement)),
       NotStored(WriteProp("FindClassName", &TInterpretScript::SetFindClassName)),
       NotStored(WriteProp("FindInterpretName", &TInterpretScript::SetFindInterpretName)),
       NotStored(AccessorProp<TInterpretScript, TElement*>(
           "ActualElement", [](const TInterpretScript& s) { return const_cast<TInterpretScript&>(s).GetActualElement(); },
           [](TInterpretScript& s, TElement* e) { s.SetActualElement(e); })),
       NotStored(AccessorProp<TInterpretScript, std::string>(
           "ActualClassName",
           [](const TInterpretScript& s) { return const_cast<TInterpretScript&>(s).GetActualClassName(); },
           [](TInterpretScript& s, std::string v) { s.SetActualClassName(v); })),
       NotStored(AccessorProp<TInterpretScript, TInterpret*>(
           "ActualInterpret",
           [](const TInterpretScript& s) { return const_cast<TInterpretScript&>(s).GetActualInterpret(); },
           [](TInterpretScript& s, TInterpret* i) { s.SetActualInterpret(i); })),
       NotStored(AccessorProp<TInterpretScript, std::string>(
           "ActualInterpretName",
           [](const TInterpretScript& s) { return const_cast<TInterpretScript&>(s).GetActualInterpretName(); },
           [](TInterpretScript& s, std::string v) { s.SetActualInterpretName(v); })),
       NotStored(WriteProp("DeleteActualItem", &TInterpretScript::SetDeleteActualItem)),
       NotStored(ReadProp("IsError", &TInterpretScript::IsError)),
       NotStored(ReadWriteProp("PassesCount", &TInterpretScript::PassesCount, &TInterpretScript::SetPassesCount)),
       NotStored(ReadWriteProp("Pass", &TInterpretScript::Pass, &TInterpretScript::SetPass))});
  return &info;
}

TClass TISInstance::StaticClass() {
  static const TClassInfo info = DescribeClass<TISInstance>(
      "TISInstance", TOwnerEntity::StaticClass(), "E_iscrpt",
      {NotStored(ReadWriteProp("Interpret", &TISInstance::GetInterpret, &TISInstance::SetInterpret)),
       NotStored(ReadWriteProp("Element", &TISInstance::Element, &TISInstance::SetElement))});
  return &info;
}

TClass TISInstances::StaticClass() {
  static const TClassInfo info = DescribeClass<TISInstances>("TISInstances", TOwnerEntity::StaticClass(), "E_iscrpt", {});
  return &info;
}

TClass TISClass::StaticClass() {
  static const TClassInfo info = DescribeClass<TISClass>(
      "TISClass", TISInstance::StaticClass(), "E_iscrpt",
      {NotStored(ReadWriteProp("ElementClassName", &TISClass::ElementClassName, &TISClass::SetElementClassName)),
       NotStored(WriteProp("NextInstance", &TISClass::SetNextInstance)),
       NotStored(WriteProp("NextClass", &TISClass::SetNextClass))});
  return &info;
}

void RegisterInterpretScriptClasses() {
  RegisterKestuClass(TISInstance::StaticClass());
  RegisterKestuClass(TISInstances::StaticClass());
  RegisterKestuClass(TISClass::StaticClass());
  RegisterKestuClass(TInterpretScript::StaticClass());
}
