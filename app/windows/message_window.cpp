#include "app/windows/message_window.h"

#include <algorithm>
#include <vector>

#include "app/windows/rich_text.h"
#include "framework/core/class_registry.h"
#include "framework/core/messages.h"
#include "framework/tools/tools.h"
#include "platform/app_queue.h"
#include "platform/code_page.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/streams.h"

namespace {

constexpr const char* kEditor = "RichEdit";
constexpr const char* kChanged = "Obsah souboru byl změněn ... uložit?";
constexpr const char* kFilter = "textový soubor (*.TXT)|*.txt|RTF soubor (RTF)|*.rtf";

// The application's text windows; each lives until it has closed.
std::vector<std::unique_ptr<TStdtxtForm>>& TextWindows() {
  static std::vector<std::unique_ptr<TStdtxtForm>> windows;
  return windows;
}

std::string DirectoryOf(const std::string& fileName) {
  const std::size_t slash = fileName.find_last_of(platform::PathDelimiter);
  return slash == std::string::npos ? std::string() : fileName.substr(0, slash);
}

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
    lines.push_back(text.substr(start, end - start));
  lines.push_back(text.substr(start));
  return lines;
}

}  // namespace

bool AskYesNo(const std::string& question) {
  platform::Form dialog("TAnoNeDialog");
  dialog.SetText("m_Question", question);
  return dialog.ShowModal() == platform::mrYes;
}

TStdtxtForm::TStdtxtForm() : TKESTUForm("TStdtxtForm") {
  platform::Form& window = Window();
  window.OnClick("Open", [this] { Open(); });
  window.OnClick("Save", [this] { Save(); });
  window.OnClick("FindText", [this] { FindText(); });
  window.OnClick("SetFont", [this] { SetFont(); });
  window.OnClick("Abort", [this] { Abort(); });
  window.OnClick("CloseForm", [this] { Window().Close(); });
  window.OnChange("cb_WordWrap", [this] { Window().SetWordWrap(kEditor, Window().Checked("cb_WordWrap")); });
  window.OnChange(kEditor, [this] { modified_ = true; });
  window.OnCaretMove(kEditor, [this] { ShowCaret(); });
  window.OnCloseQuery([this] { return CloseQuery(); });
}

TMemoFormDevice* TStdtxtForm::Device() const { return static_cast<TMemoFormDevice*>(device_.Get()); }

void TStdtxtForm::SetDevice(TMemoFormDevice* device) { device_.Set(device); }

void TStdtxtForm::ShowCaret() {
  int line = 0, column = 0;
  Window().CaretLineColumn(kEditor, line, column);
  Window().SetText("StatusBar", std::to_string(line) + "/" + std::to_string(column));
}

void TStdtxtForm::Clear() {
  Window().SetText(kEditor, "");
  currentLine_.clear();
}

void TStdtxtForm::WriteText(const std::string& text) {
  currentLine_ += text;
  Window().ReplaceLastLine(kEditor, currentLine_);
  modified_ = true;
}

void TStdtxtForm::WriteLine(const std::string& text) {
  WriteText(text);
  currentLine_.clear();
  Window().AppendLine(kEditor, " ");
  Window().ScrollToCaret(kEditor);
}

void TStdtxtForm::Open() {
  if (modified_ && AskYesNo(kChanged)) Save();
  platform::FileDialogRequest request;
  request.Filter = kFilter;
  request.DefaultExt = "TXT";
  request.InitialDir = directory_;
  if (!platform::PromptForFile(request)) return;
  LoadFromFile(request.FileName);
  directory_ = DirectoryOf(request.FileName);
}

bool TStdtxtForm::Save() {
  platform::FileDialogRequest request;
  request.Save = true;
  request.Filter = kFilter;
  request.DefaultExt = "TXT";
  request.FilterDefaultExts = {"TXT", "RTF"};
  request.InitialDir = directory_;
  if (!platform::PromptForFile(request)) return false;
  SaveToFile(request.FileName);
  directory_ = DirectoryOf(request.FileName);
  return true;
}

void TStdtxtForm::SaveToFile(const std::string& fileName) {
  const std::vector<std::string> lines = SplitLines(Window().Text(kEditor));
  if (platform::AnsiUpperCase(platform::ExtractFileExt(fileName)) == ".TXT") {
    platform::WriteTextLines(fileName, lines);
  } else {
    platform::WriteWholeFile(fileName, LinesToRtf(lines));
  }
  modified_ = false;
}

void TStdtxtForm::LoadFromFile(const std::string& fileName) {
  platform::TMemoryStream stream;
  stream.LoadFromFile(fileName);
  const std::string bytes(stream.Bytes().begin(), stream.Bytes().end());
  std::vector<std::string> lines;
  if (IsRtf(bytes)) {
    lines = RtfToLines(bytes);
  } else {
    lines = platform::ReadTextLines(fileName);
    if (lines.empty()) lines.emplace_back();
  }
  Window().SetText(kEditor, lines.front());
  for (std::size_t i = 1; i < lines.size(); ++i) Window().AppendLine(kEditor, lines[i]);
  currentLine_ = lines.back();
  modified_ = false;
}

void TStdtxtForm::FindText() {
  if (!platform::InputQuery("Najít text", "Text:", findText_)) return;
  Find(findText_);
}

bool TStdtxtForm::Find(const std::string& text) {
  findText_ = text;
  const int hit = Window().FindText(kEditor, text, Window().SelStart(kEditor) + 1);
  if (hit < 0) {
    platform::ShowMessage("Text " + text + " Nenalezen !");
    return false;
  }
  Window().Select(kEditor, hit, static_cast<int>(platform::Cp1250Length(text)));
  Window().Focus(kEditor);
  return true;
}

void TStdtxtForm::SetFont() { Window().ChooseFont(kEditor); }

void TStdtxtForm::Abort() {
  try {
    TMemoFormDevice* device = Device();
    if (!device) return;
    TClass interpret = FindKestuClass("TUniversalInterpret");
    auto* owner = interpret ? DynamicCast<TTool>(device->GetOwnerByClass(interpret)) : nullptr;
    if (!owner) return;
    owner->SetBreakWork(true);
    Window().AppendLine(kEditor, "***** Přerušeno uživatelem !!!!!! *****");
    Window().AppendLine(kEditor, "  ");
  } catch (...) {
    // Stopping a listing must never raise out of the button.
  }
}

bool TStdtxtForm::CloseQuery() {
  if (busy_) return false;
  if (modified_ && AskYesNo(kChanged)) Save();
  closing_ = true;
  if (TMemoFormDevice* device = Device()) {
    device->ForgetWindow();
    device_.Set(nullptr);
    TElement* freed = device;
    FreeAndNil(freed);
  }
  return true;
}

TMemoFormDevice::TMemoFormDevice() {
  ReleaseClosedTextWindows();
  auto window = std::make_unique<TStdtxtForm>();
  window_ = window.get();
  window_->SetDevice(this);
  window_->Window().Show();
  TextWindows().push_back(std::move(window));
}

TMemoFormDevice::~TMemoFormDevice() {
  if (window_ && !window_->Closing()) window_->SetDevice(nullptr);
  window_ = nullptr;
  // The main tool forgets its message window on this.
  PostKestuMessage(new TKestuMessage(msgFinished, this, nullptr, nullptr, false));
}

void TMemoFormDevice::BeginDraw() {
  if (!window_) return;
  window_->SetBusy(true);
  platform::Application::Instance().ProcessMessages();
}

void TMemoFormDevice::EndDraw() {
  if (window_) window_->SetBusy(false);
}

void TMemoFormDevice::Clear() {
  if (window_) window_->Clear();
}

void TMemoFormDevice::SetVisible(bool visible) {
  if (!window_) return;
  if (visible) window_->Window().Show();
  else window_->Window().Hide();
}

void TMemoFormDevice::WriteText(const std::string& text) {
  if (window_) window_->WriteText(text);
}

void TMemoFormDevice::WriteLine(const std::string& text) {
  if (window_) window_->WriteLine(text);
}

std::int32_t TMemoFormDevice::Left() const { return window_ ? window_->Window().GetBounds().Left : 0; }
std::int32_t TMemoFormDevice::Top() const { return window_ ? window_->Window().GetBounds().Top : 0; }
std::int32_t TMemoFormDevice::Width() const { return window_ ? window_->Window().GetBounds().Width : 0; }
std::int32_t TMemoFormDevice::Height() const { return window_ ? window_->Window().GetBounds().Height : 0; }

namespace {
template <class Change>
void ChangeBounds(TStdtxtForm* window, Change change) {
  if (!window) return;
  platform::Bounds bounds = window->Window().GetBounds();
  change(bounds);
  window->Window().SetBounds(bounds);
}
}  // namespace

void TMemoFormDevice::SetLeft(std::int32_t value) { ChangeBounds(window_, [value](auto& b) { b.Left = value; }); }
void TMemoFormDevice::SetTop(std::int32_t value) { ChangeBounds(window_, [value](auto& b) { b.Top = value; }); }
void TMemoFormDevice::SetWidth(std::int32_t value) { ChangeBounds(window_, [value](auto& b) { b.Width = value; }); }
void TMemoFormDevice::SetHeight(std::int32_t value) { ChangeBounds(window_, [value](auto& b) { b.Height = value; }); }

std::string TMemoFormDevice::Caption() const { return window_ ? window_->Window().Caption() : std::string(); }

void TMemoFormDevice::SetCaption(const std::string& caption) {
  if (window_) window_->Window().SetCaption(caption);
}

TTextFileDevice::~TTextFileDevice() = default;

std::string TTextFileDevice::FileName() const { return file_ ? fileName_ : std::string(); }

void TTextFileDevice::SetFileName(const std::string& fileName) {
  file_.reset();
  fileName_ = fileName;
  file_ = std::make_unique<platform::TFileStream>(fileName_, platform::TFileStream::Mode::Create);
}

void TTextFileDevice::BeginDraw() {
  file_.reset();
  auto file = std::make_unique<platform::TFileStream>(fileName_, platform::TFileStream::Mode::OpenReadWrite);
  file->Seek(file->Size());
  file_ = std::move(file);
}

void TTextFileDevice::EndDraw() { file_.reset(); }

void TTextFileDevice::WriteText(const std::string& text) {
  if (!file_) return;
  const std::string bytes = platform::Utf8ToCp1250(text);
  file_->Write(bytes.data(), bytes.size());
}

void TTextFileDevice::WriteLine(const std::string& text) { WriteText(text + "\r\n"); }

void ReleaseClosedTextWindows() {
  std::erase_if(TextWindows(), [](const std::unique_ptr<TStdtxtForm>& window) {
    return window->Closing() && !window->Window().Visible();
  });
}

void ReleaseAllTextWindows() {
  for (auto& window : TextWindows())
    if (TMemoFormDevice* device = window->Device()) device->ForgetWindow();
  TextWindows().clear();
}

TClass TMemoFormDevice::StaticClass() {
  static const TClassInfo info = DescribeClass<TMemoFormDevice>(
      "TMemoFormDevice", TDevice::StaticClass(), "MemoDev",
      {ReadWriteProp("Left", &TMemoFormDevice::Left, &TMemoFormDevice::SetLeft),
       ReadWriteProp("Top", &TMemoFormDevice::Top, &TMemoFormDevice::SetTop),
       ReadWriteProp("Width", &TMemoFormDevice::Width, &TMemoFormDevice::SetWidth),
       ReadWriteProp("Height", &TMemoFormDevice::Height, &TMemoFormDevice::SetHeight),
       ReadWriteProp("Caption", &TMemoFormDevice::Caption, &TMemoFormDevice::SetCaption)});
  return &info;
}

TClass TTextFileDevice::StaticClass() {
  static const TClassInfo info = DescribeClass<TTextFileDevice>(
      "TTextFileDevice", TDevice::StaticClass(), "MemoDev",
      {ReadWriteProp("FileName", &TTextFileDevice::FileName, &TTextFileDevice::SetFileName)});
  return &info;
}

void RegisterMessageWindowClasses() {
  RegisterKestuClass(TMemoFormDevice::StaticClass());
  RegisterKestuClass(TTextFileDevice::StaticClass());
}
