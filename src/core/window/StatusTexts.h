#pragma once
#include <string>

#include "settings/AppSettings.h"
#include "window/MainState.h"

namespace tolvane {

// The status line when nothing is running: the schedule state (each text ends in a full-width
// space) followed by the clock.
inline std::string IdleText(const AppSettings& settings, const MainState& state) {
  return std::string(settings.timer != 0 ? "TIMER ON　" : "TIMER OFF　") + state.m_clockText;
}

}  // namespace tolvane
