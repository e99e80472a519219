#include "TimerEntryDialog.h"

#include <QPushButton>

#include "DialogFrame.h"
#include "TimerListDialog.h"
#include "ui_TimerEntryDialog.h"

namespace tolvane {
namespace {

std::vector<std::string> SelectorNames(const MainView& view) {
  std::vector<std::string> names;
  for (int i = 0; i < view.ListCount(); ++i) names.push_back(view.ListName(i));
  return names;
}

}  // namespace

TimerEntryDialog::TimerEntryDialog(MainContext& ctx, TimerListDialog* listDlg, QWidget* parent)
    : QDialog(parent ? parent : listDlg),
      ui(std::make_unique<Ui::TimerEntryDialog>()),
      m_ctx(ctx),
      m_listDlg(listDlg) {
  ui->setupUi(this);
  UseDialogFrame(*this, DialogSize::Fixed);
  IgnoreEnterKey(*this);
  connect(ui->kindCombo, &QComboBox::activated, this, &TimerEntryDialog::OnKindChanged);
  connect(ui->okButton, &QPushButton::clicked, this, &TimerEntryDialog::OnOk);
  connect(ui->cancelButton, &QPushButton::clicked, this, &TimerEntryDialog::reject);
}

TimerEntryDialog::~TimerEntryDialog() = default;

int TimerEntryDialog::exec() {
  OnInitDialog();
  return QDialog::exec();
}

void TimerEntryDialog::OnInitDialog() {
  m_form = NewEntryForm(SelectorNames(m_ctx.view));
  for (const std::string& name : m_form.lists) ui->listCombo->addItem(QString::fromStdString(name));
  if (m_editMode) {
    setWindowTitle(QStringLiteral("設定編集"));
    LoadEntryForEdit(m_form, m_listDlg->Model().Entry(m_editIndex));
  }
  ShowForm();
  ui->kindCombo->setFocus();
}

QLineEdit* TimerEntryDialog::FieldEdit(EntryField field) const {
  switch (field) {
    case EntryField::Month:
      return ui->monthEdit;
    case EntryField::Day:
      return ui->dayEdit;
    case EntryField::Hour:
      return ui->hourEdit;
    case EntryField::Minute:
      return ui->minuteEdit;
  }
  return nullptr;
}

void TimerEntryDialog::ReadControls() {
  m_form.kind = ui->kindCombo->currentIndex();
  m_form.weekday = ui->weekdayCombo->currentIndex();
  for (int i = 0; i < kEntryFieldCount; ++i) {
    m_form.text[static_cast<size_t>(i)] =
        FieldEdit(static_cast<EntryField>(i))->text().toStdString();
  }
  m_form.list = ui->listCombo->currentIndex();
  m_form.shutdown = ui->shutdownCheck->isChecked();
}

void TimerEntryDialog::ShowForm() {
  ui->kindCombo->setCurrentIndex(m_form.kind);
  ui->weekdayCombo->setCurrentIndex(m_form.weekday);
  ui->weekdayCombo->setEnabled(m_form.weekdayEnabled);
  for (int i = 0; i < kEntryFieldCount; ++i) {
    const auto field = static_cast<EntryField>(i);
    QLineEdit* edit = FieldEdit(field);
    edit->setText(QString::fromStdString(m_form.Text(field)));
    edit->setEnabled(m_form.Enabled(field));
  }
  ui->listCombo->setCurrentIndex(m_form.list);
  ui->shutdownCheck->setChecked(m_form.shutdown);
}

void TimerEntryDialog::OnKindChanged(int index) {
  ReadControls();
  m_form.kind = index;
  ApplyKindRule(m_form);
  ShowForm();
}

void TimerEntryDialog::OnOk() {
  ReadControls();
  const EntryConfirm result = ConfirmEntry(m_form, m_ctx.prompts, m_ctx.clock.Now());
  switch (result.outcome) {
    case EntryConfirm::Outcome::NotAnInteger: {
      QLineEdit* edit = FieldEdit(result.field);
      edit->setFocus();
      edit->selectAll();
      return;
    }
    case EntryConfirm::Outcome::Refused:
      return;
    case EntryConfirm::Outcome::Saved:
      break;
  }
  if (m_editMode) {
    m_listDlg->ReplaceEntry(m_editIndex, result.entry, result.rowText);
  } else {
    m_listDlg->AddEntry(result.entry, result.rowText);
  }
  accept();
}

}  // namespace tolvane
