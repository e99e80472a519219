#include "TimerListDialog.h"

#include <QPushButton>

#include "DialogFrame.h"
#include "TimerEntryDialog.h"
#include "ui_TimerListDialog.h"

namespace tolvane {

TimerListDialog::TimerListDialog(MainContext& ctx, ScheduleTicker& ticker, QWidget* parent)
    : QDialog(parent),
      ui(std::make_unique<Ui::TimerListDialog>()),
      m_ctx(ctx),
      m_ticker(ticker),
      m_model(ctx.settings, ctx.prompts) {
  ui->setupUi(this);
  UseDialogFrame(*this, DialogSize::Resizable);
  IgnoreEnterKey(*this);
  connect(ui->okButton, &QPushButton::clicked, this, &TimerListDialog::OnOk);
  connect(ui->cancelButton, &QPushButton::clicked, this, &TimerListDialog::reject);
  connect(ui->addButton, &QPushButton::clicked, this, &TimerListDialog::OnAdd);
  connect(ui->editButton, &QPushButton::clicked, this, &TimerListDialog::OnEdit);
  connect(ui->deleteButton, &QPushButton::clicked, this, &TimerListDialog::OnDelete);
  OnInitDialog();
}

TimerListDialog::~TimerListDialog() = default;

void TimerListDialog::OnInitDialog() {
  m_model.Load();
  for (int row = 0; row < m_model.RowCount(); ++row) {
    ui->timerList->addItem(QString::fromStdString(m_model.RowText(row)));
  }
  ui->okButton->setFocus();
}

void TimerListDialog::AddEntry(const TimerEntry& entry, const std::string& rowText) {
  m_model.Add(entry, rowText);
  ui->timerList->addItem(QString::fromStdString(rowText));
}

void TimerListDialog::ReplaceEntry(int row, const TimerEntry& entry, const std::string& rowText) {
  m_model.Replace(row, entry, rowText);
  delete ui->timerList->takeItem(row);
  ui->timerList->insertItem(row, QString::fromStdString(rowText));
  ui->timerList->clearSelection();
}

int TimerListDialog::SelectedRow() const {
  const QList<QListWidgetItem*> selected = ui->timerList->selectedItems();
  return selected.isEmpty() ? -1 : ui->timerList->row(selected.first());
}

void TimerListDialog::RunEditor(bool editMode, int row) {
  TimerEntryDialog editor(m_ctx, this);
  editor.m_editMode = editMode;
  editor.m_editIndex = row;
  editor.exec();
}

void TimerListDialog::OnAdd() { RunEditor(false, -1); }

void TimerListDialog::OnEdit() {
  const int row = SelectedRow();
  if (!m_model.RequireSelection(row)) return;
  RunEditor(true, row);
}

void TimerListDialog::OnDelete() {
  const int row = SelectedRow();
  if (!m_model.Delete(row)) return;
  delete ui->timerList->takeItem(row);
  ui->timerList->clearSelection();
}

void TimerListDialog::OnOk() {
  if (m_model.Save(m_ticker)) accept();
}

}  // namespace tolvane
