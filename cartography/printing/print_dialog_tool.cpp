#include "cartography/printing/print_dialog_tool.h"

#include <cstdio>

#include "cartography/layouts/desktop.h"
#include "cartography/printing/print_dialog_form.h"
#include "cartography/printing/print_pages.h"
#include "framework/core/class_registry.h"
#include "framework/environment/environment.h"
#include "platform/dialogs.h"
#include "platform/forms.h"
#include "platform/ini_file.h"
#include "platform/timer.h"
#include "render/devices/print_device.h"
#include "render/interprets/interpret_script.h"
#include "render/interprets/script_creator.h"
#include "render/interprets/universal_interpret.h"
#include "render/tool_forms/standard_image_form.h"
#include "spatial/geometry/page.h"
#include "spatial/geometry/projection.h"

namespace {

constexpr const char* kPrintSection = "PRINT";
constexpr const char* kRasterizeLinesKey = "RasterizeLinesByKestu";
constexpr std::uint32_t kPreviewPageColor = 0x808080;

}  // namespace

TPrintDialogTool::~TPrintDialogTool() { FreeTheForm(); }

void TPrintDialogTool::AfterConstruction() {
  TInteractiveTool::AfterConstruction();
  CreateForm();
  CreateDevice();
  ConnectDevice();
  CreateInterpret();
  ConnectInterpret();
}

TDevice* TPrintDialogTool::PrintDevice() const { return static_cast<TDevice*>(printDevice_.Get()); }

void TPrintDialogTool::SetPrintDevice(TDevice* device) {
  printDevice_.Set(device);
  // The overlap must leave paper between the overlaps on both sides.
  if (form_ && device)
    form_->SetOverlapLimitMm(std::min(device->GetPageWidth(), device->GetPageHeight()) / 2 * 1000);
}

// The pages are the preview's child: there are none without a preview.
TPrintPages* TPrintDialogTool::PrintPages() {
  auto* preview = DynamicCast<TRectEntity>(Input());
  if (!printPages_.Get() && PrintDevice() && preview) {
    auto* pages = CreateElement<TPrintPages>();
    pages->SetDevice(PrintDevice());
    pages->SinglePage = MultiPageMode;
    preview->AddEntity(pages);
    printPages_.Set(pages);
    SetOutput(pages);
  }
  return static_cast<TPrintPages*>(printPages_.Get());
}

TDesktop* TPrintDialogTool::Desktop() const { return static_cast<TDesktop*>(desktop_.Get()); }

void TPrintDialogTool::FreePrintPages() {
  TElement* pages = printPages_.Get();
  if (!pages) return;
  SetOutput(nullptr);
  printPages_.Set(nullptr);
  if (auto* preview = DynamicCast<TEntity>(Input())) preview->FreeElement(pages);
  else FreeAndNil(pages);
}

void TPrintDialogTool::ReleaseWhenIdle() {
  if (reViewDepth_ > 0) {
    releasePending_ = true;
    return;
  }
  TElement* self = this;
  FreeAndNil(self);
}

void TPrintDialogTool::CreateForm() {
  form_ = std::make_unique<TPrnDlg>();
  form_->SetTool(this);
  form_->OnRelease = [tool = TElementLink(this)] {
    if (auto* alive = static_cast<TPrintDialogTool*>(tool.Get())) alive->ReleaseWhenIdle();
  };
}

void TPrintDialogTool::CreateDevice() { SetDevice(CreateElement<TImageCanvasDevice>()); }

void TPrintDialogTool::ConnectDevice() {
  auto* device = DynamicCast<TBitmapDevice>(GetDevice());
  if (form_ && device) device->SetBitmap(form_->PreviewBitmap());
}

void TPrintDialogTool::CreateInterpret() {
  auto* interpret = CreateElement<TUniversalInterpret>();
  auto* creator = CreateElement<TUniversalLumarScriptCreator>();
  creator->DoIt();
  interpret->SetScript(DynamicCast<TInterpretScript>(creator->Output()));
  TElement* freed = creator;
  FreeAndNil(freed);
  SetInterpret(interpret);
}

void TPrintDialogTool::ConnectInterpret() {
  if (TInterpret* interpret = Interpret()) interpret->SetDevice(GetDevice());
}

bool TPrintDialogTool::GetVisible() const { return form_ && form_->Window().Visible(); }

void TPrintDialogTool::SetVisible(bool value) {
  if (!form_) return;
  if (value) form_->Window().Show();
  else form_->Window().Hide();
  if (TDevice* device = GetDevice()) device->SetupPage();
}

void TPrintDialogTool::SetInput(TElement* element) {
  auto* desktop = DynamicCast<TDesktop>(element);
  if (!desktop) return;
  desktop_.Set(desktop);
  FreePreview();
  auto* preview = CreateElement<TDesktop>();
  AddElement(preview);
  TInteractiveTool::SetInput(preview);
  if (TPrintPages* pages = PrintPages()) pages->SetLayout(desktop);
  auto* frame = CreateElement<TDrawRectangle>();
  frame->SetBounds({desktop->GetMinX(), desktop->GetMinY(), desktop->GetMaxX(), desktop->GetMaxY()});
  frame->BrushStyle = bsClear;
  frame->PenStyle = psSolid;
  frame->BrushColor = 0xFFFFFF;
  frame->PenColor = 255;
  frame->PenWidth = 0.002;
  preview->AddEntity(frame);
  preview->UpdateRect();
}

void TPrintDialogTool::DoIt() {
  auto* preview = DynamicCast<TRectEntity>(Input());
  if (!preview || !form_) return;
  platform::Form& window = form_->Window();
  const platform::TIniFile options(OptionsIniFileName());
  const bool rasterize = options.ReadInteger(kPrintSection, kRasterizeLinesKey, 0) != 0;
  window.SetDown("b_RasterLines", rasterize);
  SetRasterLines(rasterize);
  window.SetDown("b_CenterPage", true);
  if (TPrintPages* pages = PrintPages()) pages->SetCentered(true);
  preview->UpdateRect();
  window.SetControlVisible("g_Pages", MultiPageMode);
  // Freed meanwhile, the tool ends its run as "Storno" and goes after it.
  const TElementRun run(this, [this] { form_->Window().SetModalResult(platform::mrCancel); });
  if (form_->ShowModal() == platform::mrCancel) {
    SetOutput(nullptr);
    FreeTheForm();
    FreePreview();
    return;
  }
  form_->ShowPrinting();
  SetOutput(PrintPages());
}

void TPrintDialogTool::Close() {
  if (form_) form_->Timer().SetEnabled(false);
  // Closed while it shows (a program's request), it ends as "Storno" does:
  // the run lets the window go once it has returned.
  if (form_ && form_->Window().ShowingModal()) return form_->Window().SetModalResult(platform::mrCancel);
  FreeTheForm();
  FreePreview();
}

void TPrintDialogTool::ReView(TKestuMessage* message, bool& handled) {
  auto* preview = DynamicCast<TRectEntity>(Input());
  TDevice* device = GetDevice();
  if (!preview || !device) return;
  device->SetupPage();
  device->Page()->SetColor(kPreviewPageColor);
  device->Projection()->FitRectangle(preview->BoundRect(), device->Page());
  // The walk lets the queue run: a release arriving meanwhile waits for its end.
  ++reViewDepth_;
  TInteractiveTool::ReView(message, handled);
  if (--reViewDepth_ == 0 && releasePending_) ReleaseWhenIdle();
}

void TPrintDialogTool::FitToPage() {
  TPrintPages* pages = PrintPages();
  TDesktop* desktop = Desktop();
  if (!form_ || !pages || !desktop || !form_->Window().Down("b_FitToPage")) return;
  const double overlap = pages->Overlap();
  const double sx = desktop->GetWidth() / (PaperWidth() - 2 * overlap);
  const double sy = desktop->GetHeight() / (PaperHeight() - 2 * overlap);
  pages->SetScale(sx > sy ? sx : sy);
  char text[64];
  std::snprintf(text, sizeof text, "%.2f", pages->Scale());
  form_->Window().SetText("ed_Scale", text);
  PreviewChanged();
}

void TPrintDialogTool::ApplyScale() {
  TPrintPages* pages = PrintPages();
  if (!form_ || !pages) return;
  // A value the grid already has is not laid again: the field is left at
  // every change of the focus, and a grid too large would say so each time.
  double scale = 0;
  if (ScaleOfText(form_->Window().Text("ed_Scale"), scale) && scale != pages->Scale()) pages->SetScale(scale);
  form_->Window().SetDown("b_FitToPage", false);
  PreviewChanged();
}

void TPrintDialogTool::ApplyOverlap() {
  TPrintPages* pages = PrintPages();
  if (!form_ || !pages) return;
  int millimetres = 0;
  if (TryTextToInt(form_->Window().Text("ed_Overlap"), millimetres) && millimetres / 1000.0 != pages->Overlap())
    pages->SetOverlap(millimetres / 1000.0);
  form_->Window().SetDown("b_FitToPage", false);
  PreviewChanged();
}

void TPrintDialogTool::ApplyCenterPage() {
  TPrintPages* pages = PrintPages();
  if (!form_ || !pages) return;
  pages->SetCentered(form_->Window().Down("b_CenterPage"));
  PreviewChanged();
}

void TPrintDialogTool::SaveRasterLines() {
  if (!form_) return;
  const bool rasterize = form_->Window().Down("b_RasterLines");
  platform::TIniFile options(OptionsIniFileName());
  options.WriteInteger(kPrintSection, kRasterizeLinesKey, rasterize ? 1 : 0);
  options.UpdateFile();
  SetRasterLines(rasterize);
}

void TPrintDialogTool::ReceiveMessage(TKestuMessage*& message, bool& handled) {
  TInteractiveTool::ReceiveMessage(message, handled);
  if (handled || !message) return;
  handled = true;
  switch (message->Message) {
    case msgFitToPage: return FitToPage();
    case msgScaleEdited: return ApplyScale();
    case msgOverlapEdited: return ApplyOverlap();
    case msgCenterPage: return ApplyCenterPage();
    case msgRasterLines: return SaveRasterLines();
    case msgClose: return Close();
    default: handled = false;
  }
}

double TPrintDialogTool::PaperWidth() const { return PrintDevice() ? PrintDevice()->GetPageWidth() : 0; }
double TPrintDialogTool::PaperHeight() const { return PrintDevice() ? PrintDevice()->GetPageHeight() : 0; }

void TPrintDialogTool::PreviewChanged() {
  if (auto* preview = DynamicCast<TRectEntity>(Input())) preview->UpdateRect();
  PostMessage(msgReView, this, nullptr, false);
}

void TPrintDialogTool::SetRasterLines(bool value) {
  if (auto* printer = DynamicCast<TPrintDevice>(PrintDevice())) printer->RasterizeLines = value;
}

// The device lets the preview's bitmap go before the window ends with it.
void TPrintDialogTool::FreeTheForm() {
  if (!form_) return;
  if (auto* device = DynamicCast<TBitmapDevice>(GetDevice())) device->SetBitmap(nullptr);
  form_.reset();
}

// The print pages are the preview's child and go with it.
void TPrintDialogTool::FreePreview() {
  TElement* preview = Input();
  if (!preview) return;
  TInteractiveTool::SetInput(nullptr);
  FreeElement(preview);
}

TClass TPrintDialogTool::StaticClass() {
  static const TClassInfo info = DescribeClass<TPrintDialogTool>(
      "TPrintDialogTool", TInteractiveTool::StaticClass(), "PrintDialogTool",
      {FieldProp("MultiPageMode", &TPrintDialogTool::MultiPageMode)});
  return &info;
}
