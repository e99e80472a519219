#include "window/TrayController.h"

#include "Seams.h"

namespace tolvane {

TrayController::TrayController(const AppSettings& settings, MainState& state, TrayIcon& icon,
                               TrayWindow& window)
    : m_settings(settings), m_state(state), m_icon(icon), m_window(window) {
  m_icon.SetOnClick([this] { OnIconClick(); });
}

void TrayController::ShowAtStart() {
  if (m_settings.timer == 0 || !AppSettings::IsOn(m_settings.startInTray)) {
    m_window.ShowWindowNormal();
  } else if (m_icon.IsAvailable()) {
    // Never shown yet: it comes out of the tray already in the middle of the screen.
    m_window.CentreOnWorkArea();
    m_icon.Show();
    m_state.m_inTray = true;
  } else {
    m_window.ShowWindowMinimised();
  }
}

void TrayController::OnMinimised() {
  if (m_state.m_inTray || !AppSettings::IsOn(m_settings.minimizeToTray) || !m_icon.IsAvailable())
    return;
  m_window.HideWindow();
  EnterTray();
}

void TrayController::OnIconClick() {
  if (!m_state.m_inTray) return;
  m_window.ShowWindowNormal();
  LeaveTray();
}

void TrayController::BringToFront() {
  m_window.ShowWindowNormal();
  LeaveTray();
}

void TrayController::OnEnd() { LeaveTray(); }

void TrayController::EnterTray() {
  m_icon.Show();
  m_state.m_inTray = true;
}

void TrayController::LeaveTray() {
  if (!m_state.m_inTray) return;
  m_icon.Hide();
  m_state.m_inTray = false;
}

void TrayController::NotifyWhileHidden(const std::string& text) {
  if (m_state.m_inTray && m_icon.IsAvailable()) m_icon.Notify(kAppName, text);
}

}  // namespace tolvane
