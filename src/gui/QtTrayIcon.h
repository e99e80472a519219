#pragma once
#include <QObject>
#include <QSystemTrayIcon>

#include "window/TrayIcon.h"

namespace tolvane {

// The tray icon as QSystemTrayIcon: the program's icon, its name as tooltip, no menu.
class QtTrayIcon : public QObject, public TrayIcon {
  Q_OBJECT
 public:
  explicit QtTrayIcon(const QIcon& icon, QObject* parent = nullptr);

  bool IsAvailable() const override;
  void Show() override;
  void Hide() override;
  void Notify(const std::string& title, const std::string& text) override;

 private:
  void OnActivated(QSystemTrayIcon::ActivationReason reason);

  QSystemTrayIcon m_icon;
};

}  // namespace tolvane
