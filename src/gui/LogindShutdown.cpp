#include "LogindShutdown.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QProcess>
#include <QStringList>

namespace tolvane {
namespace {

// logind answers at once (a refusal included); the bound only guards against a hung bus.
constexpr int kCallTimeoutMs = 10000;

bool AskLogind() {
  QDBusConnection bus = QDBusConnection::systemBus();
  if (!bus.isConnected()) return false;
  QDBusMessage call = QDBusMessage::createMethodCall(
      QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
      QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("PowerOff"));
  call << false;  // not interactive
  QDBusMessage reply = bus.call(call, QDBus::Block, kCallTimeoutMs);
  return reply.type() == QDBusMessage::ReplyMessage;
}

}  // namespace

void LogindShutdown::PowerOff() {
  if (AskLogind()) return;
  QProcess::startDetached(QStringLiteral("systemctl"), {QStringLiteral("poweroff")});
}

}  // namespace tolvane
