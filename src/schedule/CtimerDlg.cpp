#include "schedule/CtimerDlg.h"

#include <QPushButton>

#include "app/DialogFrame.h"
#include "schedule/CtimeraddDlg.h"
#include "ui_CtimerDlg.h"

namespace tolvane {

CtimerDlg::CtimerDlg(MainContext& ctx, ScheduleTicker& ticker, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::CtimerDlg>()), m_ctx(ctx), m_ticker(ticker),
      m_model(ctx.settings, ctx.prompts) {
  ui->setupUi(this);
  UseDialogFrame(*this, DialogSize::Resizable);
  IgnoreEnterKey(*this);
  connect(ui->okButton, &QPushButton::clicked, this, &CtimerDlg::OnOk);
  connect(ui->cancelButton, &QPushButton::clicked, this, &CtimerDlg::reject);
  connect(ui->addButton, &QPushButton::clicked, this, &CtimerDlg::OnAdd);
  connect(ui->editButton, &QPushButton::clicked, this, &CtimerDlg::OnEdit);
  connect(ui->deleteButton, &QPushButton::clicked, this, &CtimerDlg::OnDelete);
  OnInitDialog();
}

CtimerDlg::~CtimerDlg() = default;

void CtimerDlg::OnInitDialog() {
  m_model.Load();
  for (int row = 0; row < m_model.RowCount(); ++row) {
    ui->timerList->addItem(QString::fromStdString(m_model.RowText(row)));
  }
  ui->okButton->setFocus();
}

void CtimerDlg::AddEntry(const TimerEntry& entry, const std::string& rowText) {
  m_model.Add(entry, rowText);
  ui->timerList->addItem(QString::fromStdString(rowText));
}

void CtimerDlg::ReplaceEntry(int row, const TimerEntry& entry, const std::string& rowText) {
  m_model.Replace(row, entry, rowText);
  delete ui->timerList->takeItem(row);
  ui->timerList->insertItem(row, QString::fromStdString(rowText));
  ui->timerList->clearSelection();
}

int CtimerDlg::SelectedRow() const {
  const QList<QListWidgetItem*> selected = ui->timerList->selectedItems();
  return selected.isEmpty() ? -1 : ui->timerList->row(selected.first());
}

void CtimerDlg::RunEditor(bool editMode, int row) {
  CtimeraddDlg editor(m_ctx, this);
  editor.m_editMode = editMode;
  editor.m_editIndex = row;
  editor.exec();
}

void CtimerDlg::OnAdd() { RunEditor(false, -1); }

void CtimerDlg::OnEdit() {
  const int row = SelectedRow();
  if (!m_model.RequireSelection(row)) return;
  RunEditor(true, row);
}

void CtimerDlg::OnDelete() {
  const int row = SelectedRow();
  if (!m_model.Delete(row)) return;
  delete ui->timerList->takeItem(row);
  ui->timerList->clearSelection();
}

void CtimerDlg::OnOk() {
  if (m_model.Save(m_ticker)) accept();
}

}  // namespace tolvane
