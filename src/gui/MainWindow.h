#pragma once
// The main window: list selector, file list, upload button, the two status lines, the menu,
// the 250 ms timer and the tray icon. The logic behind it lives in the core; this class only
// wires the controls to it.
#include <QDialog>
#include <QPointer>
#include <QTimer>
#include <memory>

#include "Seams.h"
#include "schedule/ScheduleTicker.h"
#include "settings/AppSettings.h"
#include "window/HeldPrompts.h"
#include "window/MainState.h"
#include "window/MainView.h"
#include "window/TrayController.h"

namespace Ui {
class MainWindow;
}

namespace tolvane {

class RunLogDialog;
class TrayIcon;

class MainWindow : public QDialog, public MainView, public StatusLines, private TrayWindow {
  Q_OBJECT
 public:
  // The machine as the window sees it; tests pass fakes.
  struct Seams {
    Prompts& prompts;
    Clock& clock;
    Shutdown& shutdown;
    Launcher& launcher;
    TrayIcon& tray;
  };

  MainWindow(AppSettings& settings, const Seams& seams, QWidget* parent = nullptr);
  ~MainWindow() override;

  // The window's start-up: fills the controls, applies the stored schedule switch, shows the
  // window (or keeps it in the tray) and starts the 250 ms timer.
  void Start();
  // Start, then wait until the window has ended; returns its result.
  int Exec();
  bool HasEnded() const { return m_ended; }

  MainState& State() { return m_state; }
  MainContext& Context() { return m_ctx; }

  // Ending while an upload run or clock check is busy only hides the window and sets
  // m_state.m_closing; the window ends once m_busy is clear again.
  void done(int result) override;
  // The system asks the program to end: a run in progress breaks its transfer off and
  // cleans up, open message boxes are closed, and the window ends.
  void Terminate();

  // MainView
  int ListCount() const override;
  std::string ListName(int index) const override;
  int ListSelection() const override;
  void AppendList(const std::string& name) override;
  void RemoveList(int index) override;
  void SelectList(int index) override;
  void SetFileNames(const std::vector<std::string>& names) override;
  int FileSelection() const override;
  void FocusFileList() override;
  void SetUploadEnabled(bool enabled) override;
  void SetTimerChecked(bool checked) override;
  bool CtrlDown() const override;
  bool ShiftDown() const override;
  bool AltDown() const override;
  void BringToFront() override;

  // StatusLines
  void SetStatus(const std::string& text) override;
  void SetFileLine(const std::string& text) override;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void OnInitDialog();
  void ConnectControls();
  void OnTick();
  void OnUploadButton();
  void FinishPendingClose();

  // The upload run (the button, and the schedule through the ticker), and its preview (the
  // button with Alt held, and the menu).
  void OnUpload();
  void OnPreview();
  void OnScheduledUpload(const TimerEntry& entry);
  void OnMissedRuns(const std::vector<MissedRun>& missed);

  // Menu commands.
  void OnSettings();
  void OnServerSettings();
  void CheckServerClock();
  void OnRunLog();
  void OnExit();
  void OnNewList();
  void OnEditList();
  void OnDeleteList();
  void OnOpenFile();
  void OnHtmlEdit();
  void OnTimerOn();
  void OnTimerSettings();
  void OnAbout();

  // TrayWindow
  void HideWindow() override;
  void ShowWindowNormal() override;
  void ShowWindowMinimised() override;
  void CentreOnWorkArea() override;

  std::unique_ptr<Ui::MainWindow> ui;
  MainState m_state;
  Seams m_seams;
  HeldPrompts m_prompts;
  MainContext m_ctx;
  ScheduleTicker m_ticker;
  TrayController m_tray;
  QTimer m_timer;
  QPointer<RunLogDialog> m_runLog;  // the one log window, while it is open
  int m_pendingResult = Rejected;
  bool m_ended = false;
};

}  // namespace tolvane
