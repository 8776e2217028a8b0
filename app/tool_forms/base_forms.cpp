#include "app/tool_forms/base_forms.h"

#include "framework/core/messages.h"
#include "framework/tools/tools.h"

TKESTUForm::TKESTUForm(const std::string& layout) : window_(std::make_unique<platform::Form>(layout)) {
  window_->OnCloseQuery([this] { return CloseQuery(); });
  window_->OnFilesDropped([this](const std::vector<std::string>& files) { FilesDropped(files); });
}

TKESTUForm::~TKESTUForm() = default;

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
  for (const std::string& file : files) {
    auto* message = new TKestuTextMessage(msgFileDropped, tool, tool, nullptr, false);
    message->Text = file;
    PostKestuMessage(message);
  }
}
