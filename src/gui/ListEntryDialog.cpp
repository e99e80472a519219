#include "ListEntryDialog.h"

#include <QFileDialog>
#include <QPushButton>

#include "DialogFrame.h"
#include "lists/ListEditorForm.h"
#include "ui_ListEntryDialog.h"

namespace tolvane {

ListEntryDialog::FilePicker ListEntryDialog::SystemFilePicker() {
  return [](QWidget* parent, const QString& startFolder) {
    // Linux file names need no dot, so "all files" is "*".
    return QFileDialog::getOpenFileName(parent, QStringLiteral("開く"), startFolder,
                                        QStringLiteral("すべてのﾌｧｲﾙ (*)"));
  };
}

ListEntryDialog::ListEntryDialog(Prompts& prompts, FilePicker picker, QWidget* parent)
    : QDialog(parent),
      ui(std::make_unique<Ui::ListEntryDialog>()),
      m_prompts(prompts),
      m_picker(std::move(picker)) {
  ui->setupUi(this);
  UseDialogFrame(*this, DialogSize::Fixed);
  IgnoreEnterKey(*this);
  connect(ui->okButton, &QPushButton::clicked, this, &ListEntryDialog::OnOk);
  connect(ui->cancelButton, &QPushButton::clicked, this, &ListEntryDialog::reject);
  connect(ui->browseButton, &QPushButton::clicked, this, &ListEntryDialog::OnBrowse);
}

ListEntryDialog::~ListEntryDialog() = default;

int ListEntryDialog::exec() {
  OnInitDialog();
  return QDialog::exec();
}

void ListEntryDialog::OnInitDialog() {
  setWindowTitle(m_editMode ? QStringLiteral("編集") : QStringLiteral("ファイルの追加"));
  ui->fileEdit->setText(QString::fromStdString(m_filePath));
  ui->folderEdit->setText(QString::fromStdString(m_folder));
  ui->okButton->setFocus();
}

void ListEntryDialog::OnOk() {
  const std::string path = ui->fileEdit->text().toStdString();
  const std::string folder = ui->folderEdit->text().toStdString();
  if (std::optional<UnstorableEntry> problem = CheckEntryText(path, folder)) {
    m_prompts.Error(problem->message);
    (problem->inFolder ? ui->folderEdit : ui->fileEdit)->setFocus();
    return;
  }
  m_filePath = path;
  m_folder = folder;
  accept();
}

void ListEntryDialog::OnBrowse() {
  const QString chosen = m_picker(this, QString::fromStdString(m_localFolder));
  if (chosen.isEmpty()) return;
  // Only the file changes; a folder already typed is kept.
  ui->fileEdit->setText(chosen);
  ui->fileEdit->setCursorPosition(static_cast<int>(chosen.size()));
}

}  // namespace tolvane
