#include "tests/oil/oil_probes.h"

#include "framework/core/messages.h"
#include "platform/app_queue.h"
#include "platform/dialogs.h"

void TOilProbeTool::DoIt() {
  TTool::DoIt();
  Calls.push_back(Text + "|" + std::to_string(Number) + "|" + std::to_string(Ratio) + "|" + (Flag ? "T" : "F") + "|" +
                  (Input() ? Input()->GetName() : std::string("nil")));
  SetOutput(Input());
}

void TOilProbeTool::GetParameterName(int index, std::string& name) {
  name = index == 0 ? "Text" : index == 1 ? "Number" : "";
}


void TOilProbe::ReceiveMessage(TKestuMessage*& message, bool& handled) {
  TOwnerEntity::ReceiveMessage(message, handled);
  ++Received;
  handled = true;
}

void TOilEventTool::DoIt() {
  if (!Text.empty()) return platform::ShowMessage(Text);
  PostTextMessage(this, msgLogText, "line", Input());
  platform::Application::Instance().ProcessMessages();
}

TClass TOilProbe::StaticClass() {
  static const TClassInfo info = DescribeClass<TOilProbe>(
      "TOilProbe", TOwnerEntity::StaticClass(), "OilTests",
      {FieldProp("Ratio", &TOilProbe::Ratio), FieldProp("Kind", &TOilProbe::Kind),
       FieldProp("Letter", &TOilProbe::Letter), FieldProp("Big", &TOilProbe::Big), FieldProp("Count", &TOilProbe::Count),
       FieldProp("Text", &TOilProbe::Text), FieldProp("Shown", &TOilProbe::Shown),
       AccessorProp<TOilProbe, TEntity*>(
           "Target", [](const TOilProbe& p) { return static_cast<TEntity*>(DynamicCast<TEntity>(p.Target())); },
           [](TOilProbe& p, TEntity* e) { p.SetTarget(e); }),
       ReadProp("ReadOnly", &TOilProbe::ReadOnly)});
  return &info;
}

TClass TOilProbeTool::StaticClass() {
  static const TClassInfo info = DescribeClass<TOilProbeTool>(
      "TOilProbeTool", TTool::StaticClass(), "OilTests",
      {FieldProp("Text", &TOilProbeTool::Text), FieldProp("Number", &TOilProbeTool::Number),
       FieldProp("Ratio", &TOilProbeTool::Ratio), FieldProp("Flag", &TOilProbeTool::Flag)});
  return &info;
}

TClass TOilEventTool::StaticClass() {
  static const TClassInfo info = DescribeClass<TOilEventTool>("TOilEventTool", TTool::StaticClass(), "OilTests",
                                                              {FieldProp("Text", &TOilEventTool::Text)});
  return &info;
}

void RegisterOilProbes() {
  for (TClass cls : {TOilProbe::StaticClass(), TOilProbeTool::StaticClass(), TOilEventTool::StaticClass()})
    if (!FindKestuClass(cls->ClassName)) RegisterKestuClass(cls);
}
