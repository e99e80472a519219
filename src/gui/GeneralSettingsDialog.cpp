#include "GeneralSettingsDialog.h"

#include <QDir>
#include <QFileDialog>
#include <QPushButton>

#include "DialogFrame.h"
#include "ui_GeneralSettingsDialog.h"
#include "window/BusyGuard.h"

namespace tolvane {

GeneralSettingsDialog::FolderPicker GeneralSettingsDialog::SystemFolderPicker() {
  return [](QWidget* parent) {
    // Starts at the top of the person's own files, not at the current value.
    return QFileDialog::getExistingDirectoryUrl(
        parent, QStringLiteral("フォルダを選択してください"), QUrl::fromLocalFile(QDir::homePath()),
        QFileDialog::ShowDirsOnly, {QStringLiteral("file")});
  };
}

GeneralSettingsDialog::ProgramPicker GeneralSettingsDialog::SystemProgramPicker() {
  return [](QWidget* parent) {
    // Programs on Linux have no extension, so the only filter is every file.
    return QFileDialog::getOpenFileName(parent, QStringLiteral("開く"), QString(),
                                        QStringLiteral("すべてのファイル (*)"));
  };
}

GeneralSettingsDialog::GeneralSettingsDialog(MainContext& owner, QWidget* parent)
    : QDialog(parent),
      ui(std::make_unique<Ui::GeneralSettingsDialog>()),
      m_owner(owner),
      m_form(owner.settings, owner.prompts) {
  ui->setupUi(this);
  UseDialogFrame(*this, DialogSize::Fixed);
  IgnoreEnterKey(*this);
  connect(ui->okButton, &QPushButton::clicked, this, &GeneralSettingsDialog::OnOk);
  connect(ui->cancelButton, &QPushButton::clicked, this, &GeneralSettingsDialog::reject);
  connect(ui->localBrowseButton, &QPushButton::clicked, this,
          &GeneralSettingsDialog::OnBrowseFolder);
  connect(ui->editorBrowseButton, &QPushButton::clicked, this,
          &GeneralSettingsDialog::OnBrowseEditor);
  OnInitDialog();
}

GeneralSettingsDialog::~GeneralSettingsDialog() = default;

void GeneralSettingsDialog::Run(MainContext& owner, QWidget* parent) {
  // A run pumps events, so the menu can arrive in the middle of one: the dialog would hold the
  // run still for as long as it stays open, and its OK would change what the run is using.
  if (RefuseWhileBusy(owner)) return;
  GeneralSettingsDialog dialog(owner, parent);
  dialog.exec();
}

void GeneralSettingsDialog::OnInitDialog() {
  std::vector<std::string> names;
  for (int i = 0; i < m_owner.view.ListCount(); ++i) names.push_back(m_owner.view.ListName(i));
  const GeneralSettingsFields fields = m_form.Initial(names);
  for (const std::string& name : names) ui->startCombo->addItem(QString::fromStdString(name));
  ui->startCombo->setCurrentIndex(fields.startIndex);
  ui->localEdit->setText(QString::fromStdString(fields.localfolder));
  ui->editorEdit->setText(QString::fromStdString(fields.editor));
  ui->shiftCheck->setChecked(fields.shift);
  ui->ctrlCheck->setChecked(fields.ctrl);
  ui->logFtpCheck->setChecked(fields.logFtp);
  ui->minimizeToTrayCheck->setChecked(fields.minimizeToTray);
  ui->startInTrayCheck->setChecked(fields.startInTray);
  ui->raiseOnScheduledRunCheck->setChecked(fields.raiseOnScheduledRun);
  ui->autostartCheck->setChecked(fields.autostart);
  ui->autostartCheck->setEnabled(fields.autostartAvailable);
  ui->startCombo->setFocus();
}

GeneralSettingsFields GeneralSettingsDialog::ReadFields() const {
  GeneralSettingsFields fields;
  fields.startIndex = ui->startCombo->currentIndex();
  if (fields.startIndex >= 0) fields.start = ui->startCombo->currentText().toStdString();
  fields.localfolder = ui->localEdit->text().toStdString();
  fields.editor = ui->editorEdit->text().toStdString();
  fields.shift = ui->shiftCheck->isChecked();
  fields.ctrl = ui->ctrlCheck->isChecked();
  fields.logFtp = ui->logFtpCheck->isChecked();
  fields.minimizeToTray = ui->minimizeToTrayCheck->isChecked();
  fields.startInTray = ui->startInTrayCheck->isChecked();
  fields.raiseOnScheduledRun = ui->raiseOnScheduledRunCheck->isChecked();
  fields.autostart = ui->autostartCheck->isChecked();
  return fields;
}

void GeneralSettingsDialog::OnBrowseFolder() {
  const QUrl chosen = m_folderPicker(this);
  if (chosen.isEmpty()) return;
  const QString path = chosen.isLocalFile() ? chosen.toLocalFile() : QString();
  if (path.isEmpty()) {
    m_owner.prompts.Error("フォルダパスを取得できませんでした");
    return;
  }
  ui->localEdit->setText(path);
}

void GeneralSettingsDialog::OnBrowseEditor() {
  const QString chosen = m_programPicker(this);
  if (!chosen.isEmpty()) ui->editorEdit->setText(chosen);
}

void GeneralSettingsDialog::OnOk() {
  const GeneralFormStep step = m_form.Ok(ReadFields());
  if (step.close) {
    accept();
    return;
  }
  const std::pair<GeneralField, QWidget*> controls[] = {
      {GeneralField::Start, ui->startCombo},
      {GeneralField::Localfolder, ui->localEdit},
      {GeneralField::Editor, ui->editorEdit},
  };
  for (const auto& [which, control] : controls) {
    if (which == step.focus) control->setFocus();
  }
}

}  // namespace tolvane
