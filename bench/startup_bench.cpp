// Start-up of the main window with 1,000 upload lists, from reading the settings until the
// window is on screen (offscreen platform), against the same start with no lists at all.
// Run: build/bench/startup_bench (exits 2 when the median is over half a second).
#include <QApplication>
#include <QWindow>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "MainWindow.h"
#include "QtClock.h"
#include "settings/SettingsFile.h"
#include "support/FakeTrayIcon.h"
#include "support/Fakes.h"

namespace {

using namespace tolvane;
namespace fs = std::filesystem;

constexpr int kLists = 1000;
constexpr int kEntriesPerList = 20;
constexpr int kRounds = 11;

void WriteFile(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// An executable folder with kestra.ini and `lists` list files.
fs::path MakeFolder(const fs::path& root, const std::string& name, int lists) {
  fs::path folder = root / name;
  fs::create_directories(folder / "list");
  WriteFile(folder / "kestra.ini", "[main]\r\nstart=list0500\r\n[timer]\r\ntimer=0\r\n");
  for (int i = 0; i < lists; ++i) {
    char listName[32];
    std::snprintf(listName, sizeof listName, "list%04d", i);
    std::string text;
    for (int e = 0; e < kEntriesPerList; ++e) {
      text += "/home/user/site/page" + std::to_string(e) + ".html\r\npublic_html/sub\r\n";
    }
    WriteFile(folder / "list" / (std::string(listName) + ".ini"), text);
  }
  return folder;
}

// One start: settings, window, start-up, until the window is exposed. Milliseconds.
double StartOnce(const fs::path& folder, int expectedLists) {
  test::RecordingPrompts prompts;
  QtClock clock;
  test::FakeShutdown shutdown;
  test::RecordingLauncher launcher;
  test::FakeTrayIcon tray;
  const auto begin = std::chrono::steady_clock::now();
  AppSettings settings;
  SetPathsFromExecutable(settings, (folder / "tolvane").string());
  LoadSettings(settings);
  MainWindow window(settings, {prompts, clock, shutdown, launcher, tray});
  window.Start();
  while (!window.windowHandle() || !window.windowHandle()->isExposed()) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  }
  const auto end = std::chrono::steady_clock::now();
  if (!prompts.shown.empty() || window.ListCount() != expectedLists) {
    std::fprintf(stderr, "start-up went wrong in %s\n", folder.c_str());
    std::exit(1);
  }
  return std::chrono::duration<double, std::milli>(end - begin).count();
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int main(int argc, char* argv[]) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  // The offscreen platform's complaints about raising windows would drown the figures.
  qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
  QApplication app(argc, argv);
  char pattern[] = "/tmp/tolvane-bench-XXXXXX";
  const fs::path root = mkdtemp(pattern);
  const fs::path many = MakeFolder(root, "many", kLists);
  const fs::path none = MakeFolder(root, "none", 0);

  // Fonts, styles and plugins load once per process: the first start pays for them.
  const double first = StartOnce(many, kLists);
  std::vector<double> manyMs, noneMs;
  for (int round = 0; round < kRounds; ++round) {
    manyMs.push_back(StartOnce(many, kLists));
    noneMs.push_back(StartOnce(none, 0));
  }
  const double withLists = Median(manyMs);
  const double without = Median(noneMs);
  std::printf(
      "start-up until shown, median of %d: %d lists %.1f ms, no lists %.1f ms, "
      "ratio %.2f\n",
      kRounds, kLists, withLists, without, withLists / without);
  std::printf("first start in the process (%d lists, with font and style loading): %.1f ms\n",
              kLists, first);
  fs::remove_all(root);
  return withLists < 500.0 ? 0 : 2;
}
