#pragma once
// How the FTP client waits: bounds for connecting, for each reply and for a data connection
// that stops moving, and the pump it calls meanwhile so the window keeps painting.
#include <functional>

namespace tolvane {

enum class TransferType { Ascii = 1, Binary = 2 };

struct FtpOptions {
  int connectTimeoutMs = 15000;
  int replyTimeoutMs = 30000;
  int dataStallTimeoutMs = 30000;  // a data connection that moves no byte this long is cut
  int listingTimeoutMs = 300000;   // a whole listing must have arrived by then
  std::function<void()> pump;      // called while waiting; may be empty
  // Asked while data moves; true breaks the transfer off as failed (the program is ending).
  std::function<bool()> cancelled;
};

}  // namespace tolvane
