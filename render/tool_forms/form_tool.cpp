#include "render/tool_forms/form_tool.h"

#include "framework/core/class_registry.h"
#include "framework/forms/base_forms.h"

TFormTool::~TFormTool() = default;

void TFormTool::SetForm(std::unique_ptr<TKESTUForm> form) { form_ = std::move(form); }

std::string TFormTool::Caption() const { return form_ ? form_->Window().Caption() : std::string(); }

void TFormTool::SetCaption(const std::string& caption) {
  if (form_) form_->Window().SetCaption(caption);
}


std::int32_t TFormTool::Left() const { return form_ ? form_->Window().GetBounds().Left : 0; }
void TFormTool::SetLeft(std::int32_t value) {
  ChangeFormBounds(form_.get(), [value](platform::Bounds& b) { b.Left = value; });
}
std::int32_t TFormTool::Top() const { return form_ ? form_->Window().GetBounds().Top : 0; }
void TFormTool::SetTop(std::int32_t value) {
  ChangeFormBounds(form_.get(), [value](platform::Bounds& b) { b.Top = value; });
}
std::int32_t TFormTool::Width() const { return form_ ? form_->Window().GetBounds().Width : 0; }
void TFormTool::SetWidth(std::int32_t value) {
  ChangeFormBounds(form_.get(), [value](platform::Bounds& b) { b.Width = value; });
}
std::int32_t TFormTool::Height() const { return form_ ? form_->Window().GetBounds().Height : 0; }
void TFormTool::SetHeight(std::int32_t value) {
  ChangeFormBounds(form_.get(), [value](platform::Bounds& b) { b.Height = value; });
}

bool TFormTool::Autosize() const { return form_ && form_->Window().AutoSize(); }

void TFormTool::SetAutosize(bool value) {
  if (form_) form_->Window().SetAutoSize(value);
}

bool TFormTool::Visible() const { return form_ && form_->Window().Visible(); }

void TFormTool::SetVisible(bool value) {
  if (!form_) return;
  if (value) form_->Window().Show();
  else form_->Window().Hide();
}

bool TFormTool::AcceptDropFiles() const { return form_ && form_->AcceptDropFiles(); }

void TFormTool::SetAcceptDropFiles(bool value) {
  if (form_) form_->SetAcceptDropFiles(value);
}

void TFormTool::CreateForm() {}

void TFormTool::FileDropped(TKestuMessage* message, bool& handled) {
  auto* text = DynamicCast<TKestuTextMessage>(message);
  PostTextMessage(this, msgLogText, "Droped file: " + (text ? text->Text : std::string()), nullptr);
  handled = true;
}

void TFormTool::ShowForm(TKestuMessage*, bool& handled) {
  SetVisible(true);
  handled = true;
}

void TFormTool::HideForm(TKestuMessage*, bool& handled) {
  SetVisible(false);
  handled = true;
}

void TFormTool::AfterConstruction() {
  TInterfaceTool::AfterConstruction();
  CreateForm();
}

void TFormTool::SetCursor(std::int32_t) {}

void TFormTool::ReceiveMessage(TKestuMessage*& message, bool& handled) {
  TInterfaceTool::ReceiveMessage(message, handled);
  if (handled || !message) return;
  switch (message->Message) {
    case msgShowForm: return ShowForm(message, handled);
    case msgHideForm: return HideForm(message, handled);
    case msgFileDropped: return FileDropped(message, handled);
    default: return;
  }
}

void TControlGroup::CreateForm() {
  auto form = std::make_unique<TKESTUForm>("TControlGroupForm");
  form->SetTool(this);
  form->Window().OnClick("ac_Quit", [this] { PostMessage(msgClose, this, nullptr, false); });
  SetForm(std::move(form));
}

void TControlGroup::SetVisible(bool value) {
  TFormTool::SetVisible(value);
  for (int i = 0; i < ToolCount(); ++i) {
    if (TTool* member = ToolAt(i)) PostMessage(value ? msgShowForm : msgHideForm, member, nullptr, false);
  }
}

void TControlGroup::ReceiveMessage(TKestuMessage*& message, bool& handled) {
  handled = false;
  if (!message) return;
  if (message->Message == msgClose) {
    Close();
    handled = true;
    return;
  }
  for (int i = 0; i < ToolCount() && !handled; ++i) {
    TTool* member = ToolAt(i);
    if (member && member != message->Sender()) member->ReceiveMessage(message, handled);
  }
}

TClass TFormTool::StaticClass() {
  static const TClassInfo info = DescribeClass<TFormTool>(
      "TFormTool", TInterfaceTool::StaticClass(), "t_FormTool",
      {ReadWriteProp("Caption", &TFormTool::Caption, &TFormTool::SetCaption),
       ReadWriteProp("Left", &TFormTool::Left, &TFormTool::SetLeft),
       ReadWriteProp("Top", &TFormTool::Top, &TFormTool::SetTop),
       ReadWriteProp("Width", &TFormTool::Width, &TFormTool::SetWidth),
       ReadWriteProp("Height", &TFormTool::Height, &TFormTool::SetHeight),
       ReadWriteProp("Autosize", &TFormTool::Autosize, &TFormTool::SetAutosize),
       AccessorProp<TFormTool, bool>(
           "Visible", [](const TFormTool& t) { return t.Visible(); }, [](TFormTool& t, bool v) { t.SetVisible(v); }),
       ReadWriteProp("AcceptDropFiles", &TFormTool::AcceptDropFiles, &TFormTool::SetAcceptDropFiles),
       ReadWriteProp("ManualSetting", &TFormTool::GetManualSetting, &TFormTool::SetManualSetting)});
  return &info;
}

TClass TControlGroup::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TControlGroup>("TControlGroup", TFormTool::StaticClass(), "t_FormTool", {});
  return &info;
}

void RegisterFormToolClasses() {
  RegisterKestuClass(TFormTool::StaticClass());
  RegisterKestuClass(TControlGroup::StaticClass());
}
