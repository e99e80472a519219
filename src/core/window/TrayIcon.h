#pragma once
// The task-tray icon of the main window. The desktop may have no tray at all; callers ask
// first, because a window hidden without an icon would leave the user no way back.
#include <functional>
#include <string>
#include <utility>

namespace tolvane {

class TrayIcon {
 public:
  virtual ~TrayIcon() = default;
  virtual bool IsAvailable() const = 0;
  virtual void Show() = 0;
  virtual void Hide() = 0;
  // A short notice beside the icon, where the desktop shows such notices.
  virtual void Notify(const std::string& /*title*/, const std::string& /*text*/) {}

  // Called on a left click on the icon; other clicks do nothing.
  void SetOnClick(std::function<void()> handler) { m_onClick = std::move(handler); }

 protected:
  void Clicked() {
    if (m_onClick) m_onClick();
  }

 private:
  std::function<void()> m_onClick;
};

}  // namespace tolvane
