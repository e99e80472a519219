#pragma once
// A tray icon that records whether it is shown and can be clicked by the test.
#include <string>
#include <vector>

#include "window/TrayIcon.h"

namespace tolvane::test {

class FakeTrayIcon : public TrayIcon {
 public:
  bool IsAvailable() const override { return available; }
  void Show() override {
    shown = true;
    ++showCalls;
  }
  void Hide() override { shown = false; }
  void Notify(const std::string& title, const std::string& text) override {
    notices.push_back(title + ": " + text);
  }
  // A left click on the icon.
  void Click() { Clicked(); }

  bool available = true;  // false: a desktop without a tray
  bool shown = false;
  int showCalls = 0;
  std::vector<std::string> notices;
};

}  // namespace tolvane::test
