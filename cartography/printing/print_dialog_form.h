#pragma once
// The print dialog's window: a preview of the printer pages over the
// desktop, the print scale, the overlap of the pages, centring, the sheets
// to print, and the running time of the print.  Each event posts a message
// to the owning tool; while the print runs the window stays open, counting
// the time, and when the printer has finished it sums the run up and frees
// the tool with itself.
#include <functional>
#include <memory>
#include <string>

#include "framework/forms/base_forms.h"

namespace platform {
class Bitmap;
class Timer;
}  // namespace platform

enum : int {
  msgFitToPage = 182,
  msgScaleEdited = 183,
  msgOverlapEdited = 184,
  msgCenterPage = 185,
  msgRasterLines = 186,
};

// The scale field's text as the scale: false for a text that is no number,
// or a number no double holds (kept, it would print at infinity).
bool ScaleOfText(const std::string& text, double& scale);

class TPrnDlg : public TKESTUForm {
 public:
  TPrnDlg();
  ~TPrnDlg() override;

  // Set while the print runs, from the end of the modal run on.
  bool Printing = false;
  double StartTime = 0;
  // Frees the owning tool: called from the application's queue after the
  // close, never from within the window's own event.
  std::function<void()> OnRelease;

  platform::Bitmap* PreviewBitmap() const { return preview_.get(); }
  platform::Timer& Timer() { return *timer_; }
  // The limit the overlap field holds to, in whole millimetres: the overlap
  // must stay below it.
  void SetOverlapLimitMm(double limit) { overlapLimitMm_ = limit; }

  // Shows the window modally and answers its modal result.
  int ShowModal();
  // After the modal run: shows the window without blocking, the printing
  // flag set and the timer running.
  void ShowPrinting();
  // The start time, shown as a time of day.
  void SetStartTime(double now);

 private:
  void Post(int code);
  void FormShow();
  void ScaleExit();
  void OverlapExit();
  void OkClick();
  void AllPagesClick();
  void PagesClick();
  void TimerTick();
  void CancelClick();
  bool CloseQuery();
  void FormClose();

  std::unique_ptr<platform::Bitmap> preview_;
  std::unique_ptr<platform::Timer> timer_;
  double overlapLimitMm_ = 0;
};
