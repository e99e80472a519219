#pragma once
// Message boxes gathered rather than shown. A scheduled run keeps its notices (OK only) here and
// shows them as one box that does not wait once the run is over, so that nobody's absence
// holds up the schedule's next minute or a power-off asked for. Questions still go through:
// they need their answer at once.
#include <string>
#include <vector>

#include "Seams.h"

namespace tolvane {

class GatheredNotices : public Prompts {
 public:
  explicit GatheredNotices(Prompts& target) : m_target(target) {}

  Answer Show(const std::string& text, const std::string& caption, Icon icon,
              Buttons buttons) override {
    if (buttons != Buttons::Ok) return m_target.Show(text, caption, icon, buttons);
    if (m_texts.empty()) {
      m_caption = caption;
      m_icon = icon;
    }
    // Every later entry failing for the same reason says nothing new.
    for (const std::string& seen : m_texts) {
      if (seen == text) return Answer::Ok;
    }
    m_texts.push_back(text);
    return Answer::Ok;
  }

  void ShowWithoutWaiting(const std::string& text, const std::string& caption, Icon icon) override {
    m_target.ShowWithoutWaiting(text, caption, icon);
  }

  const std::vector<std::string>& Texts() const { return m_texts; }

  // One box for everything gathered, each text on its own line; none when nothing was.
  void ShowGathered() {
    if (m_texts.empty()) return;
    std::string joined;
    for (const std::string& text : m_texts) joined += (joined.empty() ? "" : "\n") + text;
    m_target.ShowWithoutWaiting(joined, m_caption, m_icon);
    m_texts.clear();
  }

 private:
  Prompts& m_target;
  std::vector<std::string> m_texts;
  std::string m_caption;
  Icon m_icon = Icon::Warning;
};

}  // namespace tolvane
