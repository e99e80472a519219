#include "upload/ClockCheck.h"

#include <sys/stat.h>

#include "settings/AppSettings.h"
#include "window/BusyGuard.h"
#include "window/MainState.h"
#include "window/StatusTexts.h"
#include "platform/LocalTime.h"
#include "upload/FailureTexts.h"
#include "ftp/FtpClient.h"
#include "upload/ServerClockConvention.h"
#include "upload/ServerLogin.h"

namespace tolvane {
namespace {

constexpr const char* kShown = "%m/%d %H:%M";

}  // namespace

std::string ClockQuestionText(int64_t pcTime, int64_t serverTime) {
  return "PC側　" + FormatLocal(pcTime, kShown) + "\nサーバー側　" +
         FormatLocal(serverTime, kShown) + "\n\n時間補正を設定しますか？";
}

ClockCheck::ClockCheck(MainContext& ctx, std::function<void()> openServerSettings,
                       FtpOptions options)
    : ctx_(ctx), openServerSettings_(std::move(openServerSettings)), options_(std::move(options)) {
  if (!options_.pump) options_.pump = [this] { ctx_.clock.Pump(); };
  if (!options_.clock) options_.clock = &ctx_.clock;
}

void ClockCheck::CheckServerClock() {
  // A run's pump can dispatch this command mid-run; a second connection would interfere.
  if (RefuseWhileBusy(ctx_)) return;
  if (!LocalTestFileExists()) {
    ctx_.prompts.Error(std::string("\"") + kClockTestFile + "\"の読み込みに失敗しました");
    return;
  }
  ctx_.state.m_busy = true;
  ctx_.status.SetStatus("サーバーに接続しています...");
  ctx_.clock.SleepMs(500);

  Reading reading;
  {
    FtpClient ftp(options_);
    if (ConnectWithSettings(ftp, ctx_)) {
      ShowIdle();
      ctx_.state.m_busy = false;
      return;
    }
    ctx_.status.SetStatus("時間を確認しています...");
    reading = ReadServerTime(ftp);
    Disconnect(ftp);
  }

  // A window ended during the check closes now; it asks nothing more.
  if (!reading.serverTime || ctx_.state.m_closing) return;
  Answer answer = ctx_.prompts.Show(ClockQuestionText(reading.pcTime, *reading.serverTime),
                                    kCaptionConfirm, Icon::Information, Buttons::YesNo);
  if (answer == Answer::Yes && openServerSettings_) openServerSettings_();
}

bool ClockCheck::LocalTestFileExists() const {
  struct stat st {};
  const std::string path = PathBesideExe(ctx_.settings, kClockTestFile);
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

ClockCheck::Reading ClockCheck::ReadServerTime(FtpClient& ftp) {
  ftp.ChangeDirectory("/");
  if (!ctx_.settings.serverfolder.empty()) ftp.ChangeDirectory(ctx_.settings.serverfolder);
  const std::string local = PathBesideExe(ctx_.settings, kClockTestFile);
  // A failed put is reported, and the check goes on: an older test file may still be there.
  if (FtpResult put = ftp.PutFile(local, kClockTestFile, TransferType::Ascii); !put.Succeeded()) {
    ctx_.prompts.Failure(FailureText(put));
  }
  Reading reading;
  reading.pcTime = ctx_.clock.Now();
  ctx_.clock.SleepMs(1000);
  if (RemoteLookup found = ftp.LookUp(kClockTestFile); found.kind == RemoteLookup::Kind::Found) {
    int64_t server = ServerWallClock(found) - kServerClockShift;
    if (ctx_.settings.stime != 0) server += static_cast<int64_t>(ctx_.settings.stime) * 60;
    reading.serverTime = server;
    ftp.DeleteFile(kClockTestFile);
  }
  return reading;
}

void ClockCheck::Disconnect(FtpClient& ftp) {
  ctx_.status.SetFileLine("");
  ctx_.status.SetStatus("切断しています...");
  ftp.Close();  // quiet and bounded even when the server is already gone
  ctx_.state.m_busy = false;
  ShowIdle();
}

void ClockCheck::ShowIdle() { ctx_.status.SetStatus(IdleText(ctx_.settings, ctx_.state)); }

}  // namespace tolvane
