#include "platform/toolkit_events.h"

#include <QCoreApplication>
#include <QEvent>

namespace platform {

void DeliverToolkitEvents() {
  if (QCoreApplication::instance() == nullptr) return;
  // Window-system events first: hiding and closing windows posts more.
  QCoreApplication::processEvents(QEventLoop::AllEvents);
  QCoreApplication::sendPostedEvents();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace platform
