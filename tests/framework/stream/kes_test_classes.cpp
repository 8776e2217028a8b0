#include "tests/framework/stream/kes_test_classes.h"

#include <set>
#include <sstream>

#include "tests/framework/framework_fixture.h"
#include "framework/core/class_registry.h"

TClass TTestLeaf::StaticClass() {
  static const TClassInfo info = DescribeClass<TTestLeaf>(
      "TTestLeaf", TOwnerElement::StaticClass(), "KesTest",
      {FieldProp("Value", &TTestLeaf::Value), FieldProp("Ratio", &TTestLeaf::Ratio),
       FieldProp("Letter", &TTestLeaf::Letter), FieldProp("Label", &TTestLeaf::Label),
       FieldProp("Flag", &TTestLeaf::Flag), ReadWriteProp("Link", &TTestLeaf::Link, &TTestLeaf::SetLink)});
  return &info;
}

TClass TTestBox::StaticClass() {
  static const TClassInfo info = DescribeClass<TTestBox>(
      "TTestBox", TOwnerEntity::StaticClass(), "KesTest",
      {ReadWriteProp("Part", &TTestBox::Part, &TTestBox::SetPart),
       ReadWriteProp("Typed", &TTestBox::Typed, &TTestBox::SetTyped)});
  return &info;
}

void RegisterKesTestClasses() {
  static bool registered = false;
  if (registered) return;
  registered = true;
  RegisterKestuClass(TTestLeaf::StaticClass());
  RegisterKestuClass(TTestBox::StaticClass());
}

namespace {

std::string Node(TElement* element, TEntity* top);

// A reference: the index of a child of the top entity, or the element itself.
std::string Ref(TElement* target, TEntity* top) {
  if (top)
    for (int i = 0; i < top->GetCount(); ++i)
      if (top->GetElement(i) == target) return "#" + std::to_string(i);
  return "(" + Node(target, top) + ")";
}

std::string Node(TElement* element, TEntity* top) {
  std::ostringstream text;
  if (auto* leaf = DynamicCast<TTestLeaf>(element)) {
    if (leaf->HasName()) text << leaf->GetName() << ":";
    text << "L(" << leaf->Value << " " << leaf->Ratio << " " << leaf->Letter << " " << leaf->Label << " "
         << leaf->Flag << ")";
    if (leaf->Link()) text << "->" << Ref(leaf->Link(), top);
    return text.str();
  }
  text << element->ClassName();
  if (element->HasName()) text << " " << element->GetName();
  if (auto* entity = DynamicCast<TEntity>(element)) {
    std::vector<std::string> children;
    for (TElement* child : entity->Children()) children.push_back(Node(child, top));
    text << "[" << Join(children) << "]";
  }
  if (auto* box = DynamicCast<TTestBox>(element); box && box->Typed()) text << "->" << Ref(box->Typed(), top);
  return text.str();
}

}  // namespace

std::string DumpGraph(TElement* root) { return root ? Node(root, DynamicCast<TEntity>(root)) : "nil"; }

void FreeLoaded(TElement* root) {
  std::vector<TElementLink> reached;
  std::set<TElement*> seen;
  std::vector<TElement*> work{root};
  while (!work.empty()) {
    TElement* element = work.back();
    work.pop_back();
    if (!element || !seen.insert(element).second) continue;
    if (auto* entity = DynamicCast<TEntity>(element))
      for (TElement* child : entity->Children()) work.push_back(child);
    for (const TPropInfo* info : element->ClassType()->Props()) {
      if (info->Kind != tkClass || !info->GetObj) continue;
      // Only elements a load made: they are unnumbered.
      TElement* target = DynamicCast<TElement>(info->GetObj(*element));
      if (target && target->ID == -1) {
        reached.emplace_back(target);
        work.push_back(target);
      }
    }
  }
  delete root;
  for (const TElementLink& link : reached) delete link.Get();  // nil once its holder freed it
}
