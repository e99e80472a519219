#include "start/CommandLine.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <ostream>

#include "lists/ListStore.h"
#include "platform/TerminationSignals.h"
#include "settings/AppSettings.h"
#include "settings/AsciiModeTable.h"
#include "settings/SettingsFile.h"
#include "start/HeadlessSeams.h"
#include "start/ProgramFolder.h"
#include "start/ProgramStart.h"
#include "upload/PreviewText.h"
#include "upload/RunLock.h"
#include "upload/RunLog.h"
#include "upload/UploadStarter.h"
#include "window/MainState.h"

#ifndef TOLVANE_VERSION
#define TOLVANE_VERSION "0"
#endif

namespace tolvane {
namespace {

constexpr const char* kHelpText =
    "使い方: tolvane [オプション]\n"
    "オプションなしで起動するとウィンドウが開きます。\n"
    "\n"
    "  --upload リスト名    リストのアップロードを1回実行して終了します\n"
    "  --preview リスト名   --upload で何が行われるかを表示します（サーバーは変更しません）\n"
    "  --mode newer|same|all\n"
    "                       newer: 新しいファイルのみ、same: 同じ時刻のファイルも、\n"
    "                       all: すべて（確認なし）。省略時は設定のとおり（予約実行と同じ）\n"
    "  --lists              リスト名を1行に1つずつ表示します\n"
    "  --dir フォルダ       設定・リスト・ログをこのフォルダで扱います（ウィンドウでも）\n"
    "  --help               この説明を表示します\n"
    "  --version            バージョンを表示します\n"
    "\n"
    "終了コード: 0 すべて完了、1 失敗または確認できなかったファイルあり、\n"
    "2 接続またはログインできず、3 コマンドライン・設定・リストの誤り、\n"
    "4 ほかのアップロードが実行中\n"
    "\n"
    "設定などのファイルは、実行ファイルのフォルダに kestra.ini があるか書き込めるときは\n"
    "そのフォルダに、それ以外は ~/.config/tolvane（$XDG_CONFIG_HOME/tolvane）に置きます。\n";

std::optional<UploadMode> ModeNamed(const std::string& name) {
  if (name == "newer") return UploadMode::Newer;
  if (name == "same") return UploadMode::NewerOrSame;
  if (name == "all") return UploadMode::Unchecked;
  return std::nullopt;
}

// The value of an option given as "--name value" or "--name=value".
bool TakeValue(const std::vector<std::string>& arguments, size_t& i, const std::string& name,
               std::string& value) {
  const std::string& argument = arguments[i];
  if (argument.rfind(name + "=", 0) == 0) {
    value = argument.substr(name.size() + 1);
    return true;
  }
  if (argument != name) return false;
  if (i + 1 < arguments.size()) {
    value = arguments[++i];
  } else {
    value.clear();
  }
  return true;
}

// 1 when an entry failed, could not be checked, had no local file or was not reached.
int ExitStatusOf(const UploadReport& report) {
  using Kind = EntryOutcome::Kind;
  for (const EntryOutcome& outcome : report.outcomes) {
    const Kind kind = outcome.kind;
    if (kind == Kind::Failed || kind == Kind::Unchecked || kind == Kind::LocalMissing ||
        kind == Kind::NotReached) {
      return kExitEntriesFailed;
    }
  }
  return kExitDone;
}

// A signal to end (systemd stopping the service, Ctrl+C) breaks the transfer in progress off
// and cleans it up, as the window does at logout.
class EndRequests {
 public:
  EndRequests() : m_fd(WatchTerminationSignals()) {}
  bool Arrived() {
    if (m_arrived || m_fd < 0) return m_arrived;
    pollfd watched{m_fd, POLLIN, 0};
    m_arrived = ::poll(&watched, 1, 0) > 0;
    return m_arrived;
  }

 private:
  int m_fd;
  bool m_arrived = false;
};

// The settings file is there but cannot be read: the run would use none of what it holds.
bool SettingsUnreadable(const AppSettings& settings) {
  if (::access(settings.iniPath.c_str(), F_OK) != 0) return false;
  const std::vector<std::string> irregular = FindIrregularStateFiles(settings);
  return ::access(settings.iniPath.c_str(), R_OK) != 0 ||
         std::find(irregular.begin(), irregular.end(), "kestra.ini") != irregular.end();
}

int UploadOrPreview(const CommandLineRequest& request, AppSettings& settings, std::ostream& out,
                    std::ostream& err) {
  const std::vector<std::string> names = FindListNames(settings);
  if (std::find(names.begin(), names.end(), request.listName) == names.end()) {
    err << "リスト「" << request.listName << "」はありません。";
    if (names.empty()) {
      err << "リストがまだ作られていません。\n";
    } else {
      err << "あるリスト:\n";
      for (const std::string& name : names) err << "  " << name << '\n';
    }
    return kExitBadInput;
  }
  if (settings.hostname.empty()) {
    err << "サーバーが設定されていません（" << settings.iniPath << "）\n";
    return kExitBadInput;
  }
  MainState state;
  LoadAsciiExtensions(settings, state.m_asciiExts);
  NoWindow view;
  ConsolePrompts prompts(err);
  UnshownStatus status;
  UnpausedClock clock;
  MainContext ctx{settings, state, view, prompts, status, clock};
  EndRequests endRequests;
  FtpOptions options;
  options.cancelled = [&state, &endRequests] {
    if (endRequests.Arrived()) state.m_terminating = true;
    return state.m_terminating;
  };
  const UploadMode mode = request.mode.value_or(ModeFor(false, false, settings));
  if (request.action == CommandLineRequest::Action::Preview) {
    UploadRequest asked;
    asked.origin = RunOrigin::CommandLine;
    asked.mode = mode;
    asked.listName = request.listName;
    std::optional<UploadPreview> preview = PreviewList(ctx, std::move(asked), options);
    if (!preview) return kExitBadInput;
    if (!preview->report.connected) return kExitNoConnection;
    out << PreviewHeading(*preview) << '\n';
    // Named as the run log names entries: the list's own server folder, if it gives one.
    const std::vector<UploadEntry>& entries = preview->request.entries;
    const std::vector<PreviewRow> rows = PreviewRows(*preview);
    for (size_t i = 0; i < rows.size() && i < entries.size(); ++i) {
      const std::string& folder = entries[i].remoteFolder;
      out << rows[i].action << ": " << rows[i].localPath << (folder.empty() ? "" : " → " + folder)
          << "（" << rows[i].reason << "）\n";
    }
    out << PreviewSummary(preview->report) << std::endl;
    return ExitStatusOf(preview->report);
  }
  std::optional<UploadReport> report =
      UploadFromCommandLine(ctx, request.listName, mode, options,
                            [&out](const UploadEntry& entry, const EntryOutcome& outcome) {
                              out << EntryLogText(entry, outcome) << std::endl;
                            });
  if (!report) {
    err << kOtherRunText << '\n';
    return kExitOtherRun;
  }
  if (report->logFailed) err << kRunLogFailedText << '\n';
  if (report->listUnreadable) return kExitBadInput;
  if (!report->connected) return kExitNoConnection;
  out << TotalsLogText(*report) << '\n' << DurationLogText(*report) << std::endl;
  return ExitStatusOf(*report);
}

}  // namespace

const char* ProgramVersion() { return TOLVANE_VERSION; }

CommandLineRequest ParseCommandLine(const std::vector<std::string>& arguments) {
  using Action = CommandLineRequest::Action;
  CommandLineRequest request;
  auto fail = [&request](const std::string& why) {
    if (request.error.empty()) request.error = why;
  };
  auto act = [&](Action action) {
    if (request.action != Action::Window && request.action != action) {
      fail("--upload, --preview, --lists, --help, --version はどれか一つだけ指定してください");
    }
    request.action = action;
  };
  bool modeGiven = false;
  for (size_t i = 1; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    std::string value;
    if (TakeValue(arguments, i, "--upload", value) || TakeValue(arguments, i, "--preview", value)) {
      act(argument.rfind("--upload", 0) == 0 ? Action::Upload : Action::Preview);
      if (value.empty()) fail(argument + " にはリスト名が必要です");
      request.listName = value;
    } else if (TakeValue(arguments, i, "--mode", value)) {
      modeGiven = true;
      request.mode = ModeNamed(value);
      if (!request.mode) fail("--mode には newer、same、all のどれかを指定してください");
    } else if (TakeValue(arguments, i, "--dir", value)) {
      if (value.empty()) fail("--dir にはフォルダが必要です");
      request.folder = value;
    } else if (argument == "--lists") {
      act(Action::Lists);
    } else if (argument == "--help" || argument == "-h") {
      act(Action::Help);
    } else if (argument == "--version") {
      act(Action::Version);
    } else if (argument.rfind("--", 0) == 0) {
      fail("知らないオプションです: " + argument);
    }
    // Anything else belongs to the window's toolkit (-platform and the like).
  }
  if (modeGiven && request.action != Action::Upload && request.action != Action::Preview) {
    fail("--mode は --upload か --preview と一緒に指定してください");
  }
  // A bad command line never opens the window: the caller is a script or a person at a shell.
  if (!request.error.empty() && request.action == Action::Window) request.action = Action::Help;
  return request;
}

int RunCommandLine(const CommandLineRequest& request, const std::string& executablePath,
                   std::ostream& out, std::ostream& err) {
  using Action = CommandLineRequest::Action;
  if (!request.error.empty()) {
    err << request.error << "\n（tolvane --help で使い方を表示します）\n";
    return kExitBadInput;
  }
  if (request.action == Action::Help) {
    out << kHelpText;
    return kExitDone;
  }
  if (request.action == Action::Version) {
    out << "tolvane " << ProgramVersion() << '\n';
    return kExitDone;
  }
  AppSettings settings;
  if (std::string problem = OpenProgramFolder(settings, executablePath, request.folder);
      !problem.empty()) {
    err << problem << '\n';
    return kExitBadInput;
  }
  if (SettingsUnreadable(settings)) {
    err << "設定ファイルを読み込めません: " << settings.iniPath << '\n';
    return kExitBadInput;
  }
  LoadSettings(settings);
  if (request.action == Action::Lists) {
    for (const std::string& name : FindListNames(settings)) out << name << '\n';
    return kExitDone;
  }
  return UploadOrPreview(request, settings, out, err);
}

}  // namespace tolvane
