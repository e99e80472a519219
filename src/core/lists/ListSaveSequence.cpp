#include "lists/ListSaveSequence.h"

#include <sys/stat.h>

#include "lists/ListStore.h"
#include "platform/Cp932.h"

namespace tolvane {
namespace {

bool AllFitListFile(const std::vector<UploadEntry>& entries) {
  for (const UploadEntry& entry : entries) {
    if (!FitsListFile(entry.localPath) || !FitsListFile(entry.remoteFolder)) return false;
  }
  return true;
}

bool FileExists(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0;
}

// The checks before anything is touched; false when the editor must stay open.
bool NameAndEntriesAcceptable(const ListEditorData& data,
                              const std::vector<std::string>& selectorNames,
                              const AppSettings& settings, Prompts& prompts) {
  if (data.m_entries.empty()) {
    prompts.Error("ファイルが１つもありません");
    return false;
  }
  if (data.m_listName.empty()) {
    prompts.Error("リスト名が空欄です");
    return false;
  }
  if (HasForbiddenListChar(data.m_listName)) {
    prompts.Error("リスト名に以下の文字は使えません\n \\ / : * ? \" < > |");
    return false;
  }
  if (!IsListFileName(data.m_listName)) {
    prompts.Error("このリスト名は使えません");
    return false;
  }
  // The name goes into the settings and timer files, the entries into the list file: all of
  // them code page 932.
  if (!FitsCp932(data.m_listName)) {
    prompts.Error("リスト名に使えない文字が含まれています");
    return false;
  }
  if (data.m_modified && !AllFitListFile(data.m_entries)) {
    prompts.Error("ファイルまたはフォルダに保存できない文字が含まれています");
    return false;
  }
  if (data.m_editMode && data.m_listName == data.m_oldName) return true;
  for (const std::string& name : selectorNames) {
    if (name == data.m_listName) {
      prompts.Error("すでに同じ名前のリストがあります");
      return false;
    }
  }
  // A file the selector does not know of (put there after start-up) must not be overwritten.
  if (!data.m_editMode && FileExists(ListFilePath(settings, data.m_listName))) {
    prompts.Error("同じ名前のリストファイルがすでにあります");
    return false;
  }
  return true;
}

}  // namespace

EditorEnd SaveListEditor(ListEditorData& data, const std::vector<std::string>& selectorNames,
                         const AppSettings& settings, Prompts& prompts) {
  if (!NameAndEntriesAcceptable(data, selectorNames, settings, prompts)) return EditorEnd::StayOpen;

  if (data.m_editMode && data.m_listName != data.m_oldName) {
    if (prompts.Ask("リスト名を変更しますか？")) {
      if (!RenameListFile(settings, data.m_oldName, data.m_listName)) {
        prompts.Show("リスト名を変更することができませんでした", "err", Icon::Warning, Buttons::Ok);
        return EditorEnd::StayOpen;
      }
      data.m_renamed = true;
    } else {
      data.m_listName = data.m_oldName;
    }
  }

  if (data.m_modified) {
    switch (WriteListFile(settings, data.m_listName, data.m_entries)) {
      case ListWrite::Done:
        return EditorEnd::Ok;
      case ListWrite::FolderUnavailable:
        prompts.Error("listフォルダを開けませんでした");
        break;
      case ListWrite::CannotCreate:
      case ListWrite::Unencodable:
        prompts.Error("リストを編集できませんでした");
        break;
    }
  }
  return data.m_renamed ? EditorEnd::Ok : EditorEnd::Cancel;
}

}  // namespace tolvane
