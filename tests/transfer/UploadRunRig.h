#pragma once
// Shared by the upload run's tests against the local server: a program folder with a list,
// a site folder with the local files, the server, and the main window's context over fakes.
#include <fcntl.h>
#include <sys/stat.h>

#include <ctime>
#include <memory>

#include "platform/LineFile.h"
#include "support/Fakes.h"
#include "support/FtpServer.h"
#include "upload/UploadStarter.h"

namespace tolvane::test {

// The program's folder with the list, and the site folder; the server is the caller's.
struct UploadListRig : FakeMain {
  UploadListRig() { clock.now = time(nullptr); }

  // The list "web", shown selected in the main window.
  void List(const std::vector<std::string>& lines) {
    app.Write("list/web.ini", EncodeLines(lines).value());
    view.lists = {"web"};
    view.listSelection = 0;
  }

  // Presses the upload button with every bound at `boundMs`; the status lines start afresh.
  void PressUpload(int boundMs = 2000) {
    status.statusHistory.clear();
    status.fileHistory.clear();
    FtpOptions options;
    options.connectTimeoutMs = options.replyTimeoutMs = options.dataStallTimeoutMs = boundMs;
    UploadFromButton(ctx, options);
  }

  TempDir& app = dir;  // the program's folder
  TempDir site;
};

// The same against the well-behaved local server.
struct UploadRunRig : UploadListRig {
  void Serve(FtpServerOptions options = {}) {
    server = std::make_unique<FtpServer>(options);
    settings.hostname = server->hostField();
    settings.username = options.user;
    settings.password = options.password;
  }

  std::unique_ptr<FtpServer> server;
};

}  // namespace tolvane::test
