// CCommand: one change to a document, run and remembered by the undo history (CCommandHistory).
#pragma once

#include <string>

// The class constant returned by CCommand::GetCommandType.
enum CommandType : int {
  kImageCommand = 1,  // a change to the image (CQuorvaCommand)
  kUndoCommand = 2,   // transient: undoes one stored command
  kRedoCommand = 3,   // transient: runs one stored command again
  kMacroCommand = 4,  // a list of member commands (CCommandMacro)
};

class CCommand {
 public:
  CCommand() = default;
  CCommand(const CCommand&) = delete;
  CCommand& operator=(const CCommand&) = delete;
  virtual ~CCommand() = default;

  virtual int GetCommandType() const = 0;
  // Performs the command; false when it could not be done (nothing was changed then).
  virtual bool Execute();
  // A new transient command that undoes / redoes this one, owned by the caller; null when the
  // command cannot be undone / redone.
  virtual CCommand* CreateUndoCommand() = 0;
  virtual CCommand* CreateRedoCommand() = 0;
  // Copies the text shown to the user for this command into out.
  virtual void GetDescription(std::string& out) const = 0;

  // The description as a value, for callers that do not keep a buffer.
  std::string Description() const {
    std::string text;
    GetDescription(text);
    return text;
  }
};
