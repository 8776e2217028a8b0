#pragma once
// What the units of a form share: the window behind it with its controls by
// name and the handlers of their events, and the small helpers between Qt's
// texts and ours.  Only the form's own units include it.
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include <QAction>
#include <QEventLoop>
#include <QIcon>
#include <QImage>
#include <QLabel>
#include <QMenuBar>
#include <QObject>
#include <QPixmap>
#include <QPointer>
#include <QStatusBar>
#include <QString>
#include <QTimer>
#include <QTreeWidget>
#include <QWidget>

#include "platform/app_queue.h"
#include "platform/canvas.h"
#include "platform/dialogs.h"
#include "platform/event_handlers.h"
#include "platform/forms.h"

namespace platform {

inline QString Q(const std::string& text) { return QString::fromStdString(text); }

// An event handler as Qt calls it: nothing may leave a slot, so what the
// handler raises goes to the application's exception hook.
inline std::function<void()> Guarded(std::function<void()> handler) {
  return [handler = std::move(handler)] {
    try {
      RunEventHandler(handler);
    } catch (...) {
      Application::Instance().ReportException(std::current_exception());
    }
  };
}
inline std::string S(const QString& text) { return text.toStdString(); }

// The one simple panel of a status bar: a label across its width.
inline QLabel& StatusPanel(QStatusBar& bar) {
  auto* panel = bar.findChild<QLabel*>("qt_status_panel");
  if (panel == nullptr) {
    panel = new QLabel(&bar);
    panel->setObjectName("qt_status_panel");
    bar.addWidget(panel, 1);
  }
  return *panel;
}

inline constexpr const char* kModalResult = "modalResult";
inline constexpr const char* kDirectory = "directory";
inline constexpr const char* kEntersFolders = "entersFolders";
inline constexpr const char* kFormMessage = "formMessage";
inline constexpr const char* kFileMask = "fileMask";
inline constexpr const char* kDriveBox = "driveBox";
inline constexpr const char* kPopupMenu = "popupMenu";
inline constexpr const char* kImageControl = "imageControl";
inline constexpr const char* kScreenCursor = "screenCursor";

inline constexpr int kNodeRole = Qt::UserRole;
inline constexpr int kDataRole = Qt::UserRole + 1;
inline constexpr int kImageRole = Qt::UserRole + 2;

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

  bool eventFilter(QObject* watched, QEvent* event) override;
};

// Captions of a menu's, menu bar's or tool bar's items; separators read "-".
inline std::vector<std::string> ActionTexts(const QWidget& holder) {
  std::vector<std::string> texts;
  for (const QAction* action : holder.actions()) texts.push_back(action->isSeparator() ? "-" : S(action->text()));
  return texts;
}

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

}  // namespace platform
