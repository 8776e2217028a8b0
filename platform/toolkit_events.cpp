#include "platform/toolkit_events.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>

#include "platform/forms.h"

namespace platform {

void DeliverToolkitEvents() {
  if (QCoreApplication::instance() == nullptr) return;
  // Window-system events first: hiding and closing windows posts more.
  QCoreApplication::processEvents(QEventLoop::AllEvents);
  QCoreApplication::sendPostedEvents();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

namespace {

class PostsOnce : public QObject {
 public:
  int received = 0;
  bool event(QEvent* event) override {
    if (event->type() != QEvent::User) return QObject::event(event);
    if (++received == 1) QCoreApplication::postEvent(this, new QEvent(QEvent::User));
    return true;
  }
};

}  // namespace

struct WaitingToolkitWork::Impl {
  PostsOnce poster;
  bool deleted = false;
};

WaitingToolkitWork::WaitingToolkitWork() {
  EnsureWindowSystem();
  impl_ = std::make_unique<Impl>();
  QCoreApplication::postEvent(&impl_->poster, new QEvent(QEvent::User));
  auto* doomed = new QObject;
  QObject::connect(doomed, &QObject::destroyed, [impl = impl_.get()] { impl->deleted = true; });
  doomed->deleteLater();
}

WaitingToolkitWork::~WaitingToolkitWork() = default;

int WaitingToolkitWork::EventsDelivered() const { return impl_->poster.received; }
bool WaitingToolkitWork::DeferredObjectDeleted() const { return impl_->deleted; }

}  // namespace platform
