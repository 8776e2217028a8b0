#include "framework/values/tool_models.h"

#include <utility>

#include "framework/core/class_registry.h"

TOwnerEntity* TToolModel::ModelTools() { return NamedPart("TOOLS"); }

bool TToolModel::NoModelTools() const { return !FilledPart("TOOLS"); }

void TToolModel::NewToolName(const std::string& name) {
  auto* model = new TToolModel;
  model->SetName(name);
  ModelTools()->AddElement(model);
}

TToolModel* TToolModel::LastToolModel() const {
  TEntity* tools = FilledPart("TOOLS");
  return tools ? DynamicCast<TToolModel>(tools->Children().back()) : nullptr;
}

TClass TToolModel::StaticClass() {
  // LastToolModel is of this very class, which cannot be asked for its
  // description while it is being built: it is described as an element
  // model and given its class afterwards.
  static const TClassInfo info = [] {
    TPropInfo last = NotStored(AccessorProp<TToolModel, TElementModel*>(
        "LastToolModel", [](const TToolModel& m) { return m.LastToolModel(); }, nullptr));
    last.PropClass = &info;
    return DescribeClass<TToolModel>(
        "TToolModel", TElementModel::StaticClass(), "e_ToolModel",
        {FieldProp("DynamicTool", &TToolModel::DynamicTool), FieldProp("ShortCut", &TToolModel::ShortCut),
         NotStored(AccessorProp<TToolModel, TOwnerEntity*>(
             "ModelTools", [](const TToolModel& m) { return const_cast<TToolModel&>(m).ModelTools(); }, nullptr)),
         NotStored(ReadProp("NoModelTools", &TToolModel::NoModelTools)),
         WriteProp("NewToolName", &TToolModel::NewToolName), std::move(last)});
  }();
  return &info;
}

void RegisterToolModelClasses() { RegisterKestuClass(TToolModel::StaticClass()); }
