#include "platform/gauge_form.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QString>
#include <QWidget>

#include "platform/dialogs.h"

namespace platform {

void TF_gaugeForm::SetProgress(int value) {
  if (maxValue_ >= 1) progress_ = value;
}

bool TF_gaugeForm::ConfirmAbort(const std::string& question) {
  return MessageDlg(question, MsgDlgType::Confirmation, mbOK | mbCancel) == mrOk;
}

namespace {

// The window: a bar and an abort button.  It is modal to the application
// while shown, so the rest of the program waits for the pass; neither the
// close box nor the button closes it, both only record the request.
class GaugeWindow : public QWidget {
 public:
  explicit GaugeWindow(TF_gaugeForm& form)
      : QWidget(nullptr, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint), form_(form) {
    setObjectName("TF_gaugeForm");
    setWindowModality(Qt::ApplicationModal);
    bar_ = new QProgressBar(this);
    bar_->setObjectName("ProgressBar");
    bar_->setRange(0, 100);
    bar_->setFixedWidth(453);
    auto* abort = new QPushButton(QString::fromUtf8("Přerušit"), this);
    abort->setObjectName("AbortButton");
    QObject::connect(abort, &QPushButton::clicked, [this] { form_.SetDoCloseQuery(true); });
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(bar_);
    layout->addWidget(abort);
  }

  QProgressBar& Bar() { return *bar_; }

 protected:
  void closeEvent(QCloseEvent* event) override {
    form_.SetDoCloseQuery(true);
    event->ignore();
  }

 private:
  TF_gaugeForm& form_;
  QProgressBar* bar_ = nullptr;
};

class QtGaugeForm : public TF_gaugeForm {
 public:
  void SetCaption(const std::string& text) override {
    TF_gaugeForm::SetCaption(text);
    if (window_) window_->setWindowTitle(QString::fromStdString(text));
  }
  void SetMaxValue(int value) override {
    TF_gaugeForm::SetMaxValue(value);
    if (window_) window_->Bar().setMaximum(value);
  }
  void SetProgress(int value) override {
    TF_gaugeForm::SetProgress(value);
    if (window_ && MaxValue() >= 1) window_->Bar().setValue(Progress());
  }
  // The hourglass shows while the gauge does.
  void Show() override {
    if (!Visible()) CurrentDialogs().SetScreenCursor(Cursor::HourGlass);
    TF_gaugeForm::Show();
    if (!window_ && qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr) MakeWindow();
    if (!window_) return;
    window_->show();
    if (const QScreen* screen = window_->screen())
      window_->move(screen->availableGeometry().center() - window_->rect().center());
  }
  void Hide() override {
    if (Visible()) CurrentDialogs().SetScreenCursor(Cursor::Default);
    TF_gaugeForm::Hide();
    if (window_) window_->hide();
  }
  ~QtGaugeForm() override {
    if (Visible()) CurrentDialogs().SetScreenCursor(Cursor::Default);
  }

 private:
  void MakeWindow() {
    window_ = std::make_unique<GaugeWindow>(*this);
    window_->setWindowTitle(QString::fromStdString(Caption()));
    window_->Bar().setMaximum(MaxValue());
    if (MaxValue() >= 1) window_->Bar().setValue(Progress());
  }

  std::unique_ptr<GaugeWindow> window_;
};

GaugeFormFactory& InstalledFactory() {
  static GaugeFormFactory factory;
  return factory;
}

}  // namespace

std::unique_ptr<TF_gaugeForm> NewProgramGaugeForm() { return std::make_unique<QtGaugeForm>(); }

std::unique_ptr<TF_gaugeForm> NewGaugeForm() {
  if (const GaugeFormFactory& factory = InstalledFactory()) return factory();
  return NewProgramGaugeForm();
}

void SetGaugeFormFactory(GaugeFormFactory factory) { InstalledFactory() = std::move(factory); }

void RecordingGaugeForm::SetCaption(const std::string& text) {
  Calls.push_back("Caption=" + text);
  TF_gaugeForm::SetCaption(text);
}

void RecordingGaugeForm::SetMaxValue(int value) {
  Calls.push_back("MaxValue=" + std::to_string(value));
  TF_gaugeForm::SetMaxValue(value);
}

void RecordingGaugeForm::SetProgress(int value) {
  if (MaxValue() < 1) return;
  Calls.push_back("Progress=" + std::to_string(value));
  TF_gaugeForm::SetProgress(value);
  if (value == CloseRequestAt) SetDoCloseQuery(true);
}

void RecordingGaugeForm::Show() {
  Calls.push_back("Show");
  TF_gaugeForm::Show();
}

void RecordingGaugeForm::Hide() {
  Calls.push_back("Hide");
  TF_gaugeForm::Hide();
}

bool RecordingGaugeForm::ConfirmAbort(const std::string& question) {
  Calls.push_back("ConfirmAbort=" + question);
  if (AbortAnswers.empty()) return DefaultAnswer;
  const bool answer = AbortAnswers.front();
  AbortAnswers.pop_front();
  return answer;
}

namespace {

QWidget* GaugeWindow() {
  if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) return nullptr;
  for (QWidget* widget : QApplication::topLevelWidgets())
    if (widget->objectName() == "TF_gaugeForm") return widget;
  return nullptr;
}

}  // namespace

bool ViewGaugeWindow(GaugeWindowView& view) {
  QWidget* window = GaugeWindow();
  if (window == nullptr) return false;
  auto* bar = window->findChild<QProgressBar*>("ProgressBar");
  auto* abort = window->findChild<QPushButton*>("AbortButton");
  view.Visible = window->isVisible();
  view.Modal = window->windowModality() == Qt::ApplicationModal;
  view.Caption = window->windowTitle().toStdString();
  view.AbortCaption = abort ? abort->text().toStdString() : std::string();
  view.Maximum = bar ? bar->maximum() : 0;
  view.Value = bar ? bar->value() : 0;
  view.BarWidth = bar ? bar->width() : 0;
  return true;
}

void UserPressGaugeAbort() {
  if (QWidget* window = GaugeWindow())
    if (auto* abort = window->findChild<QPushButton*>("AbortButton")) abort->click();
}

void UserCloseGaugeWindow() {
  if (QWidget* window = GaugeWindow()) window->close();
}


}  // namespace platform
