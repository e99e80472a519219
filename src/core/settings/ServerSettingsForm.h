#pragma once
// The server settings dialog's working copy and what its buttons do: the extension list with
// Add and Delete, and the OK that stores each changed value and rewrites mode.ini when the
// list was edited. The dialog only mirrors this in its controls.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "Seams.h"
#include "settings/AppSettings.h"

namespace tolvane {

// What the boxes hold when OK (or Add) is pressed.
struct ServerSettingsFields {
  std::string hostname;
  std::string username;
  std::string password;
  std::string serverfolder;
  std::string minutes;  // the text of the minutes box, read by ScanInteger
  bool passiveMode = false;
  bool temporaryNames = true;
  int encryption = 0;      // the choice: 0 none, 1 explicit FTPS, 2 implicit FTPS
  bool forgetPin = false;  // the pinned certificate is to be forgotten
  int connections = 2;     // the spin box's value, 1 to kMaxConnections
};

enum class ServerField { None, Hostname, Username, Password, Serverfolder, Minutes, Extension };

// What the dialog does after a button: close (OK only) and where the focus goes.
struct ServerFormStep {
  bool close = false;
  ServerField focus = ServerField::None;
};

class ServerSettingsForm {
 public:
  // `asciiExts` is the main window's extension table, replaced by a successful OK.
  ServerSettingsForm(AppSettings& settings, std::vector<std::string>& asciiExts, Prompts& prompts);

  // The values the boxes start with.
  ServerSettingsFields Initial() const;

  // The list items, "*." + extension each, in display order.
  const std::vector<std::string>& Items() const { return m_items; }
  bool ModeChanged() const { return m_modeChanged; }

  // Add: the minutes box is checked first, as every read of the boxes does; the item is then
  // "*." + `extension` as typed, unless the list holds it already (letter case ignored).
  // `added` tells whether the list grew.
  ServerFormStep Add(const ServerSettingsFields& fields, const std::string& extension, bool& added);

  // The pinned certificate as shown beside the encryption choice.
  std::string PinText() const;
  static std::string NoPinText() { return "記憶した証明書はありません"; }

  // Removes the item at `index`; false (and nothing happens) without a selection (-1).
  bool Delete(int index);

  // OK: stores the changed values in the order hostname, username, password, serverfolder,
  // clockCorrectionMinutes, passiveMode, temporaryNames, tls, connections, then mode.ini. A
  // changed hostname, or the forget button, drops the pinned certificate (it was the old host's). A text or password that cannot be stored stops it before
  // anything is written. An unreadable minutes entry keeps clockCorrectionMinutes and the dialog open, with
  // everything else stored.
  ServerFormStep Ok(const ServerSettingsFields& fields);

 private:
  bool RefuseUnstorable(const ServerSettingsFields& fields, ServerFormStep& step);
  bool StoreEncryption(int choice);
  bool StoreKeys(const ServerSettingsFields& fields, const std::optional<int32_t>& minutes,
                 ServerFormStep& step);

  AppSettings& m_settings;
  std::vector<std::string>& m_asciiExts;
  Prompts& m_prompts;
  std::vector<std::string> m_items;
  bool m_modeChanged = false;
};

}  // namespace tolvane
