#include "upload/ClockCheck.h"

#include <sys/stat.h>

#include "ftp/FtpClient.h"
#include "platform/LocalTime.h"
#include "settings/AppSettings.h"
#include "upload/FailureTexts.h"
#include "upload/ServerClockConvention.h"
#include "upload/ServerLogin.h"
#include "window/BusyGuard.h"
#include "window/MainState.h"
#include "window/StatusTexts.h"

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
    : m_ctx(ctx),
      m_openServerSettings(std::move(openServerSettings)),
      m_options(std::move(options)) {
  if (!m_options.pump) m_options.pump = [this] { m_ctx.clock.Pump(); };
  if (!m_options.clock) m_options.clock = &m_ctx.clock;
}

void ClockCheck::CheckServerClock() {
  // A run's pump can dispatch this command mid-run; a second connection would interfere.
  if (RefuseWhileBusy(m_ctx)) return;
  if (!LocalTestFileExists()) {
    m_ctx.prompts.Error(std::string("\"") + kClockTestFile + "\"の読み込みに失敗しました");
    return;
  }
  m_ctx.state.m_busy = true;
  m_ctx.status.SetStatus("サーバーに接続しています...");
  m_ctx.clock.SleepMs(500);

  Reading reading;
  {
    FtpClient ftp(m_options);
    if (ConnectWithSettings(ftp, m_ctx, CertificatePrompt::MayAsk)) {
      ShowIdle();
      m_ctx.state.m_busy = false;
      return;
    }
    m_ctx.status.SetStatus("時間を確認しています...");
    reading = ReadServerTime(ftp);
    Disconnect(ftp);
  }

  // A window ended during the check closes now; it asks nothing more.
  if (!reading.serverTime || m_ctx.state.m_closing) return;
  Answer answer = m_ctx.prompts.Show(ClockQuestionText(reading.pcTime, *reading.serverTime),
                                     kCaptionConfirm, Icon::Information, Buttons::YesNo);
  if (answer == Answer::Yes && m_openServerSettings) m_openServerSettings();
}

bool ClockCheck::LocalTestFileExists() const {
  struct stat st {};
  const std::string path = ProgramOrDataFile(m_ctx.settings, kClockTestFile);
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

ClockCheck::Reading ClockCheck::ReadServerTime(FtpClient& ftp) {
  ftp.ChangeDirectory("/");
  if (!m_ctx.settings.serverfolder.empty()) ftp.ChangeDirectory(m_ctx.settings.serverfolder);
  const std::string local = ProgramOrDataFile(m_ctx.settings, kClockTestFile);
  // A failed put is reported, and the check goes on: an older test file may still be there.
  if (FtpResult put = ftp.PutFile(local, kClockTestFile, TransferType::Ascii); !put.Succeeded()) {
    m_ctx.prompts.Failure(FailureText(put));
  }
  Reading reading;
  reading.pcTime = m_ctx.clock.Now();
  m_ctx.clock.SleepMs(1000);
  if (RemoteLookup found = ftp.LookUp(kClockTestFile); found.kind == RemoteLookup::Kind::Found) {
    int64_t server = ServerWallClock(found) - kServerClockShift;
    if (m_ctx.settings.clockCorrectionMinutes != 0)
      server += static_cast<int64_t>(m_ctx.settings.clockCorrectionMinutes) * 60;
    reading.serverTime = server;
    ftp.DeleteFile(kClockTestFile);
  }
  return reading;
}

void ClockCheck::Disconnect(FtpClient& ftp) {
  m_ctx.status.SetFileLine("");
  m_ctx.status.SetStatus("切断しています...");
  ftp.Close();  // quiet and bounded even when the server is already gone
  m_ctx.state.m_busy = false;
  ShowIdle();
}

void ClockCheck::ShowIdle() { m_ctx.status.SetStatus(IdleText(m_ctx.settings, m_ctx.state)); }

}  // namespace tolvane
