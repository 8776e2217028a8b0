#include "platform/qt_messages.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <cstdio>
#include <cstdlib>
#include <string>

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

std::string echoPrefix;

void Echo(QtMsgType, const QMessageLogContext&, const QString& message) {
  std::fprintf(stderr, "%s%s\n", echoPrefix.c_str(), message.toLocal8Bit().constData());
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

void LogToolkitMessage(ToolkitMessage kind, const std::string& text) {
  const QByteArray local = QString::fromStdString(text).toLocal8Bit();
  switch (kind) {
    case ToolkitMessage::Info:
      qInfo("%s", local.constData());
      break;
    case ToolkitMessage::Warning:
      qWarning("%s", local.constData());
      break;
    case ToolkitMessage::Fatal:
      qFatal("%s", local.constData());
  }
}

void EchoToolkitMessages(const std::string& prefix) {
  echoPrefix = prefix;
  qInstallMessageHandler(Echo);
}

}  // namespace platform
