#pragma once
// "タイマー設定": the schedule as a list of rows. Add, edit and delete change a working copy;
// OK writes it over timer.ini and has the main window rebuild its day selection.
#include <QDialog>
#include <memory>
#include <string>

#include "schedule/ScheduleTicker.h"
#include "schedule/TimerListForm.h"
#include "window/MainView.h"

namespace Ui {
class TimerListDialog;
}

namespace tolvane {

class TimerListDialog : public QDialog {
  Q_OBJECT
 public:
  // `ctx` is the main window's: its list selector names the lists, its clock dates one-shot
  // entries. `ticker` is the main window's schedule.
  TimerListDialog(MainContext& ctx, ScheduleTicker& ticker, QWidget* parent = nullptr);
  ~TimerListDialog() override;

  // The entry editor's OK puts its entry here.
  const TimerListForm& Model() const { return m_model; }
  void AddEntry(const TimerEntry& entry, const std::string& rowText);
  void ReplaceEntry(int row, const TimerEntry& entry, const std::string& rowText);

 private:
  void OnInitDialog();
  int SelectedRow() const;
  void RunEditor(bool editMode, int row);

  void OnAdd();
  void OnEdit();
  void OnDelete();
  void OnOk();

  std::unique_ptr<Ui::TimerListDialog> ui;
  MainContext& m_ctx;
  ScheduleTicker& m_ticker;
  TimerListForm m_model;
};

}  // namespace tolvane
