#pragma once
// The list editor over a temporary executable folder, with fake prompts and a fake main
// window, and helpers to drive both list dialogs.
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <memory>

#include "ListEditorDialog.h"
#include "ListEntryDialog.h"
#include "WhenModal.h"
#include "platform/Cp932.h"
#include "support/Fakes.h"
#include "support/TempDir.h"

namespace tolvane::test {

inline QLineEdit* Edit(QWidget* dialog, const char* name) { return Child<QLineEdit>(dialog, name); }
inline void Click(QWidget* dialog, const char* button) {
  QTest::mouseClick(Child<QPushButton>(dialog, button), Qt::LeftButton);
}

// A list file's exact bytes: code page 932, every line ending in CR LF.
inline std::string ListBytes(const std::vector<std::string>& lines) {
  std::string bytes;
  for (const std::string& line : lines) bytes += ToCp932(line).value() + "\r\n";
  return bytes;
}

struct ListEditorRig {
  TempDir dir;
  AppSettings settings = SettingsIn(dir);
  RecordingPrompts prompts;
  FakeMainView owner;
  std::unique_ptr<ListEditorDialog> dialog;

  void List(const std::string& name, const std::vector<std::string>& lines) const {
    dir.Write("list/" + name + ".ini", ListBytes(lines));
  }
  std::string File(const std::string& name) const { return dir.Read("list/" + name + ".ini"); }

  // Opens the editor, shown but not modal, so the test can press its buttons.
  void Open(bool editMode, const std::string& name = "") {
    dialog = std::make_unique<ListEditorDialog>(settings, owner, prompts);
    QVERIFY(dialog->Open(editMode, name));
    dialog->show();
  }
  QTableWidget* Table() const { return Child<QTableWidget>(dialog.get(), "entryTable"); }
  void Press(const char* button) const { Click(dialog.get(), button); }
  void Select(int row) const { Table()->selectRow(row); }
  int Selected() const {
    const QModelIndexList rows = Table()->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
  }
  QStringList Rows() const {
    QStringList rows;
    for (int r = 0; r < Table()->rowCount(); ++r) {
      rows << Table()->item(r, 0)->text() + "|" + Table()->item(r, 1)->text();
    }
    return rows;
  }
  // Presses `button` (Add or Edit) and gives the entry dialog that opens this path and folder.
  void Enter(const char* button, const QString& path, const QString& folder) const {
    WhenModal<ListEntryDialog>([path, folder](ListEntryDialog* d) {
      Edit(d, "fileEdit")->setText(path);
      Edit(d, "folderEdit")->setText(folder);
      Click(d, "okButton");
    });
    Press(button);
  }
  bool EndedWith(int result) const { return !dialog->isVisible() && dialog->result() == result; }
};

}  // namespace tolvane::test
