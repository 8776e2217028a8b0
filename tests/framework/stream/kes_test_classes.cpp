#include "tests/framework/stream/kes_test_classes.h"

#include "framework/core/class_registry.h"
#include "framework/core/messages.h"
#include "framework/tools/tools.h"

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

void TMessageLog::ReceiveMessage(TKestuMessage*& message, bool& handled) {
  PostedMessage posted{message->Message, "", 0, 0};
  if (auto* text = DynamicCast<TKestuTextMessage>(message)) posted.Text = text->Text;
  if (auto* progress = DynamicCast<TProgressMessage>(message)) {
    posted.Text = progress->ProcessName;
    posted.Progress = progress->Progress;
    posted.Max = progress->MaxProgress;
  }
  Messages.push_back(posted);
  handled = true;
}

std::vector<std::string> TMessageLog::Lines(int code) const {
  std::vector<std::string> lines;
  for (const PostedMessage& posted : Messages)
    if (posted.Code == code) lines.push_back(posted.Text);
  return lines;
}
