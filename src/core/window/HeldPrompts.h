#pragma once
// Message boxes that can wait: during the window's start-up the plain notices (OK only) are
// held and shown once the 250 ms timer runs, so a notice left unanswered never holds up the
// schedule. Questions are never held; they need their answer at once.
#include <string>
#include <vector>

#include "Seams.h"

namespace tolvane {

class HeldPrompts : public Prompts {
 public:
  explicit HeldPrompts(Prompts& target) : m_target(target) {}

  void Hold() { m_holding = true; }
  // Shows what was held, in order, and passes everything on from now on.
  void Release() {
    m_holding = false;
    std::vector<Notice> held;
    held.swap(m_held);
    for (const Notice& n : held) m_target.Show(n.text, n.caption, n.icon, Buttons::Ok);
  }

  void ShowWithoutWaiting(const std::string& text, const std::string& caption, Icon icon) override {
    m_target.ShowWithoutWaiting(text, caption, icon);
  }

  Answer Show(const std::string& text, const std::string& caption, Icon icon,
              Buttons buttons) override {
    if (!m_holding || buttons != Buttons::Ok) return m_target.Show(text, caption, icon, buttons);
    m_held.push_back({text, caption, icon});
    return Answer::Ok;
  }

 private:
  struct Notice {
    std::string text;
    std::string caption;
    Icon icon;
  };
  Prompts& m_target;
  bool m_holding = false;
  std::vector<Notice> m_held;
};

}  // namespace tolvane
