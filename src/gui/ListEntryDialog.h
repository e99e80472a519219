#pragma once
// "ファイルの追加" / "編集": one entry of a list, a local file and the server folder it goes to.
#include <QDialog>
#include <functional>
#include <memory>
#include <string>

#include "Seams.h"

namespace Ui {
class ListEntryDialog;
}

namespace tolvane {

class ListEntryDialog : public QDialog {
  Q_OBJECT
 public:
  // Asks for an existing file, starting in `startFolder` (empty: wherever the system likes).
  // Returns the chosen file's full path, or an empty text when the person cancelled.
  using FilePicker = std::function<QString(QWidget* parent, const QString& startFolder)>;
  static FilePicker SystemFilePicker();

  ListEntryDialog(Prompts& prompts, FilePicker picker, QWidget* parent = nullptr);
  ~ListEntryDialog() override;

  // Set by the caller before exec(); read back after OK.
  std::string m_filePath;
  std::string m_folder;
  bool m_editMode = false;
  std::string m_localFolder;  // where the file picker starts (the `localfolder` setting)

  // Puts the fields into the boxes, then runs the dialog modally.
  int exec() override;

 private:
  void OnInitDialog();
  void OnOk();
  void OnBrowse();

  std::unique_ptr<Ui::ListEntryDialog> ui;
  Prompts& m_prompts;
  FilePicker m_picker;
};

}  // namespace tolvane
