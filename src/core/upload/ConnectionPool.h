#pragma once
// The extra connections of one run, each logged in on its own thread, taking jobs (listings,
// puts) from a common queue. The thread that owns the run keeps its own connection, its
// seams and the pump: it submits jobs, and while it waits for one it keeps pumping; a job no
// other connection has taken yet it does itself, so with no extra connection (or none the
// server let in) every job runs on the run's own connection, in the order it is waited for.
// Jobs never touch the seams: what they find goes into their own results.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "Seams.h"
#include "ftp/FtpOptions.h"

namespace tolvane {

class FtpClient;
class DirectoryTracker;
class SafeUploader;

// A connection as a job sees it: the client, where it stands on the server, its uploader.
struct PoolConnection {
  FtpClient& ftp;
  DirectoryTracker& directories;
  SafeUploader& uploader;
};

class ConnectionPool {
 public:
  using Job = std::function<void(PoolConnection&)>;
  struct Task;
  // Logs a new client in (on a worker's thread); false when the server would not have it.
  using LogIn = std::function<bool(FtpClient&)>;
  // Makes the uploader of a worker's connection.
  using MakeUploader = std::function<std::unique_ptr<SafeUploader>(FtpClient&)>;

  // `workers` extra connections with `options` (their pump, clock and cancel are the pool's;
  // the trace, if any, is handed on from the owner's thread in Wait).
  ConnectionPool(PoolConnection own, int workers, FtpOptions options, LogIn logIn,
                 MakeUploader makeUploader);
  ~ConnectionPool();  // breaks off what still runs and closes the extra connections
  ConnectionPool(const ConnectionPool&) = delete;
  ConnectionPool& operator=(const ConnectionPool&) = delete;

  std::shared_ptr<Task> Submit(Job job);
  // Returns once `task` ran (or was dropped by Cancel), meanwhile running queued jobs on the
  // owner's connection; between them `waiting` is called on this thread at least every 20 ms.
  void Wait(const std::shared_ptr<Task>& task, const std::function<void()>& waiting);
  bool Done(const std::shared_ptr<Task>& task);
  // False when Cancel dropped the task before it ran.
  static bool Ran(const Task& task);
  // Drops the jobs not yet started.
  void DropQueued();
  // Breaks off the transfers in progress too.
  void Cancel();
  // The clock's time for the extra connections (they date listings by it).
  void SetNow(int64_t now) { m_clock.now = now; }
  // Extra connections logged in and still open (the others never come back this run).
  int Working() const { return m_working; }
  // Extra connections not yet logged in, or refused.
  int Starting() const { return m_starting; }

 private:
  class WorkerClock : public Clock {
   public:
    int64_t Now() override { return now; }
    void SleepMs(int ms) override { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }
    void Pump() override {}
    std::atomic<int64_t> now{0};
  };
  void Work(int number);
  std::shared_ptr<Task> Take();  // the next queued task, nullptr when stopping
  void Finish(const std::shared_ptr<Task>& task);
  void HandOnTrace();

  PoolConnection m_own;
  FtpOptions m_options;
  std::function<void(const FtpTraceEvent&)> m_trace;
  LogIn m_logIn;
  MakeUploader m_makeUploader;
  WorkerClock m_clock;
  std::mutex m_mutex;
  std::condition_variable m_changed;
  std::deque<std::shared_ptr<Task>> m_queue;
  std::vector<FtpTraceEvent> m_traced;  // from the extra connections, not yet handed on
  std::atomic<bool> m_stopping{false};
  std::atomic<bool> m_cancelled{false};
  std::atomic<int> m_working{0};
  std::atomic<int> m_starting{0};
  std::vector<std::thread> m_threads;
};

}  // namespace tolvane
