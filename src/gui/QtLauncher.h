#pragma once
// Opening files and starting programs on the desktop. Programs are started with an argument
// list, never through a shell, so blanks and quotes in a path are safe.
#include "Seams.h"

namespace tolvane {

class QtLauncher : public Launcher {
 public:
  // The file's default application; false when there is no such file.
  bool OpenFile(const std::string& path) override;
  // `program` (a path, or a name found on PATH) with `path` as its one argument.
  bool StartProgram(const std::string& program, const std::string& path) override;
  // The desktop's default application for plain text (xdg-mime, started by gtk-launch or
  // gio); without those tools, the file's default application.
  bool OpenInTextEditor(const std::string& path) override;
};

}  // namespace tolvane
