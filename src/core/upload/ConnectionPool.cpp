#include "upload/ConnectionPool.h"

#include <chrono>

#include "ftp/FtpClient.h"
#include "upload/DirectoryTracker.h"
#include "upload/SafeUploader.h"

namespace tolvane {

struct ConnectionPool::Task {
  enum class State { Queued, Running, Done };
  Job job;
  State state = State::Queued;
  bool dropped = false;
};

ConnectionPool::ConnectionPool(PoolConnection own, int workers, FtpOptions options, LogIn logIn,
                               MakeUploader makeUploader)
    : m_own(own),
      m_options(std::move(options)),
      m_logIn(std::move(logIn)),
      m_makeUploader(std::move(makeUploader)) {
  m_trace = std::move(m_options.trace);
  m_options.pump = nullptr;
  m_options.clock = &m_clock;
  m_options.cancelled = [this] { return m_cancelled.load(); };
  m_starting = workers;
  // The run's own connection is the first; the extra ones are numbered from 2.
  for (int i = 0; i < workers; ++i) m_threads.emplace_back([this, i] { Work(i + 2); });
}

ConnectionPool::~ConnectionPool() {
  Cancel();
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_stopping = true;
  }
  m_changed.notify_all();
  for (std::thread& thread : m_threads) thread.join();
  HandOnTrace();
}

void ConnectionPool::Work(int number) {
  FtpOptions options = m_options;
  if (m_trace) {
    options.trace = [this, number](const FtpTraceEvent& event) {
      std::lock_guard<std::mutex> lock(m_mutex);
      m_traced.push_back(event);
      m_traced.back().connection = number;
    };
  }
  FtpClient ftp(options);
  const bool in = !m_cancelled && m_logIn(ftp);
  --m_starting;
  if (!in) {
    m_changed.notify_all();
    return;
  }
  ++m_working;
  DirectoryTracker directories(ftp);
  std::unique_ptr<SafeUploader> uploader = m_makeUploader(ftp);
  PoolConnection connection{ftp, directories, *uploader};
  while (std::shared_ptr<Task> task = Take()) {
    task->job(connection);
    Finish(task);
    // A connection the server dropped takes no more jobs; the others go on.
    if (!ftp.IsConnected()) break;
  }
  --m_working;
  m_changed.notify_all();
  ftp.Close();
}

std::shared_ptr<ConnectionPool::Task> ConnectionPool::Take() {
  std::unique_lock<std::mutex> lock(m_mutex);
  for (;;) {
    if (m_stopping) return nullptr;
    while (!m_queue.empty() && m_queue.front()->state != Task::State::Queued) m_queue.pop_front();
    if (!m_queue.empty()) {
      std::shared_ptr<Task> task = m_queue.front();
      m_queue.pop_front();
      task->state = Task::State::Running;
      return task;
    }
    m_changed.wait(lock);
  }
}

void ConnectionPool::Finish(const std::shared_ptr<Task>& task) {
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    task->state = Task::State::Done;
    task->job = nullptr;  // what it holds goes now, not when the last waiter lets go
  }
  m_changed.notify_all();
}

std::shared_ptr<ConnectionPool::Task> ConnectionPool::Submit(Job job) {
  auto task = std::make_shared<Task>();
  task->job = std::move(job);
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_cancelled) {
      task->state = Task::State::Done;
      task->dropped = true;
      return task;
    }
    m_queue.push_back(task);
  }
  m_changed.notify_one();
  return task;
}

void ConnectionPool::Wait(const std::shared_ptr<Task>& task, const std::function<void()>& waiting) {
  for (;;) {
    std::shared_ptr<Task> mine;
    {
      std::unique_lock<std::mutex> lock(m_mutex);
      if (task->state == Task::State::Done) break;
      // The awaited job if no one has taken it yet, else the next one waiting for a
      // connection: this connection would only stand idle meanwhile.
      if (task->state == Task::State::Queued) {
        mine = task;
      } else {
        for (const std::shared_ptr<Task>& queued : m_queue) {
          if (queued->state == Task::State::Queued) {
            mine = queued;
            break;
          }
        }
      }
      if (mine) {
        mine->state = Task::State::Running;  // left in the queue; the workers pass it by
      } else {
        m_changed.wait_for(lock, std::chrono::milliseconds(20),
                           [&] { return task->state == Task::State::Done; });
      }
    }
    HandOnTrace();
    if (mine) {
      mine->job(m_own);
      Finish(mine);
      continue;
    }
    if (Done(task)) break;
    if (waiting) waiting();
  }
  HandOnTrace();
}

bool ConnectionPool::Done(const std::shared_ptr<Task>& task) {
  std::lock_guard<std::mutex> lock(m_mutex);
  return task->state == Task::State::Done;
}

bool ConnectionPool::Ran(const Task& task) { return !task.dropped; }

void ConnectionPool::Cancel() {
  m_cancelled = true;
  DropQueued();
}

void ConnectionPool::DropQueued() {
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    for (const std::shared_ptr<Task>& task : m_queue) {
      if (task->state != Task::State::Queued) continue;
      task->state = Task::State::Done;
      task->dropped = true;
      task->job = nullptr;
    }
    m_queue.clear();
  }
  m_changed.notify_all();
}

void ConnectionPool::HandOnTrace() {
  if (!m_trace) return;
  std::vector<FtpTraceEvent> traced;
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    traced.swap(m_traced);
  }
  for (const FtpTraceEvent& event : traced) m_trace(event);
}

}  // namespace tolvane
