#pragma once
// Test doubles for the seams: recorders that keep what a person would have seen.
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "Seams.h"
#include "support/TempDir.h"
#include "window/MainState.h"
#include "window/MainView.h"

namespace tolvane::test {

struct Shown {
  std::string text;
  std::string caption;
  Icon icon;
  Buttons buttons;
};

class RecordingPrompts : public Prompts {
 public:
  Answer Show(const std::string& text, const std::string& caption, Icon icon,
              Buttons buttons) override {
    if (onShow) onShow();
    shown.push_back({text, caption, icon, buttons});
    if (buttons == Buttons::YesNo && !answers.empty()) {
      Answer a = answers.front();
      answers.pop_front();
      return a;
    }
    return buttons == Buttons::YesNo ? Answer::No : Answer::Ok;
  }
  void ShowWithoutWaiting(const std::string& text, const std::string& caption, Icon icon) override {
    notices.push_back({text, caption, icon, Buttons::Ok});
  }
  std::vector<Shown> shown;
  std::vector<Shown> notices;    // boxes shown without waiting for their OK
  std::deque<Answer> answers;    // scripted answers to Yes/No questions, in order
  std::function<void()> onShow;  // looks at the program while the box would be up
};

class RecordingStatus : public StatusLines {
 public:
  void SetStatus(const std::string& text) override {
    status = text;
    statusHistory.push_back(text);
  }
  void SetFileLine(const std::string& text) override {
    fileLine = text;
    fileHistory.push_back(text);
  }
  std::string status, fileLine;
  std::vector<std::string> statusHistory, fileHistory;
};

// A clock that only moves when told to, or by the sleeps the code asks for.
class FakeClock : public Clock {
 public:
  explicit FakeClock(int64_t start = 0) : now(start) {}
  int64_t Now() override { return now; }
  void SleepMs(int ms) override {
    sleeps.push_back(ms);
    sleptMs += ms;
    now += ms / 1000;
  }
  void Pump() override { ++pumps; }
  int64_t now;
  std::vector<int> sleeps;
  int64_t sleptMs = 0;
  int pumps = 0;
};

class FakeShutdown : public Shutdown {
 public:
  void PowerOff() override { ++calls; }
  int calls = 0;
};

class RecordingLauncher : public Launcher {
 public:
  struct Call {
    std::string what;  // "open", "program" or "editor"
    std::string program;
    std::string path;
  };
  bool OpenFile(const std::string& path) override { return Record({"open", "", path}); }
  bool StartProgram(const std::string& program, const std::string& path) override {
    return Record({"program", program, path});
  }
  bool OpenInTextEditor(const std::string& path) override { return Record({"editor", "", path}); }

  std::vector<Call> calls;
  std::deque<bool> results;  // scripted results, true when empty

 private:
  bool Record(Call call) {
    calls.push_back(std::move(call));
    if (results.empty()) return true;
    bool r = results.front();
    results.pop_front();
    return r;
  }
};

// The main window's controls as plain data.
class FakeMainView : public MainView {
 public:
  int ListCount() const override { return static_cast<int>(lists.size()); }
  std::string ListName(int index) const override { return lists.at(static_cast<size_t>(index)); }
  int ListSelection() const override { return listSelection; }
  void AppendList(const std::string& name) override { lists.push_back(name); }
  void RemoveList(int index) override {
    lists.erase(lists.begin() + index);
    listSelection = -1;
  }
  void SelectList(int index) override { listSelection = index; }
  void SetFileNames(const std::vector<std::string>& names) override {
    files = names;
    fileSelection = -1;
  }
  int FileSelection() const override { return fileSelection; }
  void FocusFileList() override { ++fileListFocused; }
  void SetUploadEnabled(bool enabled) override {
    uploadEnabled = enabled;
    uploadEnabledHistory.push_back(enabled);
  }
  void SetTimerChecked(bool checked) override { timerChecked = checked; }
  bool CtrlDown() const override { return ctrl; }
  bool ShiftDown() const override { return shift; }
  bool AltDown() const override { return alt; }
  void BringToFront() override { ++broughtToFront; }

  std::vector<std::string> lists;
  int listSelection = -1;
  std::vector<std::string> files;
  int fileSelection = -1;
  int fileListFocused = 0;
  bool uploadEnabled = true;
  std::vector<bool> uploadEnabledHistory;
  bool timerChecked = false;
  bool ctrl = false, shift = false, alt = false;
  int broughtToFront = 0;
};

// A main window's context over the fakes above, its program folder a fresh temporary one.
struct FakeMain {
  TempDir dir;
  AppSettings settings = SettingsIn(dir);
  MainState state;
  FakeMainView view;
  RecordingPrompts prompts;
  RecordingStatus status;
  FakeClock clock;
  MainContext ctx{settings, state, view, prompts, status, clock};
};

}  // namespace tolvane::test
