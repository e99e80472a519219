#include "RunLogDialog.h"

#include <QHeaderView>
#include <QPixmap>
#include <QPushButton>
#include <QStyle>
#include <QTreeWidget>

#include "DialogFrame.h"
#include "ui_RunLogDialog.h"
#include "upload/RunLog.h"

namespace tolvane {
namespace {

enum Column { kStartedAt, kOrigin, kList, kResult, kColumnCount };

// Which run a row shows, so its lines can be added when it is first opened.
constexpr int kRunIndexRole = Qt::UserRole;

const QColor kFailureText(190, 0, 0);

QString Text(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

RunLogDialog::RunLogDialog(const AppSettings& settings, Launcher& launcher, Prompts& prompts,
                           QWidget* parent)
    : QDialog(parent),
      ui(std::make_unique<Ui::RunLogDialog>()),
      m_settings(settings),
      m_launcher(launcher),
      m_prompts(prompts) {
  ui->setupUi(this);
  UseDialogFrame(*this, DialogSize::Resizable);
  IgnoreEnterKey(*this);
  // Paths matter at both ends: the outcome before them, the file name after.
  ui->runTree->setTextElideMode(Qt::ElideMiddle);
  ui->runTree->header()->setStretchLastSection(true);
  connect(ui->runTree, &QTreeWidget::itemExpanded, this, &RunLogDialog::FillRun);
  connect(ui->openFolderButton, &QPushButton::clicked, this, &RunLogDialog::OnOpenFolder);
  connect(ui->reloadButton, &QPushButton::clicked, this, &RunLogDialog::Reload);
  connect(ui->closeButton, &QPushButton::clicked, this, &RunLogDialog::close);
  Reload();
}

RunLogDialog::~RunLogDialog() = default;

RunLogDialog* RunLogDialog::ShowOne(QPointer<RunLogDialog>& open, const AppSettings& settings,
                                    Launcher& launcher, Prompts& prompts, QWidget* parent) {
  if (!open) {
    open = new RunLogDialog(settings, launcher, prompts, parent);
    open->setAttribute(Qt::WA_DeleteOnClose);
  } else if (!open->isVisible()) {
    open->Reload();
  }
  open->show();
  open->raise();
  open->activateWindow();
  return open;
}

void RunLogDialog::Reload() {
  m_runs = RecentRuns(RunLogFolder(m_settings), kRunsShown);
  ui->runTree->clear();
  for (int i = 0; i < static_cast<int>(m_runs.size()); ++i) AddRunRow(i);
  for (int column : {kStartedAt, kOrigin, kList}) ui->runTree->resizeColumnToContents(column);
  ui->runTree->setVisible(!m_runs.empty());
  ui->emptyLabel->setVisible(m_runs.empty());
}

void RunLogDialog::AddRunRow(int index) {
  const LoggedRun& run = m_runs[static_cast<size_t>(index)];
  auto* row = new QTreeWidgetItem(
      ui->runTree, {Text(run.startedAt), Text(run.origin), Text(run.listName), Text(run.summary)});
  row->setData(kStartedAt, kRunIndexRole, index);
  if (!run.lines.empty() || !run.ftpLines.empty()) {
    row->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
  }
  QStringList details;
  for (const std::string& detail : run.details) details << Text(detail);
  for (int column = 0; column < kColumnCount; ++column) {
    row->setToolTip(column, details.join(QLatin1Char('\n')));
  }
  row->setIcon(kStartedAt, Mark(run.failure));
  if (run.failure) {
    row->setForeground(kResult, kFailureText);
    row->setData(kStartedAt, Qt::AccessibleDescriptionRole, QStringLiteral("失敗あり"));
  }
}

void RunLogDialog::FillRun(QTreeWidgetItem* row) {
  if (row->parent() || row->childCount() > 0) return;
  const LoggedRun& run = m_runs[static_cast<size_t>(row->data(kStartedAt, kRunIndexRole).toInt())];
  auto addLine = [](QTreeWidgetItem* parent, const QString& text) {
    auto* item = new QTreeWidgetItem(parent, {text});
    item->setToolTip(kStartedAt, text);
    item->setFirstColumnSpanned(true);
    return item;
  };
  for (const RunLogLine& line : run.lines) {
    QTreeWidgetItem* item = addLine(row, Text(line.text));
    item->setIcon(kStartedAt, Mark(line.failure));
    if (line.failure) item->setForeground(kStartedAt, kFailureText);
  }
  if (!run.ftpLines.empty()) {
    QTreeWidgetItem* ftp = addLine(row, QStringLiteral("FTPの通信"));
    ftp->setIcon(kStartedAt, Mark(false));
    for (const std::string& line : run.ftpLines) addLine(ftp, Text(line));
  }
}

QIcon RunLogDialog::Mark(bool failure) const {
  QStyle* style = ui->runTree->style();
  if (failure) return style->standardIcon(QStyle::SP_MessageBoxWarning);
  // Lines without the mark still hold its place, so their texts line up with marked ones.
  const int side = style->pixelMetric(QStyle::PM_SmallIconSize);
  QPixmap blank(side, side);
  blank.fill(Qt::transparent);
  return QIcon(blank);
}

void RunLogDialog::OnOpenFolder() { OpenRunLogFolder(m_settings, m_launcher, m_prompts); }

}  // namespace tolvane
