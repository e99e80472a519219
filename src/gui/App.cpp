#include "App.h"

#include <QApplication>
#include <QFile>
#include <QLibraryInfo>
#include <QSocketNotifier>
#include <memory>

#include "AppIcon.h"
#include "LogindShutdown.h"
#include "MainWindow.h"
#include "QtClock.h"
#include "QtLauncher.h"
#include "QtPrompts.h"
#include "QtTrayIcon.h"
#include "platform/TerminationSignals.h"
#include "start/CommandLine.h"
#include "start/ProgramFolder.h"
#include "start/ProgramStart.h"
#include "window/ProgramFolderLock.h"

namespace tolvane {

int App::InitInstance(const std::string& givenFolder) {
  LoadTranslations();
  QApplication::setWindowIcon(AppIcon());
  // Ties the windows to the menu entry (its icon and name) on Wayland desktops.
  QGuiApplication::setDesktopFileName(QStringLiteral("org.tolvane.Tolvane"));
  // The program manages its own end; a closing message box must never end it.
  QApplication::setQuitOnLastWindowClosed(false);
  QtPrompts prompts;

  QtClock clock;

  const std::string executable =
      QFile::encodeName(QCoreApplication::applicationFilePath()).toStdString();
  if (std::string problem = OpenProgramFolder(settings, executable, givenFolder);
      !problem.empty()) {
    prompts.Error(problem);
    return kExitBadInput;
  }
  ProgramFolderLock lock(settings.exeFolder);
  if (PrepareProgramFolder(settings, lock, prompts, clock.Now()) != StartOutcome::Run) return 0;

  LogindShutdown shutdown;
  QtLauncher launcher;
  QtTrayIcon tray(AppIcon());
  MainWindow window(settings, {prompts, clock, shutdown, launcher, tray});
  std::unique_ptr<QSocketNotifier> endRequests;
  if (int fd = WatchTerminationSignals(); fd >= 0) {
    endRequests = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
    QObject::connect(endRequests.get(), &QSocketNotifier::activated, [fd, &window] {
      DrainTerminationSignals(fd);
      window.Terminate();
    });
  }
  window.Exec();
  return 0;
}

void App::LoadTranslations() {
  // The program speaks Japanese whatever the desktop's language, message box buttons too.
  if (m_qtTranslator.load(QStringLiteral("qtbase_ja"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QCoreApplication::installTranslator(&m_qtTranslator);
  }
}

}  // namespace tolvane
