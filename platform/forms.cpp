#include "platform/forms.h"
#include "platform/form_controls.h"

#include <algorithm>
#include <cstdlib>
#include <map>
#include <tuple>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFontDialog>
#include <QCloseEvent>
#include <QCursor>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QEventLoop>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QImageReader>
#include <QKeySequence>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QBitmap>
#include <QBuffer>
#include <QIcon>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QMovie>
#include <QPixmap>
#include <QPointer>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QSpinBox>
#include <QScrollBar>
#include <QStatusBar>
#include <QTableWidget>
#include <QTimer>
#include <QStatusTipEvent>
#include <QTextBlock>
#include <QTextCursor>
#include <QPushButton>
#include <QTextEdit>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QUiLoader>
#include <QUrl>
#include <QVBoxLayout>
#include <QWidget>

#include <unordered_map>

#include "platform/app_queue.h"
#include "platform/bitmap_rows.h"
#include "platform/canvas.h"
#include "platform/bitmap_access.h"
#include "platform/form_access.h"
#include "platform/screen_cursors.h"
#include "platform/dialogs.h"
#include "platform/event_handlers.h"
#include "platform/file_system.h"
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


QString Q(const std::string& text) { return QString::fromStdString(text); }

// An event handler as Qt calls it: nothing may leave a slot, so what the
// handler raises goes to the application's exception hook.
std::function<void()> Guarded(std::function<void()> handler) {
  return [handler = std::move(handler)] {
    try {
      RunEventHandler(handler);
    } catch (...) {
      Application::Instance().ReportException(std::current_exception());
    }
  };
}
std::string S(const QString& text) { return text.toStdString(); }

// The one simple panel of a status bar: a label across its width.
QLabel& StatusPanel(QStatusBar& bar) {
  auto* panel = bar.findChild<QLabel*>("qt_status_panel");
  if (panel == nullptr) {
    panel = new QLabel(&bar);
    panel->setObjectName("qt_status_panel");
    bar.addWidget(panel, 1);
  }
  return *panel;
}

// The panel at index of a status bar of several panels: labels made all at
// once on first use, so that they stand in index order.
QLabel* StatusPanelAt(QStatusBar& bar, int index) {
  const int count = bar.property("panels").toInt();
  if (index < 0 || index >= count) return nullptr;
  const auto name = [](int i) { return QStringLiteral("qt_status_panel_%1").arg(i); };
  if (bar.findChild<QLabel*>(name(0)) == nullptr) {
    for (int i = 0; i < count; ++i) {
      auto* panel = new QLabel(&bar);
      panel->setObjectName(name(i));
      bar.addWidget(panel, 1);
    }
  }
  return bar.findChild<QLabel*>(name(index));
}

constexpr const char* kModalResult = "modalResult";
constexpr const char* kDirectory = "directory";
constexpr const char* kEntersFolders = "entersFolders";
constexpr const char* kFormMessage = "formMessage";
constexpr const char* kFileMask = "fileMask";
constexpr const char* kDriveBox = "driveBox";
constexpr const char* kPopupMenu = "popupMenu";
constexpr const char* kImageControl = "imageControl";
constexpr const char* kScreenCursor = "screenCursor";
// The shift set of the class library from Qt's modifiers and buttons.
std::uint8_t ShiftOf(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons, bool doubleClick = false) {
  std::uint8_t shift = 0;
  if (modifiers & Qt::ShiftModifier) shift |= 1;
  if (modifiers & Qt::AltModifier) shift |= 2;
  if (modifiers & Qt::ControlModifier) shift |= 4;
  if (buttons & Qt::LeftButton) shift |= 8;
  if (buttons & Qt::RightButton) shift |= 16;
  if (buttons & Qt::MiddleButton) shift |= 32;
  if (doubleClick) shift |= 64;
  return shift;
}

std::uint8_t ButtonOf(Qt::MouseButton button) {
  switch (button) {
    case Qt::RightButton: return 1;
    case Qt::MiddleButton: return 2;
    default: return 0;
  }
}

Qt::MouseButton QtButton(std::uint8_t button) {
  switch (button) {
    case 1: return Qt::RightButton;
    case 2: return Qt::MiddleButton;
    default: return Qt::LeftButton;
  }
}

Qt::MouseButtons QtButtons(std::uint8_t shift) {
  Qt::MouseButtons buttons;
  if (shift & 8) buttons |= Qt::LeftButton;
  if (shift & 16) buttons |= Qt::RightButton;
  if (shift & 32) buttons |= Qt::MiddleButton;
  return buttons;
}

Qt::KeyboardModifiers QtModifiers(std::uint8_t shift) {
  Qt::KeyboardModifiers modifiers;
  if (shift & 1) modifiers |= Qt::ShiftModifier;
  if (shift & 2) modifiers |= Qt::AltModifier;
  if (shift & 4) modifiers |= Qt::ControlModifier;
  return modifiers;
}

constexpr std::pair<int, std::uint16_t> kKeys[] = {
    {Qt::Key_Return, vkReturn}, {Qt::Key_Enter, vkReturn}, {Qt::Key_Escape, vkEscape}, {Qt::Key_Left, vkLeft},
    {Qt::Key_Up, vkUp},         {Qt::Key_Right, vkRight},  {Qt::Key_Down, vkDown},     {Qt::Key_F1, vkF1},
    {Qt::Key_F5, vkF5},         {Qt::Key_F6, vkF6},        {Qt::Key_F9, vkF9},
    {Qt::Key_Backspace, vkBackspace}, {Qt::Key_Delete, vkDelete}, {Qt::Key_F3, vkF3},
};

std::uint16_t VirtualKeyOf(const QKeyEvent& key) {
  const int code = key.key();
  for (const auto& [qt, virtualKey] : kKeys)
    if (qt == code) return virtualKey;
  if ((code >= Qt::Key_A && code <= Qt::Key_Z) || (code >= Qt::Key_0 && code <= Qt::Key_9))
    return static_cast<std::uint16_t>(code);
  return 0;
}

int QtKey(std::uint16_t virtualKey) {
  for (const auto& [qt, key] : kKeys)
    if (key == virtualKey) return qt;
  return virtualKey;
}

// The drag of a tree node between our own controls.
constexpr const char* kTreeNodeMime = "application/x-kestx-tree-node";

PopupRecord& LastPopupRecord() {
  static PopupRecord record;
  return record;
}

constexpr int kNodeRole = Qt::UserRole;
constexpr int kDataRole = Qt::UserRole + 1;
constexpr int kImageRole = Qt::UserRole + 2;

}  // namespace

class Menu {
 public:
  explicit Menu(QMenuBar* bar) : bar(bar) {}
  QPointer<QMenuBar> bar;
};

struct Form::Impl : public QObject {
  std::string layout;
  // A form part's window belongs to its host's container as well: it may
  // end with the host.
  QPointer<QWidget> root;
  std::map<std::string, std::unique_ptr<Menu>> menus;
  std::function<bool()> closeQuery;
  std::function<bool(int)> modalButton;
  QPointer<QTimer> timer;
  std::function<void()> timerTick;
  std::function<void(const std::vector<std::string>&)> filesDropped;
  // Handlers of directory and file lists showing another folder.
  std::map<std::string, std::vector<std::function<void()>>> directoryChanged;
  QEventLoop* modalLoop = nullptr;
  bool answering = false;
  int modalResult = mrNone;
  // What the form's controls show and report beyond the layout.
  std::map<QObject*, Bitmap*> imageBitmaps;
  std::map<QObject*, std::function<void(MouseAction, const MouseInput&)>> mouseHandlers;
  std::map<QObject*, std::function<void(std::uint32_t)>> treeDropHandlers;
  std::map<QObject*, std::function<void()>> dragOverHandlers;
  std::map<QObject*, std::function<void()>> exitHandlers;
  std::map<QObject*, std::function<void()>> enterHandlers;
  std::function<void(std::uint16_t, std::uint8_t)> keyDown;
  std::function<void()> resized;
  std::function<void()> deactivated;

  ~Impl() override {
    if (root) root->removeEventFilter(this);
    delete root.data();
  }

  bool InModalRun() const { return modalLoop != nullptr || answering; }

  // The close query, run as the handlers of events are.
  bool AgreesToClose() const {
    bool agreed = true;
    if (closeQuery) RunEventHandler([&] { agreed = closeQuery(); });
    return agreed;
  }

  QWidget& Root() const {
    if (!root) throw EFormLayoutError("The window of the form " + layout + " has ended with its host");
    return *root;
  }

  // Tree nodes by number, for every tree control of the form.
  std::unordered_map<int, QTreeWidgetItem*> nodes;
  int nextNode = 1;
  std::unordered_map<std::string, std::vector<QPixmap>> images;

  QTreeWidget& Tree(const std::string& name) const {
    auto* tree = As<QTreeWidget>(name);
    if (tree == nullptr) throw EFormLayoutError("Control " + name + " of the form " + layout + " is no tree");
    return *tree;
  }
  QTreeWidgetItem* Node(const QTreeWidget& tree, int node) const {
    const auto found = nodes.find(node);
    return found != nodes.end() && found->second->treeWidget() == &tree ? found->second : nullptr;
  }
  static int NumberOf(const QTreeWidgetItem* item) { return item ? item->data(0, kNodeRole).toInt() : 0; }
  // Forgets the numbers of the item's sub-nodes (and of the item itself
  // when asked), walking with a stack rather than recursion.
  void Forget(QTreeWidgetItem* item, bool itself) {
    std::vector<QTreeWidgetItem*> pending;
    if (itself) pending.push_back(item);
    else
      for (int i = 0; i < item->childCount(); ++i) pending.push_back(item->child(i));
    while (!pending.empty()) {
      QTreeWidgetItem* next = pending.back();
      pending.pop_back();
      nodes.erase(NumberOf(next));
      for (int i = 0; i < next->childCount(); ++i) pending.push_back(next->child(i));
    }
  }

  // Controls made at run time by name: a window of many bars would
  // otherwise search all its controls for each of them again and again.
  std::unordered_map<std::string, QPointer<QObject>> madeAtRunTime;
  std::unordered_map<std::string, ToolBarStyle> barStyles;

  // A control of the form by name; the form's own window answers to its
  // name too (a strip whose window is the control placed in another's bar).
  QObject* FindOrNil(const std::string& name) const {
    if (auto made = madeAtRunTime.find(name); made != madeAtRunTime.end() && made->second) return made->second;
    if (QObject* found = Root().findChild<QObject*>(Q(name))) return found;
    return Root().objectName() == Q(name) ? &Root() : nullptr;
  }
  QObject& Find(const std::string& name) const {
    QObject* found = FindOrNil(name);
    if (found == nullptr) throw EFormLayoutError("Form " + layout + " has no control " + name);
    return *found;
  }

  // What an unattended run logs of the form: the text of the label its
  // layout marks as its message, else its caption.
  std::string LogText() const {
    for (const QLabel* label : Root().findChildren<QLabel*>())
      if (label->property(kFormMessage).toBool()) return S(label->text());
    return S(Root().windowTitle());
  }

  template <class T>
  T* As(const std::string& name) const {
    return qobject_cast<T*>(&Find(name));
  }

  // The control as a T, which it must be.
  template <class T>
  T& Expect(const std::string& name, const char* kind) const {
    T* control = As<T>(name);
    if (control == nullptr) throw EFormLayoutError("Control " + name + " of the form " + layout + " is no " + kind);
    return *control;
  }

  // Closing a form in a modal run ends the run as cancelled.
  void CloseAgreed() {
    if (InModalRun() && modalResult == mrNone) EndModal(mrCancel);
    Root().hide();
  }

  // A modal button was pressed: the form may refuse to end the run.
  void RequestModalResult(int result) {
    if (modalButton && !modalButton(result)) return;
    EndModal(result);
  }

  void EndModal(int result) {
    modalResult = result;
    if (modalLoop != nullptr) modalLoop->quit();
  }

  bool ControlEvent(QObject* watched, QEvent* event);
  // A mouse event to the handler of the control or form it reached; false
  // when it has none.
  bool MouseEvent(QObject* watched, QEvent* event);
  // The data handle of the current node of a tree dropped from, to the
  // control's handler; false when the source is no tree.
  bool TreeNodeDropped(QObject* control, QObject* source);

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched != root.data()) return ControlEvent(watched, event);
    switch (event->type()) {
      case QEvent::KeyPress:
        if (keyDown) {
          const auto* key = static_cast<QKeyEvent*>(event);
          Guarded([&] { keyDown(VirtualKeyOf(*key), ShiftOf(key->modifiers(), QGuiApplication::mouseButtons())); })();
        }
        return false;
      case QEvent::Resize:
        if (resized) Guarded(resized)();
        return false;
      case QEvent::WindowDeactivate:
        if (deactivated) Guarded(deactivated)();
        return false;
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonDblClick:
      case QEvent::MouseButtonRelease:
      case QEvent::MouseMove: {
        // What a control lets pass comes up here too: only points where no
        // control lies (a main window's bare client area) are the form's own.
        const QWidget* hit = root->childAt(static_cast<QMouseEvent*>(event)->position().toPoint());
        const auto* main = qobject_cast<QMainWindow*>(root.data());
        if (hit != nullptr && (main == nullptr || hit != main->centralWidget())) return false;
        return MouseEvent(watched, event);
      }
      case QEvent::Close:
        if (!AgreesToClose()) {
          event->ignore();
          return true;
        }
        return false;
      case QEvent::Hide:
        if (timer) timer->stop();
        if (modalLoop != nullptr && modalResult == mrNone) EndModal(mrCancel);
        return false;
      case QEvent::Show:
        if (timer) timer->start();
        return false;
      case QEvent::StatusTip: {
        // Hints of the controls show in the window's status line.
        const QString tip = static_cast<QStatusTipEvent*>(event)->tip();
        auto* status = root->findChild<QStatusBar*>("StatusBar");
        if (status && !tip.isEmpty()) StatusPanel(*status).setText(tip);
        return true;
      }
      case QEvent::DragEnter: {
        auto* drag = static_cast<QDragEnterEvent*>(event);
        if (drag->mimeData()->hasUrls()) drag->acceptProposedAction();
        return true;
      }
      case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        std::vector<std::string> files;
        for (const QUrl& url : drop->mimeData()->urls()) {
          if (url.isLocalFile()) files.push_back(S(url.toLocalFile()));
        }
        drop->acceptProposedAction();
        if (filesDropped && !files.empty()) filesDropped(files);
        return true;
      }
      default: return false;
    }
  }
};


bool Form::Impl::ControlEvent(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::Paint: {
      const auto image = imageBitmaps.find(watched);
      if (image == imageBitmaps.end()) return false;
      auto* widget = static_cast<QWidget*>(watched);
      QPainter painter(widget);
      painter.fillRect(widget->rect(), widget->palette().window());
      if (image->second != nullptr) painter.drawImage(0, 0, BitmapAccess::Image(*image->second));
      return true;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseMove: return MouseEvent(watched, event);
    case QEvent::FocusOut:
      if (const auto exit = exitHandlers.find(watched); exit != exitHandlers.end()) Guarded(exit->second)();
      return false;
    case QEvent::KeyPress: {
      // Taken here, Enter does not go on to press the dialog's default button.
      const int key = static_cast<QKeyEvent*>(event)->key();
      const auto enter = enterHandlers.find(watched);
      if (enter == enterHandlers.end() || (key != Qt::Key_Return && key != Qt::Key_Enter)) return false;
      Guarded(enter->second)();
      return true;
    }
    case QEvent::DragEnter:
    case QEvent::DragMove: {
      const bool handled = treeDropHandlers.count(watched) || dragOverHandlers.count(watched);
      if (!handled || !static_cast<QWidget*>(watched)->acceptDrops()) return false;
      static_cast<QDragMoveEvent*>(event)->acceptProposedAction();
      if (const auto over = dragOverHandlers.find(watched); over != dragOverHandlers.end()) Guarded(over->second)();
      return true;
    }
    case QEvent::Drop: {
      if (!treeDropHandlers.count(watched) || !static_cast<QWidget*>(watched)->acceptDrops()) return false;
      auto* drop = static_cast<QDropEvent*>(event);
      if (TreeNodeDropped(watched, drop->source())) drop->acceptProposedAction();
      else drop->ignore();
      return true;
    }
    default: return false;
  }
}

bool Form::Impl::MouseEvent(QObject* watched, QEvent* event) {
  const auto handler = mouseHandlers.find(watched);
  if (handler == mouseHandlers.end()) return false;
  MouseAction action;
  MouseInput input;
  MouseOfEvent(*event, action, input);
  Guarded([&] { handler->second(action, input); })();
  return true;
}

bool Form::Impl::TreeNodeDropped(QObject* control, QObject* source) {
  auto* tree = qobject_cast<QTreeWidget*>(source);
  const auto handler = treeDropHandlers.find(control);
  if (tree == nullptr || tree->currentItem() == nullptr || handler == treeDropHandlers.end()) return false;
  const auto data = static_cast<std::uint32_t>(tree->currentItem()->data(0, kDataRole).toUInt());
  Guarded([&] { handler->second(data); })();
  return true;
}

namespace {

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

}  // namespace

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

bool Form::PlayAnimation(const std::string& control, const std::string& fileName) {
  auto* label = impl_->As<QLabel>(control);
  if (label == nullptr) return false;
  auto* movie = new QMovie(Q(fileName), QByteArray(), label);
  if (!movie->isValid()) {
    delete movie;
    return false;
  }
  label->setMovie(movie);
  movie->start();
  return true;
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

std::string Form::Text(const std::string& control) const {
  QObject& object = impl_->Find(control);
  if (auto* label = qobject_cast<QLabel*>(&object)) return S(label->text());
  if (auto* edit = qobject_cast<QLineEdit*>(&object)) return S(edit->text());
  if (auto* button = qobject_cast<QAbstractButton*>(&object)) return S(button->text());
  if (auto* memo = qobject_cast<QPlainTextEdit*>(&object)) return S(memo->toPlainText());
  if (auto* rich = qobject_cast<QTextEdit*>(&object)) return S(rich->toPlainText());
  if (auto* combo = qobject_cast<QComboBox*>(&object)) return S(combo->currentText());
  if (auto* group = qobject_cast<QGroupBox*>(&object)) return S(group->title());
  if (auto* action = qobject_cast<QAction*>(&object)) return S(action->text());
  if (auto* status = qobject_cast<QStatusBar*>(&object)) return S(StatusPanel(*status).text());
  if (auto* menu = qobject_cast<QMenu*>(&object)) return S(menu->title());
  if (auto* widget = qobject_cast<QWidget*>(&object)) return S(widget->windowTitle());
  return {};
}

void Form::SetText(const std::string& control, const std::string& text) {
  QObject& object = impl_->Find(control);
  if (auto* label = qobject_cast<QLabel*>(&object)) return label->setText(Q(text));
  if (auto* edit = qobject_cast<QLineEdit*>(&object)) return edit->setText(Q(text));
  if (auto* button = qobject_cast<QAbstractButton*>(&object)) return button->setText(Q(text));
  if (auto* memo = qobject_cast<QPlainTextEdit*>(&object)) return memo->setPlainText(Q(text));
  if (auto* rich = qobject_cast<QTextEdit*>(&object)) return rich->setPlainText(Q(text));
  if (auto* combo = qobject_cast<QComboBox*>(&object)) return combo->setCurrentText(Q(text));
  if (auto* group = qobject_cast<QGroupBox*>(&object)) return group->setTitle(Q(text));
  if (auto* action = qobject_cast<QAction*>(&object)) return action->setText(Q(text));
  if (auto* status = qobject_cast<QStatusBar*>(&object)) return StatusPanel(*status).setText(Q(text));
  if (auto* menu = qobject_cast<QMenu*>(&object)) return menu->setTitle(Q(text));
  if (auto* widget = qobject_cast<QWidget*>(&object)) widget->setWindowTitle(Q(text));
}

std::string Form::PanelText(const std::string& control, int index) const {
  QLabel* panel = StatusPanelAt(impl_->Expect<QStatusBar>(control, "status bar"), index);
  if (panel == nullptr) throw EFormLayoutError("Status bar " + control + " has no panel " + std::to_string(index));
  return S(panel->text());
}

void Form::SetPanelText(const std::string& control, int index, const std::string& text) {
  QLabel* panel = StatusPanelAt(impl_->Expect<QStatusBar>(control, "status bar"), index);
  if (panel == nullptr) throw EFormLayoutError("Status bar " + control + " has no panel " + std::to_string(index));
  panel->setText(Q(text));
}

bool Form::Checked(const std::string& control) const {
  if (auto* button = impl_->As<QAbstractButton>(control)) return button->isChecked();
  if (auto* action = impl_->As<QAction>(control)) return action->isChecked();
  return false;
}

void Form::SetChecked(const std::string& control, bool checked) {
  if (auto* button = impl_->As<QAbstractButton>(control)) button->setChecked(checked);
  if (auto* action = impl_->As<QAction>(control)) action->setChecked(checked);
}

bool Form::Enabled(const std::string& control) const {
  QObject& object = impl_->Find(control);
  if (auto* action = qobject_cast<QAction*>(&object)) return action->isEnabled();
  if (auto* widget = qobject_cast<QWidget*>(&object)) return widget->isEnabled();
  return false;
}

void Form::SetEnabled(const std::string& control, bool enabled) {
  QObject& object = impl_->Find(control);
  if (auto* action = qobject_cast<QAction*>(&object)) action->setEnabled(enabled);
  if (auto* widget = qobject_cast<QWidget*>(&object)) widget->setEnabled(enabled);
}

namespace {

// Captions of a menu's, menu bar's or tool bar's items; separators read "-".
std::vector<std::string> ActionTexts(const QWidget& holder) {
  std::vector<std::string> texts;
  for (const QAction* action : holder.actions()) texts.push_back(action->isSeparator() ? "-" : S(action->text()));
  return texts;
}

}  // namespace

std::vector<std::string> Form::Items(const std::string& control) const {
  std::vector<std::string> items;
  QObject& object = impl_->Find(control);
  if (qobject_cast<QMenuBar*>(&object) || qobject_cast<QMenu*>(&object) || qobject_cast<QToolBar*>(&object))
    return ActionTexts(static_cast<QWidget&>(object));
  if (auto* list = qobject_cast<QListWidget*>(&object)) {
    for (int i = 0; i < list->count(); ++i) items.push_back(S(list->item(i)->text()));
  } else if (auto* combo = qobject_cast<QComboBox*>(&object)) {
    for (int i = 0; i < combo->count(); ++i) items.push_back(S(combo->itemText(i)));
  }
  return items;
}

void Form::SetItems(const std::string& control, const std::vector<std::string>& items) {
  QStringList texts;
  for (const std::string& item : items) texts.append(Q(item));
  if (auto* list = impl_->As<QListWidget>(control)) {
    list->clear();
    list->addItems(texts);
  } else if (auto* combo = impl_->As<QComboBox>(control)) {
    combo->clear();
    combo->addItems(texts);
  }
}

int Form::ItemIndex(const std::string& control) const {
  if (auto* list = impl_->As<QListWidget>(control)) return list->currentRow();
  if (auto* combo = impl_->As<QComboBox>(control)) return combo->currentIndex();
  return -1;
}

void Form::SetItemIndex(const std::string& control, int index) {
  if (auto* list = impl_->As<QListWidget>(control)) list->setCurrentRow(index);
  if (auto* combo = impl_->As<QComboBox>(control)) combo->setCurrentIndex(index);
}

std::string Form::Directory(const std::string& control) const {
  return S(impl_->Find(control).property(kDirectory).toString());
}

namespace {

std::vector<std::string> SplitMasks(const QString& masks) {
  std::vector<std::string> parts;
  for (const QString& part : masks.split(';', Qt::SkipEmptyParts)) parts.push_back(S(part.trimmed()));
  return parts;
}

bool MatchesAnyMask(const std::string& name, const std::vector<std::string>& masks) {
  return std::any_of(masks.begin(), masks.end(), [&](const std::string& mask) { return MatchesMask(name, mask); });
}

}  // namespace

void Form::SetDirectory(const std::string& control, const std::string& directory) {
  auto* list = impl_->As<QListWidget>(control);
  if (list == nullptr) return;
  const QDir dir(Q(directory));
  list->setProperty(kDirectory, dir.absolutePath());
  list->clear();
  const auto announce = [&] {
    for (const auto& handler : impl_->directoryChanged[control]) handler();
  };
  const QVariant fileMask = list->property(kFileMask);
  if (fileMask.isValid()) {
    const std::vector<std::string> masks = SplitMasks(fileMask.toString());
    for (const FileEntry& entry : ListDirectory(S(dir.absolutePath()), "*", 0))
      if (MatchesAnyMask(entry.Name, masks)) list->addItem(Q(entry.Name));
    return announce();
  }
  if (!dir.isRoot()) list->addItem("..");
  list->addItems(dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name));
  if (!list->property(kEntersFolders).toBool()) {
    list->setProperty(kEntersFolders, true);
    QObject::connect(list, &QListWidget::itemActivated, impl_.get(), [this, control, list](QListWidgetItem* item) {
      const QDir current(list->property(kDirectory).toString());
      SetDirectory(control, S(QDir::cleanPath(current.filePath(item->text()))));
    });
  }
  announce();
}

std::string Form::Hint(const std::string& control) const {
  if (auto* action = qobject_cast<QAction*>(&impl_->Find(control))) return S(action->toolTip());
  return S(impl_->Expect<QWidget>(control, "control").toolTip());
}

std::string Form::FileMask(const std::string& control) const {
  return S(impl_->Find(control).property(kFileMask).toString());
}

void Form::SetFileMask(const std::string& control, const std::string& mask) {
  impl_->Find(control).setProperty(kFileMask, Q(mask));
  const std::string directory = Directory(control);
  if (!directory.empty()) SetDirectory(control, directory);
}

std::string Form::FileName(const std::string& control) const {
  const auto& list = impl_->Expect<QListWidget>(control, "file list");
  const QListWidgetItem* item = list.currentItem();
  if (item == nullptr || !item->isSelected()) return {};
  return S(QDir(list.property(kDirectory).toString()).filePath(item->text()));
}

std::vector<std::string> Form::SelectedFiles(const std::string& control) const {
  const auto& list = impl_->Expect<QListWidget>(control, "file list");
  const QDir dir(list.property(kDirectory).toString());
  std::vector<std::string> files;
  for (int i = 0; i < list.count(); ++i)
    if (list.item(i)->isSelected()) files.push_back(S(dir.filePath(list.item(i)->text())));
  return files;
}

void Form::OnDirectoryChange(const std::string& control, std::function<void()> handler) {
  impl_->Find(control);
  impl_->directoryChanged[control].push_back(Guarded(std::move(handler)));
}

void Form::SetDrive(const std::string& control, const std::string& path) {
  auto& box = impl_->Expect<QComboBox>(control, "drive box");
  const QString wanted = QDir::cleanPath(QDir(Q(path)).absolutePath());
  int best = -1;
  qsizetype bestLength = -1;
  for (int i = 0; i < box.count(); ++i) {
    const QString root = QDir::cleanPath(box.itemText(i));
    const bool holds = wanted == root || wanted.startsWith(root.endsWith('/') ? root : root + '/');
    if (holds && root.size() > bestLength) {
      best = i;
      bestLength = root.size();
    }
  }
  if (best >= 0) box.setCurrentIndex(best);
}

std::vector<std::string> Form::GridRows(const std::string& control) const {
  const auto& grid = impl_->Expect<QTableWidget>(control, "grid");
  std::vector<std::string> rows;
  for (int row = 0; row < grid.rowCount(); ++row) {
    const QTableWidgetItem* cell = grid.item(row, 0);
    rows.push_back(cell ? S(cell->text()) : std::string());
  }
  return rows;
}

void Form::SetGridRows(const std::string& control, const std::vector<std::string>& rows) {
  auto& grid = impl_->Expect<QTableWidget>(control, "grid");
  const int current = grid.currentRow();
  grid.setRowCount(static_cast<int>(rows.size()));
  for (int row = 0; row < grid.rowCount(); ++row) {
    QTableWidgetItem* cell = grid.item(row, 0);
    if (cell == nullptr) grid.setItem(row, 0, cell = new QTableWidgetItem);
    cell->setText(Q(rows[static_cast<std::size_t>(row)]));
  }
  if (current >= grid.rowCount()) grid.setCurrentCell(grid.rowCount() - 1, 0);
}

int Form::CurrentRow(const std::string& control) const {
  return impl_->Expect<QTableWidget>(control, "grid").currentRow();
}

void Form::SetCurrentRow(const std::string& control, int row) {
  impl_->Expect<QTableWidget>(control, "grid").setCurrentCell(row, 0);
}

std::vector<std::string> Form::PopupMenuItems(const std::string& control) const {
  const QString menuName = impl_->Find(control).property(kPopupMenu).toString();
  if (menuName.isEmpty()) return {};
  return Items(S(menuName));
}

Bounds Form::ControlBounds(const std::string& control) const {
  auto* widget = impl_->As<QWidget>(control);
  if (widget == nullptr) return {};
  // A hidden window lays out only when asked, and a container resized while
  // hidden keeps its old layout: each container from the window down to the
  // control places its children anew.
  std::vector<QWidget*> containers;
  for (QWidget* w = widget; w != &impl_->Root();) {
    w = w->parentWidget();
    if (w == nullptr) break;
    containers.push_back(w);
  }
  for (auto it = containers.rbegin(); it != containers.rend(); ++it) {
    (*it)->ensurePolished();
    if (QLayout* layout = (*it)->layout()) {
      layout->invalidate();
      layout->activate();
    }
  }
  const QPoint topLeft = widget->mapTo(&impl_->Root(), QPoint(0, 0));
  return {topLeft.x(), topLeft.y(), widget->width(), widget->height()};
}

Menu& Form::MainMenu(const std::string& control) {
  auto& bar = impl_->Expect<QMenuBar>(control, "main menu");
  std::unique_ptr<Menu>& menu = impl_->menus[control];
  if (!menu) menu = std::make_unique<Menu>(&bar);
  return *menu;
}

void Form::ShowMenuOnToolBar(const std::string& toolBar, const Menu* menu) {
  auto& bar = impl_->Expect<QToolBar>(toolBar, "tool bar");
  bar.setToolButtonStyle(Qt::ToolButtonTextOnly);
  bar.setMovable(false);
  bar.setStyleSheet("QToolBar { border: 0px; }");
  const QList<QAction*> buttons = bar.actions();
  for (auto it = buttons.rbegin(); it != buttons.rend(); ++it) bar.removeAction(*it);
  if (menu == nullptr || menu->bar == nullptr) return;
  for (QAction* item : menu->bar->actions()) {
    // The item itself goes on the bar: its caption and sub-menu stay the
    // menu's own, and the bar's button for it drops the sub-menu at once.
    bar.addAction(item);
    if (auto* button = qobject_cast<QToolButton*>(bar.widgetForAction(item))) {
      button->setPopupMode(QToolButton::InstantPopup);
      button->setAutoRaise(true);
    }
  }
}

std::vector<std::string> Form::ToolButtonMenuItems(const std::string& toolBar, int button) const {
  const QList<QAction*> buttons = impl_->Expect<QToolBar>(toolBar, "tool bar").actions();
  if (button < 0 || button >= buttons.size() || buttons[button]->menu() == nullptr) return {};
  return ActionTexts(*buttons[button]->menu());
}

void Form::SetColor(const std::string& control, std::uint32_t colour) {
  auto* widget = impl_->As<QWidget>(control);
  if (widget == nullptr) return;
  const QColor color(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
  widget->setProperty("colour", QVariant::fromValue(colour));
  widget->setStyleSheet("background-color: " + color.name() + ";");
}

std::uint32_t Form::Color(const std::string& control) const {
  return impl_->Find(control).property("colour").value<std::uint32_t>();
}

bool Form::ControlVisible(const std::string& control) const {
  auto* widget = impl_->As<QWidget>(control);
  return widget && !widget->isHidden();
}

void Form::SetControlVisible(const std::string& control, bool visible) {
  if (auto* widget = impl_->As<QWidget>(control)) widget->setVisible(visible);
}

int Form::TreeAddNode(const std::string& control, int parent, const std::vector<std::string>& texts,
                      std::uint32_t data) {
  QTreeWidget& tree = impl_->Tree(control);
  QTreeWidgetItem* above = parent ? impl_->Node(tree, parent) : nullptr;
  if (parent && !above) return 0;
  QStringList columns;
  for (const std::string& text : texts) columns.append(Q(text));
  auto* item = above ? new QTreeWidgetItem(above, columns) : new QTreeWidgetItem(&tree, columns);
  const int number = impl_->nextNode++;
  item->setData(0, kNodeRole, number);
  item->setData(0, kDataRole, static_cast<qulonglong>(data));
  impl_->nodes[number] = item;
  return number;
}

void Form::TreeClear(const std::string& control) {
  QTreeWidget& tree = impl_->Tree(control);
  for (int i = 0; i < tree.topLevelItemCount(); ++i) impl_->Forget(tree.topLevelItem(i), true);
  tree.clear();
}

void Form::TreeDeleteChildren(const std::string& control, int node) {
  QTreeWidget& tree = impl_->Tree(control);
  QTreeWidgetItem* item = impl_->Node(tree, node);
  if (!item) return;
  impl_->Forget(item, false);
  qDeleteAll(item->takeChildren());
}

void Form::TreeDeleteNode(const std::string& control, int node) {
  QTreeWidget& tree = impl_->Tree(control);
  QTreeWidgetItem* item = impl_->Node(tree, node);
  if (!item) return;
  impl_->Forget(item, true);
  delete item;
}

std::vector<int> Form::TreeChildren(const std::string& control, int parent) const {
  const QTreeWidget& tree = impl_->Tree(control);
  std::vector<int> children;
  if (parent == 0) {
    for (int i = 0; i < tree.topLevelItemCount(); ++i) children.push_back(Impl::NumberOf(tree.topLevelItem(i)));
  } else if (const QTreeWidgetItem* item = impl_->Node(tree, parent)) {
    for (int i = 0; i < item->childCount(); ++i) children.push_back(Impl::NumberOf(item->child(i)));
  }
  return children;
}

std::string Form::TreeNodeText(const std::string& control, int node, int column) const {
  const QTreeWidgetItem* item = impl_->Node(impl_->Tree(control), node);
  return item ? S(item->text(column)) : std::string();
}

std::uint32_t Form::TreeNodeData(const std::string& control, int node) const {
  const QTreeWidgetItem* item = impl_->Node(impl_->Tree(control), node);
  return item ? static_cast<std::uint32_t>(item->data(0, kDataRole).toULongLong()) : 0;
}

bool Form::TreeExpanded(const std::string& control, int node) const {
  const QTreeWidgetItem* item = impl_->Node(impl_->Tree(control), node);
  return item && item->isExpanded();
}

void Form::SetTreeExpanded(const std::string& control, int node, bool expanded) {
  if (QTreeWidgetItem* item = impl_->Node(impl_->Tree(control), node)) item->setExpanded(expanded);
}

int Form::TreeCurrent(const std::string& control) const {
  return Impl::NumberOf(impl_->Tree(control).currentItem());
}

void Form::SetTreeCurrent(const std::string& control, int node) {
  QTreeWidget& tree = impl_->Tree(control);
  tree.setCurrentItem(impl_->Node(tree, node));
}

std::vector<std::string> Form::TreeColumns(const std::string& control) const {
  const QTreeWidget& tree = impl_->Tree(control);
  std::vector<std::string> captions;
  for (int i = 0; i < tree.columnCount(); ++i) captions.push_back(S(tree.headerItem()->text(i)));
  return captions;
}

void Form::SetTreeColumns(const std::string& control, const std::vector<std::string>& captions) {
  QTreeWidget& tree = impl_->Tree(control);
  QStringList labels;
  for (const std::string& caption : captions) labels.append(Q(caption));
  const bool report = !tree.isHeaderHidden();
  tree.setColumnCount(static_cast<int>(labels.size()));
  tree.setHeaderLabels(labels);
  for (int i = 1; i < tree.columnCount(); ++i) tree.setColumnHidden(i, !report);
}

Form::ListStyle Form::TreeListStyle(const std::string& control) const {
  const QTreeWidget& tree = impl_->Tree(control);
  if (!tree.isHeaderHidden()) return ListStyle::Report;
  return tree.iconSize().width() > 16 ? ListStyle::Icons : ListStyle::List;
}

void Form::SetTreeListStyle(const std::string& control, ListStyle style) {
  QTreeWidget& tree = impl_->Tree(control);
  const bool report = style == ListStyle::Report;
  tree.setHeaderHidden(!report);
  for (int i = 1; i < tree.columnCount(); ++i) tree.setColumnHidden(i, !report);
  const int side = style == ListStyle::Icons ? 32 : 16;
  tree.setIconSize(QSize(side, side));
}

void Form::TreeBeginUpdate(const std::string& control) { impl_->Tree(control).setUpdatesEnabled(false); }

void Form::TreeEndUpdate(const std::string& control) {
  QTreeWidget& tree = impl_->Tree(control);
  tree.setUpdatesEnabled(true);
  for (int i = 0; i < tree.columnCount(); ++i) tree.resizeColumnToContents(i);
}

bool Form::TreeUpdating(const std::string& control) const { return !impl_->Tree(control).updatesEnabled(); }

void Form::SetTreeImages(const std::string& control, const std::vector<std::string>& files) {
  impl_->Tree(control);
  std::vector<QPixmap>& pictures = impl_->images[control];
  pictures.clear();
  for (const std::string& file : files) {
    QPixmap picture(Q(file));
    if (!picture.isNull()) picture.setMask(picture.createMaskFromColor(QColor(128, 128, 128), Qt::MaskInColor));
    pictures.push_back(picture);
  }
}

void Form::SetTreeNodeImage(const std::string& control, int node, int image, int selectedImage) {
  QTreeWidgetItem* item = impl_->Node(impl_->Tree(control), node);
  if (!item) return;
  const std::vector<QPixmap>& pictures = impl_->images[control];
  auto picture = [&pictures](int index) {
    return index >= 0 && static_cast<std::size_t>(index) < pictures.size() ? pictures[static_cast<std::size_t>(index)]
                                                                          : QPixmap();
  };
  QIcon icon;
  if (!picture(image).isNull()) icon.addPixmap(picture(image), QIcon::Normal);
  if (!picture(selectedImage).isNull()) icon.addPixmap(picture(selectedImage), QIcon::Selected);
  item->setIcon(0, icon);
  item->setData(0, kImageRole, image);
}

int Form::TreeNodeImage(const std::string& control, int node) const {
  const QTreeWidgetItem* item = impl_->Node(impl_->Tree(control), node);
  const QVariant image = item ? item->data(0, kImageRole) : QVariant();
  return image.isValid() ? image.toInt() : -1;
}

void Form::OnTreeExpanded(const std::string& control, std::function<void(int node)> handler) {
  QObject::connect(&impl_->Tree(control), &QTreeWidget::itemExpanded, impl_.get(),
                   [handler](QTreeWidgetItem* item) { handler(Impl::NumberOf(item)); });
}

void Form::OnTreeCollapsed(const std::string& control, std::function<void(int node)> handler) {
  QObject::connect(&impl_->Tree(control), &QTreeWidget::itemCollapsed, impl_.get(),
                   [handler](QTreeWidgetItem* item) { handler(Impl::NumberOf(item)); });
}

namespace {

// A progress bar or a spin edit: both have a range and a position.
template <class Act>
auto OnRanged(QObject* control, Act act) {
  if (auto* bar = qobject_cast<QProgressBar*>(control)) return act(*bar);
  if (auto* spin = qobject_cast<QSpinBox*>(control)) return act(*spin);
  return decltype(act(std::declval<QSpinBox&>()))();
}

}  // namespace

void Form::SetRange(const std::string& control, int min, int max) {
  OnRanged(impl_->As<QObject>(control), [&](auto& ranged) { ranged.setRange(min, max); });
}

int Form::Minimum(const std::string& control) const {
  return OnRanged(impl_->As<QObject>(control), [](auto& ranged) { return ranged.minimum(); });
}

int Form::Maximum(const std::string& control) const {
  return OnRanged(impl_->As<QObject>(control), [](auto& ranged) { return ranged.maximum(); });
}

int Form::Position(const std::string& control) const {
  return OnRanged(impl_->As<QObject>(control), [](auto& ranged) { return ranged.value(); });
}

void Form::SetPosition(const std::string& control, int position) {
  OnRanged(impl_->As<QObject>(control), [&](auto& ranged) { ranged.setValue(position); });
}

namespace {

// The document and the cursor-bearing editor behind a memo or rich edit.
struct Editor {
  QTextEdit* rich = nullptr;
  QPlainTextEdit* plain = nullptr;
  QTextDocument* Document() const { return rich ? rich->document() : plain ? plain->document() : nullptr; }
  QTextCursor Cursor() const { return rich ? rich->textCursor() : plain->textCursor(); }
  void SetCursor(const QTextCursor& cursor) const {
    if (rich) rich->setTextCursor(cursor);
    else plain->setTextCursor(cursor);
  }
  void EnsureCursorVisible() const {
    if (rich) rich->ensureCursorVisible();
    else plain->ensureCursorVisible();
  }
};

Editor EditorOf(QObject& object) {
  return {qobject_cast<QTextEdit*>(&object), qobject_cast<QPlainTextEdit*>(&object)};
}

}  // namespace

int Form::LineCount(const std::string& control) const {
  const Editor editor = EditorOf(impl_->Find(control));
  return editor.Document() ? editor.Document()->blockCount() : 0;
}

void Form::ReplaceLastLine(const std::string& control, const std::string& text) {
  const Editor editor = EditorOf(impl_->Find(control));
  if (!editor.Document()) return;
  QTextCursor cursor(editor.Document()->lastBlock());
  cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
  cursor.insertText(Q(text));
}

void Form::AppendLine(const std::string& control, const std::string& text) {
  const Editor editor = EditorOf(impl_->Find(control));
  if (!editor.Document()) return;
  QTextCursor cursor(editor.Document());
  cursor.movePosition(QTextCursor::End);
  cursor.insertBlock();
  cursor.insertText(Q(text));
}

void Form::ScrollToCaret(const std::string& control) {
  const Editor editor = EditorOf(impl_->Find(control));
  if (!editor.Document()) return;
  QTextCursor cursor = editor.Cursor();
  cursor.movePosition(QTextCursor::End);
  editor.SetCursor(cursor);
  editor.EnsureCursorVisible();
}

void Form::SetWordWrap(const std::string& control, bool wrap) {
  const Editor editor = EditorOf(impl_->Find(control));
  if (editor.rich) editor.rich->setLineWrapMode(wrap ? QTextEdit::WidgetWidth : QTextEdit::NoWrap);
  if (editor.plain) editor.plain->setLineWrapMode(wrap ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
}

bool Form::WordWrap(const std::string& control) const {
  const Editor editor = EditorOf(impl_->Find(control));
  if (editor.rich) return editor.rich->lineWrapMode() != QTextEdit::NoWrap;
  return editor.plain && editor.plain->lineWrapMode() != QPlainTextEdit::NoWrap;
}

int Form::SelStart(const std::string& control) const {
  const Editor editor = EditorOf(impl_->Find(control));
  return editor.Document() ? editor.Cursor().selectionStart() : 0;
}

int Form::SelLength(const std::string& control) const {
  const Editor editor = EditorOf(impl_->Find(control));
  if (!editor.Document()) return 0;
  const QTextCursor cursor = editor.Cursor();
  return cursor.selectionEnd() - cursor.selectionStart();
}

void Form::Select(const std::string& control, int start, int length) {
  const Editor editor = EditorOf(impl_->Find(control));
  if (!editor.Document()) return;
  QTextCursor cursor(editor.Document());
  cursor.setPosition(start);
  cursor.setPosition(start + length, QTextCursor::KeepAnchor);
  editor.SetCursor(cursor);
  editor.EnsureCursorVisible();
}

void Form::CaretLineColumn(const std::string& control, int& line, int& column) const {
  const Editor editor = EditorOf(impl_->Find(control));
  line = column = 0;
  if (!editor.Document()) return;
  const QTextCursor cursor = editor.Cursor();
  line = cursor.blockNumber();
  column = cursor.positionInBlock();
}

void Form::OnCaretMove(const std::string& control, std::function<void()> handler) {
  const Editor editor = EditorOf(impl_->Find(control));
  handler = Guarded(std::move(handler));
  auto call = [handler] { handler(); };
  if (editor.rich) QObject::connect(editor.rich, &QTextEdit::cursorPositionChanged, impl_.get(), call);
  if (editor.plain) QObject::connect(editor.plain, &QPlainTextEdit::cursorPositionChanged, impl_.get(), call);
}

void Form::Focus(const std::string& control) {
  if (auto* widget = impl_->As<QWidget>(control)) widget->setFocus();
}

std::string Form::FocusedControl() const {
  const QWidget* focused = impl_->Root().focusWidget();
  return focused ? S(focused->objectName()) : std::string();
}

void Form::OnExit(const std::string& control, std::function<void()> handler) {
  auto& widget = impl_->Expect<QWidget>(control, "control");
  widget.installEventFilter(impl_.get());
  impl_->exitHandlers[&widget] = std::move(handler);
}

void Form::OnEnterKey(const std::string& control, std::function<void()> handler) {
  auto& widget = impl_->Expect<QWidget>(control, "control");
  widget.installEventFilter(impl_.get());
  impl_->enterHandlers[&widget] = std::move(handler);
}

int Form::FindText(const std::string& control, const std::string& text, int from) const {
  const Editor editor = EditorOf(impl_->Find(control));
  if (!editor.Document() || text.empty()) return -1;
  return static_cast<int>(editor.Document()->toPlainText().indexOf(Q(text), from, Qt::CaseInsensitive));
}

bool Form::ChooseFont(const std::string& control) {
  auto* widget = impl_->As<QWidget>(control);
  if (widget == nullptr || Unattended()) return false;
  bool ok = false;
  const QFont font = QFontDialog::getFont(&ok, widget->font(), impl_->root.data());
  if (ok) widget->setFont(font);
  return ok;
}

void Form::OnClick(const std::string& control, std::function<void()> handler) {
  QObject& object = impl_->Find(control);
  handler = Guarded(std::move(handler));
  if (auto* button = qobject_cast<QAbstractButton*>(&object)) {
    QObject::connect(button, &QAbstractButton::clicked, impl_.get(), [handler] { handler(); });
  } else if (auto* action = qobject_cast<QAction*>(&object)) {
    QObject::connect(action, &QAction::triggered, impl_.get(), [handler] { handler(); });
  } else if (auto* list = qobject_cast<QListWidget*>(&object)) {
    QObject::connect(list, &QListWidget::itemClicked, impl_.get(), [handler] { handler(); });
  }
}

void Form::OnDoubleClick(const std::string& control, std::function<void()> handler) {
  auto& list = impl_->Expect<QListWidget>(control, "list");
  handler = Guarded(std::move(handler));
  QObject::connect(&list, &QListWidget::itemDoubleClicked, impl_.get(), [handler] { handler(); });
}

void Form::OnChange(const std::string& control, std::function<void()> handler) {
  QObject& object = impl_->Find(control);
  handler = Guarded(std::move(handler));
  auto call = [handler] { handler(); };
  if (auto* edit = qobject_cast<QLineEdit*>(&object)) {
    QObject::connect(edit, &QLineEdit::textChanged, impl_.get(), call);
  } else if (auto* button = qobject_cast<QAbstractButton*>(&object)) {
    QObject::connect(button, &QAbstractButton::toggled, impl_.get(), call);
  } else if (auto* action = qobject_cast<QAction*>(&object)) {
    QObject::connect(action, &QAction::toggled, impl_.get(), call);
  } else if (auto* list = qobject_cast<QListWidget*>(&object)) {
    QObject::connect(list, &QListWidget::currentRowChanged, impl_.get(), call);
  } else if (auto* combo = qobject_cast<QComboBox*>(&object)) {
    QObject::connect(combo, &QComboBox::currentIndexChanged, impl_.get(), call);
  } else if (auto* memo = qobject_cast<QPlainTextEdit*>(&object)) {
    QObject::connect(memo, &QPlainTextEdit::textChanged, impl_.get(), call);
  } else if (auto* tree = qobject_cast<QTreeWidget*>(&object)) {
    QObject::connect(tree, &QTreeWidget::currentItemChanged, impl_.get(), call);
  } else if (auto* rich = qobject_cast<QTextEdit*>(&object)) {
    QObject::connect(rich, &QTextEdit::textChanged, impl_.get(), call);
  }
}

void Form::SetImageBitmap(const std::string& control, Bitmap* bitmap) {
  QObject& object = impl_->Find(control);
  auto* widget = qobject_cast<QWidget*>(&object);
  if (widget == nullptr || !widget->property(kImageControl).toBool())
    throw EFormLayoutError("Control " + control + " of the form " + impl_->layout + " is no image");
  const auto old = impl_->imageBitmaps.find(widget);
  if (old != impl_->imageBitmaps.end() && old->second != nullptr && old->second != bitmap) old->second->OnChange(nullptr);
  impl_->imageBitmaps[widget] = bitmap;
  widget->installEventFilter(impl_.get());
  if (bitmap != nullptr) bitmap->OnChange([target = QPointer<QWidget>(widget)] {
      if (target) target->update();
    });
  widget->update();
}

Bitmap* Form::ImageBitmap(const std::string& control) const {
  const auto found = impl_->imageBitmaps.find(&impl_->Find(control));
  return found != impl_->imageBitmaps.end() ? found->second : nullptr;
}

void Form::RepaintImage(const std::string& control) { impl_->Expect<QWidget>(control, "control").repaint(); }

void Form::OnMouse(const std::string& control, std::function<void(MouseAction, const MouseInput&)> handler) {
  auto& widget = impl_->Expect<QWidget>(control, "control");
  widget.setMouseTracking(true);
  widget.installEventFilter(impl_.get());
  impl_->mouseHandlers[&widget] = std::move(handler);
}

void Form::OnMouse(std::function<void(MouseAction, const MouseInput&)> handler) {
  QWidget& root = impl_->Root();
  root.setMouseTracking(true);
  impl_->mouseHandlers[&root] = std::move(handler);
}

void Form::OnKeyDown(std::function<void(std::uint16_t key, std::uint8_t shift)> handler) {
  impl_->keyDown = std::move(handler);
}

void Form::OnResize(std::function<void()> handler) { impl_->resized = std::move(handler); }

void Form::OnDeactivate(std::function<void()> handler) { impl_->deactivated = std::move(handler); }

void Form::ControlToScreen(const std::string& control, std::int32_t& x, std::int32_t& y) const {
  const QPoint screen = impl_->Expect<QWidget>(control, "control").mapToGlobal(QPoint(x, y));
  x = screen.x();
  y = screen.y();
}

void Form::SetControlCursor(const std::string& control, int screenCursor) {
  auto& widget = impl_->Expect<QWidget>(control, "control");
  widget.setProperty(kScreenCursor, screenCursor);
  widget.setCursor(ScreenCursorShape(screenCursor));
}

int Form::ControlCursor(const std::string& control) const {
  return impl_->Expect<QWidget>(control, "control").property(kScreenCursor).toInt();
}

bool Form::Down(const std::string& control) const {
  return impl_->Expect<QAbstractButton>(control, "button").isChecked();
}

void Form::SetDown(const std::string& control, bool down) {
  auto& button = impl_->Expect<QAbstractButton>(control, "button");
  button.setCheckable(true);
  button.setChecked(down);
}

namespace {

// The menu or item whose component name matches in any letter case.
QObject* FindMenuObject(const QWidget& root, const std::string& name) {
  const QString wanted = Q(name);
  for (QMenu* menu : root.findChildren<QMenu*>())
    if (menu->objectName().compare(wanted, Qt::CaseInsensitive) == 0) return menu;
  for (QAction* action : root.findChildren<QAction*>())
    if (action->objectName().compare(wanted, Qt::CaseInsensitive) == 0) return action;
  return nullptr;
}

}  // namespace

std::string Form::FindMenuItem(const std::string& name) const {
  QObject* found = FindMenuObject(impl_->Root(), name);
  return found != nullptr ? S(found->objectName()) : std::string();
}

void Form::AddMenuItem(const std::string& menu, const std::string& name, const std::string& caption,
                       std::function<void()> click) {
  auto* holder = qobject_cast<QMenu*>(FindMenuObject(impl_->Root(), menu));
  if (holder == nullptr) throw EFormLayoutError("Form " + impl_->layout + " has no menu " + menu);
  auto* item = new QAction(Q(caption), holder);
  item->setObjectName(Q(name));
  item->setCheckable(true);
  QObject::connect(item, &QAction::triggered, item, [handler = Guarded(std::move(click))] { handler(); });
  holder->addAction(item);
}

bool Form::RemoveMenuItem(const std::string& menu, const std::string& name) {
  auto* holder = qobject_cast<QMenu*>(FindMenuObject(impl_->Root(), menu));
  if (holder == nullptr) return false;
  for (QAction* item : holder->actions()) {
    if (item->objectName().compare(Q(name), Qt::CaseInsensitive) != 0) continue;
    holder->removeAction(item);
    delete item;
    return true;
  }
  return false;
}

std::vector<std::string> Form::MenuItemNames(const std::string& menu) const {
  auto* holder = qobject_cast<QMenu*>(FindMenuObject(impl_->Root(), menu));
  if (holder == nullptr) return {};
  std::vector<std::string> names;
  for (const QAction* item : holder->actions()) names.push_back(S(item->objectName()));
  return names;
}

void Form::PopupMenuAt(const std::string& menu, std::int32_t screenX, std::int32_t screenY) {
  auto& popup = impl_->Expect<QMenu>(menu, "menu");
  LastPopupRecord() = {menu, screenX, screenY};
  popup.popup(QPoint(screenX, screenY));
}

void Form::OnPopup(const std::string& menu, std::function<void()> handler) {
  auto& popup = impl_->Expect<QMenu>(menu, "menu");
  QObject::connect(&popup, &QMenu::aboutToShow, impl_.get(), [call = Guarded(std::move(handler))] { call(); });
}

void Form::SetAcceptTreeDrops(const std::string& control, bool accept) {
  impl_->Expect<QWidget>(control, "control").setAcceptDrops(accept);
}

bool Form::AcceptTreeDrops(const std::string& control) const {
  return impl_->Expect<QWidget>(control, "control").acceptDrops();
}

void Form::OnTreeNodeDropped(const std::string& control, std::function<void(std::uint32_t data)> handler) {
  auto& widget = impl_->Expect<QWidget>(control, "control");
  widget.installEventFilter(impl_.get());
  impl_->treeDropHandlers[&widget] = std::move(handler);
}

void Form::OnDragOver(const std::string& control, std::function<void()> handler) {
  auto& widget = impl_->Expect<QWidget>(control, "control");
  widget.installEventFilter(impl_.get());
  impl_->dragOverHandlers[&widget] = std::move(handler);
}

QObject& FormControl(const Form& form, const std::string& name) { return form.impl().Find(name); }

bool MouseOfEvent(const QEvent& event, MouseAction& action, MouseInput& input) {
  const QEvent::Type type = event.type();
  if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonDblClick && type != QEvent::MouseButtonRelease &&
      type != QEvent::MouseMove)
    return false;
  const auto& mouse = static_cast<const QMouseEvent&>(event);
  action = type == QEvent::MouseMove ? MouseAction::Move : type == QEvent::MouseButtonRelease ? MouseAction::Up
                                                                                              : MouseAction::Down;
  input.Button = action == MouseAction::Move ? 0 : ButtonOf(mouse.button());
  input.Shift = ShiftOf(mouse.modifiers(), mouse.buttons(), type == QEvent::MouseButtonDblClick);
  input.X = static_cast<std::int32_t>(mouse.position().x());
  input.Y = static_cast<std::int32_t>(mouse.position().y());
  return true;
}

bool KeyOfEvent(const QEvent& event, std::uint16_t& key, std::uint8_t& shift) {
  if (event.type() != QEvent::KeyPress) return false;
  const auto& press = static_cast<const QKeyEvent&>(event);
  key = VirtualKeyOf(press);
  shift = ShiftOf(press.modifiers(), QGuiApplication::mouseButtons());
  return true;
}

void SendUserKey(QObject& target, std::uint16_t key, std::uint8_t shift) {
  QKeyEvent press(QEvent::KeyPress, QtKey(key), QtModifiers(shift));
  QCoreApplication::sendEvent(&target, &press);
}

void RunGuarded(const std::function<void()>& handler) { Guarded(handler)(); }

QWidget& FormAccess::Root(const Form& form) { return form.impl().Root(); }

QWidget& FormAccess::Control(const Form& form, const std::string& name) {
  return form.impl().Expect<QWidget>(name, "control");
}

bool Form::SaveImage(const std::string& pngPath) const {
  return impl_->Root().grab().save(Q(pngPath), "PNG");
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

void UserClick(Form& form, const std::string& control) {
  QObject& object = form.impl().Find(control);
  if (auto* button = qobject_cast<QAbstractButton*>(&object)) button->click();
  if (auto* action = qobject_cast<QAction*>(&object)) action->trigger();
}

namespace {

QListWidgetItem& ListItem(Form& form, const std::string& control, int index) {
  auto& list = form.impl().Expect<QListWidget>(control, "list");
  QListWidgetItem* item = list.item(index);
  if (item == nullptr) throw EFormLayoutError("List " + control + " has no item " + std::to_string(index));
  list.setCurrentItem(item, QItemSelectionModel::ClearAndSelect);
  return *item;
}

}  // namespace

void UserClickItem(Form& form, const std::string& control, int index) {
  QListWidgetItem& item = ListItem(form, control, index);
  emit item.listWidget()->itemClicked(&item);
}

void UserDoubleClickItem(Form& form, const std::string& control, int index) {
  QListWidgetItem& item = ListItem(form, control, index);
  QListWidget* list = item.listWidget();
  emit list->itemDoubleClicked(&item);
  emit list->itemActivated(&item);
}

void UserChooseItem(Form& form, const std::string& control, int index) {
  QObject& object = form.impl().Find(control);
  if (auto* combo = qobject_cast<QComboBox*>(&object)) return combo->setCurrentIndex(index);
  UserClickItem(form, control, index);
}

void UserEditCell(Form& form, const std::string& control, int row, const std::string& text) {
  auto& grid = form.impl().Expect<QTableWidget>(control, "grid");
  if (row < 0 || row >= grid.rowCount()) throw EFormLayoutError("Grid " + control + " has no row " + std::to_string(row));
  grid.setCurrentCell(row, 0);
  QTableWidgetItem* cell = grid.item(row, 0);
  if (cell == nullptr) grid.setItem(row, 0, cell = new QTableWidgetItem);
  cell->setText(Q(text));
}

void UserExit(Form& form, const std::string& control) {
  auto& widget = form.impl().Expect<QWidget>(control, "control");
  for (QWidget* next = widget.nextInFocusChain(); next != &widget; next = next->nextInFocusChain())
    if (next->isEnabled() && (next->focusPolicy() & Qt::TabFocus) && form.impl().Root().isAncestorOf(next)) {
      next->setFocus(Qt::TabFocusReason);
      break;
    }
  // A window that is not active moves its focus without telling the control.
  QFocusEvent left(QEvent::FocusOut, Qt::TabFocusReason);
  QCoreApplication::sendEvent(&widget, &left);
}

void UserPressEnter(Form& form, const std::string& control) {
  auto& widget = form.impl().Expect<QWidget>(control, "control");
  QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
  QCoreApplication::sendEvent(&widget, &press);
}

void UserTimerTick(Form& form) {
  if (form.TimerActive()) form.impl().timerTick();
}

void UserChoosePopupItem(Form& form, const std::string& control, const std::string& caption) {
  const QString menuName = form.impl().Find(control).property(kPopupMenu).toString();
  auto* menu = menuName.isEmpty() ? nullptr : form.impl().Root().findChild<QMenu*>(menuName);
  if (menu != nullptr)
    for (QAction* action : menu->actions())
      if (!action->isSeparator() && S(action->text()) == caption) return action->trigger();
  throw EFormLayoutError("The popup menu of " + control + " has no item " + caption);
}

void SendUserMouse(QWidget& widget, MouseAction action, const MouseInput& input) {
  const QPointF local(input.X, input.Y);
  const QPointF global = widget.mapToGlobal(local);
  const bool doubleClick = action == MouseAction::Down && (input.Shift & 64) != 0;
  const QEvent::Type type = doubleClick                  ? QEvent::MouseButtonDblClick
                            : action == MouseAction::Down ? QEvent::MouseButtonPress
                            : action == MouseAction::Up   ? QEvent::MouseButtonRelease
                                                          : QEvent::MouseMove;
  const Qt::MouseButton button = action == MouseAction::Move ? Qt::NoButton : QtButton(input.Button);
  QMouseEvent event(type, local, global, button, QtButtons(input.Shift), QtModifiers(input.Shift));
  // The hand brings the screen cursor to the point before the event comes.
  QCursor::setPos(global.toPoint());
  QCoreApplication::sendEvent(&widget, &event);
}

void UserMouse(Form& form, const std::string& control, MouseAction action, const MouseInput& input) {
  SendUserMouse(form.impl().Expect<QWidget>(control, "control"), action, input);
}

void UserMouse(Form& form, MouseAction action, const MouseInput& input) { SendUserMouse(form.impl().Root(), action, input); }

void UserKey(Form& form, std::uint16_t key, std::uint8_t shift) { SendUserKey(form.impl().Root(), key, shift); }

void UserKeyOn(Form& form, const std::string& control, std::uint16_t key, std::uint8_t shift) {
  QObject& target = form.impl().Find(control);
  if (auto* widget = qobject_cast<QWidget*>(&target)) widget->setFocus();
  QKeyEvent press(QEvent::KeyPress, QtKey(key), QtModifiers(shift));
  // Sent as the window system sends it, so that an unhandled key goes on to
  // the control's parents.
  QApplication::sendEvent(&target, &press);
}

void UserResize(Form& form, int width, int height) {
  QWidget& root = form.impl().Root();
  const QSize old = root.size();
  root.resize(width, height);
  if (!root.isVisible()) {
    // A hidden window gets its resize event only when shown; the window
    // system tells it at once.
    QResizeEvent event(QSize(width, height), old);
    QCoreApplication::sendEvent(&root, &event);
  }
}

void UserDeactivate(Form& form) {
  QEvent event(QEvent::WindowDeactivate);
  QCoreApplication::sendEvent(&form.impl().Root(), &event);
}

void UserDropTreeNode(Form& source, const std::string& tree, int node, Form& target, const std::string& control) {
  auto& sourceTree = source.impl().Expect<QTreeWidget>(tree, "tree");
  if (QTreeWidgetItem* item = source.impl().Node(sourceTree, node)) sourceTree.setCurrentItem(item);
  auto& widget = target.impl().Expect<QWidget>(control, "control");
  QMimeData data;
  data.setData(kTreeNodeMime, QByteArray::number(node));
  QDragEnterEvent enter(QPoint(1, 1), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(&widget, &enter);
  // The application routes drops only while a system drag runs: the drop
  // is handed to the control's handling with its source.
  if (widget.acceptDrops() && enter.isAccepted()) target.impl().TreeNodeDropped(&widget, &sourceTree);
}

PopupRecord LastPopup() { return LastPopupRecord(); }

void UserDropFiles(Form& form, const std::vector<std::string>& files) {
  QWidget& root = form.impl().Root();
  if (!root.acceptDrops()) return;
  QMimeData data;
  QList<QUrl> urls;
  for (const std::string& file : files) urls.append(QUrl::fromLocalFile(Q(file)));
  data.setUrls(urls);
  const QPointF at(root.width() / 2.0, root.height() / 2.0);
  QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  // Straight to the window's own handling: the application routes drops
  // only while a system drag is in progress.
  form.impl().eventFilter(&root, &drop);
}

bool UserCloseWindow(Form& form) {
  QWidget& root = form.impl().Root();
  QCloseEvent close;
  QCoreApplication::sendEvent(&root, &close);
  if (!close.isAccepted()) return false;
  form.impl().CloseAgreed();
  return true;
}

// ---------------------------------------------------------------- image lists

struct ImageList::Impl {
  int width = 16;
  int height = 16;
  // A null image stands for an empty picture that keeps its index.
  std::vector<QImage> pictures;
  std::vector<QImage> masks;  // 1 where the picture shows
  std::vector<QIcon> icons;   // the picture with the mask as its alpha

  void Add(QImage picture, QImage mask) {
    pictures.push_back(std::move(picture));
    masks.push_back(std::move(mask));
    icons.emplace_back();
  }

  // The picture with its mask as the alpha, so a masked pixel is fully
  // clear; made once, when a button first shows it.
  const QIcon& Icon(int index) {
    QIcon& icon = icons[index];
    if (!icon.isNull() || pictures[index].isNull()) return icon;
    QImage shown = pictures[index].convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < shown.height(); ++y) {
      auto* line = reinterpret_cast<QRgb*>(shown.scanLine(y));
      const uchar* shows = masks[index].constScanLine(y);
      for (int x = 0; x < shown.width(); ++x)
        if (shows[x] == 0) line[x] = qRgba(0, 0, 0, 0);
    }
    icon = QIcon(QPixmap::fromImage(shown));
    return icon;
  }
};

ImageList::ImageList(int width, int height) : impl_(std::make_unique<Impl>()) {
  impl_->width = width;
  impl_->height = height;
}

ImageList::~ImageList() = default;

int ImageList::Width() const { return impl_->width; }
int ImageList::Height() const { return impl_->height; }
void ImageList::SetWidth(int width) { impl_->width = width; }
void ImageList::SetHeight(int height) { impl_->height = height; }
int ImageList::Count() const { return static_cast<int>(impl_->pictures.size()); }

namespace {

std::uint32_t LittleEndian(const QByteArray& bytes, int at, int size) {
  std::uint32_t value = 0;
  for (int i = size - 1; i >= 0; --i) value = (value << 8) | static_cast<std::uint8_t>(bytes[at + i]);
  return value;
}

// Whether an uncompressed bitmap holds every row its header promises; the
// reader would fill the missing ones with whatever it likes.
bool BitmapComplete(const QByteArray& bytes) {
  if (bytes.size() < 54 || !bytes.startsWith("BM")) return true;
  const std::uint32_t compression = LittleEndian(bytes, 30, 4);
  if (compression != 0) return true;
  const std::int64_t offset = LittleEndian(bytes, 10, 4);
  const std::int64_t width = static_cast<std::int32_t>(LittleEndian(bytes, 18, 4));
  const std::int64_t height = static_cast<std::int32_t>(LittleEndian(bytes, 22, 4));
  const std::int64_t bits = LittleEndian(bytes, 28, 2);
  return HoldsBitmapRows(bytes.size(), offset, width, height, bits);
}

}  // namespace

namespace {

struct MaskedPicture {
  QImage picture;
  QImage mask;  // 255 where the picture shows
  bool read = false;
};

// The picture of the file's bytes at the list's size, its transparent
// colour the colour of its pixel (0, 0).
MaskedPicture DecodeMasked(const QByteArray& bytes, int width, int height) {
  QBuffer buffer;
  buffer.setData(bytes);
  buffer.open(QBuffer::ReadOnly);
  QImageReader reader(&buffer);
  QImage picture = BitmapComplete(bytes) ? reader.read() : QImage();
  MaskedPicture masked;
  masked.read = !picture.isNull();
  if (!masked.read || width <= 0 || height <= 0) return masked;
  picture = picture.convertToFormat(QImage::Format_RGB32);
  const QRgb transparent = picture.pixel(0, 0);
  if (picture.width() != width || picture.height() != height)
    picture = picture.scaled(width, height, Qt::IgnoreAspectRatio, Qt::FastTransformation);
  QImage mask(picture.size(), QImage::Format_Grayscale8);
  for (int y = 0; y < height; ++y) {
    const auto* colours = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
    uchar* shows = mask.scanLine(y);
    for (int x = 0; x < width; ++x) shows[x] = colours[x] == transparent ? 0 : 255;
  }
  masked.picture = picture;
  masked.mask = mask;
  return masked;
}

// Pictures decoded before, by the bytes and the size: the bars of a window
// show the same few small files in group after group.  Kept to a bounded
// number of files of tool-button size; larger ones are decoded each time.
MaskedPicture DecodedMasked(const QByteArray& bytes, int width, int height) {
  constexpr std::size_t kMostKept = 256;
  constexpr qsizetype kLargestKept = 64 * 1024;
  if (bytes.size() > kLargestKept) return DecodeMasked(bytes, width, height);
  static std::map<std::tuple<int, int, QByteArray>, MaskedPicture> decoded;
  auto key = std::make_tuple(width, height, bytes);
  if (const auto found = decoded.find(key); found != decoded.end()) return found->second;
  if (decoded.size() >= kMostKept) decoded.clear();
  return decoded.emplace(std::move(key), DecodeMasked(bytes, width, height)).first->second;
}

}  // namespace

bool ImageList::AddMasked(const std::string& fileName) {
  QFile file(Q(fileName));
  QByteArray bytes;
  if (file.open(QFile::ReadOnly)) bytes = file.readAll();
  const MaskedPicture masked = DecodedMasked(bytes, impl_->width, impl_->height);
  impl_->Add(masked.picture, masked.mask);
  return masked.read;
}

void ImageList::Clear() {
  impl_->pictures.clear();
  impl_->masks.clear();
  impl_->icons.clear();
}

bool ImageList::Empty(int index) const {
  return index < 0 || index >= Count() || impl_->pictures[index].isNull();
}

std::uint32_t ImageList::Pixel(int index, int x, int y) const {
  if (Empty(index) || !impl_->pictures[index].valid(x, y)) return 0;
  const QRgb rgb = impl_->pictures[index].pixel(x, y);
  return static_cast<std::uint32_t>(qRed(rgb)) | (static_cast<std::uint32_t>(qGreen(rgb)) << 8) |
         (static_cast<std::uint32_t>(qBlue(rgb)) << 16);
}

bool ImageList::Transparent(int index, int x, int y) const {
  if (Empty(index) || !impl_->masks[index].valid(x, y)) return true;
  return qGray(impl_->masks[index].pixel(x, y)) == 0;
}

std::string ShortCutText(const std::string& text) {
  const QKeySequence sequence = QKeySequence::fromString(Q(text), QKeySequence::PortableText);
  // One key only: a shortcut is a key with its shift states.
  if (sequence.count() != 1 || sequence[0].key() == Qt::Key_unknown || sequence[0].key() == 0) return {};
  return S(QKeySequence(sequence[0]).toString(QKeySequence::PortableText));
}

// ---------------------------------------------------------------- run-time tool bars

namespace {

constexpr const char* kToolCursor = "toolCursor";

Qt::ToolBarArea QtArea(BarArea area) {
  switch (area) {
    case BarArea::Bottom: return Qt::BottomToolBarArea;
    case BarArea::Left: return Qt::LeftToolBarArea;
    case BarArea::Right: return Qt::RightToolBarArea;
    case BarArea::Top: break;
  }
  return Qt::TopToolBarArea;
}

QMainWindow& MainWindowOf(Form::Impl& impl, const std::string& layout) {
  auto* window = qobject_cast<QMainWindow*>(&impl.Root());
  if (window == nullptr) throw EFormLayoutError("Form " + layout + " has no bar areas");
  return *window;
}

void StyleButton(QToolButton& button, const ToolBarStyle& style) {
  button.setAutoRaise(style.Flat);
  const QSize size(std::max(style.ButtonWidth, 1), std::max(style.ButtonHeight, 1));
  if (style.ShowCaptions) {
    button.setMinimumSize(size);
    button.setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
  } else {
    button.setFixedSize(size);
  }
}

QToolButton* ButtonAt(QToolBar& bar, int index) {
  const QList<QAction*> items = bar.actions();
  if (index < 0 || index >= items.size()) return nullptr;
  return qobject_cast<QToolButton*>(bar.widgetForAction(items[index]));
}

}  // namespace

void Form::AddToolBar(const std::string& name, BarArea area) {
  QMainWindow& window = MainWindowOf(*impl_, impl_->layout);
  auto* bar = new QToolBar(&window);
  bar->setObjectName(Q(name));
  impl_->madeAtRunTime[name] = bar;
  bar->setWindowTitle(Q(name));
  bar->setContentsMargins(2, 0, 0, 0);
  bar->setIconSize(QSize(16, 16));
  window.addToolBar(QtArea(area), bar);
  SetToolBarStyle(name, ToolBarStyle{});
}

void Form::MoveToolBar(const std::string& name, BarArea area) {
  QMainWindow& window = MainWindowOf(*impl_, impl_->layout);
  auto& bar = impl_->Expect<QToolBar>(name, "tool bar");
  window.removeToolBar(&bar);
  window.addToolBar(QtArea(area), &bar);
  bar.show();
}

bool Form::HasToolBar(const std::string& name) const {
  return qobject_cast<QMainWindow*>(&impl_->Root()) != nullptr && qobject_cast<QToolBar*>(impl_->FindOrNil(name));
}

BarArea Form::ToolBarArea(const std::string& name) const {
  QMainWindow& window = MainWindowOf(*impl_, impl_->layout);
  switch (window.toolBarArea(&impl_->Expect<QToolBar>(name, "tool bar"))) {
    case Qt::BottomToolBarArea: return BarArea::Bottom;
    case Qt::LeftToolBarArea: return BarArea::Left;
    case Qt::RightToolBarArea: return BarArea::Right;
    default: return BarArea::Top;
  }
}

ToolBarStyle Form::GetToolBarStyle(const std::string& name) const {
  impl_->Expect<QToolBar>(name, "tool bar");
  return impl_->barStyles[name];
}

void Form::SetToolBarStyle(const std::string& name, const ToolBarStyle& style) {
  auto& bar = impl_->Expect<QToolBar>(name, "tool bar");
  impl_->barStyles[name] = style;
  bar.setToolButtonStyle(style.ShowCaptions ? Qt::ToolButtonTextUnderIcon : Qt::ToolButtonIconOnly);
  bar.setMovable(style.DockSite);
  for (QToolButton* button : bar.findChildren<QToolButton*>(Qt::FindDirectChildrenOnly)) StyleButton(*button, style);
}

void Form::SetUpdatesSuspended(bool suspended) { impl_->Root().setUpdatesEnabled(!suspended); }

void Form::AddAction(const std::string& name, bool checkable) {
  auto* action = new QAction(&impl_->Root());
  action->setObjectName(Q(name));
  impl_->madeAtRunTime[name] = action;
  action->setCheckable(checkable);
}

void Form::RemoveAction(const std::string& name) {
  delete impl_->As<QAction>(name);
  impl_->madeAtRunTime.erase(name);
}

void Form::SetActionHint(const std::string& action, const std::string& hint) {
  auto& item = impl_->Expect<QAction>(action, "action");
  item.setToolTip(Q(hint));
  item.setStatusTip(Q(hint));
}

void Form::SetActionImage(const std::string& action, const ImageList& images, int index) {
  auto& item = impl_->Expect<QAction>(action, "action");
  if (images.Empty(index)) return item.setIcon(QIcon());
  item.setIcon(images.impl().Icon(index));
}

void Form::SetActionShortCut(const std::string& action, const std::string& shortCut) {
  impl_->Expect<QAction>(action, "action").setShortcut(QKeySequence::fromString(Q(shortCut), QKeySequence::PortableText));
}

std::string Form::ActionShortCut(const std::string& action) const {
  return S(impl_->Expect<QAction>(action, "action").shortcut().toString(QKeySequence::PortableText));
}

void Form::SetActionVisible(const std::string& action, bool visible) {
  impl_->Expect<QAction>(action, "action").setVisible(visible);
}

bool Form::ActionVisible(const std::string& action) const { return impl_->Expect<QAction>(action, "action").isVisible(); }

void Form::AddActionButton(const std::string& toolBar, const std::string& action, int cursor,
                           std::function<void()> contextMenu) {
  auto& bar = impl_->Expect<QToolBar>(toolBar, "tool bar");
  auto& item = impl_->Expect<QAction>(action, "action");
  bar.addAction(&item);
  auto* button = qobject_cast<QToolButton*>(bar.widgetForAction(&item));
  if (button == nullptr) return;
  button->setProperty(kToolCursor, cursor);
  button->setCursor(Qt::PointingHandCursor);
  if (contextMenu) {
    button->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(button, &QWidget::customContextMenuRequested, button, [contextMenu](const QPoint&) { contextMenu(); });
  }
  StyleButton(*button, GetToolBarStyle(toolBar));
}

void Form::AddSeparatorButton(const std::string& toolBar, bool divider) {
  auto& bar = impl_->Expect<QToolBar>(toolBar, "tool bar");
  auto* gap = new QFrame(&bar);
  gap->setFixedWidth(10);
  gap->setFrameShape(divider ? QFrame::VLine : QFrame::NoFrame);
  gap->setProperty("divider", divider);
  QAction* item = bar.addWidget(gap);
  item->setSeparator(true);
}

void Form::ClearToolBar(const std::string& toolBar) {
  auto& bar = impl_->Expect<QToolBar>(toolBar, "tool bar");
  const QList<QAction*> items = bar.actions();
  for (auto it = items.rbegin(); it != items.rend(); ++it) {
    bar.removeAction(*it);
    // Separators and embedded controls belong to the bar; actions do not.
    if ((*it)->parent() == &bar) delete *it;
  }
}

int Form::ToolButtonCount(const std::string& toolBar) const {
  return static_cast<int>(impl_->Expect<QToolBar>(toolBar, "tool bar").actions().size());
}

bool Form::ToolButtonIsSeparator(const std::string& toolBar, int button) const {
  const QList<QAction*> items = impl_->Expect<QToolBar>(toolBar, "tool bar").actions();
  return button >= 0 && button < items.size() && items[button]->isSeparator();
}

bool Form::ToolButtonIsDivider(const std::string& toolBar, int button) const {
  auto& bar = impl_->Expect<QToolBar>(toolBar, "tool bar");
  const QList<QAction*> items = bar.actions();
  if (button < 0 || button >= items.size()) return false;
  QWidget* widget = bar.widgetForAction(items[button]);
  return widget && widget->property("divider").toBool();
}

int Form::ToolButtonCursor(const std::string& toolBar, int button) const {
  QToolButton* found = ButtonAt(impl_->Expect<QToolBar>(toolBar, "tool bar"), button);
  return found ? found->property(kToolCursor).toInt() : 0;
}

void Form::EmbedInToolBar(const std::string& toolBar, const std::string& control) {
  auto& bar = impl_->Expect<QToolBar>(toolBar, "tool bar");
  auto& inner = impl_->Expect<QWidget>(control, "control");
  if (auto* window = qobject_cast<QMainWindow*>(&impl_->Root()); window && qobject_cast<QToolBar*>(&inner))
    window->removeToolBar(static_cast<QToolBar*>(&inner));
  QAction* item = bar.addWidget(&inner);
  item->setParent(&bar);
  inner.show();
}

void Form::AddActionMenuItem(const std::string& menuItem, const std::string& action) {
  impl_->Expect<QMenu>(menuItem, "menu item").addAction(&impl_->Expect<QAction>(action, "action"));
}

void Form::ClearMenuItem(const std::string& menuItem) { impl_->Expect<QMenu>(menuItem, "menu item").clear(); }

void Form::SetMenuItemVisible(const std::string& menuItem, bool visible) {
  impl_->Expect<QMenu>(menuItem, "menu item").menuAction()->setVisible(visible);
}

bool Form::MenuItemVisible(const std::string& menuItem) const {
  return impl_->Expect<QMenu>(menuItem, "menu item").menuAction()->isVisible();
}

void UserClickToolButton(Form& form, const std::string& toolBar, int button) {
  QToolButton* found = ButtonAt(form.impl().Expect<QToolBar>(toolBar, "tool bar"), button);
  if (found == nullptr) throw EFormLayoutError("Tool bar " + toolBar + " has no button " + std::to_string(button));
  found->click();
}

void UserContextMenuToolButton(Form& form, const std::string& toolBar, int button) {
  QToolButton* found = ButtonAt(form.impl().Expect<QToolBar>(toolBar, "tool bar"), button);
  if (found == nullptr) throw EFormLayoutError("Tool bar " + toolBar + " has no button " + std::to_string(button));
  emit found->customContextMenuRequested(QPoint(1, 1));
}

}  // namespace platform
