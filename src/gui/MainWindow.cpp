#include "MainWindow.h"

#include <QApplication>
#include <QEventLoop>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QScreen>
#include <utility>

#include "AppIcon.h"
#include "lists/MainLists.h"
#include "settings/AsciiModeTable.h"
#include "start/ProgramStart.h"
#include "ui_MainWindow.h"
#include "window/TrayIcon.h"

namespace tolvane {
namespace {

constexpr int kTickMs = 250;

// A text as a control shows it. No real path is this long, and laying out a megabyte of
// text (from a damaged list file) would freeze the window.
QString Shown(const std::string& text) {
  constexpr qsizetype kMaxShown = 1024;
  QString shown = QString::fromStdString(text);
  if (shown.size() > kMaxShown) shown = shown.left(kMaxShown) + QChar(0x2026);
  return shown;
}

// A status line says what it shows through its accessible name, so a screen reader reads it
// (and hears of each change); its role stays in the description. Empty, the role names it.
void ShowLine(QLabel& line, const std::string& text) {
  const QString shown = Shown(text);
  line.setText(shown);
  line.setAccessibleName(shown.isEmpty() ? line.accessibleDescription() : shown);
}

}  // namespace

MainWindow::MainWindow(AppSettings& settings, const Seams& seams, QWidget* parent)
    : QDialog(parent),
      ui(std::make_unique<Ui::MainWindow>()),
      m_seams(seams),
      m_prompts(seams.prompts),
      m_ctx{settings, m_state, *this, m_prompts, *this, seams.clock},
      m_ticker(
          m_ctx, seams.shutdown, [this](const TimerEntry& entry) { OnScheduledUpload(entry); },
          [this](const std::vector<MissedRun>& missed) { OnMissedRuns(missed); }),
      m_tray(settings, m_state, seams.tray, *this) {
  ui->setupUi(this);
  layout()->setMenuBar(ui->menuBar);
  // A window of its own in the taskbar: minimise box, no maximise box.
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);
  setWindowIcon(AppIcon());
  // The status lines keep their height while empty, so nothing jumps when a run starts.
  for (QLabel* line : {ui->fileLine, ui->statusLine}) {
    line->setMinimumHeight(line->fontMetrics().height());
  }
  m_timer.setParent(this);
  m_timer.setObjectName(QStringLiteral("tickTimer"));
  m_timer.setInterval(kTickMs);
  ConnectControls();
}

MainWindow::~MainWindow() {
  m_timer.stop();
  m_tray.OnEnd();
}

void MainWindow::ConnectControls() {
  // `activated` comes from the user only; selecting by program shows the list itself.
  connect(ui->listCombo, &QComboBox::activated, this, [this] { OnListSelectionChanged(m_ctx); });
  connect(ui->uploadButton, &QPushButton::clicked, this, &MainWindow::OnUploadButton);
  connect(&m_timer, &QTimer::timeout, this, &MainWindow::OnTick);
  const std::pair<QAction*, void (MainWindow::*)()> commands[] = {
      {ui->settingsAction, &MainWindow::OnSettings},
      {ui->serverSettingsAction, &MainWindow::OnServerSettings},
      {ui->clockCheckAction, &MainWindow::CheckServerClock},
      {ui->runLogAction, &MainWindow::OnRunLog},
      {ui->exitAction, &MainWindow::OnExit},
      {ui->newListAction, &MainWindow::OnNewList},
      {ui->editListAction, &MainWindow::OnEditList},
      {ui->deleteListAction, &MainWindow::OnDeleteList},
      {ui->previewAction, &MainWindow::OnPreview},
      {ui->openFileAction, &MainWindow::OnOpenFile},
      {ui->htmlEditAction, &MainWindow::OnHtmlEdit},
      {ui->timerOnAction, &MainWindow::OnTimerOn},
      {ui->timerSettingsAction, &MainWindow::OnTimerSettings},
      {ui->aboutAction, &MainWindow::OnAbout},
  };
  for (const auto& [action, handler] : commands) {
    connect(action, &QAction::triggered, this, [this, handler = handler] {
      (this->*handler)();
      FinishPendingClose();
    });
  }
}

void MainWindow::Start() {
  // Start-up notices wait for the timer: the schedule must not wait for their OK.
  m_prompts.Hold();
  OnInitDialog();
  m_tray.ShowAtStart();
  m_timer.start();
  m_prompts.Release();
}

int MainWindow::Exec() {
  Start();
  if (!m_ended) {
    QEventLoop loop;
    connect(this, &QDialog::finished, &loop, &QEventLoop::quit);
    loop.exec();
  }
  return result();
}

void MainWindow::OnInitDialog() {
  m_state.m_inTray = false;
  m_state.m_clockText.clear();
  ReportIrregularStateFiles(m_ctx.settings, m_ctx.prompts);
  LoadAsciiExtensions(m_ctx.settings, m_state.m_asciiExts);
  FillListSelector(m_ctx);
  m_ticker.LoadAtStart();
  m_state.m_busy = false;
  // The selection stays empty until the switch (now or later) turns the schedule on.
  m_state.m_todayEntries.clear();
  m_ticker.ApplyStoredSwitch();
}

void MainWindow::OnTick() {
  if (m_state.m_closing) {
    FinishPendingClose();
    return;
  }
  m_ticker.OnTimer();
}

void MainWindow::OnUploadButton() {
  if (AltDown()) {
    OnPreview();
  } else {
    OnUpload();
  }
  FinishPendingClose();
}

void MainWindow::done(int result) {
  if (m_ended) return;
  m_tray.OnEnd();
  if (m_state.m_busy) {
    // The run is still on the stack below us: disappear now, end when it has returned.
    m_state.m_closing = true;
    m_pendingResult = result;
    hide();
    return;
  }
  m_ended = true;
  m_timer.stop();
  QDialog::done(result);
}

void MainWindow::Terminate() {
  m_state.m_terminating = true;
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (widget != this && widget->isModal() && widget->isVisible()) widget->close();
  }
  done(Rejected);
}

void MainWindow::FinishPendingClose() {
  if (m_state.m_closing && !m_state.m_busy) done(m_pendingResult);
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      // Enter presses the upload button when it has the focus; anywhere else it is the
      // window's OK. The button is never shown as a default button, since it is none.
      if (focusWidget() == ui->uploadButton) {
        ui->uploadButton->click();
      } else {
        accept();
      }
      return;
    case Qt::Key_Escape:
      reject();
      return;
    default:
      QDialog::keyPressEvent(event);
  }
}

void MainWindow::changeEvent(QEvent* event) {
  QDialog::changeEvent(event);
  if (event->type() == QEvent::WindowStateChange && isMinimized()) m_tray.OnMinimised();
}

// --- MainView ---

int MainWindow::ListCount() const { return ui->listCombo->count(); }

std::string MainWindow::ListName(int index) const {
  return ui->listCombo->itemText(index).toStdString();
}

int MainWindow::ListSelection() const { return ui->listCombo->currentIndex(); }

void MainWindow::AppendList(const std::string& name) {
  // addItem selects the first item of an empty selector; an appended list is never selected.
  const int selected = ui->listCombo->currentIndex();
  ui->listCombo->addItem(QString::fromStdString(name));
  ui->listCombo->setCurrentIndex(selected);
}

void MainWindow::RemoveList(int index) {
  ui->listCombo->removeItem(index);
  ui->listCombo->setCurrentIndex(-1);
}

void MainWindow::SelectList(int index) { ui->listCombo->setCurrentIndex(index); }

void MainWindow::SetFileNames(const std::vector<std::string>& names) {
  QStringList items;
  items.reserve(static_cast<qsizetype>(names.size()));
  for (const std::string& name : names) items.append(Shown(name));
  ui->fileList->clear();
  ui->fileList->addItems(items);
  ui->fileList->setCurrentRow(-1);
}

int MainWindow::FileSelection() const {
  const QModelIndexList selected = ui->fileList->selectionModel()->selectedIndexes();
  return selected.isEmpty() ? -1 : selected.first().row();
}

void MainWindow::FocusFileList() { ui->fileList->setFocus(); }

void MainWindow::SetUploadEnabled(bool enabled) { ui->uploadButton->setEnabled(enabled); }

void MainWindow::SetTimerChecked(bool checked) { ui->timerOnAction->setChecked(checked); }

bool MainWindow::CtrlDown() const {
  return QGuiApplication::keyboardModifiers() & Qt::ControlModifier;
}

bool MainWindow::ShiftDown() const {
  return QGuiApplication::keyboardModifiers() & Qt::ShiftModifier;
}

bool MainWindow::AltDown() const { return QGuiApplication::keyboardModifiers() & Qt::AltModifier; }

void MainWindow::BringToFront() { m_tray.BringToFront(); }

// --- StatusLines ---

void MainWindow::SetStatus(const std::string& text) { ShowLine(*ui->statusLine, text); }

void MainWindow::SetFileLine(const std::string& text) { ShowLine(*ui->fileLine, text); }

// --- TrayWindow ---

void MainWindow::HideWindow() {
  // Hiding from inside the minimise notification upsets some window managers; hide just
  // after it, unless a click on the icon came first.
  QTimer::singleShot(0, this, [this] {
    if (m_state.m_inTray) hide();
  });
}

void MainWindow::ShowWindowNormal() {
  showNormal();
  raise();
  activateWindow();
  repaint();
}

void MainWindow::ShowWindowMinimised() { showMinimized(); }

void MainWindow::CentreOnWorkArea() {
  QScreen* screen = QGuiApplication::primaryScreen();
  if (!screen) return;
  layout()->activate();
  const QRect area = screen->availableGeometry();
  const QSize size = frameGeometry().size();
  move(area.x() + area.width() / 2 - size.width() / 2,
       area.y() + area.height() / 2 - size.height() / 2);
}

}  // namespace tolvane
