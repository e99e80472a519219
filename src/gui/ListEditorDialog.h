#pragma once
// "リスト設定": the list editor. Shows the working copy of one list as a table of files and
// server folders; the buttons change the copy, OK saves it.
#include <QDialog>
#include <memory>
#include <string>

#include "ListEntryDialog.h"
#include "Seams.h"
#include "lists/ListEditorForm.h"
#include "settings/AppSettings.h"
#include "window/MainView.h"

namespace Ui {
class ListEditorDialog;
}

namespace tolvane {

class ListEditorDialog : public QDialog {
  Q_OBJECT
 public:
  // `owner` is the main window, whose list selector the duplicate-name test reads.
  ListEditorDialog(const AppSettings& settings, const MainView& owner, Prompts& prompts,
                   QWidget* parent = nullptr);
  ~ListEditorDialog() override;

  // Fills the dialog with a new list, or (editMode) with the list `listName` read from its
  // file. False when the file cannot be read: the dialog must then not be run.
  bool Open(bool editMode, const std::string& listName);

  const ListEditorData& Data() const { return m_model.Data(); }
  void SetFilePicker(ListEntryDialog::FilePicker picker) { m_picker = std::move(picker); }

 private:
  void SetUpTable();
  void ShowRow(int row);
  int SelectedRow() const;
  // Runs the entry dialog; true after its OK, with the entry in path and folder.
  bool RunEntryDialog(bool editMode, std::string& path, std::string& folder);

  void OnOk();
  void OnAdd();
  void OnEdit();
  void OnDelete();
  void OnMove(int delta);

  std::unique_ptr<Ui::ListEditorDialog> ui;
  const AppSettings& m_settings;
  const MainView& m_owner;
  Prompts& m_prompts;
  ListEditorForm m_model;
  ListEntryDialog::FilePicker m_picker = ListEntryDialog::SystemFilePicker();
};

}  // namespace tolvane
