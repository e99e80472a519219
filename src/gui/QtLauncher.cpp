#include "QtLauncher.h"

#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QUrl>

namespace tolvane {
namespace {

constexpr int kQueryTimeoutMs = 3000;

QString LocalName(const std::string& path) {
  return QFile::decodeName(QByteArray::fromStdString(path));
}

// A file: URI never starts with "-", so the launchers can't take it for an option.
QString FileUri(const QString& path) {
  return QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toString(QUrl::FullyEncoded);
}

// The desktop file id of the default text/plain application, e.g. "org.gnome.TextEditor.desktop",
// or an empty text when it can't be learnt.
QString DefaultTextEditorId() {
  const QString xdgMime = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
  if (xdgMime.isEmpty()) return {};
  QProcess query;
  query.start(xdgMime,
              {QStringLiteral("query"), QStringLiteral("default"), QStringLiteral("text/plain")});
  if (!query.waitForFinished(kQueryTimeoutMs) || query.exitStatus() != QProcess::NormalExit ||
      query.exitCode() != 0) {
    query.kill();
    query.waitForFinished(kQueryTimeoutMs);
    return {};
  }
  // xdg-mime may list several ids; the first is the default.
  const QString id =
      QString::fromUtf8(query.readAllStandardOutput()).section(QLatin1Char(';'), 0, 0).trimmed();
  static const QRegularExpression valid(QStringLiteral("^[A-Za-z0-9_][A-Za-z0-9_.-]*\\.desktop$"));
  return valid.match(id).hasMatch() ? id : QString();
}

bool LaunchDesktopApp(const QString& id, const QString& uri) {
  const QString gtkLaunch = QStandardPaths::findExecutable(QStringLiteral("gtk-launch"));
  if (!gtkLaunch.isEmpty()) return QProcess::startDetached(gtkLaunch, {id, uri});
  const QString gio = QStandardPaths::findExecutable(QStringLiteral("gio"));
  const QString desktopFile = QStandardPaths::locate(QStandardPaths::ApplicationsLocation, id);
  if (!gio.isEmpty() && !desktopFile.isEmpty()) {
    return QProcess::startDetached(gio, {QStringLiteral("launch"), desktopFile, uri});
  }
  return false;
}

}  // namespace

bool QtLauncher::OpenFile(const std::string& path) {
  const QString name = LocalName(path);
  // The desktop's opener reports a missing file only after we have returned.
  if (!QFileInfo::exists(name)) return false;
  return QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(name).absoluteFilePath()));
}

bool QtLauncher::StartProgram(const std::string& program, const std::string& path) {
  return QProcess::startDetached(LocalName(program), {LocalName(path)});
}

bool QtLauncher::OpenInTextEditor(const std::string& path) {
  const QString name = LocalName(path);
  const QString id = DefaultTextEditorId();
  if (!id.isEmpty() && LaunchDesktopApp(id, FileUri(name))) return true;
  return OpenFile(path);
}

}  // namespace tolvane
