#pragma once
// Runs the list editor ListEditorDialog for the main window's list commands.
#include <QWidget>

#include "lists/ListCommands.h"
#include "window/MainView.h"

namespace tolvane {

class ListEditorDialogRunner : public ListEditorRunner {
 public:
  ListEditorDialogRunner(MainContext& ctx, QWidget* parent) : m_ctx(ctx), m_parent(parent) {}
  ListEditorOutcome Run(bool editMode, const std::string& listName) override;

 private:
  MainContext& m_ctx;
  QWidget* m_parent;
};

}  // namespace tolvane
