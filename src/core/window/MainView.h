#pragma once
// What the program's logic needs of the main window's controls. The Qt window implements it;
// tests use a plain fake.
#include <string>
#include <vector>

namespace tolvane {

class MainView {
 public:
  virtual ~MainView() = default;

  // The list selector, unsorted.
  virtual int ListCount() const = 0;
  virtual std::string ListName(int index) const = 0;
  virtual int ListSelection() const = 0;  // -1 when nothing is selected
  virtual void AppendList(const std::string& name) = 0;
  virtual void RemoveList(int index) = 0;
  virtual void SelectList(int index) = 0;  // -1 leaves no selection

  // The file list: display names, nothing selected afterwards.
  virtual void SetFileNames(const std::vector<std::string>& names) = 0;
  virtual int FileSelection() const = 0;  // -1 when nothing is selected
  virtual void FocusFileList() = 0;

  // The upload button.
  virtual void SetUploadEnabled(bool enabled) = 0;

  // The check mark of the menu item "タイマー ON".
  virtual void SetTimerChecked(bool checked) = 0;

  // Keyboard state at the moment of asking.
  virtual bool CtrlDown() const = 0;
  virtual bool ShiftDown() const = 0;
  virtual bool AltDown() const = 0;

  // Shows the window normally (out of the tray if it is there), in front, painted at once.
  virtual void BringToFront() = 0;
};

// Everything the window's commands work with, handed to each piece of logic.
struct AppSettings;
struct MainState;
class Prompts;
class StatusLines;
class Clock;

struct MainContext {
  AppSettings& settings;
  MainState& state;
  MainView& view;
  Prompts& prompts;
  StatusLines& status;
  Clock& clock;
};

}  // namespace tolvane
