// The closing step's rules: system Close hides, bit 12 decides whether to ask, the count
// question comes only with more than one modified image.
#include "common/ClosingStep.h"
#include "common/Settings.h"

#include <gtest/gtest.h>

namespace {

TEST(ClosingStep, SystemCloseAlwaysHides) {
  for (DWORD options : {DWORD(0), kDefaultOptionsA, DWORD(0xFFFFFFFF)})
    for (int modified : {0, 1, 2, 9})
      EXPECT_EQ(DecideCloseAction(true, options, modified), CloseAction::kHideToTray);
}

TEST(ClosingStep, WithoutThePromptOptionNothingIsAsked) {
  const DWORD options = kDefaultOptionsA & ~kOptPromptSaveModified;
  for (int modified : {0, 1, 5})
    EXPECT_EQ(DecideCloseAction(false, options, modified), CloseAction::kCloseNow);
}

TEST(ClosingStep, TheCountQuestionNeedsTwoModifiedImages) {
  EXPECT_EQ(DecideCloseAction(false, kOptPromptSaveModified, 0), CloseAction::kAskEach);
  EXPECT_EQ(DecideCloseAction(false, kOptPromptSaveModified, 1), CloseAction::kAskEach);
  EXPECT_EQ(DecideCloseAction(false, kOptPromptSaveModified, 2), CloseAction::kAskCount);
  EXPECT_EQ(DecideCloseAction(false, kDefaultOptionsA, 7), CloseAction::kAskCount);
}

TEST(ClosingStep, AnswersToTheCountQuestion) {
  EXPECT_EQ(ActionAfterCountQuestion(IDYES), CloseAction::kAskEach);
  EXPECT_EQ(ActionAfterCountQuestion(IDNO), CloseAction::kCloseNow);
  EXPECT_FALSE(ActionAfterCountQuestion(IDCANCEL).has_value());
  EXPECT_FALSE(ActionAfterCountQuestion(0).has_value());  // the box could not be shown
}

}  // namespace
