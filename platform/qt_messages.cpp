#include "platform/qt_messages.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <cstdio>
#include <cstdlib>

namespace platform {
namespace {

QtMessageHandler previous = nullptr;

void Handler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (type != QtFatalMsg) {
    if (previous) previous(type, context, message);
    return;
  }
  std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
  std::fflush(stderr);
  std::_Exit(1);
}

bool Set(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0';
}

}  // namespace

void EndOnFatalQtMessage() { previous = qInstallMessageHandler(Handler); }

void UseOffscreenWithoutDisplay() {
  if (!Set("DISPLAY") && !Set("WAYLAND_DISPLAY") && !Set("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", QByteArray("offscreen"));
}

}  // namespace platform
