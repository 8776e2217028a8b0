#include "framework/tools/tools.h"

#include <vector>

#include "framework/core/class_registry.h"
#include "framework/values/tool_models.h"
#include "platform/app_queue.h"

namespace {

void LetMessagesRun() { platform::Application::Instance().ProcessMessages(); }

template <class T>
std::vector<T*> ChildrenOfClass(const TEntity& entity) {
  std::vector<T*> found;
  for (TElement* child : entity.Children())
    if (auto* typed = DynamicCast<T>(child)) found.push_back(typed);
  return found;
}

void ApplyLinks(TEntity& links) {
  for (TModelLink* link : ChildrenOfClass<TModelLink>(links)) link->Apply();
}

// The child of entity that link holds; a new T while there is none.
template <class T>
T* LinkedChildMadeOnDemand(TEntity& entity, TElementLink& link) {
  if (auto* child = static_cast<T*>(link.Get())) return child;
  auto* child = new T;
  link.Set(child);
  entity.AddElement(child);
  return child;
}


}  // namespace

// ---------------------------------------------------------------- TTool

TTool::~TTool() {
  // Messages must not run here: their handlers could reach this dying tool.
  PostProgressEnd();
}

void TTool::SetFlag(std::uint8_t bit, bool value) {
  if (value) flags_ |= bit;
  else flags_ &= static_cast<std::uint8_t>(~bit);
}

TToolModel* TTool::SelfModel() const {
  return static_cast<TToolModel*>(FindElementByClass(TToolModel::StaticClass()));
}

void TTool::SetSelfModel(TToolModel* model) {
  TToolModel* current = SelfModel();
  if (current == model) return;
  if (model) CheckNewHeld(model);
  if (current) FreeElement(current);
  AddElement(model);
}

void TTool::ReceiveMessage(TKestuMessage*& message, bool& handled) {
  handled = false;
  TOwnerEntity::ReceiveMessage(message, handled);
  if (handled || !message) return;
  switch (message->Message) {
    case msgToolControl:
      HandleMessageCode0(message, handled);
      break;
    case msgToolClosed:
      ToolClosed(message, handled);
      break;
    case msgClose:
      Close();
      break;
    case msgFinished:
      ToolFinished(message, handled);
      break;
    default:
      break;
  }
}

void TTool::SetInput(TElement* element) { input_.Set(element); }
void TTool::SetOutput(TElement* element) { output_.Set(element); }

TParameters* TTool::GetParameters() { return LinkedChildMadeOnDemand<TParameters>(*this, parameters_); }

void TTool::SetParameters(TParameters* parameters) { SetLinkedElement(parameters_, parameters); }

TElement* TTool::GetParameter(const std::string& name) { return GetParameters()->FindByAliasOrName(name); }

void TTool::SetParameter(const std::string& name, TElement* element) {
  TParameters* parameters = GetParameters();
  if (auto* aliases = static_cast<TAliases*>(parameters->FindElementByClass(TAliases::StaticClass())))
    if (element && aliases->GetAliasTarget(name) == element) return;
  parameters->AddAliased(name, element);
}

void TTool::SetBreakWork(bool value) {
  SetFlag(kBreak, value);
  if (!value) SetFlag(kRestart, false);
}

void TTool::DoIt() { SetFlag(kRun, true); }

bool TTool::CanClose() { return true; }

void TTool::ApplyModel() {
  TToolModel* model = SelfModel();
  if (!model) {
    Log("Tool: " + GetName() + " class: " + ClassName() + " Has no model!");
    return;
  }
  DynamicTool = model->DynamicTool;
  if (!model->NoModelProperties()) {
    for (TPropertyModel* property : ChildrenOfClass<TPropertyModel>(*model->ModelProperties())) {
      if (!property->LinkOnly) SetPropertyText(property->GetName(), property->Value);
      if (!property->NoLinks()) ApplyLinks(*property->Links());
    }
  }
  if (!model->NoLinks()) ApplyLinks(*model->Links());
}

void TTool::CreateModelTools() {}
void TTool::FreeModelTools() {}

void TTool::StoreToModel() {
  TToolModel* model = SelfModel();
  if (!model || model->NoModelProperties()) return;
  for (TPropertyModel* property : ChildrenOfClass<TPropertyModel>(*model->ModelProperties()))
    property->Value = GetPropertyText(property->GetName());
}

void TTool::HandleMessageCode0(TKestuMessage*, bool&) {}

void TTool::Close() {
  if (!CanClose()) return;
  CloseWithoutAsking();
}

void TTool::CloseWithoutAsking() {
  SetFlag(kRun, false);
  PostMessageToOwners(msgToolClosed, nullptr, false);
}

void TTool::ToolClosed(TKestuMessage*, bool&) {}
void TTool::ToolFinished(TKestuMessage*, bool&) {}
void TTool::GetParameterName(int, std::string& name) { name.clear(); }

void TTool::SetParameterByIndex(int index, const std::string& text) {
  std::string name;
  GetParameterName(index, name);
  if (!name.empty()) SetPropertyText(name, text);
}

bool TTool::NoParameters() const {
  auto* parameters = static_cast<TParameters*>(parameters_.Get());
  return !parameters || parameters->IsEmpty();
}

void TTool::AddParameter(TElement* element) { GetParameters()->AddElement(element); }
void TTool::FreeParameter(TElement* element) { GetParameters()->FreeElement(element); }
TElement* TTool::GetParameterByIndex(int index) { return GetParameters()->GetElement(index); }

void TTool::StartProgress(const std::string& processName, int min, int max) {
  auto* message = new TProgressMessage(msgProgressStart, this, nullptr, nullptr, false);
  message->ProcessName = processName;
  message->MinProgress = min;
  message->MaxProgress = max;
  PostKestuMessage(message);
  SetInProgress(true);
  LetMessagesRun();
}

void TTool::SetProgress(int value) {
  if (!InProgress()) return;
  auto* message = new TProgressMessage(msgProgress, this, nullptr, nullptr, false);
  message->Progress = value;
  PostKestuMessage(message);
}

void TTool::SetProgressText(const std::string& text) {
  if (InProgress()) PostTextMessage(this, msgProgressText, text, nullptr);
}

bool TTool::PostProgressEnd() {
  if (!InProgress()) return false;
  PostKestuMessage(new TKestuMessage(msgProgressEnd, this, nullptr, nullptr, false));
  SetInProgress(false);
  return true;
}

void TTool::EndProgress() {
  if (PostProgressEnd()) LetMessagesRun();
}

void TTool::Log(const std::string& text) { PostTextMessage(this, msgLogText, text, nullptr); }

// ---------------------------------------------------------------- TTechnology

TTools* TTechnology::ExistingTools() const { return static_cast<TTools*>(tools_.Get()); }

TTools* TTechnology::GetTools() { return LinkedChildMadeOnDemand<TTools>(*this, tools_); }

// As a child the list wraps this technology; without that the sub-tools'
// messages to their owners would reach nobody.
void TTechnology::SetTools(TTools* tools) { SetLinkedElement(tools_, tools); }

int TTechnology::ToolCount() const {
  TTools* tools = ExistingTools();
  return tools ? static_cast<int>(tools->Children().size()) : 0;
}

bool TTechnology::NoTools() const { return ToolCount() == 0; }

TTool* TTechnology::ToolAt(int index) const {
  if (index < 0 || index >= ToolCount()) return nullptr;
  return DynamicCast<TTool>(ExistingTools()->Children()[static_cast<std::size_t>(index)]);
}

TTool* TTechnology::GetTool(int index) { return DynamicCast<TTool>(GetTools()->GetElement(index)); }

TTool* TTechnology::FindTool(const std::string& name) {
  return DynamicCast<TTool>(GetTools()->FindElementByName(name));
}

void TTechnology::ReplaceTool(TTool*& field, TTool* tool) {
  if (field == tool) return;
  if (tool) CheckNewHeld(tool);
  if (field) {
    TTool* old = field;
    field = nullptr;
    FreeTool(old);
  }
  field = tool;
  // A model's sub-tool is listed before its model wires it into the field
  // (AttachToPropertyName): it must not become a second entry of the list.
  TTools* tools = ExistingTools();
  if (tool && tools && tools->IndexOf(tool) >= 0) return;
  AddTool(tool);
}

TTool* TTechnology::GetActiveTool() { return ToolAt(activeIndex_); }

int TTechnology::GetActiveIndex() { return activeIndex_; }

void TTechnology::SetActiveTool(TTool* tool) {
  TTools* tools = ExistingTools();
  SetActiveIndex(tools && tool ? tools->IndexOf(tool) : -1);
}

void TTechnology::SetActiveIndex(int index) { activeIndex_ = index >= 0 && index < ToolCount() ? index : -1; }

void TTechnology::SetToolToAdd(TTool* tool) { GetTools()->AddElement(tool); }

TTool* TTechnology::AddTool(TTool* tool) {
  GetTools()->AddElement(tool);
  return tool;
}

TTool* TTechnology::CreateToolByModel(TToolModel* model) {
  if (!model || model->ElementClassName.empty()) return nullptr;
  const std::string className = model->ElementClassName;
  TClass cls = FindKestuClass(className);
  if (!cls) {
    Log("Unknown class: " + className);
    return nullptr;
  }
  if (!cls->InheritsFrom(TTool::StaticClass())) {
    Log("Class: " + className + " is not a Tool");
    return nullptr;
  }
  auto* tool = static_cast<TTool*>(NewElement(cls));
  if (!tool) return nullptr;
  tool->SetName(model->GetName());
  AddTool(tool);
  if (!model->AttachToPropertyName.empty())
    SetPropertyInteger(model->AttachToPropertyName, static_cast<int>(HandleOfElement(tool)));
  tool->SetSelfModel(model);
  tool->ApplyModel();
  return tool;
}

TElement* TTechnology::AddNewTool(const std::string& className, const std::string& name) {
  return GetTools()->AddNew(className, name);
}

void TTechnology::InsertTool(int index, TTool* tool) { GetTools()->InsertElement(index, tool); }

void TTechnology::RemoveTool(TTool* tool) {
  if (TTools* tools = ExistingTools()) tools->RemoveElement(tool);
}

void TTechnology::FreeTool(TTool* tool) {
  if (TTools* tools = ExistingTools()) tools->FreeElement(tool);
}

void TTechnology::ApplyModel() {
  TTool::ApplyModel();
  if (!DynamicTool) CreateModelTools();
}

void TTechnology::CreateModelTools() {
  TToolModel* model = SelfModel();
  if (!model || model->NoModelTools()) return;
  for (TToolModel* toolModel : ChildrenOfClass<TToolModel>(*model->ModelTools())) CreateToolByModel(toolModel);
}

void TTechnology::FreeModelTools() {
  StoreToModel();
  if (TTools* tools = ExistingTools()) tools->Clear();
}

void TTechnology::StoreToModel() {
  TTool::StoreToModel();
  if (TTools* tools = ExistingTools())
    for (TTool* tool : ChildrenOfClass<TTool>(*tools)) tool->StoreToModel();
}

bool TTechnology::CanClose() {
  TTools* tools = ExistingTools();
  if (!tools) return true;
  for (TTool* tool : ChildrenOfClass<TTool>(*tools))
    if (!tool->CanClose()) return false;
  return true;
}

void TTechnology::ToolClosed(TKestuMessage* message, bool& handled) {
  // Owners pass the notice on (a tool group to its window, the window to its
  // active tool, which may be the closed tool itself): only the technology
  // the closed tool belongs to frees it.
  auto* tool = DynamicCast<TTool>(message->Sender());
  TTools* tools = ExistingTools();
  if (!tool || !tools || tools->IndexOf(tool) < 0) return;
  FreeTool(tool);
  handled = true;
}

// ---------------------------------------------------------------- pipelines and selection

void TSeqTechnology::DoIt() {
  TTool::DoIt();
  if (IsEmpty()) return;
  const TElementLink self(this);
  const int count = ToolCount();
  for (int i = 0; i < count; ++i) {
    // A sub-tool may let messages run, and a close request may free tools.
    if (i >= ToolCount()) break;
    SetActiveIndex(i);
    TTool* tool = ToolAt(i);
    if (!tool) continue;
    const TElementLink running(tool);
    tool->SetParameters(GetParameters());
    tool->SetInput(Input());
    tool->DoIt();
    if (!self.Get()) return;
    if (!running.Get()) continue;
    SetOutput(tool->Output());
    SetInput(Output());
  }
}

TTool* TSelectTechnology::ElseTool() const { return static_cast<TTool*>(elseTool_.Get()); }

void TSelectTechnology::SetElseTool(TTool* tool) {
  if (!tool || tool == ElseTool()) return;
  CheckNewHeld(tool);
  elseTool_.Set(tool);
  AddElement(tool);
}

void TSelectTechnology::DoIt() {
  TTool* tool = ToolAt(SelIndex);
  if (!tool) tool = ElseTool();
  if (!tool) return;
  const TElementLink self(this);
  const TElementLink running(tool);
  tool->SetInput(Input());
  tool->DoIt();
  if (self.Get() && running.Get()) SetOutput(tool->Output());
}

// ---------------------------------------------------------------- class descriptions

TClass TProgressMessage::StaticClass() {
  static const TClassInfo info = DescribeClass<TProgressMessage>(
      "TProgressMessage", TKestuMessage::StaticClass(), "Tools",
      {FieldProp("MaxProgress", &TProgressMessage::MaxProgress), FieldProp("Progress", &TProgressMessage::Progress),
       FieldProp("MinProgress", &TProgressMessage::MinProgress),
       FieldProp("ProcessName", &TProgressMessage::ProcessName)});
  return &info;
}

TClass TToolProperties::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TToolProperties>("TToolProperties", TOwnerElement::StaticClass(), "Tools", {});
  return &info;
}

TClass TParameters::StaticClass() {
  static const TClassInfo info = DescribeClass<TParameters>("TParameters", TOwnerEntity::StaticClass(), "Tools", {});
  return &info;
}

TClass TTool::StaticClass() {
  static const TClassInfo info = DescribeClass<TTool>(
      "TTool", TOwnerEntity::StaticClass(), "Tools",
      {NotStored(ReadWriteProp("Input", &TTool::Input, &TTool::SetInput)),
       NotStored(ReadWriteProp("Output", &TTool::Output, &TTool::SetOutput)),
       NotStored(ReadWriteProp("Busy", &TTool::Busy, &TTool::SetBusy)),
       NotStored(ReadWriteProp("Idle", &TTool::Idle, &TTool::SetIdle)),
       NotStored(ReadWriteProp("InProgress", &TTool::InProgress, &TTool::SetInProgress)),
       NotStored(ReadWriteProp("BreakWork", &TTool::BreakWork, &TTool::SetBreakWork)),
       FieldProp("DynamicTool", &TTool::DynamicTool),
       NotStored(ReadWriteProp("SelfModel", &TTool::SelfModel, &TTool::SetSelfModel)),
       NotStored(FieldProp("Error", &TTool::Error)),
       NotStored(AccessorProp<TTool, TElement*>("NextParameter", nullptr, [](TTool& tool, TElement* element) {
         if (element) tool.SetParameter(element->GetName(), element);
       }))});
  return &info;
}

TClass TResultTool::StaticClass() {
  static const TClassInfo info = DescribeClass<TResultTool>(
      "TResultTool", TTool::StaticClass(), "Tools", {NotStored(FieldProp("Result", &TResultTool::Result))});
  return &info;
}

TClass TBooleanTool::StaticClass() {
  static const TClassInfo info = DescribeClass<TBooleanTool>(
      "TBooleanTool", TTool::StaticClass(), "Tools", {NotStored(FieldProp("Result", &TBooleanTool::Result))});
  return &info;
}

TClass TTools::StaticClass() {
  static const TClassInfo info = DescribeClass<TTools>("TTools", TEnvelopeEntity::StaticClass(), "Tools", {});
  return &info;
}

TClass TTechnology::StaticClass() {
  static const TClassInfo info = DescribeClass<TTechnology>(
      "TTechnology", TTool::StaticClass(), "Tools",
      {NotStored(AccessorProp<TTechnology, TTool*>(
           "ActiveTool", [](const TTechnology& t) { return const_cast<TTechnology&>(t).GetActiveTool(); },
           [](TTechnology& t, TTool* tool) { t.SetActiveTool(tool); })),
       NotStored(WriteProp("ToolToAdd", &TTechnology::SetToolToAdd)),
       NotStored(AccessorProp<TTechnology, TToolModel*>(
           "NewToolByModel", nullptr, [](TTechnology& t, TToolModel* model) { t.CreateToolByModel(model); })),
       NotStored(WriteProp("ToolToFree", &TTechnology::FreeTool)),
       NotStored(WriteProp("ToolToRemove", &TTechnology::RemoveTool))});
  return &info;
}

TClass TSeqTechnology::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TSeqTechnology>("TSeqTechnology", TTechnology::StaticClass(), "Tools", {});
  return &info;
}

TClass TSelectTechnology::StaticClass() {
  static const TClassInfo info = DescribeClass<TSelectTechnology>(
      "TSelectTechnology", TTechnology::StaticClass(), "Tools",
      {ReadWriteProp("ElseTool", &TSelectTechnology::ElseTool, &TSelectTechnology::SetElseTool),
       FieldProp("SelIndex", &TSelectTechnology::SelIndex)});
  return &info;
}

void RegisterToolsClasses() {
  for (TClass cls : {TProgressMessage::StaticClass(), TToolProperties::StaticClass(), TTool::StaticClass(),
                     TResultTool::StaticClass(), TBooleanTool::StaticClass(), TTechnology::StaticClass(),
                     TSeqTechnology::StaticClass(), TSelectTechnology::StaticClass()})
    RegisterKestuClass(cls);
}
