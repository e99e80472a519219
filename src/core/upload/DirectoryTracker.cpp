#include "upload/DirectoryTracker.h"

#include <algorithm>

#include "ftp/FtpClient.h"

namespace tolvane {

DirectoryTracker::Place DirectoryTracker::After(const Place& from, const std::string& path) {
  if (IsAbsolute(path)) return {path};
  Place place = from;
  place.push_back(path);
  return place;
}

DirectoryTracker::Key DirectoryTracker::KeyOf(const Place& from, const std::string& path) {
  // An absolute path leads to the same directory from anywhere.
  return {IsAbsolute(path) ? Place{} : from, path};
}

void DirectoryTracker::Enter(const std::vector<std::string>& changes) {
  Place place = m_target;
  for (const std::string& path : changes) {
    auto known = m_outcomes.find(KeyOf(place, path));
    if (known != m_outcomes.end()) {
      if (known->second) place = After(place, path);
      continue;
    }
    // Learn it where the run would try it.
    GoTo(place);
    Change(path);
    place = m_actual;
  }
  m_target = place;
}

bool DirectoryTracker::GoTo(const Place& place) {
  if (m_actual == place) return true;
  size_t from = 0;
  bool ahead =
      m_actual.size() < place.size() && std::equal(m_actual.begin(), m_actual.end(), place.begin());
  if (ahead) {
    from = m_actual.size();  // only the rest of the way
  } else if (place.empty() || !IsAbsolute(place.front())) {
    return false;  // the login folder has no name to go back to
  }
  for (size_t i = from; i < place.size(); ++i) {
    if (!Change(place[i])) return false;
  }
  return true;
}

bool DirectoryTracker::Change(const std::string& path) {
  bool changed = m_ftp.ChangeDirectory(path);
  m_outcomes[KeyOf(m_actual, path)] = changed;
  if (changed) m_actual = After(m_actual, path);
  return changed;
}

}  // namespace tolvane
