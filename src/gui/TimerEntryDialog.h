#pragma once
// "設定追加" / "設定編集": one schedule entry — its kind, month, day, weekday, hour and minute,
// the list to upload and whether to power off afterwards. Its OK puts the entry straight into
// the list dialog that opened it.
#include <QDialog>
#include <memory>

#include "schedule/TimerEntryForm.h"
#include "window/MainView.h"

class QLineEdit;

namespace Ui {
class TimerEntryDialog;
}

namespace tolvane {

class TimerListDialog;

class TimerEntryDialog : public QDialog {
  Q_OBJECT
 public:
  // `ctx` is the main window's; `listDlg` the list dialog that receives the entry.
  TimerEntryDialog(MainContext& ctx, TimerListDialog* listDlg, QWidget* parent = nullptr);
  ~TimerEntryDialog() override;

  // Set by the list dialog before exec().
  bool m_editMode = false;
  int m_editIndex = -1;  // the row being edited

  // Fills the controls (add: empty; edit: entry m_editIndex), then runs the dialog modally.
  int exec() override;

 private:
  void OnInitDialog();
  void OnKindChanged(int index);
  void OnOk();

  // The controls into m_form, and m_form back into the controls.
  void ReadControls();
  void ShowForm();
  QLineEdit* FieldEdit(EntryField field) const;

  std::unique_ptr<Ui::TimerEntryDialog> ui;
  MainContext& m_ctx;
  TimerListDialog* m_listDlg;
  TimerEntryForm m_form;
};

}  // namespace tolvane
