#include "ClosingStep.h"

#include "Settings.h"

CloseAction DecideCloseAction(bool systemClose, DWORD optionsA, int modifiedCount) {
  if (systemClose) return CloseAction::kHideToTray;
  if (!(optionsA & kOptPromptSaveModified)) return CloseAction::kCloseNow;
  return modifiedCount > 1 ? CloseAction::kAskCount : CloseAction::kAskEach;
}

std::optional<CloseAction> ActionAfterCountQuestion(int answer) {
  switch (answer) {
    case IDYES: return CloseAction::kAskEach;
    case IDNO: return CloseAction::kCloseNow;
    default: return std::nullopt;  // Cancel, or the box could not be shown
  }
}
