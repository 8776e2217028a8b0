#include "platform/dialogs.h"

#include <QApplication>
#include <QColorDialog>
#include <QCursor>
#include <QDesktopServices>
#include <QPageSetupDialog>
#include <QPrinter>
#include <QUrl>
#include <QFileDialog>
#include <QInputDialog>
#include <QPixmap>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QString>

#include <iostream>
#include <map>
#include <utility>

#include "platform/app_queue.h"
#include "platform/form_access.h"
#include "platform/forms.h"
#include "platform/screen_cursors.h"
#include "platform/streams.h"

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
    // A box asked for during a form's modal run is that form's: it opens
    // over it, also over one that stays on top.
    QMessageBox box(IconOf(type), QString::fromStdString(Application::Instance().Title()),
                    QString::fromStdString(text), QMessageBox::NoButton, FormAccess::ModalRunWindow());
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

bool HasWindows() { return qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr; }

QString Q(const std::string& text) { return QString::fromStdString(text); }

// "text|pattern|text|pattern" as Qt's "text (pattern);;text (pattern)".
QStringList QtFilters(const std::string& filter) {
  QStringList parts = Q(filter).split('|');
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
    filters.append(parts[i] + " (" + parts[i + 1].replace(';', ' ') + ")");
  return filters;
}

std::map<int, QCursor>& LoadedCursors() {
  static std::map<int, QCursor> cursors;
  return cursors;
}

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

Cursor ShownScreenCursor() {
  const QCursor* shown =
      qobject_cast<QGuiApplication*>(QCoreApplication::instance()) ? QGuiApplication::overrideCursor() : nullptr;
  if (!shown) return Cursor::Default;
  for (const Cursor cursor : {Cursor::HourGlass, Cursor::Cross, Cursor::Hand})
    if (shown->shape() == ShapeOf(cursor)) return cursor;
  return Cursor::Arrow;
}

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

bool Dialogs::PromptForFile(FileDialogRequest& request) {
  if (Unattended() || !HasWindows()) return false;
  QFileDialog dialog(nullptr, QString(), Q(request.InitialDir));
  dialog.setAcceptMode(request.Save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(request.Save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  const QStringList filters = QtFilters(request.Filter);
  dialog.setNameFilters(filters);
  if (request.FilterIndex >= 1 && request.FilterIndex <= filters.size())
    dialog.selectNameFilter(filters[request.FilterIndex - 1]);
  dialog.setDefaultSuffix(Q(request.DefaultExt));
  const std::vector<std::string> exts = request.FilterDefaultExts;
  QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog, filters, exts](const QString& filter) {
    const qsizetype index = filters.indexOf(filter);
    if (index >= 0 && static_cast<std::size_t>(index) < exts.size())
      dialog.setDefaultSuffix(Q(exts[static_cast<std::size_t>(index)]));
  });
  if (!request.FileName.empty()) dialog.selectFile(Q(request.FileName));
  QStringList history;
  for (const std::string& name : request.History) history.append(Q(name));
  dialog.setHistory(history);
  dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.OverwritePrompt);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
  request.FileName = dialog.selectedFiles().front().toStdString();
  request.FilterIndex = static_cast<int>(filters.indexOf(dialog.selectedNameFilter())) + 1;
  return true;
}

bool Dialogs::InputQuery(const std::string& caption, const std::string& prompt, std::string& value) {
  if (Unattended() || !HasWindows()) return false;
  bool ok = false;
  const QString text = QInputDialog::getText(nullptr, Q(caption), Q(prompt), QLineEdit::Normal, Q(value), &ok);
  if (ok) value = text.toStdString();
  return ok;
}

bool Dialogs::ChooseColor(std::uint32_t& colour) {
  if (Unattended() || !HasWindows()) return false;
  const QColor chosen = QColorDialog::getColor(QColor(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF));
  if (!chosen.isValid()) return false;
  colour = static_cast<std::uint32_t>(chosen.red()) | static_cast<std::uint32_t>(chosen.green()) << 8 |
           static_cast<std::uint32_t>(chosen.blue()) << 16;
  return true;
}

void Dialogs::HelpKeyword(const std::string& keyword) {
  const std::string& helpFile = Application::Instance().HelpFile;
  if (helpFile.empty() || Unattended() || !HasWindows()) return;
  QUrl page = QUrl::fromLocalFile(Q(helpFile));
  page.setFragment(Q(keyword));
  QDesktopServices::openUrl(page);
}

bool Dialogs::PrinterSetup() {
  if (Unattended() || !HasWindows()) return false;
  QPrinter printer;
  QPageSetupDialog dialog(&printer);
  return dialog.exec() == QDialog::Accepted;
}

bool RecordingDialogs::PrinterSetup() {
  ++PrinterSetups;
  if (Answers.empty()) return DefaultAnswer == mrOk;
  const int answer = Answers.front();
  Answers.pop_front();
  return answer == mrOk;
}

void HelpKeyword(const std::string& keyword) { CurrentDialogs().HelpKeyword(keyword); }

bool PrinterSetup() { return CurrentDialogs().PrinterSetup(); }

bool PromptForFile(FileDialogRequest& request) { return CurrentDialogs().PromptForFile(request); }

bool ChooseColor(std::uint32_t& colour) { return CurrentDialogs().ChooseColor(colour); }

bool InputQuery(const std::string& caption, const std::string& prompt, std::string& value) {
  return CurrentDialogs().InputQuery(caption, prompt, value);
}

bool LoadScreenCursor(int number, const std::string& fileName) {
  if (!FileExists(fileName)) return false;
  if (HasWindows()) {
    QPixmap image;
    if (!image.load(Q(fileName))) return false;
    LoadedCursors()[number] = QCursor(image);
  } else {
    LoadedCursors()[number] = QCursor();
  }
  return true;
}

bool ScreenCursorLoaded(int number) { return LoadedCursors().count(number) != 0; }

QCursor ScreenCursorShape(int number) {
  const auto found = LoadedCursors().find(number);
  return found != LoadedCursors().end() ? found->second : QCursor(Qt::ArrowCursor);
}

bool RecordingDialogs::PromptForFile(FileDialogRequest& request) {
  FileDialogs.push_back(request);
  if (FileAnswers.empty()) return false;
  const std::string answer = FileAnswers.front();
  FileAnswers.pop_front();
  if (answer.empty()) return false;
  request.FileName = answer;
  return true;
}

bool RecordingDialogs::InputQuery(const std::string& caption, const std::string& prompt, std::string& value) {
  Prompts.push_back(caption + ": " + prompt);
  if (PromptAnswers.empty()) return false;
  value = PromptAnswers.front();
  PromptAnswers.pop_front();
  return true;
}

bool RecordingDialogs::ChooseColor(std::uint32_t& colour) {
  if (ColorAnswers.empty()) return false;
  colour = ColorAnswers.front();
  ColorAnswers.pop_front();
  return true;
}

void RecordingDialogs::SetScreenCursor(Cursor cursor) {
  cursor_ = cursor;
  CursorChanges.push_back(cursor);
}

}  // namespace platform
