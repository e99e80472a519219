#include "QtTrayIcon.h"

#include "Seams.h"

namespace tolvane {

QtTrayIcon::QtTrayIcon(const QIcon& icon, QObject* parent) : QObject(parent), icon_(icon) {
  icon_.setToolTip(QString::fromUtf8(kAppName));
  connect(&icon_, &QSystemTrayIcon::activated, this, &QtTrayIcon::OnActivated);
}

bool QtTrayIcon::IsAvailable() const { return QSystemTrayIcon::isSystemTrayAvailable(); }

void QtTrayIcon::Show() { icon_.show(); }

void QtTrayIcon::Hide() { icon_.hide(); }

void QtTrayIcon::OnActivated(QSystemTrayIcon::ActivationReason reason) {
  // Only the plain left click; the icon has no menu.
  if (reason == QSystemTrayIcon::Trigger) Clicked();
}

}  // namespace tolvane
