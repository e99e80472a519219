#pragma once
// The system's requests to end (SIGTERM at logout or power-off, SIGHUP, SIGINT) become a byte
// on a pipe the event loop watches, so the program ends by its own steps: a transfer in
// progress is broken off and cleaned up instead of dying half-written on the server.
namespace tolvane {

// Installs the handlers once; returns the pipe's non-blocking read end, or -1.
int WatchTerminationSignals();

// Empties the pipe after it became readable.
void DrainTerminationSignals(int readEnd);

}  // namespace tolvane
