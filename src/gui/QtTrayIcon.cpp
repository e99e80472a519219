#include "QtTrayIcon.h"

#include "Seams.h"

namespace tolvane {

QtTrayIcon::QtTrayIcon(const QIcon& icon, QObject* parent) : QObject(parent), m_icon(icon) {
  m_icon.setToolTip(QString::fromUtf8(kAppName));
  connect(&m_icon, &QSystemTrayIcon::activated, this, &QtTrayIcon::OnActivated);
}

bool QtTrayIcon::IsAvailable() const { return QSystemTrayIcon::isSystemTrayAvailable(); }

void QtTrayIcon::Show() { m_icon.show(); }

void QtTrayIcon::Hide() { m_icon.hide(); }

void QtTrayIcon::Notify(const std::string& title, const std::string& text) {
  m_icon.showMessage(QString::fromStdString(title), QString::fromStdString(text));
}

void QtTrayIcon::OnActivated(QSystemTrayIcon::ActivationReason reason) {
  // Only the plain left click; the icon has no menu.
  if (reason == QSystemTrayIcon::Trigger) Clicked();
}

}  // namespace tolvane
