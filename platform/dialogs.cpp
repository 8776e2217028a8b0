#include "platform/dialogs.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMessageBox>
#include <QString>

#include <iostream>
#include <utility>

#include "platform/app_queue.h"
#include "platform/forms.h"

namespace platform {
namespace {

constexpr std::pair<MsgDlgButtons, QMessageBox::StandardButton> kButtons[] = {
    {mbYes, QMessageBox::Yes},     {mbNo, QMessageBox::No},        {mbOK, QMessageBox::Ok},
    {mbCancel, QMessageBox::Cancel}, {mbAbort, QMessageBox::Abort}, {mbRetry, QMessageBox::Retry},
    {mbIgnore, QMessageBox::Ignore},
};

QMessageBox::Icon IconOf(MsgDlgType type) {
  switch (type) {
    case MsgDlgType::Warning: return QMessageBox::Warning;
    case MsgDlgType::Error: return QMessageBox::Critical;
    case MsgDlgType::Information: return QMessageBox::Information;
    case MsgDlgType::Confirmation: return QMessageBox::Question;
    case MsgDlgType::Custom: break;
  }
  return QMessageBox::NoIcon;
}

// The button a box focuses first, and so the answer of an unattended run.
int DefaultAnswer(unsigned buttons) {
  if (buttons & mbOK) return mrOk;
  if (buttons & mbYes) return mrYes;
  if (buttons & mbRetry) return mrRetry;
  if (buttons & mbAbort) return mrAbort;
  if (buttons & mbIgnore) return mrIgnore;
  if (buttons & mbNo) return mrNo;
  if (buttons & mbCancel) return mrCancel;
  return mrOk;
}

int ResultOf(int button) {
  switch (button) {
    case QMessageBox::Yes: return mrYes;
    case QMessageBox::No: return mrNo;
    case QMessageBox::Ok: return mrOk;
    case QMessageBox::Cancel: return mrCancel;
    case QMessageBox::Abort: return mrAbort;
    case QMessageBox::Retry: return mrRetry;
    case QMessageBox::Ignore: return mrIgnore;
    default: return mrCancel;
  }
}

Qt::CursorShape ShapeOf(Cursor cursor) {
  switch (cursor) {
    case Cursor::HourGlass: return Qt::WaitCursor;
    case Cursor::Cross: return Qt::CrossCursor;
    case Cursor::Hand: return Qt::PointingHandCursor;
    case Cursor::Default:
    case Cursor::Arrow: break;
  }
  return Qt::ArrowCursor;
}

// Real boxes while a QApplication exists; a tool without one gets the text
// on stderr and the affirmative answer.
class ProgramDialogs : public Dialogs {
 public:
  int MessageDlg(const std::string& text, MsgDlgType type, unsigned buttons) override {
    if (Unattended()) {
      LogUnattended(text);
      return DefaultAnswer(buttons);
    }
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) {
      std::cerr << text << '\n';
      if (buttons & mbOK) return mrOk;
      if (buttons & mbYes) return mrYes;
      return mrNone;
    }
    QMessageBox box(IconOf(type), QString::fromStdString(Application::Instance().Title()),
                    QString::fromStdString(text));
    QMessageBox::StandardButtons shown;
    for (const auto& [ours, theirs] : kButtons) {
      if (buttons & ours) shown |= theirs;
    }
    box.setStandardButtons(shown == QMessageBox::NoButton ? QMessageBox::Ok : shown);
    return ResultOf(box.exec());
  }

  Cursor ScreenCursor() const override { return cursor_; }

  void SetScreenCursor(Cursor cursor) override {
    cursor_ = cursor;
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) {
      overridden_ = false;
      return;
    }
    if (cursor == Cursor::Default) {
      if (overridden_) QGuiApplication::restoreOverrideCursor();
      overridden_ = false;
    } else if (overridden_) {
      QGuiApplication::changeOverrideCursor(QCursor(ShapeOf(cursor)));
    } else {
      QGuiApplication::setOverrideCursor(QCursor(ShapeOf(cursor)));
      overridden_ = true;
    }
  }

 private:
  Cursor cursor_ = Cursor::Default;
  // Whether one override cursor of ours is on Qt's stack.
  bool overridden_ = false;
};

Dialogs* installed = nullptr;

}  // namespace

Dialogs& CurrentDialogs() {
  static ProgramDialogs program;
  return installed != nullptr ? *installed : program;
}

void SetDialogs(Dialogs* dialogs) { installed = dialogs; }

int MessageDlg(const std::string& text, MsgDlgType type, unsigned buttons) {
  // Boxes are shown by the user-interface thread; another thread waits.
  int result = mrNone;
  Application::Instance().Call([&] { result = CurrentDialogs().MessageDlg(text, type, buttons); });
  return result;
}

void ShowMessage(const std::string& text) { MessageDlg(text, MsgDlgType::Information, mbOK); }

// The cursor belongs to the user-interface thread: elsewhere it stays as it is.
WaitCursor::WaitCursor() : active_(Application::Instance().IsUiThread()) {
  if (!active_) return;
  saved_ = CurrentDialogs().ScreenCursor();
  CurrentDialogs().SetScreenCursor(Cursor::HourGlass);
}

WaitCursor::~WaitCursor() {
  if (active_) CurrentDialogs().SetScreenCursor(saved_);
}

int RecordingDialogs::MessageDlg(const std::string& text, MsgDlgType type, unsigned buttons) {
  Messages.push_back({text, type, buttons});
  if (Answers.empty()) return DefaultAnswer;
  const int answer = Answers.front();
  Answers.pop_front();
  return answer;
}

void RecordingDialogs::SetScreenCursor(Cursor cursor) {
  cursor_ = cursor;
  CursorChanges.push_back(cursor);
}

}  // namespace platform
