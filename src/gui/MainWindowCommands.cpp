// The main window's commands: the upload button and the menu. Each leads into the part of
// the program that does the work.
#include "MainWindow.h"

#include <QtGlobal>

#include "GeneralSettingsDialog.h"
#include "ListEditorDialogRunner.h"
#include "PreviewDialog.h"
#include "RunLogDialog.h"
#include "ServerSettingsDialog.h"
#include "TimerListDialog.h"
#include "lists/FileCommands.h"
#include "lists/ListCommands.h"
#include "schedule/TimerSettingsCommand.h"
#include "start/AboutText.h"
#include "upload/ClockCheck.h"
#include "upload/UploadStarter.h"

namespace tolvane {

void MainWindow::OnUpload() {
  if (m_state.m_closing) return;
  UploadFromButton(m_ctx);
}

void MainWindow::OnPreview() {
  if (m_state.m_closing) return;
  std::optional<UploadPreview> preview = PreviewFromButton(m_ctx);
  if (!preview || m_state.m_closing) return;
  PreviewDialog dialog(*preview, this);
  if (dialog.exec() != QDialog::Accepted || m_state.m_closing) return;
  UploadListNow(m_ctx, preview->request.listName, preview->request.mode);
}

void MainWindow::OnScheduledUpload(const TimerEntry& entry) {
  if (m_state.m_closing) return;
  if (UploadFromSchedule(m_ctx, entry)) m_tray.NotifyWhileHidden(m_state.m_lastResult);
}

void MainWindow::OnMissedRuns(const std::vector<MissedRun>& missed) {
  RecordMissedRuns(m_ctx, missed);
  m_tray.NotifyWhileHidden(m_state.m_lastResult);
}

void MainWindow::OnSettings() { GeneralSettingsDialog::Run(m_ctx, this); }

void MainWindow::OnServerSettings() { ServerSettingsDialog::Run(m_ctx, this); }

void MainWindow::CheckServerClock() {
  ClockCheck check(m_ctx, [this] { ServerSettingsDialog::Run(m_ctx, this); });
  check.CheckServerClock();
}

void MainWindow::OnRunLog() {
  RunLogDialog::ShowOne(m_runLog, m_ctx.settings, m_seams.launcher, m_ctx.prompts, this);
}

void MainWindow::OnExit() { reject(); }

void MainWindow::OnAbout() {
  m_ctx.prompts.Show(AboutText(m_ctx.settings, qVersion()), kCaptionAbout, Icon::Information,
                     Buttons::Ok);
}

void MainWindow::OnNewList() {
  ListEditorDialogRunner editor(m_ctx, this);
  NewList(m_ctx, editor);
}

void MainWindow::OnEditList() {
  ListEditorDialogRunner editor(m_ctx, this);
  EditList(m_ctx, editor);
}

void MainWindow::OnDeleteList() { DeleteList(m_ctx); }

void MainWindow::OnOpenFile() { tolvane::OnOpenFile(m_ctx, m_seams.launcher); }

void MainWindow::OnHtmlEdit() { tolvane::OnHtmlEdit(m_ctx, m_seams.launcher); }

void MainWindow::OnTimerOn() { m_ticker.OnTimerOn(); }

void MainWindow::OnTimerSettings() {
  TimerSettingsCommand(m_ctx, [this] {
    TimerListDialog dialog(m_ctx, m_ticker, this);
    dialog.exec();
  });
}

}  // namespace tolvane
