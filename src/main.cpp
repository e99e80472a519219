#include <QApplication>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "App.h"
#include "start/CommandLine.h"

int main(int argc, char* argv[]) {
  // The command line is read before the toolkit starts: a run from cron or ssh has no display.
  const std::vector<std::string> arguments(argv, argv + argc);
  const tolvane::CommandLineRequest request = tolvane::ParseCommandLine(arguments);
  if (request.action != tolvane::CommandLineRequest::Action::Window) {
    std::error_code error;
    const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
    return tolvane::RunCommandLine(request, error ? argv[0] : executable.string(), std::cout,
                                   std::cerr);
  }
  QApplication app(argc, argv);
  tolvane::App program;
  return program.InitInstance(request.folder);
}
