#include "CommandHistory.h"

#include "CommandMacro.h"

#include <algorithm>
#include <utility>

CCommandHistory::CCommandHistory() { commandRing.resize(kRingSize); }

CCommandHistory::~CCommandHistory() {
  pendingCommand.reset();
  for (auto& slot : commandRing) slot.reset();
}

int CCommandHistory::Wrap(int position) const {
  const int capacity = GetCapacity();
  position %= capacity;
  return position < 0 ? position + capacity : position;
}

CCommand* CCommandHistory::GetSlot(int slot) const {
  if (slot < 0 || slot >= GetCapacity()) return nullptr;
  return commandRing[slot].get();
}

bool CCommandHistory::CanUndo() const { return undoCount != 0; }

bool CCommandHistory::CanRedo() const { return redoCount != 0; }

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

  if (keep) pendingCommand = std::move(owned);
  return true;
}

void CCommandHistory::Store(CCommand* cmd) {
  if (!cmd) return;
  std::unique_ptr<CCommand> owned(cmd);
  const int capacity = GetCapacity();

  // The slot at ringPosition holds the first redo step or, in a full ring with nothing to redo,
  // the oldest step: both go.
  commandRing[ringPosition].reset();
  for (int i = 0; i < redoCount; ++i) commandRing[Wrap(ringPosition + i)].reset();

  commandRing[ringPosition] = std::move(owned);
  ringPosition = Wrap(ringPosition + 1);
  undoCount = std::min(undoCount + 1, capacity);

  if (changeCount < 0 && redoCount > 0)
    changeCount = capacity + 1;
  else
    changeCount = std::min(changeCount + 1, capacity + 1);

  redoCount = 0;
  OnStateChanged();
}

CCommandHistory::Counters CCommandHistory::SaveCounters() const {
  return Counters{ringPosition, undoCount, redoCount, changeCount};
}

void CCommandHistory::RestoreCounters(const Counters& counters) {
  ringPosition = counters.ringPosition;
  undoCount = counters.undoCount;
  redoCount = counters.redoCount;
  changeCount = counters.changeCount;
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
  const int slot = Wrap(ringPosition + capacity - 1);
  CCommand* stored = commandRing[slot].get();
  if (!stored) return false;
  std::unique_ptr<CCommand> step(stored->CreateUndoCommand());
  if (!step) return false;

  const Counters before = SaveCounters();
  redoCount = std::min(redoCount + 1, capacity);
  undoCount = std::max(undoCount - 1, -capacity);
  changeCount = std::max(changeCount - 1, -(capacity + 1));
  ringPosition = slot;
  return RunStep(std::move(step), before);
}

bool CCommandHistory::Redo() {
  if (!CanRedo()) return false;
  const int capacity = GetCapacity();
  CCommand* stored = commandRing[ringPosition].get();
  if (!stored) return false;
  std::unique_ptr<CCommand> step(stored->CreateRedoCommand());
  if (!step) return false;

  const Counters before = SaveCounters();
  ringPosition = Wrap(ringPosition + 1);
  redoCount = std::max(redoCount - 1, -capacity);
  undoCount = std::min(undoCount + 1, capacity);
  changeCount = std::min(changeCount + 1, capacity + 1);
  return RunStep(std::move(step), before);
}

bool CCommandHistory::UndoPending() {
  if (!pendingCommand) return false;
  CCommand* step = pendingCommand->CreateUndoCommand();
  if (!step) return false;
  const bool done = DoPending(step, false);
  OnStateChanged();
  return done;
}

bool CCommandHistory::CommitPending(bool keep) {
  if (!pendingCommand) return false;
  std::unique_ptr<CCommand> cmd = std::move(pendingCommand);
  if (keep) Store(cmd.release());
  return true;
}

void CCommandHistory::ClearHistory() {
  for (int slot = GetCapacity() - 1; slot >= 0; --slot) commandRing[slot].reset();
  ringPosition = 0;
  undoCount = 0;
  redoCount = 0;
  changeCount = 0;
  OnStateChanged();
}
