#pragma once
// "実行ログ": the recent runs from the run log, newest first. Each run opens to its lines
// (and its FTP conversation, when kept), and what did not get done is marked so it is seen at
// a glance. Not modal: it can stay open beside the main window while runs go on.
#include <QDialog>
#include <QIcon>
#include <QPointer>
#include <memory>
#include <vector>

#include "Seams.h"
#include "settings/AppSettings.h"
#include "upload/RunLogReader.h"

class QTreeWidgetItem;

namespace Ui {
class RunLogDialog;
}

namespace tolvane {

class RunLogDialog : public QDialog {
  Q_OBJECT
 public:
  RunLogDialog(const AppSettings& settings, Launcher& launcher, Prompts& prompts,
               QWidget* parent = nullptr);
  ~RunLogDialog() override;

  // Shows the window `open` points to, making it first; there is only ever one. A window
  // that was hidden reads the log again; one still in view is only brought forward.
  static RunLogDialog* ShowOne(QPointer<RunLogDialog>& open, const AppSettings& settings,
                               Launcher& launcher, Prompts& prompts, QWidget* parent);

  // Reads the log again; every run starts closed.
  void Reload();

 private:
  void AddRunRow(int index);
  void FillRun(QTreeWidgetItem* row);
  // The warning sign for what did not get done, an empty place for the rest.
  QIcon Mark(bool failure) const;
  void OnOpenFolder();

  std::unique_ptr<Ui::RunLogDialog> ui;
  const AppSettings& m_settings;
  Launcher& m_launcher;
  Prompts& m_prompts;
  std::vector<LoggedRun> m_runs;
};

}  // namespace tolvane
