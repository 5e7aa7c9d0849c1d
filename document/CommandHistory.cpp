#include "CommandHistory.h"

#include "CommandMacro.h"

#include <algorithm>
#include <utility>

CCommandHistory::CCommandHistory() { m_commandRing.resize(kRingSize); }

CCommandHistory::~CCommandHistory() {
  m_pendingCommand.reset();
  for (auto& slot : m_commandRing) slot.reset();
}

int CCommandHistory::Wrap(int position) const {
  const int capacity = GetCapacity();
  position %= capacity;
  return position < 0 ? position + capacity : position;
}

CCommand* CCommandHistory::GetSlot(int slot) const {
  if (slot < 0 || slot >= GetCapacity()) return nullptr;
  return m_commandRing[slot].get();
}

bool CCommandHistory::CanUndo() const { return m_undoCount != 0; }

bool CCommandHistory::CanRedo() const { return m_redoCount != 0; }

bool CCommandHistory::Do(CCommand* cmd, bool store) {
  if (!cmd) return false;
  // A stored command belongs to the history from here on, whatever happens.
  std::unique_ptr<CCommand> owned(store ? cmd : nullptr);
  if (!cmd->Execute()) return false;

  if (auto* macro = dynamic_cast<CCommandMacro*>(cmd)) {
    for (const auto& member : macro->GetCommands()) OnCommandDone(member.get());
  } else {
    OnCommandDone(cmd);
  }

  if (store)
    Store(owned.release());
  else
    delete cmd;
  return true;
}

bool CCommandHistory::DoPending(CCommand* cmd, bool keep) {
  if (!cmd) return false;
  std::unique_ptr<CCommand> owned(cmd);
  if (!cmd->Execute()) return false;

  if (auto* macro = dynamic_cast<CCommandMacro*>(cmd)) {
    for (const auto& member : macro->GetCommands()) OnCommandDone(member.get());
  } else {
    OnCommandDone(cmd);
  }

  if (keep) m_pendingCommand = std::move(owned);
  return true;
}

void CCommandHistory::Store(CCommand* cmd) {
  if (!cmd) return;
  std::unique_ptr<CCommand> owned(cmd);
  const int capacity = GetCapacity();

  // The slot at m_ringPosition holds the first redo step or, in a full ring with nothing to redo,
  // the oldest step: both go.
  m_commandRing[m_ringPosition].reset();
  for (int i = 0; i < m_redoCount; ++i) m_commandRing[Wrap(m_ringPosition + i)].reset();

  m_commandRing[m_ringPosition] = std::move(owned);
  m_ringPosition = Wrap(m_ringPosition + 1);
  m_undoCount = std::min(m_undoCount + 1, capacity);

  if (m_changeCount < 0 && m_redoCount > 0)
    m_changeCount = capacity + 1;
  else
    m_changeCount = std::min(m_changeCount + 1, capacity + 1);

  m_redoCount = 0;
  OnStateChanged();
}

CCommandHistory::Counters CCommandHistory::SaveCounters() const {
  return Counters{m_ringPosition, m_undoCount, m_redoCount, m_changeCount};
}

void CCommandHistory::RestoreCounters(const Counters& counters) {
  m_ringPosition = counters.ringPosition;
  m_undoCount = counters.undoCount;
  m_redoCount = counters.redoCount;
  m_changeCount = counters.changeCount;
}

bool CCommandHistory::RunStep(std::unique_ptr<CCommand> step, const Counters& before) {
  bool done = false;
  try {
    done = Do(step.get(), false);
  } catch (...) {
    RestoreCounters(before);
    throw;  // step is still ours and goes with the unwinding
  }
  if (!done) {
    RestoreCounters(before);
    return false;
  }
  step.release();  // Do deleted it
  OnStateChanged();
  return true;
}

bool CCommandHistory::Undo() {
  if (!CanUndo()) return false;
  const int capacity = GetCapacity();
  const int slot = Wrap(m_ringPosition + capacity - 1);
  CCommand* stored = m_commandRing[slot].get();
  if (!stored) return false;
  std::unique_ptr<CCommand> step(stored->CreateUndoCommand());
  if (!step) return false;

  const Counters before = SaveCounters();
  m_redoCount = std::min(m_redoCount + 1, capacity);
  m_undoCount = std::max(m_undoCount - 1, -capacity);
  m_changeCount = std::max(m_changeCount - 1, -(capacity + 1));
  m_ringPosition = slot;
  return RunStep(std::move(step), before);
}

bool CCommandHistory::Redo() {
  if (!CanRedo()) return false;
  const int capacity = GetCapacity();
  CCommand* stored = m_commandRing[m_ringPosition].get();
  if (!stored) return false;
  std::unique_ptr<CCommand> step(stored->CreateRedoCommand());
  if (!step) return false;

  const Counters before = SaveCounters();
  m_ringPosition = Wrap(m_ringPosition + 1);
  m_redoCount = std::max(m_redoCount - 1, -capacity);
  m_undoCount = std::min(m_undoCount + 1, capacity);
  m_changeCount = std::min(m_changeCount + 1, capacity + 1);
  return RunStep(std::move(step), before);
}

bool CCommandHistory::UndoPending() {
  if (!m_pendingCommand) return false;
  CCommand* step = m_pendingCommand->CreateUndoCommand();
  if (!step) return false;
  const bool done = DoPending(step, false);
  OnStateChanged();
  return done;
}

bool CCommandHistory::CommitPending(bool keep) {
  if (!m_pendingCommand) return false;
  std::unique_ptr<CCommand> cmd = std::move(m_pendingCommand);
  if (keep) Store(cmd.release());
  return true;
}

void CCommandHistory::ClearHistory() {
  for (int slot = GetCapacity() - 1; slot >= 0; --slot) m_commandRing[slot].reset();
  m_ringPosition = 0;
  m_undoCount = 0;
  m_redoCount = 0;
  m_changeCount = 0;
  OnStateChanged();
}
