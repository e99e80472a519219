#include "window/TrayController.h"

namespace tolvane {

TrayController::TrayController(const AppSettings& settings, MainState& state, TrayIcon& icon,
                               TrayWindow& window)
    : settings_(settings), state_(state), icon_(icon), window_(window) {
  icon_.SetOnClick([this] { OnIconClick(); });
}

void TrayController::ShowAtStart() {
  if (settings_.timer == 0 || !AppSettings::IsOn(settings_.kidou)) {
    window_.ShowWindowNormal();
  } else if (icon_.IsAvailable()) {
    // Never shown yet: it comes out of the tray already in the middle of the screen.
    window_.CentreOnWorkArea();
    icon_.Show();
    state_.m_inTray = true;
  } else {
    window_.ShowWindowMinimised();
  }
}

void TrayController::OnMinimised() {
  if (state_.m_inTray || !AppSettings::IsOn(settings_.saisyou) || !icon_.IsAvailable()) return;
  window_.HideWindow();
  EnterTray();
}

void TrayController::OnIconClick() {
  if (!state_.m_inTray) return;
  window_.ShowWindowNormal();
  LeaveTray();
}

void TrayController::BringToFront() {
  window_.ShowWindowNormal();
  LeaveTray();
}

void TrayController::OnEnd() { LeaveTray(); }

void TrayController::EnterTray() {
  icon_.Show();
  state_.m_inTray = true;
}

void TrayController::LeaveTray() {
  if (!state_.m_inTray) return;
  icon_.Hide();
  state_.m_inTray = false;
}

}  // namespace tolvane
