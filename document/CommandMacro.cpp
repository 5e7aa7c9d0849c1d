#include "CommandMacro.h"

#include <utility>

CCommandMacro::CCommandMacro(std::string description) : m_description(std::move(description)) {}

CCommandMacro::~CCommandMacro() = default;

void CCommandMacro::AddCommand(std::unique_ptr<CCommand> command) {
  if (command) m_commands.push_back(std::move(command));
}

bool CCommandMacro::Execute() {
  for (size_t i = 0; i < m_commands.size(); ++i) {
    bool done = false;
    try {
      done = m_commands[i]->Execute();
    } catch (...) {
      UndoFirst(i);
      throw;
    }
    if (!done) {
      UndoFirst(i);
      return false;
    }
  }
  return true;
}

// Best effort: the members that already ran are taken back, newest first. A member that cannot
// be undone stays as it is; errors while undoing are swallowed because a failure is already
// being reported.
void CCommandMacro::UndoFirst(size_t count) noexcept {
  while (count > 0) {
    --count;
    try {
      std::unique_ptr<CCommand> undo(m_commands[count]->CreateUndoCommand());
      if (undo) undo->Execute();
    } catch (...) {
    }
  }
}

CCommand* CCommandMacro::CreateUndoCommand() {
  auto undo = std::make_unique<CCommandMacro>(m_description);
  for (auto it = m_commands.rbegin(); it != m_commands.rend(); ++it) {
    std::unique_ptr<CCommand> member((*it)->CreateUndoCommand());
    if (!member) return nullptr;
    undo->AddCommand(std::move(member));
  }
  return undo.release();
}

CCommand* CCommandMacro::CreateRedoCommand() {
  auto redo = std::make_unique<CCommandMacro>(m_description);
  for (auto& command : m_commands) {
    std::unique_ptr<CCommand> member(command->CreateRedoCommand());
    if (!member) return nullptr;
    redo->AddCommand(std::move(member));
  }
  return redo.release();
}
