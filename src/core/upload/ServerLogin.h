#pragma once
// Logging in with the server settings, shared by the upload run and the clock check.
#include <optional>
#include <string>

#include "ftp/FtpResult.h"
#include "ftp/FtpTls.h"
#include "window/MainView.h"

namespace tolvane {

class FtpClient;
struct AppSettings;

// Connects and logs in as the settings say, showing nothing: for the run's extra connections.
FtpResult ConnectToServer(FtpClient& ftp, const AppSettings& settings);

// Whether a certificate the system does not trust may be put to the person. Only a run
// someone started by hand may ask; a scheduled or command-line run refuses and says why.
enum class CertificatePrompt { MayAsk, NeverAsk };

// The encryption the settings choose, with the pin when it was accepted for this host.
FtpTlsSettings TlsSettingsOf(const AppSettings& settings);

// Connects and logs in as the settings say. On failure shows why (the server's own words, or
// a sentence of ours) and returns that text. An untrusted certificate is put to the person
// once when `prompt` allows: Yes pins it in the settings and connects again with it.
std::optional<std::string> ConnectWithSettings(FtpClient& ftp, MainContext& ctx,
                                               CertificatePrompt prompt);

}  // namespace tolvane
