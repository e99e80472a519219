// The main window's commands: the upload button and the menu. Each leads into the part of
// the program that does the work.
#include "app/CmainDlg.h"

#include "commands/FileCommands.h"
#include "lists/ClistDlgRunner.h"
#include "lists/ListCommands.h"
#include "schedule/CtimerDlg.h"
#include "schedule/TimerSettingsCommand.h"
#include "settings/ChostsetteiDlg.h"
#include "settings/CsetteiDlg.h"
#include "transfer/ClockCheck.h"
#include "transfer/UploadStarter.h"

namespace tolvane {

void CmainDlg::OnUpload() {
  if (m_state.m_closing) return;
  UploadFromButton(m_ctx);
}

void CmainDlg::OnScheduledUpload(const TimerEntry& entry) {
  if (m_state.m_closing) return;
  UploadFromSchedule(m_ctx, entry);
}

void CmainDlg::OnSettings() { CsetteiDlg::Run(m_ctx, this); }

void CmainDlg::OnServerSettings() { ChostsetteiDlg::Run(m_ctx, this); }

void CmainDlg::CheckServerClock() {
  ClockCheck check(m_ctx, [this] { ChostsetteiDlg::Run(m_ctx, this); });
  check.CheckServerClock();
}

void CmainDlg::OnExit() { reject(); }

void CmainDlg::OnNewList() {
  ClistDlgRunner editor(m_ctx, this);
  NewList(m_ctx, editor);
}

void CmainDlg::OnEditList() {
  ClistDlgRunner editor(m_ctx, this);
  EditList(m_ctx, editor);
}

void CmainDlg::OnDeleteList() { DeleteList(m_ctx); }

void CmainDlg::OnOpenFile() { tolvane::OnOpenFile(m_ctx, m_seams.launcher); }

void CmainDlg::OnHtmlEdit() { tolvane::OnHtmlEdit(m_ctx, m_seams.launcher); }

void CmainDlg::OnTimerOn() { m_ticker.OnTimerOn(); }

void CmainDlg::OnTimerSettings() {
  TimerSettingsCommand(m_ctx, [this] {
    CtimerDlg dialog(m_ctx, m_ticker, this);
    dialog.exec();
  });
}

}  // namespace tolvane
