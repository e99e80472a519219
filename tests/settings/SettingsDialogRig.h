#pragma once
// A settings dialog over a temporary executable folder, with fake seams standing in for the
// main window.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <string>

#include "lists/WhenModal.h"
#include "settings/SettingsFile.h"
#include "support/Fakes.h"
#include "support/TempDir.h"
#include "window/MainState.h"
#include "window/MainView.h"

namespace tolvane::test {

inline QLineEdit* Edit(QWidget* dialog, const char* name) { return Child<QLineEdit>(dialog, name); }
inline QCheckBox* Check(QWidget* dialog, const char* name) {
  return Child<QCheckBox>(dialog, name);
}

inline void Click(QWidget* dialog, const char* button) {
  QTest::mouseClick(Child<QPushButton>(dialog, button), Qt::LeftButton);
}

// Toggles a check box from the keyboard (a click in its middle may miss a short label).
inline void Tick(QCheckBox* box) { QTest::keyClick(box, Qt::Key_Space); }

// Replaces a box's text the way typing does.
inline void Type(QWidget* dialog, const char* edit, const QString& text) {
  QLineEdit* box = Edit(dialog, edit);
  box->selectAll();
  box->del();
  QTest::keyClicks(box, text);
}

struct SettingsDialogRig : FakeMain {

  // kestra.ini as raw bytes, then loaded as start-up does.
  void Load(const std::string& ini) {
    dir.Write("kestra.ini", ini);
    LoadSettings(settings);
  }
  std::string Ini() const { return dir.Read("kestra.ini"); }
};

}  // namespace tolvane::test
