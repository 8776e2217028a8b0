// The window of a form: made from its layout, docked, placed and sized,
// shown (modal or not) and closed, and the answers of an unattended run.
#include "platform/forms.h"

#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include <QAbstractButton>
#include <QApplication>
#include <QBuffer>
#include <QComboBox>
#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QLayout>
#include <QMenu>
#include <QObject>
#include <QPointer>
#include <QPushButton>
#include <QRect>
#include <QString>
#include <QTimer>
#include <QUiLoader>
#include <QVBoxLayout>
#include <QWidget>

#include "platform/bitmap_access.h"
#include "platform/dialogs.h"
#include "platform/file_system.h"
#include "platform/form_access.h"
#include "platform/form_impl.h"
#include "platform/locale_conventions.h"
#include "platform/widget_bounds.h"

namespace platform {

namespace {

ModalAnswerer& InstalledAnswerer() {
  static ModalAnswerer answerer;
  return answerer;
}

std::function<void(const std::string&)>& UnattendedLog() {
  static std::function<void(const std::string&)> log;
  return log;
}

// The text of a layout, unpacked from the program's resources once: a
// window of many parts would otherwise unpack its layouts again each time.
const QByteArray* LayoutText(const std::string& layout) {
  static std::unordered_map<std::string, QByteArray> texts;
  if (const auto found = texts.find(layout); found != texts.end()) return &found->second;
  QFile file(":/forms/" + Q(layout) + ".ui");
  if (!file.open(QFile::ReadOnly)) return nullptr;
  return &texts.emplace(layout, file.readAll()).first->second;
}

// One loader for every form: making one looks for its plug-ins anew.  It
// lives as long as the process, as the application object does.
QUiLoader& Loader() {
  static QUiLoader* loader = new QUiLoader;
  return *loader;
}

// Makes the layout's window into impl; modal-result buttons end its runs.
void LoadLayout(Form::Impl& impl, const std::string& layout) {
  EnsureWindowSystem();
  impl.layout = layout;
  const QByteArray* text = LayoutText(layout);
  if (text == nullptr) throw EFormLayoutError("No layout of the form " + layout);
  QBuffer file;
  file.setData(*text);
  file.open(QBuffer::ReadOnly);
  QUiLoader& loader = Loader();
  impl.root = loader.load(&file);
  if (!impl.root) throw EFormLayoutError("Layout of the form " + layout + ": " + S(loader.errorString()));
  impl.root->installEventFilter(&impl);
  if (impl.root->property("stayOnTop").toBool()) impl.root->setWindowFlag(Qt::WindowStaysOnTopHint);
  for (QComboBox* box : impl.root->findChildren<QComboBox*>()) {
    if (!box->property(kDriveBox).toBool()) continue;
    for (const std::string& root : MountPoints()) box->addItem(Q(root));
  }
  for (QWidget* widget : impl.root->findChildren<QWidget*>()) {
    const QString menuName = widget->property(kPopupMenu).toString();
    if (menuName.isEmpty()) continue;
    widget->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(widget, &QWidget::customContextMenuRequested, &impl, [&impl, widget, menuName](const QPoint& at) {
      if (auto* menu = impl.Root().findChild<QMenu*>(menuName)) menu->popup(widget->mapToGlobal(at));
    });
  }
  for (QAbstractButton* button : impl.root->findChildren<QAbstractButton*>()) {
    const QVariant result = button->property(kModalResult);
    if (!result.isValid()) continue;
    QObject::connect(button, &QAbstractButton::clicked, &impl,
                     [&impl, value = result.toInt()] { impl.RequestModalResult(value); });
  }
}

// The forms whose modal runs are going on, the innermost last.
std::vector<const Form::Impl*>& ModalRuns() {
  static std::vector<const Form::Impl*> runs;
  return runs;
}

// A form's modal run, for its lifetime.  A form asked for during another
// form's run is that form's own: it opens over it, also over one that stays
// on top, until its own run ends.
class ModalRun {
 public:
  explicit ModalRun(const Form::Impl& impl) : root_(impl.root) {
    QWidget* owner = FormAccess::ModalRunWindow();
    QWidget& root = impl.Root();
    if (owner && owner != &root && !root.parentWidget()) {
      root.setParent(owner, root.windowFlags() | Qt::Window);
      owned_ = true;
    }
    ModalRuns().push_back(&impl);
  }
  ~ModalRun() {
    ModalRuns().pop_back();
    if (!owned_ || !root_) return;
    // A window of its own again, where it was: it may outlive its owner.
    const QRect frame = root_->geometry();
    root_->setParent(nullptr, root_->windowFlags());
    root_->setGeometry(frame);
  }
  ModalRun(const ModalRun&) = delete;
  ModalRun& operator=(const ModalRun&) = delete;

 private:
  QPointer<QWidget> root_;
  bool owned_ = false;
};

}  // namespace

QWidget* FormAccess::ModalRunWindow() { return ModalRuns().empty() ? nullptr : ModalRuns().back()->root.data(); }

Form::Form(const std::string& layout) : impl_(std::make_unique<Impl>()) { LoadLayout(*impl_, layout); }

Form::Form(const std::string& layout, Form& host, const std::string& container) : impl_(std::make_unique<Impl>()) {
  auto& place = host.impl().Expect<QWidget>(container, "container");
  LoadLayout(*impl_, layout);
  QLayout* fill = place.layout();
  if (fill == nullptr) {
    fill = new QVBoxLayout(&place);
    fill->setContentsMargins(0, 0, 0, 0);
  }
  fill->addWidget(impl_->root);
  impl_->root->show();
}

Form::~Form() = default;

void Form::DockInto(Form& site) {
  QWidget& root = *impl_->root;
  root.setParent(site.impl_->root.data());
  if (QLayout* layout = site.impl_->root->layout()) layout->addWidget(&root);
  root.show();
}

void Form::Undock() {
  QWidget& root = *impl_->root;
  if (!root.parentWidget()) return;
  if (QLayout* layout = root.parentWidget()->layout()) layout->removeWidget(&root);
  root.setParent(nullptr);
}

const std::string& Form::LayoutName() const { return impl_->layout; }

std::string Form::Caption() const { return S(impl_->Root().windowTitle()); }

void Form::SetCaption(const std::string& caption) { impl_->Root().setWindowTitle(Q(caption)); }

Bounds Form::GetBounds() const {
  const QRect frame = impl_->Root().geometry();
  return {frame.x(), frame.y(), frame.width(), frame.height()};
}

void Form::SetBounds(const Bounds& bounds) {
  // Panels may have left the layout since it last counted its minimum size.
  if (QLayout* layout = impl_->Root().layout()) layout->activate();
  const Bounds held = WidgetBounds(bounds);
  impl_->Root().setGeometry(held.Left, held.Top, held.Width, held.Height);
}

void Form::MoveTo(int left, int top) { impl_->Root().move(WidgetPlace(left), WidgetPlace(top)); }

bool Form::AutoSize() const {
  const QLayout* layout = impl_->Root().layout();
  return layout && layout->sizeConstraint() == QLayout::SetFixedSize;
}

void Form::SetAutoSize(bool value) {
  if (QLayout* layout = impl_->Root().layout())
    layout->setSizeConstraint(value ? QLayout::SetFixedSize : QLayout::SetDefaultConstraint);
  if (value) impl_->Root().adjustSize();
}

int Form::ShowModal() {
  impl_->modalResult = mrNone;
  const ModalRun run(*impl_);
  if (const ModalAnswerer& answerer = InstalledAnswerer()) {
    impl_->answering = true;
    answerer(*this);
    impl_->answering = false;
    return impl_->modalResult == mrNone ? mrCancel : impl_->modalResult;
  }
  QWidget& root = impl_->Root();
  const Qt::WindowModality modality = root.windowModality();
  root.setWindowModality(Qt::ApplicationModal);
  root.show();
  QEventLoop loop;
  impl_->modalLoop = &loop;
  if (impl_->modalResult == mrNone) loop.exec();
  impl_->modalLoop = nullptr;
  root.hide();
  root.setWindowModality(modality);
  return impl_->modalResult;
}

void Form::SetModalResult(int result) { impl_->EndModal(result); }

bool Form::ShowingModal() const { return impl_->InModalRun(); }

void Form::OnModalButton(std::function<bool(int result)> accept) { impl_->modalButton = std::move(accept); }

bool Form::StaysOnTop() const { return impl_->Root().windowFlags().testFlag(Qt::WindowStaysOnTopHint); }

void Form::SetTimer(int intervalMs, std::function<void()> tick) {
  delete impl_->timer.data();
  auto* timer = new QTimer(&impl_->Root());
  timer->setInterval(intervalMs);
  impl_->timerTick = Guarded(std::move(tick));
  QObject::connect(timer, &QTimer::timeout, impl_.get(), [impl = impl_.get()] { impl->timerTick(); });
  impl_->timer = timer;
  if (impl_->Root().isVisible()) timer->start();
}

bool Form::TimerActive() const { return impl_->timer && impl_->timer->isActive(); }

bool Form::IsActiveWindow() const { return impl_->Root().isActiveWindow(); }

bool Form::HoldsActiveWindow() const {
  const QWidget& root = impl_->Root();
  for (const QWidget* at = QApplication::activeWindow(); at; at = at->parentWidget())
    if (at == &root) return true;
  return false;
}

void Form::TakeFocus() {
  QWidget& root = impl_->Root();
  root.raise();
  root.activateWindow();
  // The system activates windows later, when it gets round to it; the
  // application's own active window changes now.
  QApplication::setActiveWindow(&root);
}

int Form::DefaultResult() const {
  for (QPushButton* button : impl_->Root().findChildren<QPushButton*>()) {
    const QVariant result = button->property(kModalResult);
    if (button->isDefault() && result.isValid()) return result.toInt();
  }
  return mrCancel;
}

void Form::Show() { impl_->Root().show(); }

void Form::Hide() { impl_->Root().hide(); }

bool Form::Visible() const { return impl_->Root().isVisible(); }

bool Form::Close() {
  if (!impl_->AgreesToClose()) return false;
  impl_->CloseAgreed();
  return true;
}

void Form::OnCloseQuery(std::function<bool()> query) { impl_->closeQuery = std::move(query); }

void Form::SetAcceptDropFiles(bool accept) { impl_->Root().setAcceptDrops(accept); }

bool Form::AcceptDropFiles() const { return impl_->Root().acceptDrops(); }

void Form::OnFilesDropped(std::function<void(const std::vector<std::string>&)> handler) {
  impl_->filesDropped = std::move(handler);
}

bool Form::HasControl(const std::string& name) const { return impl_->FindOrNil(name) != nullptr; }

std::vector<std::string> Form::ControlNames() const {
  std::vector<std::string> names;
  for (QWidget* widget : impl_->Root().findChildren<QWidget*>()) {
    const QString name = widget->objectName();
    if (!name.isEmpty() && !name.startsWith("qt_")) names.push_back(S(name));
  }
  return names;
}

QWidget& FormAccess::Root(const Form& form) { return form.impl().Root(); }

QWidget& FormAccess::Control(const Form& form, const std::string& name) {
  return form.impl().Expect<QWidget>(name, "control");
}

bool Form::SaveImage(const std::string& pngPath) const {
  return WriteImageFile(impl_->Root().grab().toImage(), pngPath, "PNG");
}

// Forms may be made before the event loop runs (the main window is made at
// start-up), so the first form brings the application object with it.  It
// stays reachable for the life of the process.
void EnsureWindowSystem() {
  if (QCoreApplication::instance() != nullptr) return;
  static int argc = 1;
  static char name[] = "kestx";
  static char* argv[] = {name, nullptr};
  static QApplication* application = new QApplication(argc, argv);
  (void)application;
  FixConversionLocale();
}

void SetModalAnswerer(ModalAnswerer answerer) { InstalledAnswerer() = std::move(answerer); }

void SetUnattended(std::function<void(const std::string& line)> log) {
  // No log is no unattended run: the mode is the log being set.
  if (!log) return SetAttended();
  UnattendedLog() = std::move(log);
  SetModalAnswerer([](Form& form) {
    LogUnattended(form.impl().LogText());
    form.impl().RequestModalResult(form.DefaultResult());
  });
}

void SetAttended() {
  UnattendedLog() = nullptr;
  SetModalAnswerer(nullptr);
}

bool Unattended() { return static_cast<bool>(UnattendedLog()); }

void LogUnattended(const std::string& line) {
  if (const auto& log = UnattendedLog()) log(line);
}

void Form::SetUpdatesSuspended(bool suspended) { impl_->Root().setUpdatesEnabled(!suspended); }

}  // namespace platform
