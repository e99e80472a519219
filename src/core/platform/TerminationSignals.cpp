#include "platform/TerminationSignals.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <initializer_list>

namespace tolvane {
namespace {

int g_writeEnd = -1;

void OnSignal(int) {
  const int saved = errno;
  const char byte = 1;
  if (write(g_writeEnd, &byte, 1) < 0) {
    // A full pipe already holds the request.
  }
  errno = saved;
}

}  // namespace

int WatchTerminationSignals() {
  static int readEnd = -1;
  if (readEnd >= 0) return readEnd;
  int ends[2];
  if (pipe2(ends, O_NONBLOCK | O_CLOEXEC) != 0) return -1;
  g_writeEnd = ends[1];
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int signal : {SIGTERM, SIGHUP, SIGINT}) sigaction(signal, &action, nullptr);
  readEnd = ends[0];
  return readEnd;
}

void DrainTerminationSignals(int readEnd) {
  char buffer[64];
  while (read(readEnd, buffer, sizeof buffer) > 0) {
  }
}

}  // namespace tolvane
