#pragma once
// The small interfaces through which the program's logic reaches the person and the machine:
// message boxes, the two status lines, the clock, the power switch and the desktop.
// Production code implements them with Qt; tests implement them with recorders.
#include <cstdint>
#include <string>

namespace tolvane {

enum class Icon { Warning, Question, Information, Stop };
enum class Buttons { Ok, YesNo };
enum class Answer { Ok, Yes, No };

// Captions used throughout.
inline constexpr const char* kCaptionError = "エラー";
inline constexpr const char* kCaptionConfirm = "確認";
inline constexpr const char* kCaptionDone = "完了";
inline constexpr const char* kAppName = "トルヴェイン";
// The program's file name without extension: the caption of the FTP client's errors.
inline constexpr const char* kProgramName = "tolvane";

class Prompts {
 public:
  virtual ~Prompts() = default;
  // A modal message box; returns the button pressed.
  virtual Answer Show(const std::string& text, const std::string& caption, Icon icon,
                      Buttons buttons) = 0;
  // A message box with an OK button that returns at once and stays up until it is closed:
  // for what the schedule has to say, which must not hold up its next minute.
  virtual void ShowWithoutWaiting(const std::string& text, const std::string& caption,
                                  Icon icon) = 0;

  // The common shapes.
  void Error(const std::string& text) { Show(text, kCaptionError, Icon::Warning, Buttons::Ok); }
  void Done(const std::string& text) { Show(text, kCaptionDone, Icon::Information, Buttons::Ok); }
  bool Ask(const std::string& text) {
    return Show(text, kCaptionConfirm, Icon::Question, Buttons::YesNo) == Answer::Yes;
  }
  // Errors of the FTP client: stop icon, the program's file name as caption.
  void Failure(const std::string& text) { Show(text, kProgramName, Icon::Stop, Buttons::Ok); }
};

// The main window's status line (schedule state, clock, progress) and file line.
class StatusLines {
 public:
  virtual ~StatusLines() = default;
  virtual void SetStatus(const std::string& text) = 0;
  virtual void SetFileLine(const std::string& text) = 0;
};

class Clock {
 public:
  virtual ~Clock() = default;
  // Seconds since 1970 (UTC).
  virtual int64_t Now() = 0;
  // Waits without handling any window events.
  virtual void SleepMs(int ms) = 0;
  // Lets the window repaint (and handle whatever else is queued) during long work.
  virtual void Pump() = 0;
};

class Shutdown {
 public:
  virtual ~Shutdown() = default;
  // Asks the system to power off; returns at once, whether or not it will happen.
  virtual void PowerOff() = 0;
};

class Launcher {
 public:
  virtual ~Launcher() = default;
  // Opens a file with the desktop's default application.
  virtual bool OpenFile(const std::string& path) = 0;
  // Starts `program` with the one argument `path`, never through a shell.
  virtual bool StartProgram(const std::string& program, const std::string& path) = 0;
  // Opens the file in the desktop's default text editor.
  virtual bool OpenInTextEditor(const std::string& path) = 0;
};

}  // namespace tolvane
