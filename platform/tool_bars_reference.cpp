#include "platform/tool_bars_reference.h"

#include <QAction>
#include <QIcon>
#include <QImage>
#include <QMainWindow>
#include <QPixmap>
#include <QToolBar>

#include "platform/forms.h"

namespace platform {

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

}  // namespace platform
