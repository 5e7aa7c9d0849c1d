// Test doubles for the history: a tiny "document" holding one number and commands that change
// it, remember the value before and count how many of them are alive.
#pragma once

#include "Command.h"

#include <stdexcept>
#include <string>
#include <vector>

struct FakeDocument {
  long long value = 0;
  bool modified = false;
  int aliveCommands = 0;     // commands of any kind made for this document and not yet deleted
  std::vector<std::string> executed;  // descriptions of executed commands, in order
};

enum class Outcome { Succeed, Fail, Throw };

class FakeCommand;

// Puts the value back that the target had when it was made.
class FakeUndoCommand : public CCommand {
 public:
  FakeUndoCommand(FakeCommand& target, Outcome outcome);
  ~FakeUndoCommand() override;
  int GetCommandType() const override { return kUndoCommand; }
  bool Execute() override;
  CCommand* CreateUndoCommand() override { return nullptr; }
  CCommand* CreateRedoCommand() override { return nullptr; }
  void GetDescription(std::string& out) const override { out = "Undo last action"; }

 private:
  FakeCommand& m_target;
  Outcome m_outcome;
};

// Runs the target again.
class FakeRedoCommand : public CCommand {
 public:
  explicit FakeRedoCommand(FakeCommand& target);
  ~FakeRedoCommand() override;
  int GetCommandType() const override { return kRedoCommand; }
  bool Execute() override;
  CCommand* CreateUndoCommand() override { return nullptr; }
  CCommand* CreateRedoCommand() override { return nullptr; }
  void GetDescription(std::string& out) const override { out = "Redo last action"; }

 private:
  FakeCommand& m_target;
};

// value = (value * 31 + step) mod a prime, remembering the value (and the modified flag)
// from before it was made.
class FakeCommand : public CCommand {
 public:
  FakeCommand(FakeDocument& doc, int step, std::string name = std::string())
      : doc(doc), step(step), name(name.empty() ? "step " + std::to_string(step) : name),
        savedValue(doc.value), wasModified(doc.modified) {
    ++doc.aliveCommands;
  }
  ~FakeCommand() override { --doc.aliveCommands; }

  int GetCommandType() const override { return kImageCommand; }
  bool Execute() override {
    ++executions;
    if (executeOutcome == Outcome::Throw) throw std::runtime_error("out of memory");
    if (executeOutcome == Outcome::Fail) return false;
    doc.value = (doc.value * 31 + step) % 1000000007;
    doc.modified = true;
    doc.executed.push_back(name);
    return true;
  }
  CCommand* CreateUndoCommand() override {
    return canUndo ? new FakeUndoCommand(*this, undoOutcome) : nullptr;
  }
  CCommand* CreateRedoCommand() override { return canRedo ? new FakeRedoCommand(*this) : nullptr; }
  void GetDescription(std::string& out) const override { out = name; }

  bool Restore() {
    doc.value = savedValue;
    doc.modified = wasModified;
    doc.executed.push_back("undo " + name);
    return true;
  }

  FakeDocument& doc;
  int step;
  std::string name;
  long long savedValue;
  bool wasModified;
  int executions = 0;
  Outcome executeOutcome = Outcome::Succeed;
  Outcome undoOutcome = Outcome::Succeed;
  bool canUndo = true;
  bool canRedo = true;
};

inline FakeUndoCommand::FakeUndoCommand(FakeCommand& target, Outcome outcome)
    : m_target(target), m_outcome(outcome) {
  ++m_target.doc.aliveCommands;
}
inline FakeUndoCommand::~FakeUndoCommand() { --m_target.doc.aliveCommands; }
inline bool FakeUndoCommand::Execute() {
  if (m_outcome == Outcome::Throw) throw std::runtime_error("out of memory");
  if (m_outcome == Outcome::Fail) return false;
  return m_target.Restore();
}

inline FakeRedoCommand::FakeRedoCommand(FakeCommand& target) : m_target(target) {
  ++m_target.doc.aliveCommands;
}
inline FakeRedoCommand::~FakeRedoCommand() { --m_target.doc.aliveCommands; }
inline bool FakeRedoCommand::Execute() { return m_target.Execute(); }
