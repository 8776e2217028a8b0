#include "app/monitors/progress_monitor.h"

#include "framework/core/class_registry.h"
#include "framework/forms/base_forms.h"
#include "platform/app_queue.h"

TProcessMonitor::TProcessMonitor() : panel_(std::make_unique<TKESTUForm>("TProcessMonitorForm")) {
  // A panel closes only with its monitor.
  panel_->Window().OnCloseQuery([this] { return panelMayClose_; });
}

TProcessMonitor::~TProcessMonitor() {
  panelMayClose_ = true;
  panel_->Window().Undock();
  panel_->Window().Close();
}

std::string TProcessMonitor::ProcessName() const { return panel_->Window().Text("l_ProcessName"); }
void TProcessMonitor::SetProcessName(const std::string& name) { panel_->Window().SetText("l_ProcessName", name); }
std::string TProcessMonitor::Text() const { return panel_->Window().Text("l_Text"); }
void TProcessMonitor::SetText(const std::string& text) { panel_->Window().SetText("l_Text", text); }
std::int32_t TProcessMonitor::MinProgress() const { return panel_->Window().Minimum("ProgressBar"); }
std::int32_t TProcessMonitor::MaxProgress() const { return panel_->Window().Maximum("ProgressBar"); }
std::int32_t TProcessMonitor::Progress() const { return panel_->Window().Position("ProgressBar"); }

void TProcessMonitor::SetMinProgress(std::int32_t value) {
  panel_->Window().SetRange("ProgressBar", value, std::max(value, MaxProgress()));
}

void TProcessMonitor::SetMaxProgress(std::int32_t value) {
  panel_->Window().SetRange("ProgressBar", std::min(value, MinProgress()), value);
}

void TProcessMonitor::SetProgress(std::int32_t value) { panel_->Window().SetPosition("ProgressBar", value); }

TProgressMonitor::TProgressMonitor() : window_(std::make_unique<TKESTUForm>("TProgressMonitorForm")) {
  window_->SetTool(this);
}

TProgressMonitor::~TProgressMonitor() {
  // The panels leave the window before it goes.
  if (TTools* tools = ExistingTools()) tools->Clear();
}

int TProgressMonitor::MonitorCount() const {
  int count = 0;
  for (int i = 0; i < ToolCount(); ++i)
    if (DynamicCast<TProcessMonitor>(ToolAt(i))) ++count;
  return count;
}

TProcessMonitor* TProgressMonitor::MonitorOf(const TElement* sender) const {
  for (int i = 0; i < ToolCount(); ++i) {
    auto* monitor = DynamicCast<TProcessMonitor>(ToolAt(i));
    if (monitor && monitor->Process() == sender) return monitor;
  }
  return nullptr;
}

void TProgressMonitor::FitWindow() {
  platform::Form& window = window_->Window();
  platform::Bounds bounds = window.GetBounds();
  bounds.Height = kProcessPanelHeight * ToolCount();
  window.SetBounds(bounds);
}

void TProgressMonitor::ReceiveMessage(TKestuMessage*& message, bool& handled) {
  TTechnology::ReceiveMessage(message, handled);
  if (handled || !message) return;
  switch (message->Message) {
    case msgProgressStart:
      if (auto* start = DynamicCast<TProgressMessage>(message)) StartProcess(start);
      handled = true;
      break;
    case msgProgress:
      if (auto* step = DynamicCast<TProgressMessage>(message); step && MonitorOf(message->Sender()))
        MonitorOf(message->Sender())->SetProgress(step->Progress);
      handled = true;
      break;
    case msgProgressText:
      if (auto* text = DynamicCast<TKestuTextMessage>(message); text && MonitorOf(message->Sender()))
        MonitorOf(message->Sender())->SetText(text->Text);
      handled = true;
      break;
    case msgProgressEnd:
      EndProcess(message->Sender());
      handled = true;
      break;
    default:
      break;
  }
}

// The end of a batch posts the monitor's close, and the start of the next
// batch lets the queue run before its panel is set up: a close that finds a
// process running again is a stale one, and the monitor stays for that batch.
bool TProgressMonitor::CanClose() { return MonitorCount() == 0; }

void TProgressMonitor::StartProcess(TProgressMessage* message) {
  const std::string name = message->ProcessName;
  const std::int32_t min = message->MinProgress, max = message->MaxProgress;
  auto* monitor = new TProcessMonitor;
  // The panel knows its process before the queue runs: an end delivered meanwhile (also the nil sender of a tool
  // that died in progress) must find its own panel, not this one.
  monitor->SetProcess(message->Sender());
  AddTool(monitor);
  FitWindow();
  if (!window_->Window().Visible()) window_->Window().Show();
  // The queue may end this process, and with the last one the monitor itself.
  const TElementLink self(this), panel(monitor);
  platform::Application::Instance().ProcessMessages();
  if (!self.Get() || !panel.Get()) return;
  if (min == 0 && max == 0)
    monitor->Panel().Window().SetControlVisible("ProgressBar", false);
  monitor->Panel().Window().DockInto(window_->Window());
  monitor->SetProcessName(name);
  monitor->SetMaxProgress(max);
  monitor->SetMinProgress(min);
  monitor->SetProgress(min);
}

void TProgressMonitor::EndProcess(TElement* sender) {
  if (TProcessMonitor* monitor = MonitorOf(sender)) FreeTool(monitor);
  if (MonitorCount() > 0) {
    FitWindow();
    return;
  }
  window_->Window().Hide();
  PostMessageToOwners(msgFinished, nullptr, false);
  PostMessage(msgClose, this, nullptr, false);
}

TClass TProcessMonitor::StaticClass() {
  static const TClassInfo info = DescribeClass<TProcessMonitor>(
      "TProcessMonitor", TTool::StaticClass(), "ProcessMonitor",
      {ReadWriteProp("Process", &TProcessMonitor::Process, &TProcessMonitor::SetProcess),
       ReadWriteProp("ProcessName", &TProcessMonitor::ProcessName, &TProcessMonitor::SetProcessName),
       ReadWriteProp("Text", &TProcessMonitor::Text, &TProcessMonitor::SetText),
       ReadWriteProp("MinProgress", &TProcessMonitor::MinProgress, &TProcessMonitor::SetMinProgress),
       ReadWriteProp("MaxProgress", &TProcessMonitor::MaxProgress, &TProcessMonitor::SetMaxProgress),
       ReadWriteProp("Progress", &TProcessMonitor::Progress, &TProcessMonitor::SetProgress)});
  return &info;
}

TClass TProgressMonitor::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TProgressMonitor>("TProgressMonitor", TTechnology::StaticClass(), "ProgressMonitor", {});
  return &info;
}

void RegisterProgressMonitorClasses() {
  RegisterKestuClass(TProcessMonitor::StaticClass());
  RegisterKestuClass(TProgressMonitor::StaticClass());
}
