#include "framework/models/task_models.h"

#include "framework/core/class_registry.h"
#include "framework/core/messages.h"
#include "framework/values/typed_values.h"

TStringListElement* TTaskModel::Tasks() {
  for (TElement* child : Children())
    if (auto* list = DynamicCast<TStringListElement>(child); list && list->GetName() == "TASKS") return list;
  auto* list = CreateElement<TStringListElement>();
  list->SetName("TASKS");
  AddElement(list);
  return list;
}

TClass TTaskModelEntity::GetDefaultItemClass() const { return TTaskModel::StaticClass(); }

TTaskModel* TTaskModelEntity::ActualTaskModel() const { return DynamicCast<TTaskModel>(ActualItem()); }

void TGroup::ReceiveMessage(TKestuMessage*& message, bool& handled) {
  if (!message || IsEmpty()) return;
  // A member may leave the group, or be freed by an earlier one, while the
  // message goes round: walk links to the members, which read nil once freed.
  const std::vector<TElementLink> members(Children().begin(), Children().end());
  for (const TElementLink& link : members) {
    if (handled || !message) return;
    TElement* member = link.Get();
    if (member && member != message->Sender()) member->ReceiveMessage(message, handled);
  }
}

TClass TTaskModel::StaticClass() {
  static const TClassInfo info = DescribeClass<TTaskModel>(
      "TTaskModel", TInheritanceModel::StaticClass(), "TaskMdl",
      {NotStored(AccessorProp<TTaskModel, TStringListElement*>(
          "Tasks", [](const TTaskModel& m) { return const_cast<TTaskModel&>(m).Tasks(); }, nullptr))});
  return &info;
}

TClass TTaskModelEntity::StaticClass() {
  static const TClassInfo info = DescribeClass<TTaskModelEntity>(
      "TTaskModelEntity", TInheritanceModelEntity::StaticClass(), "TaskMdl",
      {NotStored(ReadProp("ActualTaskModel", &TTaskModelEntity::ActualTaskModel))});
  return &info;
}

TClass TGroup::StaticClass() {
  static const TClassInfo info = DescribeClass<TGroup>("TGroup", TOwnerEntity::StaticClass(), "TaskMdl", {});
  return &info;
}

TClass TProjectionInfo::StaticClass() {
  static const TClassInfo info = DescribeClass<TProjectionInfo>(
      "TProjectionInfo", TOwnerElement::StaticClass(), "TaskMdl",
      {FieldProp("X", &TProjectionInfo::X), FieldProp("y", &TProjectionInfo::y),
       FieldProp("Scale", &TProjectionInfo::Scale), FieldProp("VirtualScale", &TProjectionInfo::VirtualScale)});
  return &info;
}

void RegisterTaskModelClasses() {
  RegisterKestuClass(TTaskModel::StaticClass());
  RegisterKestuClass(TTaskModelEntity::StaticClass());
  RegisterKestuClass(TGroup::StaticClass());
  RegisterKestuClass(TProjectionInfo::StaticClass());
}
