#include "upload/DirectoryTracker.h"

#include <algorithm>
#include <string_view>

#include "ftp/FtpClient.h"

namespace tolvane {
namespace {

// A step a server takes the same whether it comes alone or inside a longer path: no dots,
// nothing it might trim, read as a pattern or (in a LIST argument) as an option.
bool IsPlainStep(std::string_view step) {
  return !step.empty() && step != "." && step != ".." && step.front() != ' ' &&
         step.back() != ' ' && step.front() != '-' &&
         step.find_first_of("\\*?[]~") == std::string_view::npos;
}

// Appends the steps of `path` ("a/b", "/a/b/", "a") to `joined`; false for any other step.
bool AppendSteps(std::string_view path, std::string& joined) {
  if (!path.empty() && path.front() == '/') path.remove_prefix(1);
  if (!path.empty() && path.back() == '/') path.remove_suffix(1);
  if (path.empty()) return true;
  for (size_t start = 0;;) {
    size_t slash = path.find('/', start);
    std::string_view step = path.substr(start, slash - start);
    if (!IsPlainStep(step)) return false;
    joined += '/';
    joined += step;
    if (slash == std::string_view::npos) return true;
    start = slash + 1;
  }
}

}  // namespace

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

std::optional<DirectoryTracker::Place> DirectoryTracker::Foreseen(
    const std::vector<std::string>& changes) const {
  Place place = m_target;
  for (const std::string& path : changes) {
    auto known = m_outcomes.find(KeyOf(place, path));
    if (known == m_outcomes.end()) {
      if (!IsAbsolute(path) && path.find('/') != std::string::npos) return std::nullopt;
      if (IsAbsolute(path) && !PathOf({path})) return std::nullopt;
      if (!IsAbsolute(path) && !PathOf({"/", path})) return std::nullopt;
    }
    if (known == m_outcomes.end() || known->second) place = After(place, path);
  }
  return place;
}

void DirectoryTracker::Assume(const std::vector<std::string>& changes) {
  Place place = m_target;
  for (const std::string& path : changes) {
    auto [known, added] = m_outcomes.emplace(KeyOf(place, path), true);
    if (known->second) place = After(place, path);
  }
  m_target = place;
}

std::optional<std::string> DirectoryTracker::PathOf(const Place& place) {
  if (place.empty() || !IsAbsolute(place.front())) return std::nullopt;
  std::string joined;
  for (const std::string& step : place) {
    if (!AppendSteps(step, joined)) return std::nullopt;
  }
  return joined.empty() ? "/" : joined;
}

bool DirectoryTracker::GoTo(const Place& place) {
  if (m_actual == place) return true;
  size_t from = 0;
  bool ahead =
      m_actual.size() < place.size() && std::equal(m_actual.begin(), m_actual.end(), place.begin());
  if (ahead && place.size() - m_actual.size() == 1) {
    from = m_actual.size();  // only the rest of the way
  } else if (std::optional<std::string> path = PathOf(place)) {
    // Straight there: one change instead of one per step.
    if (!m_ftp.ChangeDirectory(*path)) return false;
    m_actual = place;
    return true;
  } else if (ahead) {
    from = m_actual.size();
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
