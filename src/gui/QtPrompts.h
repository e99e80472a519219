#pragma once
#include "Seams.h"

namespace tolvane {

// Message boxes as QMessageBox, over whichever window of the program is active.
class QtPrompts : public Prompts {
 public:
  Answer Show(const std::string& text, const std::string& caption, Icon icon,
              Buttons buttons) override;
  void ShowWithoutWaiting(const std::string& text, const std::string& caption, Icon icon) override;
};

}  // namespace tolvane
