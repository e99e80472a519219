#pragma once
// "設定": the list shown at start-up, the local start folder, the HTML editor, the two upload
// options, whether the run log keeps the FTP conversation, the three tray options, and starting at
// login.
#include <QDialog>
#include <QUrl>
#include <functional>
#include <memory>

#include "settings/GeneralSettingsForm.h"
#include "window/MainView.h"

namespace Ui {
class GeneralSettingsDialog;
}

namespace tolvane {

class GeneralSettingsDialog : public QDialog {
  Q_OBJECT
 public:
  // Asks for a folder: an empty URL when the person cancelled, otherwise the chosen folder,
  // which is of use only as a local file path.
  using FolderPicker = std::function<QUrl(QWidget* parent)>;
  // Asks for an existing program: its full path, or an empty text when cancelled.
  using ProgramPicker = std::function<QString(QWidget* parent)>;
  static FolderPicker SystemFolderPicker();
  static ProgramPicker SystemProgramPicker();

  // `owner` is the main window's context: its settings, its list selector and its prompts.
  explicit GeneralSettingsDialog(MainContext& owner, QWidget* parent = nullptr);
  ~GeneralSettingsDialog() override;

  void SetFolderPicker(FolderPicker picker) { m_folderPicker = std::move(picker); }
  void SetProgramPicker(ProgramPicker picker) { m_programPicker = std::move(picker); }

  // Builds the dialog over `parent`, runs it modally and discards it (refused, with a message,
  // while an upload run or clock check is in progress).
  static void Run(MainContext& owner, QWidget* parent);

 private:
  void OnInitDialog();
  GeneralSettingsFields ReadFields() const;
  void OnBrowseFolder();
  void OnBrowseEditor();
  void OnOk();

  std::unique_ptr<Ui::GeneralSettingsDialog> ui;
  MainContext& m_owner;
  GeneralSettingsForm m_form;
  FolderPicker m_folderPicker = SystemFolderPicker();
  ProgramPicker m_programPicker = SystemProgramPicker();
};

}  // namespace tolvane
