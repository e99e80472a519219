#pragma once
// "サーバー設定": the FTP server, the account, the server's start folder, the clock correction,
// passive mode, the encryption (and the pinned certificate) and the extensions sent in ASCII
// mode.
#include <QDialog>
#include <memory>

#include "settings/ServerSettingsForm.h"
#include "window/MainView.h"

namespace Ui {
class ServerSettingsDialog;
}

namespace tolvane {

class ServerSettingsDialog : public QDialog {
  Q_OBJECT
 public:
  // `owner` is the main window's context: its settings, its extension table and its prompts.
  explicit ServerSettingsDialog(MainContext& owner, QWidget* parent = nullptr);
  ~ServerSettingsDialog() override;

  // Builds the dialog over `parent`, runs it modally and discards it; whatever its OK stored
  // is in the settings and the extension table afterwards. Refused, with a message, while an
  // upload run or clock check is in progress. The menu command and the clock check both open
  // it this way.
  static void Run(MainContext& owner, QWidget* parent);

 private:
  void OnInitDialog();
  ServerSettingsFields ReadFields() const;
  void Focus(ServerField field);
  void OnAdd();
  void OnDelete();
  void OnForgetPin();
  void OnOk();

  std::unique_ptr<Ui::ServerSettingsDialog> ui;
  MainContext& m_owner;
  ServerSettingsForm m_form;
  bool m_forgetPin = false;
};

}  // namespace tolvane
