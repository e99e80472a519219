#pragma once
// The application object: the program's start-up, and the settings record for its whole life.
#include <QTranslator>
#include <string>

#include "settings/AppSettings.h"

namespace tolvane {

class App {
 public:
  // Refuses a second copy, loads the settings, runs the main window until it ends. Needs a
  // QApplication. `givenFolder`: the program folder named by --dir, empty to choose it.
  // Returns the process's exit code.
  int InitInstance(const std::string& givenFolder = "");

  AppSettings settings;

 private:
  void LoadTranslations();

  QTranslator m_qtTranslator;
};

}  // namespace tolvane
