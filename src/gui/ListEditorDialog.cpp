#include "ListEditorDialog.h"

#include <QHeaderView>
#include <QPushButton>
#include <QScrollBar>
#include <vector>

#include "DialogFrame.h"
#include "ui_ListEditorDialog.h"

namespace tolvane {
namespace {

constexpr int kFileColumnWidth = 400;
constexpr int kFolderColumnWidth = 130;

QTableWidgetItem* ReadOnlyItem(const std::string& text) {
  auto* item = new QTableWidgetItem(QString::fromStdString(text));
  item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
  return item;
}

}  // namespace

ListEditorDialog::ListEditorDialog(const AppSettings& settings, const MainView& owner,
                                   Prompts& prompts, QWidget* parent)
    : QDialog(parent),
      ui(std::make_unique<Ui::ListEditorDialog>()),
      m_settings(settings),
      m_owner(owner),
      m_prompts(prompts),
      m_model(settings, prompts) {
  ui->setupUi(this);
  UseDialogFrame(*this, DialogSize::Resizable);
  IgnoreEnterKey(*this);
  SetUpTable();
  connect(ui->okButton, &QPushButton::clicked, this, &ListEditorDialog::OnOk);
  connect(ui->cancelButton, &QPushButton::clicked, this, &ListEditorDialog::reject);
  connect(ui->addButton, &QPushButton::clicked, this, &ListEditorDialog::OnAdd);
  connect(ui->editButton, &QPushButton::clicked, this, &ListEditorDialog::OnEdit);
  connect(ui->deleteButton, &QPushButton::clicked, this, &ListEditorDialog::OnDelete);
  connect(ui->upButton, &QPushButton::clicked, this, [this] { OnMove(-1); });
  connect(ui->downButton, &QPushButton::clicked, this, [this] { OnMove(+1); });
  ui->okButton->setFocus();
}

ListEditorDialog::~ListEditorDialog() = default;

void ListEditorDialog::SetUpTable() {
  QTableWidget* table = ui->entryTable;
  table->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  table->setColumnWidth(0, kFileColumnWidth);
  table->setColumnWidth(1, kFolderColumnWidth);
  table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 6);
  // Wide enough for both columns without a horizontal scroll bar.
  table->setMinimumWidth(kFileColumnWidth + kFolderColumnWidth + 2 * table->frameWidth() +
                         table->verticalScrollBar()->sizeHint().width());
}

bool ListEditorDialog::Open(bool editMode, const std::string& listName) {
  if (!m_model.Open(editMode, listName)) return false;
  ui->entryTable->setRowCount(m_model.RowCount());
  for (int row = 0; row < m_model.RowCount(); ++row) ShowRow(row);
  ui->nameEdit->setText(QString::fromStdString(m_model.Data().m_listName));
  ui->entryTable->clearSelection();
  return true;
}

void ListEditorDialog::ShowRow(int row) {
  ui->entryTable->setItem(row, 0, ReadOnlyItem(m_model.Path(row)));
  ui->entryTable->setItem(row, 1, ReadOnlyItem(m_model.Folder(row)));
}

int ListEditorDialog::SelectedRow() const {
  const QModelIndexList rows = ui->entryTable->selectionModel()->selectedRows();
  return rows.isEmpty() ? -1 : rows.first().row();
}

bool ListEditorDialog::RunEntryDialog(bool editMode, std::string& path, std::string& folder) {
  ListEntryDialog dialog(m_prompts, m_picker, this);
  dialog.m_editMode = editMode;
  dialog.m_filePath = path;
  dialog.m_folder = folder;
  dialog.m_localFolder = m_settings.localfolder;
  if (dialog.exec() != QDialog::Accepted) return false;
  path = dialog.m_filePath;
  folder = dialog.m_folder;
  return true;
}

void ListEditorDialog::OnOk() {
  m_model.Data().m_listName = ui->nameEdit->text().toStdString();
  std::vector<std::string> names;
  for (int i = 0; i < m_owner.ListCount(); ++i) names.push_back(m_owner.ListName(i));
  switch (m_model.Save(names)) {
    case EditorEnd::Ok:
      accept();
      break;
    case EditorEnd::Cancel:
      reject();
      break;
    case EditorEnd::StayOpen:
      break;
  }
}

void ListEditorDialog::OnAdd() {
  std::string path, folder;
  if (!RunEntryDialog(false, path, folder)) return;
  m_model.Add(path, folder);
  const int row = m_model.RowCount() - 1;
  ui->entryTable->insertRow(row);
  ShowRow(row);
}

void ListEditorDialog::OnEdit() {
  const int row = SelectedRow();
  if (!m_model.RequireSelection(row)) return;
  std::string path = m_model.Path(row);
  std::string folder = m_model.Folder(row);
  if (!RunEntryDialog(true, path, folder)) return;
  m_model.Edit(row, path, folder);
  ShowRow(row);
}

void ListEditorDialog::OnDelete() {
  const int row = SelectedRow();
  if (!m_model.Delete(row)) return;
  ui->entryTable->removeRow(row);
  ui->entryTable->clearSelection();
}

void ListEditorDialog::OnMove(int delta) {
  const int row = SelectedRow();
  const int target = m_model.Move(row, delta);
  if (target < 0) return;
  if (target != row) {
    ShowRow(row);
    ShowRow(target);
    ui->entryTable->setCurrentCell(target, 0);
    ui->entryTable->selectRow(target);
  }
  ui->entryTable->setFocus();
}

}  // namespace tolvane
