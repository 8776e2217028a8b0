#include "app/main_tool.h"

#include "framework/core/class_registry.h"
#include "framework/tools/world.h"
#include "platform/app_queue.h"

TOldMainTool* TOldMainTool::Create(TClass cls) {
  if (!cls || !cls->InheritsFrom(StaticClass())) return nullptr;
  auto* tool = static_cast<TOldMainTool*>(NewElement(cls));
  if (tool) tool->OpenWorld();
  return tool;
}

void TOldMainTool::OpenWorld() {
  auto* world = static_cast<TWorld*>(NewElement(WorldClass()));
  SetWorld(world);
  world->SetMainTool(this);
  platform::Application& application = platform::Application::Instance();
  application.SetMessageHook([link = TElementLink(world)](platform::AppMessage& message, bool& handled) {
    if (auto* alive = static_cast<TWorld*>(link.Get())) {
      alive->DispatchAppMessage(message, handled);
    } else if (TKestuMessage* kestu = KestuMessageOf(message)) {
      DeliverKestuMessage(kestu, handled, nullptr);  // nobody is left to take unaddressed messages
    }
  });
  application.SetExceptionHook([link = TElementLink(world)](std::exception_ptr error) {
    auto* alive = static_cast<TWorld*>(link.Get());
    if (!alive) std::rethrow_exception(error);
    alive->ShowAppException(error);
  });
}

void TOldMainTool::ReceiveMessage(TKestuMessage*& message, bool& handled) {
  TTechnology::ReceiveMessage(message, handled);
  if (handled || !message) return;
  switch (message->Message) {
    case msgLogText:
      ShowTextMessage(message);
      handled = true;
      break;
    case msgStatusText:
      ShowStatusText(message);
      handled = true;
      break;
    case msgProgressStart:
    case msgProgress:
    case msgProgressEnd:
    case msgProgressText:
      ShowProgress(message);
      handled = true;
      break;
    default:
      break;
  }
}

void TOldMainTool::ShowTextMessage(TKestuMessage* message) {
  auto* text = DynamicCast<TKestuTextMessage>(message);
  if (text && !text->Text.empty()) messageLines_.push_back(text->Text);
}

void TOldMainTool::ShowStatusText(TKestuMessage* message) {
  if (auto* text = DynamicCast<TKestuTextMessage>(message)) statusText_ = text->Text;
}

TProcessProgress* TOldMainTool::ProcessOf(const TElement* sender) {
  for (TProcessProgress& process : processes_)
    if (process.Process.Get() == sender) return &process;
  return nullptr;
}

void TOldMainTool::ShowProgress(TKestuMessage* message) {
  // A process whose tool has been freed meanwhile is over.
  std::erase_if(processes_, [](const TProcessProgress& p) { return p.Process.IsDangling(); });
  TElement* sender = message->Sender();
  if (!sender) return;
  if (message->Message == msgProgressStart) {
    TProcessProgress process;
    process.Process.Set(sender);
    if (auto* start = DynamicCast<TProgressMessage>(message)) {
      process.ProcessName = start->ProcessName;
      process.MinProgress = start->MinProgress;
      process.MaxProgress = start->MaxProgress;
      process.Progress = start->MinProgress;
    }
    processes_.push_back(std::move(process));
    return;
  }
  TProcessProgress* process = ProcessOf(sender);
  if (!process) return;
  switch (message->Message) {
    case msgProgress:
      if (auto* step = DynamicCast<TProgressMessage>(message)) process->Progress = step->Progress;
      break;
    case msgProgressText:
      if (auto* text = DynamicCast<TKestuTextMessage>(message)) process->Text = text->Text;
      break;
    case msgProgressEnd:
      processes_.erase(processes_.begin() + (process - processes_.data()));
      break;
    default:
      break;
  }
}

TClass TOldMainTool::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TOldMainTool>("TOldMainTool", TTechnology::StaticClass(), "T_maintl", {});
  return &info;
}

void RegisterMainToolClasses() { RegisterKestuClass(TOldMainTool::StaticClass()); }
