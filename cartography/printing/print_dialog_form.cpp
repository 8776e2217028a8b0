#include "cartography/printing/print_dialog_form.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "cartography/printing/print_summary.h"
#include "framework/core/class_registry.h"
#include "framework/tools/tools.h"
#include "platform/app_queue.h"
#include "platform/canvas.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/timer.h"
#include "render/interprets/interpret.h"

namespace {

constexpr const char* kImage = "Image";
constexpr int kTimerIntervalMs = 500;

}  // namespace

bool ScaleOfText(const std::string& text, double& scale) {
  long double value = 0;
  if (!TryTextToFloat(text, value) || !(std::fabs(value) <= std::numeric_limits<double>::max())) return false;
  scale = static_cast<double>(value);
  return true;
}

TPrnDlg::TPrnDlg() : TKESTUForm("TPrnDlg"), timer_(std::make_unique<platform::Timer>(kTimerIntervalMs)) {
  platform::Form& window = Window();
  const platform::Bounds image = window.ControlBounds(kImage);
  preview_ = platform::Bitmap::Create(std::max(image.Width, 1), std::max(image.Height, 1));
  window.SetImageBitmap(kImage, preview_.get());
  window.OnExit("ed_Scale", [this] { ScaleExit(); });
  window.OnExit("ed_Overlap", [this] { OverlapExit(); });
  window.OnClick("b_FitToPage", [this] { Post(msgFitToPage); });
  window.OnClick("b_CenterPage", [this] { Post(msgCenterPage); });
  window.OnClick("b_RasterLines", [this] { Post(msgRasterLines); });
  window.OnClick("OKBtn", [this] { OkClick(); });
  window.OnClick("CancelBtn", [this] { CancelClick(); });
  window.OnClick("r_AllPages", [this] { AllPagesClick(); });
  window.OnClick("r_Pages", [this] { PagesClick(); });
  window.OnClick("HelpBtn", [] { platform::HelpKeyword("ctx_PrintDialog"); });
  window.OnCloseQuery([this] { return CloseQuery(); });
  timer_->OnTimer([this] { TimerTick(); });
}

TPrnDlg::~TPrnDlg() { Window().SetImageBitmap(kImage, nullptr); }

void TPrnDlg::Post(int code) {
  if (TTool* tool = Tool()) PostKestuMessage(new TKestuMessage(code, tool, tool, nullptr, false));
}

int TPrnDlg::ShowModal() {
  FormShow();
  return Window().ShowModal();
}

void TPrnDlg::ShowPrinting() {
  Window().Show();
  Printing = true;
  timer_->SetEnabled(true);
}

void TPrnDlg::SetStartTime(double now) {
  StartTime = now;
  Window().SetText("lbStart", TimeText(now));
}

void TPrnDlg::FormShow() { Post(msgReView); }

void TPrnDlg::ScaleExit() {
  double scale = 0;
  if (!ScaleOfText(Window().Text("ed_Scale"), scale)) return Window().Focus("ed_Scale");
  Post(msgScaleEdited);
}

// Half the paper's smaller side or more would leave no paper between the
// overlaps: such an overlap is refused like a text that is no number.
void TPrnDlg::OverlapExit() {
  int value = 0;
  if (!TryTextToInt(Window().Text("ed_Overlap"), value) || value < 0 || value >= overlapLimitMm_)
    return Window().Focus("ed_Overlap");
  Post(msgOverlapEdited);
}

void TPrnDlg::OkClick() {
  platform::Form& window = Window();
  window.SetCaption("... tiskne se");
  for (const char* control : {"OKBtn", "b_FitToPage", "b_CenterPage", "b_CutMark", "b_RasterLines", "ed_Scale", "ed_Overlap"})
    window.SetEnabled(control, false);
}

void TPrnDlg::AllPagesClick() {
  platform::Form& window = Window();
  if (!window.Checked("r_AllPages")) return;
  window.SetChecked("r_Pages", false);
  window.SetEnabled("ed_Pages", false);
}

void TPrnDlg::PagesClick() {
  platform::Form& window = Window();
  if (!window.Checked("r_Pages")) return;
  window.SetChecked("r_AllPages", false);
  window.SetEnabled("ed_Pages", true);
}

void TPrnDlg::TimerTick() {
  if (platform::Printing()) {
    Window().SetText("lbTime", TimeText(platform::Now() - StartTime));
    return;
  }
  timer_->SetEnabled(false);
  Window().Close();
}

void TPrnDlg::CancelClick() {
  timer_->SetEnabled(false);
  if (Printing) Window().Close();
}

bool TPrnDlg::CloseQuery() {
  if (Printing) FormClose();
  return true;
}

void TPrnDlg::FormClose() {
  timer_->SetEnabled(false);
  if (!platform::Printing())
    platform::ShowMessage(PrintSummary(platform::Now(), platform::PrintFileName(), platform::Now() - StartTime));
  Printing = false;
  if (OnRelease) platform::Application::Instance().Invoke(OnRelease);
}
