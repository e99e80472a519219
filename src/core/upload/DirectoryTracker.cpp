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
  Place place = target_;
  for (const std::string& path : changes) {
    auto known = outcomes_.find(KeyOf(place, path));
    if (known != outcomes_.end()) {
      if (known->second) place = After(place, path);
      continue;
    }
    // Learn it where the run would try it.
    GoTo(place);
    Change(path);
    place = actual_;
  }
  target_ = place;
}

bool DirectoryTracker::GoTo(const Place& place) {
  if (actual_ == place) return true;
  size_t from = 0;
  bool ahead = actual_.size() < place.size() && std::equal(actual_.begin(), actual_.end(),
                                                           place.begin());
  if (ahead) {
    from = actual_.size();  // only the rest of the way
  } else if (place.empty() || !IsAbsolute(place.front())) {
    return false;  // the login folder has no name to go back to
  }
  for (size_t i = from; i < place.size(); ++i) {
    if (!Change(place[i])) return false;
  }
  return true;
}

bool DirectoryTracker::Change(const std::string& path) {
  bool changed = ftp_.ChangeDirectory(path);
  outcomes_[KeyOf(actual_, path)] = changed;
  if (changed) actual_ = After(actual_, path);
  return changed;
}

}  // namespace tolvane
