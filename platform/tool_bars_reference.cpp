#include "platform/tool_bars_reference.h"

#include <QAction>
#include <QActionEvent>
#include <QCoreApplication>
#include <QIcon>
#include <QImage>
#include <QMainWindow>
#include <QPixmap>
#include <QToolBar>

#include "platform/forms.h"

namespace platform {
namespace {

class ToolBarEvents : public QObject {
 public:
  explicit ToolBarEvents(int size) : size_(size) {}
  ToolBarsSeen seen;

  bool eventFilter(QObject* receiver, QEvent* event) override {
    if (event->type() == QEvent::ActionAdded && receiver->inherits("QToolBar")) {
      const QAction* action = static_cast<QActionEvent*>(event)->action();
      const QImage icon = action->icon().pixmap(QSize(size_, size_)).toImage().convertToFormat(QImage::Format_ARGB32);
      ToolBarAction added{action->isCheckable(), icon.width(), icon.height(), {}};
      for (int y = 0; y < icon.height(); ++y)
        for (int x = 0; x < icon.width(); ++x) added.IconArgb.push_back(icon.pixel(x, y));
      seen.Added.push_back(std::move(added));
    }
    if (event->type() == QEvent::Show && receiver->inherits("QMainWindow")) ++seen.WindowsShown;
    return false;
  }

 private:
  int size_;
};

}  // namespace

void BuildToolBarsWithQt(int groups, int tools, const std::vector<std::string>& imageFiles, int size) {
  EnsureWindowSystem();
  QMainWindow window;
  for (int g = 0; g < groups; ++g) {
    auto* bar = new QToolBar(&window);
    bar->setObjectName("tb_" + QString::number(g));
    window.addToolBar(Qt::TopToolBarArea, bar);
    std::vector<QIcon> icons;
    for (const std::string& file : imageFiles) {
      QImage picture(QString::fromStdString(file));
      picture = picture.scaled(size, size).convertToFormat(QImage::Format_ARGB32);
      const QRgb key = picture.pixel(0, 0);
      for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
          if (picture.pixel(x, y) == key) picture.setPixel(x, y, qRgba(0, 0, 0, 0));
      icons.emplace_back(QPixmap::fromImage(picture));
    }
    for (int t = 0; t < tools; ++t) {
      auto* action = new QAction(QString::number(t), &window);
      action->setCheckable(true);
      action->setToolTip("hint");
      if (!icons.empty()) action->setIcon(icons[static_cast<std::size_t>(t) % icons.size()]);
      bar->addAction(action);
    }
  }
  window.show();
}

ToolBarsSeen WatchToolBarsBuiltWithQt(int groups, int tools, const std::vector<std::string>& imageFiles, int size) {
  EnsureWindowSystem();
  ToolBarEvents events(size);
  QCoreApplication::instance()->installEventFilter(&events);
  BuildToolBarsWithQt(groups, tools, imageFiles, size);
  QCoreApplication::instance()->removeEventFilter(&events);
  return std::move(events.seen);
}

}  // namespace platform
