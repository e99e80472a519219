#pragma once
// "プレビュー − <list>": what a run of the list would do with each entry and why, as the
// preview found it. アップロード closes it with Accepted: the caller then runs the list in
// the mode previewed; 閉じる leaves everything as it is.
#include <QDialog>
#include <memory>

#include "upload/PreviewText.h"

namespace Ui {
class PreviewDialog;
}

namespace tolvane {

class PreviewDialog : public QDialog {
  Q_OBJECT
 public:
  explicit PreviewDialog(const UploadPreview& preview, QWidget* parent = nullptr);
  ~PreviewDialog() override;

 private:
  void ShowRows(const std::vector<PreviewRow>& rows);

  std::unique_ptr<Ui::PreviewDialog> ui;
};

}  // namespace tolvane
