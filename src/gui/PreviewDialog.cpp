#include "PreviewDialog.h"

#include <QHeaderView>
#include <QPushButton>
#include <QStyle>

#include "DialogFrame.h"
#include "ui_PreviewDialog.h"

namespace tolvane {
namespace {

enum Column { kFile, kFolder, kAction, kReason, kColumns };

}  // namespace

PreviewDialog::PreviewDialog(const UploadPreview& preview, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::PreviewDialog>()) {
  ui->setupUi(this);
  UseDialogFrame(*this, DialogSize::Resizable);
  IgnoreEnterKey(*this);
  setWindowTitle(QString::fromStdString(PreviewTitle(preview)));
  ui->headingLabel->setText(QString::fromStdString(PreviewHeading(preview)));
  ui->summaryLabel->setText(QString::fromStdString(PreviewSummary(preview.report)));
  ShowRows(PreviewRows(preview));
  connect(ui->uploadButton, &QPushButton::clicked, this, &PreviewDialog::accept);
  connect(ui->closeButton, &QPushButton::clicked, this, &PreviewDialog::reject);
  ui->closeButton->setFocus();
}

PreviewDialog::~PreviewDialog() = default;

void PreviewDialog::ShowRows(const std::vector<PreviewRow>& rows) {
  const QIcon warning = style()->standardIcon(QStyle::SP_MessageBoxWarning);
  QList<QTreeWidgetItem*> items;
  for (const PreviewRow& row : rows) {
    auto* item = new QTreeWidgetItem(
        QStringList{QString::fromStdString(row.file), QString::fromStdString(row.folder),
                    QString::fromStdString(row.action), QString::fromStdString(row.reason)});
    item->setToolTip(kFile, QString::fromStdString(row.localPath));
    item->setToolTip(kReason, QString::fromStdString(row.reason));
    if (row.look == PreviewRow::Look::Upload) {
      QFont bold = item->font(kFile);
      bold.setBold(true);
      for (int column = 0; column < kColumns; ++column) item->setFont(column, bold);
    } else if (row.look == PreviewRow::Look::Warning) {
      item->setIcon(kAction, warning);
    }
    items.append(item);
  }
  ui->entryTree->addTopLevelItems(items);
  // Names, folders and actions are short: each column as wide as its widest text, the
  // reason taking the rest.
  QHeaderView* header = ui->entryTree->header();
  for (int column : {kFile, kFolder, kAction}) {
    ui->entryTree->resizeColumnToContents(column);
    header->resizeSection(column, header->sectionSize(column) + 12);
  }
}

}  // namespace tolvane
