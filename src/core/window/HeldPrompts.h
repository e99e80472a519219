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
  explicit HeldPrompts(Prompts& target) : target_(target) {}

  void Hold() { holding_ = true; }
  // Shows what was held, in order, and passes everything on from now on.
  void Release() {
    holding_ = false;
    std::vector<Notice> held;
    held.swap(held_);
    for (const Notice& n : held) target_.Show(n.text, n.caption, n.icon, Buttons::Ok);
  }

  Answer Show(const std::string& text, const std::string& caption, Icon icon,
              Buttons buttons) override {
    if (!holding_ || buttons != Buttons::Ok) return target_.Show(text, caption, icon, buttons);
    held_.push_back({text, caption, icon});
    return Answer::Ok;
  }

 private:
  struct Notice {
    std::string text;
    std::string caption;
    Icon icon;
  };
  Prompts& target_;
  bool holding_ = false;
  std::vector<Notice> held_;
};

}  // namespace tolvane
