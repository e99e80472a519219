#pragma once
// The seams of a run without a window: messages go to standard error and never wait, questions
// are answered No, the status lines are not shown, and the run does not pause for a person
// to read anything.
#include <ostream>

#include "Seams.h"
#include "platform/SystemClock.h"
#include "window/MainView.h"

namespace tolvane {

class ConsolePrompts : public Prompts {
 public:
  explicit ConsolePrompts(std::ostream& err) : m_err(err) {}
  Answer Show(const std::string& text, const std::string&, Icon, Buttons buttons) override {
    m_err << text << '\n';
    return buttons == Buttons::YesNo ? Answer::No : Answer::Ok;
  }
  void ShowWithoutWaiting(const std::string& text, const std::string&, Icon) override {
    m_err << text << '\n';
  }

 private:
  std::ostream& m_err;
};

class UnshownStatus : public StatusLines {
 public:
  void SetStatus(const std::string&) override {}
  void SetFileLine(const std::string&) override {}
};

class UnpausedClock : public SystemClock {
 public:
  void SleepMs(int) override {}
};

class NoWindow : public MainView {
 public:
  int ListCount() const override { return 0; }
  std::string ListName(int) const override { return {}; }
  int ListSelection() const override { return -1; }
  void AppendList(const std::string&) override {}
  void RemoveList(int) override {}
  void SelectList(int) override {}
  void SetFileNames(const std::vector<std::string>&) override {}
  int FileSelection() const override { return -1; }
  void FocusFileList() override {}
  void SetUploadEnabled(bool) override {}
  void SetTimerChecked(bool) override {}
  bool CtrlDown() const override { return false; }
  bool ShiftDown() const override { return false; }
  bool AltDown() const override { return false; }
  void BringToFront() override {}
};

}  // namespace tolvane
