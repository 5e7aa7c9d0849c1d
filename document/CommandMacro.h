// CCommandMacro: several commands that run, undo and redo as one step.
#pragma once

#include "Command.h"

#include <memory>
#include <string>
#include <vector>

class CCommandMacro : public CCommand {
 public:
  explicit CCommandMacro(std::string description = std::string());
  ~CCommandMacro() override;

  // Appends a member; the macro owns it. Null is ignored.
  void AddCommand(std::unique_ptr<CCommand> command);
  const std::vector<std::unique_ptr<CCommand>>& GetCommands() const { return m_commands; }
  bool IsEmpty() const { return m_commands.empty(); }

  int GetCommandType() const override { return kMacroCommand; }
  // Runs the members in order. When one fails (or throws), the members already run are undone
  // in reverse order, so a failed macro leaves the document as it found it.
  bool Execute() override;
  // A macro of the members' undo commands in reverse order; null when a member has none.
  CCommand* CreateUndoCommand() override;
  // A macro of the members' redo commands in order; null when a member has none.
  CCommand* CreateRedoCommand() override;
  void GetDescription(std::string& out) const override { out = m_description; }

 private:
  void UndoFirst(size_t count) noexcept;

  std::vector<std::unique_ptr<CCommand>> m_commands;
  std::string m_description;
};
