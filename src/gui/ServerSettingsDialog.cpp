#include "ServerSettingsDialog.h"

#include <QPushButton>

#include "DialogFrame.h"
#include "ui_ServerSettingsDialog.h"
#include "window/BusyGuard.h"
#include "window/MainState.h"

namespace tolvane {

ServerSettingsDialog::ServerSettingsDialog(MainContext& owner, QWidget* parent)
    : QDialog(parent),
      ui(std::make_unique<Ui::ServerSettingsDialog>()),
      m_owner(owner),
      m_form(owner.settings, owner.state.m_asciiExts, owner.prompts) {
  ui->setupUi(this);
  UseDialogFrame(*this, DialogSize::Fixed);
  IgnoreEnterKey(*this);
  connect(ui->okButton, &QPushButton::clicked, this, &ServerSettingsDialog::OnOk);
  connect(ui->cancelButton, &QPushButton::clicked, this, &ServerSettingsDialog::reject);
  connect(ui->addButton, &QPushButton::clicked, this, &ServerSettingsDialog::OnAdd);
  connect(ui->deleteButton, &QPushButton::clicked, this, &ServerSettingsDialog::OnDelete);
  connect(ui->forgetPinButton, &QPushButton::clicked, this, &ServerSettingsDialog::OnForgetPin);
  OnInitDialog();
}

ServerSettingsDialog::~ServerSettingsDialog() = default;

void ServerSettingsDialog::Run(MainContext& owner, QWidget* parent) {
  // A run pumps events, so the menu can arrive in the middle of one: the dialog would hold the
  // run still for as long as it stays open, and its OK would change what the run is using.
  if (RefuseWhileBusy(owner)) return;
  ServerSettingsDialog dialog(owner, parent);
  dialog.exec();
}

void ServerSettingsDialog::OnInitDialog() {
  const ServerSettingsFields fields = m_form.Initial();
  ui->hostEdit->setText(QString::fromStdString(fields.hostname));
  ui->userEdit->setText(QString::fromStdString(fields.username));
  ui->passwordEdit->setText(QString::fromStdString(fields.password));
  ui->folderEdit->setText(QString::fromStdString(fields.serverfolder));
  ui->minutesEdit->setText(QString::fromStdString(fields.minutes));
  ui->passiveModeCheck->setChecked(fields.passiveMode);
  ui->tempNameCheck->setChecked(fields.temporaryNames);
  ui->encryptionCombo->setCurrentIndex(fields.encryption);
  ui->pinLabel->setText(QString::fromStdString(m_form.PinText()));
  ui->forgetPinButton->setEnabled(m_form.PinText() != m_form.NoPinText());
  ui->connectionsSpin->setRange(1, kMaxConnections);
  ui->connectionsSpin->setValue(fields.connections);
  for (const std::string& item : m_form.Items()) ui->extList->addItem(QString::fromStdString(item));
  ui->hostEdit->setFocus();
}

ServerSettingsFields ServerSettingsDialog::ReadFields() const {
  return {ui->hostEdit->text().toStdString(),
          ui->userEdit->text().toStdString(),
          ui->passwordEdit->text().toStdString(),
          ui->folderEdit->text().toStdString(),
          ui->minutesEdit->text().toStdString(),
          ui->passiveModeCheck->isChecked(),
          ui->tempNameCheck->isChecked(),
          ui->encryptionCombo->currentIndex(),
          m_forgetPin,
          ui->connectionsSpin->value()};
}

void ServerSettingsDialog::Focus(ServerField field) {
  const std::pair<ServerField, QLineEdit*> edits[] = {
      {ServerField::Hostname, ui->hostEdit},     {ServerField::Username, ui->userEdit},
      {ServerField::Password, ui->passwordEdit}, {ServerField::Serverfolder, ui->folderEdit},
      {ServerField::Minutes, ui->minutesEdit},   {ServerField::Extension, ui->extEdit},
  };
  for (const auto& [which, edit] : edits) {
    if (which != field) continue;
    edit->setFocus();
    edit->selectAll();
  }
}

void ServerSettingsDialog::OnAdd() {
  bool added = false;
  const ServerFormStep step = m_form.Add(ReadFields(), ui->extEdit->text().toStdString(), added);
  // The typed extension stays in its box.
  if (added) ui->extList->addItem(QString::fromStdString(m_form.Items().back()));
  Focus(step.focus);
}

void ServerSettingsDialog::OnDelete() {
  const QList<QListWidgetItem*> selected = ui->extList->selectedItems();
  const int row = selected.isEmpty() ? -1 : ui->extList->row(selected.first());
  if (!m_form.Delete(row)) return;
  delete ui->extList->takeItem(row);
  ui->extList->clearSelection();
}

void ServerSettingsDialog::OnForgetPin() {
  // Forgotten with the OK, as every other change here.
  m_forgetPin = true;
  ui->pinLabel->setText(QString::fromStdString(m_form.NoPinText()));
  ui->forgetPinButton->setEnabled(false);
}

void ServerSettingsDialog::OnOk() {
  const ServerFormStep step = m_form.Ok(ReadFields());
  if (step.close) {
    accept();
    return;
  }
  Focus(step.focus);
}

}  // namespace tolvane
