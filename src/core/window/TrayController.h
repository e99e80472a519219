#pragma once
// When the main window hides in the task tray and when it comes back.
#include "settings/AppSettings.h"
#include "window/MainState.h"
#include "window/TrayIcon.h"

namespace tolvane {

// What the tray needs of the window itself.
class TrayWindow {
 public:
  virtual ~TrayWindow() = default;
  virtual void HideWindow() = 0;
  // Normal size (also out of the minimised state), in front, painted at once.
  virtual void ShowWindowNormal() = 0;
  virtual void ShowWindowMinimised() = 0;
  // Places the (not yet shown) window in the middle of the screen's work area.
  virtual void CentreOnWorkArea() = 0;
};

class TrayController {
 public:
  TrayController(const AppSettings& settings, MainState& state, TrayIcon& icon, TrayWindow& window);

  // The window's first appearance: normally, or, with the schedule on and `startInTray` set,
  // hidden in the tray (minimised where there is no tray).
  void ShowAtStart();
  // The user minimised the window.
  void OnMinimised();
  // A left click on the tray icon.
  void OnIconClick();
  // A scheduled upload wants the window in front.
  void BringToFront();
  // The window ends: the icon must not outlive it.
  void OnEnd();
  // What a run did, told beside the icon while the window is hidden in the tray.
  void NotifyWhileHidden(const std::string& text);

 private:
  void EnterTray();
  void LeaveTray();

  const AppSettings& m_settings;
  MainState& m_state;
  TrayIcon& m_icon;
  TrayWindow& m_window;
};

}  // namespace tolvane
