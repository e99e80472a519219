// The main window's commands: the upload button and the menu. Each leads into the part of
// the program that does the work.
#include "app/CmainDlg.h"

namespace tolvane {

void CmainDlg::OnUpload() {
  // TODO(upload run): the run itself; it returns at once while m_busy or m_closing is set.
}

void CmainDlg::OnSettings() {}

void CmainDlg::OnServerSettings() {}

void CmainDlg::CheckServerClock() {}

void CmainDlg::OnExit() { reject(); }

void CmainDlg::OnNewList() {}

void CmainDlg::OnEditList() {}

void CmainDlg::OnDeleteList() {}

void CmainDlg::OnOpenFile() {}

void CmainDlg::OnHtmlEdit() {}

void CmainDlg::OnTimerOn() { m_ticker.OnTimerOn(); }

void CmainDlg::OnTimerSettings() {}

}  // namespace tolvane
