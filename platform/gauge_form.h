#pragma once
// The progress form of long passes: a bar, a caption and a way
// for the user to ask the pass to stop.  Asking does not stop anything by
// itself: the close box and the abort button only set DoCloseQuery; the loop
// that owns the form reads it before each object and stops only when
// ConfirmAbort with its own question answers true.
//
// The program's form is a Qt window made on first Show; without a
// QApplication the form keeps its values and shows nothing.  Tests install a
// factory of RecordingGaugeForm, which logs every call and answers the
// question as told.
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace platform {

class TF_gaugeForm {
 public:
  virtual ~TF_gaugeForm() = default;

  const std::string& Caption() const { return caption_; }
  virtual void SetCaption(const std::string& text) { caption_ = text; }
  int MaxValue() const { return maxValue_; }
  virtual void SetMaxValue(int value) { maxValue_ = value; }
  int Progress() const { return progress_; }
  // Nothing happens while the maximum is below 1.
  virtual void SetProgress(int value);
  bool Visible() const { return visible_; }
  virtual void Show() { visible_ = true; }
  virtual void Hide() { visible_ = false; }
  // Set when the user asked to close the form; the owning loop clears it
  // once it has asked its question.
  bool DoCloseQuery() const { return doCloseQuery_; }
  void SetDoCloseQuery(bool value) { doCloseQuery_ = value; }
  // An OK/Cancel confirmation box with the question: true exactly on OK.
  virtual bool ConfirmAbort(const std::string& question);

 private:
  std::string caption_;
  int maxValue_ = 0;
  int progress_ = 0;
  bool visible_ = false;
  bool doCloseQuery_ = false;
};

using GaugeFormFactory = std::function<std::unique_ptr<TF_gaugeForm>()>;

// A new form from the installed factory, else the program's own.
std::unique_ptr<TF_gaugeForm> NewGaugeForm();
// Installs a factory; an empty one restores the program's own.
void SetGaugeFormFactory(GaugeFormFactory factory);
// The program's own form, whatever factory is installed.
std::unique_ptr<TF_gaugeForm> NewProgramGaugeForm();

// What the program's gauge window shows; false when no such window exists.
struct GaugeWindowView {
  bool Visible = false;
  bool Modal = false;
  std::string Caption;
  std::string AbortCaption;
  int Maximum = 0;
  int Value = 0;
  int BarWidth = 0;
};
bool ViewGaugeWindow(GaugeWindowView& view);
// The person at the gauge window: its abort button, its close box.
void UserPressGaugeAbort();
void UserCloseGaugeWindow();

class RecordingGaugeForm : public TF_gaugeForm {
 public:
  // "Caption=...", "MaxValue=n", "Progress=n" (only the values taken),
  // "Show", "Hide", "ConfirmAbort=question", in the order of the calls.
  std::vector<std::string> Calls;
  // Answers of ConfirmAbort in turn; when empty, DefaultAnswer.
  std::deque<bool> AbortAnswers;
  bool DefaultAnswer = true;
  // The user asks to close the form as the bar reaches this value.
  int CloseRequestAt = -1;

  void SetCaption(const std::string& text) override;
  void SetMaxValue(int value) override;
  void SetProgress(int value) override;
  void Show() override;
  void Hide() override;
  bool ConfirmAbort(const std::string& question) override;
};

}  // namespace platform
