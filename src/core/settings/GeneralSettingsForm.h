#pragma once
// The general settings dialog's start values and its OK: each changed value written to its
// key and assigned to the record, nothing else told.
#include <optional>
#include <string>
#include <vector>

#include "Seams.h"
#include "settings/AppSettings.h"

namespace tolvane {

struct GeneralSettingsFields {
  int startIndex = -1;               // the position selected in the start-up list box, -1 for none
  std::optional<std::string> start;  // its text; nullopt when nothing is selected
  std::string localfolder;
  std::string editor;
  bool shift = false;
  bool ctrl = false;
  bool logFtp = false;
  bool minimizeToTray = false;
  bool startInTray = false;
  bool raiseOnScheduledRun = false;
  bool autostart = false;           // the autostart file starts this program at login
  bool autostartAvailable = false;  // there is a folder to keep that file in
};

enum class GeneralField { None, Start, Localfolder, Editor };

struct GeneralFormStep {
  bool close = false;
  GeneralField focus = GeneralField::None;
};

class GeneralSettingsForm {
 public:
  GeneralSettingsForm(AppSettings& settings, Prompts& prompts);

  // The values the controls start with, given the names in the main window's list selector:
  // the start-up list is the last name equal to `start`, or the first list when none is.
  GeneralSettingsFields Initial(const std::vector<std::string>& listNames) const;

  // OK: stores the changed values in the order localfolder, start (only with a selection),
  // editor, shift, ctrl, logFtp, minimizeToTray, startInTray, raiseOnScheduledRun. A text that
  // cannot be stored stops it before anything is written. The autostart file is written or
  // removed last, when the box changed.
  GeneralFormStep Ok(const GeneralSettingsFields& fields);

 private:
  bool RefuseUnstorable(const GeneralSettingsFields& fields, GeneralFormStep& step);
  bool StoreKeys(const GeneralSettingsFields& fields);

  AppSettings& m_settings;
  Prompts& m_prompts;
};

}  // namespace tolvane
