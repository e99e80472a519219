#pragma once
// Where the upload run's change-directory sequences leave the server connection, worked out
// from what the server has already answered in this run, so that a change whose outcome is
// known is not sent again. The server's folders are taken not to change during the run:
// the run only puts files, and a put neither makes nor removes a folder.
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tolvane {

class FtpClient;

class DirectoryTracker {
 public:
  // A directory as the arguments of the changes that reached it, since the last change to an
  // absolute path ("/www", "sub"); empty: the folder the login left us in. Replaying them
  // from the first reaches the directory again.
  using Place = std::vector<std::string>;

  explicit DirectoryTracker(FtpClient& ftp) : m_ftp(ftp) {}

  // Tries `changes` in order from where the previous sequence ended, as the run would,
  // each failure leaving the directory where it was. A change is sent only when its outcome
  // from that place has not been seen yet; the connection may lag behind (see GoToTarget).
  void Enter(const std::vector<std::string>& changes);
  // Where the sequences so far have left the directory.
  const Place& Target() const { return m_target; }
  // Brings the connection to Target(); false when the server no longer answers as before.
  bool GoToTarget() { return GoTo(m_target); }
  // Brings the connection to `place` (a Target() of this or another connection's tracker).
  bool GoTo(const Place& place);

  // Where Enter(changes) leads if every change whose outcome is not known yet succeeds. Only
  // when each of those is "/", an absolute path or one folder name: a server may refuse a
  // relative path of several steps that it takes in an absolute one, so such a change
  // must be tried (nullopt).
  std::optional<Place> Foreseen(const std::vector<std::string>& changes) const;
  // Enter(changes) without asking the server: the changes not known yet are taken as done,
  // because the server showed that Foreseen(changes) exists (e.g. by listing it).
  void Assume(const std::vector<std::string>& changes);
  // The absolute path that leads to `place` in one change, when its every step is a plain
  // folder name; nullopt otherwise.
  static std::optional<std::string> PathOf(const Place& place);

 private:
  using Key = std::pair<Place, std::string>;
  static bool IsAbsolute(const std::string& path) { return !path.empty() && path[0] == '/'; }
  static Place After(const Place& from, const std::string& path);
  static Key KeyOf(const Place& from, const std::string& path);
  bool Change(const std::string& path);  // sends the change, remembers its outcome

  FtpClient& m_ftp;
  Place m_actual;  // where the connection is
  Place m_target;  // where the run's sequences put it
  std::map<Key, bool> m_outcomes;
};

}  // namespace tolvane
