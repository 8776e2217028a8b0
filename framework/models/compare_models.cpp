#include "framework/models/compare_models.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "framework/core/class_registry.h"
#include "framework/tools/tools.h"
#include "framework/values/typed_values.h"
#include "platform/app_queue.h"

template <>
const TEnumType& typinfo::EnumTypeOf<TCompareStatus>() {
  static const TEnumType type{"TCompareStatus",
                              {"csOK", "csLeftNotFound", "csRightNotFound", "csDifference", "csClassNotFound"}};
  return type;
}

template <>
const TEnumType& typinfo::EnumTypeOf<TCompareType>() {
  static const TEnumType type{"TCompareType", {"ctCompareNames", "ctCompareNameAndClass", "ctCompareAll"}};
  return type;
}

namespace {

// The class library's case-insensitive comparison: the difference of the
// first differing characters (upper-cased), else of the lengths.
int CompareText(const std::string& a, const std::string& b) {
  const std::string ua = AsciiUpperCase(a), ub = AsciiUpperCase(b);
  const std::size_t common = std::min(ua.size(), ub.size());
  for (std::size_t i = 0; i < common; ++i)
    if (ua[i] != ub[i]) return static_cast<unsigned char>(ua[i]) - static_cast<unsigned char>(ub[i]);
  return static_cast<int>(ua.size()) - static_cast<int>(ub.size());
}

// The child of that class and name, made when there is none.  A node's
// children include the compared elements, whatever their names, so the
// class decides as well as the name.
template <class T>
T* OwnChild(TEntity& owner, const std::string& name) {
  for (TElement* child : owner.Children())
    if (auto* typed = DynamicCast<T>(child); typed && typed->GetName() == name) return typed;
  T* child = CreateElement<T>();
  child->SetName(name);
  owner.AddElement(child);
  return child;
}

TStringListElement* ListChild(TEntity& owner, const std::string& name) {
  return OwnChild<TStringListElement>(owner, name);
}

// The children of an entity as its count and index answer them (so virtual
// entities take part); none for a plain element or an empty entity.
std::vector<TElement*> ItemsOf(TElement* element) {
  std::vector<TElement*> items;
  auto* entity = DynamicCast<TEntity>(element);
  if (!entity || entity->IsEmpty()) return items;
  const int count = entity->GetCount();
  items.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i)
    if (TElement* item = entity->GetElement(i)) items.push_back(item);
  return items;
}

// The names of a list's items (the property names of a class model).
std::vector<std::string> ItemNames(TStringListElement& list) {
  std::vector<std::string> names;
  for (int i = 0; i < list.GetCount(); ++i) names.push_back(list.GetItemName(i));
  return names;
}

}  // namespace

// ---------------------------------------------------------------- class models

TStringListElement* TCompareClassModel::KeyProperties() { return ListChild(*this, "Key Properties"); }
TStringListElement* TCompareClassModel::Properties() { return ListChild(*this, "Properties"); }
void TCompareClassModel::SetNextKeyProperty(const std::string& name) { KeyProperties()->NextName(name); }
void TCompareClassModel::SetNextProperty(const std::string& name) { Properties()->NextName(name); }

TClass TCompareClassModels::GetDefaultItemClass() const { return TCompareClassModel::StaticClass(); }
TCompareClassModel* TCompareClassModels::ActualClassModel() const {
  return DynamicCast<TCompareClassModel>(ActualItem());
}

std::string TCompareNodes::GetName() const { return "NODES"; }

// ---------------------------------------------------------------- TCompareNode

void TCompareNode::Hold(TElementLink& link, TElement* element) {
  TElement* old = link.Get();
  if (old == element) return;
  // An envelope's owner is the element it wraps: a node that took it as a
  // child would become what it wraps.  The node only points at it.
  if (old && DynamicCast<TEnvelopeEntity>(old)) {
    link.Set(nullptr);
    old = nullptr;
  }
  if (!DynamicCast<TEnvelopeEntity>(element)) return SetLinkedElement(link, element);
  if (old) SetLinkedElement(link, nullptr);
  link.Set(element);
}

void TCompareNode::SetModel1(TElement* element) { Hold(model1_, element); }
void TCompareNode::StoreModel2(TElement* element) { Hold(model2_, element); }
void TCompareNode::SetModel2(TElement* element) { StoreModel2(element); }

std::string TCompareNode::Model1Name() const { return Model1() ? Model1()->GetName() : std::string(); }
std::string TCompareNode::Model2Name() const { return Model2() ? Model2()->GetName() : std::string(); }

TStringListElement* TCompareNode::ErrProps() { return ListChild(*this, "Differences"); }

TCompareNodes* TCompareNode::Nodes() {
  for (TElement* child : Children())
    if (auto* nodes = DynamicCast<TCompareNodes>(child)) return nodes;
  auto* nodes = CreateElement<TCompareNodes>();
  AddElement(nodes);
  return nodes;
}

TCompareModel* TCompareNode::Root() const { return static_cast<TCompareModel*>(root_.Get()); }
void TCompareNode::SetRoot(TCompareModel* root) { root_.Set(root); }

TCompareNode* TCompareNode::NewNode() {
  auto* node = CreateElement<TCompareNode>();
  node->SetRoot(Root());
  Nodes()->AddElement(node);
  return node;
}

// ---------------------------------------------------------------- the comparison

// One comparison: the nodes are walked depth first with an explicit stack,
// so the depth of the compared trees costs heap, not stack.
class TCompareRun {
 public:
  explicit TCompareRun(TCompareModel& root) : root_(root) {}
  void Run();

 private:
  struct Frame {
    TCompareNode* node = nullptr;
    std::vector<TElement*> left;
    std::vector<TElement*> right;
    std::size_t nextLeft = 0;
    std::size_t nextRight = 0;
    // Right children paired with a left one, and the first right child of
    // each pairing key (built on first use).
    std::unordered_set<TElement*> paired;
    std::unordered_map<std::string, TElement*> byKey;
    bool indexed = false;
  };

  // Steps 1 to 6 of a node: whether its children are compared.
  bool Enter(TCompareNode& node);
  void CompareProperties(TCompareNode& node);
  void Push(TCompareNode& node);
  // The pairing key of an element; false when it has none (no class model).
  bool KeyOf(TElement* element, std::string& key);
  TElement* Counterpart(Frame& frame, TElement* left, bool& noModel);

  TCompareModel& root_;
  std::vector<Frame> stack_;
};

bool TCompareRun::Enter(TCompareNode& node) {
  node.Status = TCompareStatus::csOK;
  TElement* left = node.Model1();
  if (!left) {
    node.Status = TCompareStatus::csLeftNotFound;
    return false;
  }
  ++root_.counter_;
  TElement* right = node.Model2();
  if (!right) {
    node.Status = TCompareStatus::csRightNotFound;
    return false;
  }
  TTool* progress = root_.Progress();
  progress->SetProgressText(left->GetName() + " ... " + right->GetName());
  progress->SetProgress(root_.counter_);
  platform::Application::Instance().ProcessMessages();
  if (root_.CompareType == TCompareType::ctCompareAll) CompareProperties(node);
  return node.Status == TCompareStatus::csOK || root_.CompareThruDifference;
}

void TCompareRun::CompareProperties(TCompareNode& node) {
  TCompareClassModel* model = root_.ClassModel(node.Model1()->ClassType());
  if (!model) {
    node.Status = TCompareStatus::csClassNotFound;
    return;
  }
  for (const std::string& name : ItemNames(*model->Properties())) {
    const int result = CompareText(node.Model1()->GetPropertyText(name), node.Model2()->GetPropertyText(name));
    if (result == 0) continue;
    node.Status = TCompareStatus::csDifference;
    node.ErrProps()->AddNameValue(name, std::to_string(result));
    return;
  }
}

void TCompareRun::Push(TCompareNode& node) {
  Frame& frame = stack_.emplace_back();
  frame.node = &node;
  frame.left = ItemsOf(node.Model1());
  frame.right = ItemsOf(node.Model2());
}

bool TCompareRun::KeyOf(TElement* element, std::string& key) {
  switch (root_.CompareType) {
    case TCompareType::ctCompareNames: key = AsciiUpperCase(element->GetName()); return true;
    case TCompareType::ctCompareNameAndClass:
      key = element->ClassName() + '\x1f' + AsciiUpperCase(element->GetName());
      return true;
    case TCompareType::ctCompareAll: break;
  }
  TCompareClassModel* model = root_.ClassModel(element->ClassType());
  if (!model) return false;
  key = element->ClassName();
  for (const std::string& name : ItemNames(*model->KeyProperties()))
    key += '\x1f' + AsciiUpperCase(element->GetPropertyText(name));
  return true;
}

TElement* TCompareRun::Counterpart(Frame& frame, TElement* left, bool& noModel) {
  // One pass over the right children indexes them by their pairing key, so
  // pairing n children costs n look-ups rather than n scans.
  if (!frame.indexed) {
    frame.indexed = true;
    for (TElement* right : frame.right) {
      std::string key;
      if (KeyOf(right, key)) frame.byKey.emplace(key, right);
    }
  }
  std::string key;
  noModel = !KeyOf(left, key);
  if (noModel) return nullptr;
  const auto found = frame.byKey.find(key);
  return found == frame.byKey.end() ? nullptr : found->second;
}

void TCompareRun::Run() {
  root_.counter_ = 0;
  if (Enter(root_)) Push(root_);
  while (!stack_.empty()) {
    Frame& frame = stack_.back();
    TCompareNode* child = nullptr;
    if (frame.nextLeft < frame.left.size()) {
      TElement* left = frame.left[frame.nextLeft++];
      child = frame.node->NewNode();
      child->SetModel1(left);
      bool noModel = false;
      if (TElement* right = Counterpart(frame, left, noModel)) {
        frame.paired.insert(right);
        child->SetModel2(right);
      }
      if (noModel) {
        // Without a class model nothing can be paired or compared.
        child->Status = TCompareStatus::csClassNotFound;
        continue;
      }
    } else if (frame.nextRight < frame.right.size()) {
      TElement* right = frame.right[frame.nextRight++];
      if (frame.paired.count(right)) continue;
      child = frame.node->NewNode();
      child->SetModel2(right);
    } else {
      stack_.pop_back();
      continue;
    }
    if (Enter(*child)) Push(*child);  // may move the frames: frame is not used past here
  }
}

// ---------------------------------------------------------------- TCompareModel

TCompareModel::TCompareModel() { SetRoot(this); }

TCompareClassModels* TCompareModel::CompareScript() {
  return OwnChild<TCompareClassModels>(*this, "Compare Script");
}

void TCompareModel::SetCompareScript(TCompareClassModels* script) {
  TCompareClassModels* old = CompareScript();
  if (old == script) return;
  cachedClass_ = nullptr;
  cachedModel_.Set(nullptr);
  FreeElement(old);
  if (script) {
    script->SetName("Compare Script");
    AddElement(script);
  }
}

TTool* TCompareModel::Progress() {
  return OwnChild<TTool>(*this, "Progress");
}

TCompareClassModel* TCompareModel::ClassModel(TClass cls) {
  if (cls != cachedClass_ || !cachedModel_.Get()) {
    cachedClass_ = cls;
    cachedModel_.Set(DynamicCast<TCompareClassModel>(CompareScript()->FindModel(cls)));
  }
  return static_cast<TCompareClassModel*>(cachedModel_.Get());
}

void TCompareModel::SetModel2(TElement* element) {
  StoreModel2(element);
  if (!Model1()) return;
  auto* left = DynamicCast<TEntity>(Model1());
  const int total = left ? left->WholeCount() : 0;
  TTool* progress = Progress();
  progress->StartProgress("Comparing elements: ", 0, total);
  {
    // The model stays as it is while it is compared: messages wait.
    platform::MessageHold hold;
    TCompareRun(*this).Run();
  }
  progress->EndProgress();
  platform::Application::Instance().ProcessMessages();
}

// ---------------------------------------------------------------- classes

TClass TCompareClassModel::StaticClass() {
  static const TClassInfo info = DescribeClass<TCompareClassModel>(
      "TCompareClassModel", TInheritanceModel::StaticClass(), "CompMdl",
      {NotStored(AccessorProp<TCompareClassModel, TStringListElement*>(
           "KeyProperties", [](const TCompareClassModel& m) { return const_cast<TCompareClassModel&>(m).KeyProperties(); },
           nullptr)),
       NotStored(AccessorProp<TCompareClassModel, TStringListElement*>(
           "Properties", [](const TCompareClassModel& m) { return const_cast<TCompareClassModel&>(m).Properties(); },
           nullptr)),
       NotStored(WriteProp("NextKeyProperty", &TCompareClassModel::SetNextKeyProperty)),
       NotStored(WriteProp("NextProperty", &TCompareClassModel::SetNextProperty))});
  return &info;
}

TClass TCompareClassModels::StaticClass() {
  static const TClassInfo info = DescribeClass<TCompareClassModels>(
      "TCompareClassModels", TInheritanceModelEntity::StaticClass(), "CompMdl",
      {NotStored(ReadProp("ActualClassModel", &TCompareClassModels::ActualClassModel))});
  return &info;
}

TClass TCompareNodes::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TCompareNodes>("TCompareNodes", TEnvelopeEntity::StaticClass(), "CompMdl", {});
  return &info;
}

TClass TCompareNode::StaticClass() {
  static const TClassInfo info = DescribeClass<TCompareNode>(
      "TCompareNode", TOwnerEntity::StaticClass(), "CompMdl",
      {AccessorProp<TCompareNode, TElement*>(
           "Model1", [](const TCompareNode& n) { return n.Model1(); },
           [](TCompareNode& n, TElement* e) { n.SetModel1(e); }),
       AccessorProp<TCompareNode, TElement*>(
           "Model2", [](const TCompareNode& n) { return n.Model2(); },
           [](TCompareNode& n, TElement* e) { n.SetModel2(e); }),
       FieldProp("Status", &TCompareNode::Status), NotStored(ReadProp("Model1Name", &TCompareNode::Model1Name)),
       NotStored(ReadProp("Model2Name", &TCompareNode::Model2Name)),
       NotStored(AccessorProp<TCompareNode, TStringListElement*>(
           "ErrProps", [](const TCompareNode& n) { return const_cast<TCompareNode&>(n).ErrProps(); }, nullptr)),
       NotStored(AccessorProp<TCompareNode, TCompareNodes*>(
           "Nodes", [](const TCompareNode& n) { return const_cast<TCompareNode&>(n).Nodes(); }, nullptr))});
  return &info;
}

TClass TCompareModel::StaticClass() {
  static const TClassInfo info = DescribeClass<TCompareModel>(
      "TCompareModel", TCompareNode::StaticClass(), "CompMdl",
      {AccessorProp<TCompareModel, TCompareClassModels*>(
           "CompareScript", [](const TCompareModel& m) { return const_cast<TCompareModel&>(m).CompareScript(); },
           [](TCompareModel& m, TCompareClassModels* s) { m.SetCompareScript(s); }),
       FieldProp("CompareType", &TCompareModel::CompareType),
       FieldProp("CompareThruDifference", &TCompareModel::CompareThruDifference)});
  return &info;
}

void RegisterCompareClasses() {
  RegisterKestuClass(TCompareModel::StaticClass());
  RegisterKestuClass(TCompareNode::StaticClass());
  RegisterKestuClass(TCompareNodes::StaticClass());
}
