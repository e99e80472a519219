#pragma once
// The real main window over a temporary executable folder, with fake seams.
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <memory>
#include <string>
#include <vector>

#include "MainWindow.h"
#include "platform/Cp932.h"
#include "settings/SettingsFile.h"
#include "support/FakeTrayIcon.h"
#include "support/Fakes.h"
#include "support/TempDir.h"

namespace tolvane::test {

// 2026-01-02 03:04:05 in Tokyo (the tests run with TZ=Asia/Tokyo).
inline constexpr int64_t kStartTime = 1767290645;

struct MainWindowRig {
  TempDir dir;
  AppSettings settings;
  RecordingPrompts prompts;
  FakeClock clock{kStartTime};
  FakeShutdown shutdown;
  RecordingLauncher launcher;
  FakeTrayIcon tray;
  std::unique_ptr<MainWindow> window;

  // kestra.ini from UTF-8 text, stored as code page 932 with CR LF line ends.
  void Ini(const std::string& text) const { dir.Write("kestra.ini", Cp932(text)); }
  // A list file from UTF-8 lines.
  void List(const std::string& name, const std::vector<std::string>& lines) const {
    std::string bytes;
    for (const std::string& line : lines) bytes += Cp932(line) + "\r\n";
    dir.Write("list/" + name + ".ini", bytes);
  }

  MainWindow& Start() {
    settings = SettingsIn(dir);
    LoadSettings(settings);
    window = std::make_unique<MainWindow>(
        settings, MainWindow::Seams{prompts, clock, shutdown, launcher, tray});
    window->Start();
    return *window;
  }

  template <typename T>
  T* Find(const char* name) const {
    return window->findChild<T*>(QString::fromLatin1(name));
  }
  QComboBox* Combo() const { return Find<QComboBox>("listCombo"); }
  QListWidget* Files() const { return Find<QListWidget>("fileList"); }
  QString Status() const { return Find<QLabel>("statusLine")->text(); }
  QString FileLine() const { return Find<QLabel>("fileLine")->text(); }
  QAction* Action(const char* name) const { return Find<QAction>(name); }

  QStringList ComboItems() const {
    QStringList items;
    for (int i = 0; i < Combo()->count(); ++i) items << Combo()->itemText(i);
    return items;
  }
  QStringList FileItems() const {
    QStringList items;
    for (int i = 0; i < Files()->count(); ++i) items << Files()->item(i)->text();
    return items;
  }

 private:
  static std::string Cp932(const std::string& utf8) {
    std::string text;
    for (char c : utf8) text += c == '\n' ? std::string("\r\n") : std::string(1, c);
    return ToCp932(text).value();
  }
};

}  // namespace tolvane::test
