// CCommandHistory: runs the commands of a document and keeps the last ten of them in a ring, so
// that the user can step back (Undo) and forward (Redo). A second, "pending" path serves the
// resize, scale and stretch dialogs: a command is run at once, can be taken back, and enters the
// history only when the dialog is confirmed.
//
// Ownership of the commands handed in:
//   Do(cmd, true)       the history owns cmd on every path (kept, or deleted when it fails).
//   Do(cmd, false)      cmd is deleted when Do returns true; otherwise the caller keeps it.
//   DoPending(cmd, ..)  the history owns cmd on every path.
//   Store(cmd)          the history owns cmd.
#pragma once

#include "Command.h"

#include <memory>
#include <vector>

class CCommandHistory {
 public:
  // Number of steps kept in the ring.
  static constexpr int kRingSize = 10;

  CCommandHistory();
  CCommandHistory(const CCommandHistory&) = delete;
  CCommandHistory& operator=(const CCommandHistory&) = delete;
  virtual ~CCommandHistory();

  // Runs cmd. On success it is reported through OnCommandDone and, with keep, becomes the
  // pending command (the previous pending command is deleted without being undone); without
  // keep it is deleted. A failed command is deleted and false returned.
  virtual bool DoPending(CCommand* cmd, bool keep);
  // Runs cmd. On success it is reported through OnCommandDone (each member of a macro in turn)
  // and stored when store is set, deleted otherwise. A failed command changes nothing.
  virtual bool Do(CCommand* cmd, bool store);
  // Puts an executed command into the ring as the newest step; every redo step is dropped, and
  // in a full ring the oldest step too.
  virtual void Store(CCommand* cmd);
  // Takes back the newest step / runs the next redo step again. False when there is none or when
  // the step could not be done; the counters are then unchanged.
  virtual bool Undo();
  virtual bool Redo();
  virtual bool CanUndo() const;
  virtual bool CanRedo() const;
  // Called after every change of the counters (store, undo, redo, clear, undo of the pending).
  virtual void OnStateChanged() {}
  // Called for every executed command, before it is stored or deleted.
  virtual void OnCommandDone(CCommand* cmd) {}

  // Takes back the pending command; it stays pending. False when there is none or it failed.
  bool UndoPending();
  // Ends the pending path: the pending command is stored with keep, deleted without. False when
  // there is no pending command.
  bool CommitPending(bool keep);
  // Deletes every stored step and zeroes the counters. The pending command is left alone.
  void ClearHistory();

  int GetCapacity() const { return static_cast<int>(m_commandRing.size()); }
  int GetRingPosition() const { return m_ringPosition; }
  int GetUndoCount() const { return m_undoCount; }
  int GetRedoCount() const { return m_redoCount; }
  // Net number of stored steps applied since the history was cleared; capacity + 1 means the
  // cleared state cannot be reached by undoing any more.
  int GetChangeCount() const { return m_changeCount; }
  CCommand* GetPendingCommand() const { return m_pendingCommand.get(); }
  // The command in a ring slot (0 .. capacity - 1), or null.
  CCommand* GetSlot(int slot) const;

 private:
  struct Counters {
    int ringPosition;
    int undoCount;
    int redoCount;
    int changeCount;
  };
  Counters SaveCounters() const;
  void RestoreCounters(const Counters& counters);
  int Wrap(int position) const;
  // Runs a transient undo or redo command through Do; restores the counters when it fails.
  bool RunStep(std::unique_ptr<CCommand> step, const Counters& before);

  std::unique_ptr<CCommand> m_pendingCommand;
  int m_ringPosition = 0;
  int m_undoCount = 0;
  int m_redoCount = 0;
  int m_changeCount = 0;
  std::vector<std::unique_ptr<CCommand>> m_commandRing;
};
