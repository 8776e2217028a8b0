#include "framework/forms/base_forms.h"

#include "framework/core/messages.h"
#include "framework/tools/tools.h"
#include "platform/dialogs.h"

namespace {

// A dropped file, as the code 70 message from the tool to itself.
void PostDroppedFile(TTool* tool, const std::string& file) {
  auto* message = new TKestuTextMessage(msgFileDropped, tool, tool, nullptr, false);
  message->Text = file;
  PostKestuMessage(message);
}

}  // namespace

TKESTUForm::TKESTUForm(const std::string& layout) : window_(std::make_unique<platform::Form>(layout)) {
  window_->OnCloseQuery([this] { return CloseQuery(); });
  window_->OnFilesDropped([this](const std::vector<std::string>& files) { FilesDropped(files); });
}

TKESTUForm::~TKESTUForm() = default;

void ChangeFormBounds(TKESTUForm* form, const std::function<void(platform::Bounds&)>& change) {
  if (!form) return;
  platform::Bounds bounds = form->Window().GetBounds();
  change(bounds);
  form->Window().SetBounds(bounds);
}

TTool* TKESTUForm::Tool() const { return static_cast<TTool*>(tool_.Get()); }

void TKESTUForm::SetTool(TTool* tool) { tool_.Set(tool); }

void TKESTUForm::SetCanClose(bool value) { canClose_ = value; }

void TKESTUForm::SetAcceptDropFiles(bool value) { window_->SetAcceptDropFiles(value); }

bool TKESTUForm::CloseQuery() {
  if (canClose_) return true;
  if (TTool* tool = Tool()) PostKestuMessage(new TKestuMessage(msgClose, tool, tool, nullptr, false));
  return false;
}

void TKESTUForm::FilesDropped(const std::vector<std::string>& files) {
  TTool* tool = Tool();
  for (const std::string& file : files) PostDroppedFile(tool, file);
}

TClass TKESTUForm::StaticClass() {
  static const TClassInfo info = DescribeClass<TKESTUForm>("TKESTUForm", TPersistent::StaticClass(), "KestuForm", {});
  return &info;
}

TKestu_Frame::TKestu_Frame(const std::string& layout, TKESTUForm& host, const std::string& container)
    : window_(std::make_unique<platform::Form>(layout, host.Window(), container)) {
  window_->OnFilesDropped([this](const std::vector<std::string>& files) { FilesDropped(files); });
}

TKestu_Frame::TKestu_Frame(const std::string& layout) : window_(std::make_unique<platform::Form>(layout)) {
  window_->OnFilesDropped([this](const std::vector<std::string>& files) { FilesDropped(files); });
}

TKestu_Frame::~TKestu_Frame() = default;

TTool* TKestu_Frame::Tool() const { return static_cast<TTool*>(tool_.Get()); }

void TKestu_Frame::SetTool(TTool* tool) { tool_.Set(tool); }

void TKestu_Frame::SetAcceptDropFiles(bool value) { window_->SetAcceptDropFiles(value); }

void TKestu_Frame::FilesDropped(const std::vector<std::string>& files) {
  for (const std::string& file : files) {
    if (TTool* tool = Tool()) PostDroppedFile(tool, file);
    platform::ShowMessage(file);
  }
}
