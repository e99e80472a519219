#include "ListEditorDialogRunner.h"

#include "ListEditorDialog.h"

namespace tolvane {

ListEditorOutcome ListEditorDialogRunner::Run(bool editMode, const std::string& listName) {
  ListEditorDialog dialog(m_ctx.settings, m_ctx.view, m_ctx.prompts, m_parent);
  if (!dialog.Open(editMode, listName)) return {ListEditorOutcome::End::None, listName, false};
  const int result = dialog.exec();
  const ListEditorOutcome::End end =
      result == QDialog::Accepted ? ListEditorOutcome::End::Ok : ListEditorOutcome::End::Cancel;
  return {end, dialog.Data().m_listName, dialog.Data().m_renamed};
}

}  // namespace tolvane
