#pragma once
// Powers the machine off through systemd-logind, as a scheduled entry may ask after its upload.
#include "Seams.h"

namespace tolvane {

class LogindShutdown : public Shutdown {
 public:
  // Asks logind (without an interactive authorisation prompt, since nobody may be watching);
  // if that call fails, starts `systemctl poweroff`. Nothing is shown either way.
  void PowerOff() override;
};

}  // namespace tolvane
