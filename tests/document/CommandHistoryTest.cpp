// The undo ring, its counters and the pending path, driven with fake commands.
#include "CommandHistory.h"
#include "CommandMacro.h"
#include "FakeCommands.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

class RecordingHistory : public CCommandHistory {
 public:
  void OnStateChanged() override { ++stateChanges; }
  void OnCommandDone(CCommand* cmd) override { done.push_back(cmd->Description()); }
  bool DoPending(CCommand* cmd, bool keep) override {
    ++doPendingCalls;
    return CCommandHistory::DoPending(cmd, keep);
  }

  int stateChanges = 0;
  int doPendingCalls = 0;
  std::vector<std::string> done;
};

class HistoryTest : public ::testing::Test {
 protected:
  FakeCommand* Make(int step) { return new FakeCommand(doc, step); }
  // Runs and stores a command; returns the value it produced.
  long long Apply(int step) {
    EXPECT_TRUE(history->Do(Make(step), true));
    return doc.value;
  }
  void ExpectCounters(int position, int undo, int redo, int change) {
    EXPECT_EQ(history->GetRingPosition(), position);
    EXPECT_EQ(history->GetUndoCount(), undo);
    EXPECT_EQ(history->GetRedoCount(), redo);
    EXPECT_EQ(history->GetChangeCount(), change);
  }

  FakeDocument doc;
  std::unique_ptr<RecordingHistory> history = std::make_unique<RecordingHistory>();
};

TEST_F(HistoryTest, StartsEmptyAndIgnoresUndoRedo) {
  EXPECT_EQ(history->GetCapacity(), 10);
  ExpectCounters(0, 0, 0, 0);
  EXPECT_FALSE(history->CanUndo());
  EXPECT_FALSE(history->CanRedo());
  EXPECT_FALSE(history->Undo());
  EXPECT_FALSE(history->Redo());
  EXPECT_EQ(history->stateChanges, 0);
  EXPECT_EQ(history->GetPendingCommand(), nullptr);
}

TEST_F(HistoryTest, DoStoresReportsAndAdvances) {
  FakeCommand* cmd = Make(5);
  ASSERT_TRUE(history->Do(cmd, true));
  EXPECT_EQ(doc.value, 5);
  EXPECT_TRUE(doc.modified);
  ExpectCounters(1, 1, 0, 1);
  EXPECT_EQ(history->GetSlot(0), cmd);
  EXPECT_EQ(history->done, std::vector<std::string>{"step 5"});
  EXPECT_EQ(history->stateChanges, 1);
  EXPECT_TRUE(history->CanUndo());
  EXPECT_FALSE(history->CanRedo());
}

TEST_F(HistoryTest, DoWithoutStoreRunsAndDeletes) {
  ASSERT_TRUE(history->Do(Make(5), false));
  EXPECT_EQ(doc.value, 5);
  EXPECT_EQ(doc.aliveCommands, 0);
  ExpectCounters(0, 0, 0, 0);
  EXPECT_EQ(history->done.size(), 1u);
  EXPECT_EQ(history->stateChanges, 0);
}

TEST_F(HistoryTest, FailingCommandIsNotStoredAndLeavesCountersAlone) {
  Apply(1);
  Apply(2);
  const long long before = doc.value;
  FakeCommand* failing = Make(3);
  failing->executeOutcome = Outcome::Fail;
  EXPECT_FALSE(history->Do(failing, true));  // stored path: the history deletes it
  EXPECT_EQ(doc.aliveCommands, 2);
  EXPECT_EQ(doc.value, before);
  ExpectCounters(2, 2, 0, 2);
  EXPECT_EQ(history->done.size(), 2u);
  EXPECT_EQ(history->stateChanges, 2);

  // Without store the caller keeps a failed command.
  auto kept = std::make_unique<FakeCommand>(doc, 4);
  kept->executeOutcome = Outcome::Fail;
  EXPECT_FALSE(history->Do(kept.get(), false));
  EXPECT_EQ(doc.aliveCommands, 3);
  ExpectCounters(2, 2, 0, 2);
}

TEST_F(HistoryTest, ThrowingCommandIsDeletedAndLeavesCountersAlone) {
  Apply(1);
  FakeCommand* throwing = Make(2);
  throwing->executeOutcome = Outcome::Throw;
  EXPECT_THROW(history->Do(throwing, true), std::runtime_error);
  EXPECT_EQ(doc.aliveCommands, 1);
  ExpectCounters(1, 1, 0, 1);
  EXPECT_FALSE(history->Do(nullptr, true));
  EXPECT_FALSE(history->DoPending(nullptr, true));
}

TEST_F(HistoryTest, UndoAndRedoStepThroughTheRing) {
  const long long v1 = Apply(1);
  const long long v2 = Apply(2);
  const long long v3 = Apply(3);
  history->done.clear();

  ASSERT_TRUE(history->Undo());
  EXPECT_EQ(doc.value, v2);
  ExpectCounters(2, 2, 1, 2);
  EXPECT_TRUE(history->CanRedo());
  EXPECT_EQ(history->done, std::vector<std::string>{"Undo last action"});
  ASSERT_TRUE(history->Undo());
  ASSERT_TRUE(history->Undo());
  EXPECT_EQ(doc.value, 0);
  EXPECT_FALSE(doc.modified);  // the flag the document had before the first command
  ExpectCounters(0, 0, 3, 0);
  EXPECT_FALSE(history->Undo());

  ASSERT_TRUE(history->Redo());
  EXPECT_EQ(doc.value, v1);
  ExpectCounters(1, 1, 2, 1);
  ASSERT_TRUE(history->Redo());
  ASSERT_TRUE(history->Redo());
  EXPECT_EQ(doc.value, v3);
  ExpectCounters(3, 3, 0, 3);
  EXPECT_FALSE(history->Redo());
  // Transient undo and redo commands are gone; the three stored ones remain.
  EXPECT_EQ(doc.aliveCommands, 3);
}

TEST_F(HistoryTest, EleventhStoreDropsTheOldest) {
  std::vector<long long> values{0};
  FakeCommand* first = Make(1);
  ASSERT_TRUE(history->Do(first, true));
  values.push_back(doc.value);
  for (int step = 2; step <= 11; ++step) values.push_back(Apply(step));
  EXPECT_EQ(doc.aliveCommands, 10);  // the first command was deleted
  ExpectCounters(1, 10, 0, 11);
  EXPECT_NE(history->GetSlot(0), first);

  for (int i = 0; i < 10; ++i) ASSERT_TRUE(history->Undo()) << i;
  EXPECT_FALSE(history->CanUndo());
  EXPECT_FALSE(history->Undo());
  EXPECT_EQ(doc.value, values[1]);  // back to the state after the dropped command, no further
  // Eleven stores and ten undos: the cleared state is out of reach, still changed.
  EXPECT_EQ(history->GetChangeCount(), 1);
  EXPECT_EQ(history->GetRedoCount(), 10);
}

TEST_F(HistoryTest, TenStoresAndTenUndosReachTheClearedState) {
  for (int step = 1; step <= 10; ++step) Apply(step);
  ExpectCounters(0, 10, 0, 10);
  for (int i = 0; i < 10; ++i) ASSERT_TRUE(history->Undo());
  EXPECT_EQ(doc.value, 0);
  EXPECT_EQ(history->GetChangeCount(), 0);
  for (int i = 0; i < 10; ++i) ASSERT_TRUE(history->Redo());
  EXPECT_EQ(history->GetChangeCount(), 10);
}

TEST_F(HistoryTest, StoreAfterUndoDropsEveryRedoStep) {
  for (int step = 1; step <= 5; ++step) Apply(step);
  ASSERT_TRUE(history->Undo());
  ASSERT_TRUE(history->Undo());
  ASSERT_TRUE(history->Undo());
  const long long v2 = doc.value;
  EXPECT_EQ(history->GetRedoCount(), 3);
  Apply(9);
  EXPECT_FALSE(history->CanRedo());
  EXPECT_EQ(doc.aliveCommands, 3);
  ExpectCounters(3, 3, 0, 3);
  ASSERT_TRUE(history->Undo());
  EXPECT_EQ(doc.value, v2);
}

TEST_F(HistoryTest, FullRingWithRedoStepsKeepsTheOldest) {
  for (int step = 1; step <= 10; ++step) Apply(step);
  ASSERT_TRUE(history->Undo());
  Apply(20);  // replaces step 10 only; step 1 stays
  EXPECT_EQ(doc.aliveCommands, 10);
  ExpectCounters(0, 10, 0, 10);
  for (int i = 0; i < 10; ++i) ASSERT_TRUE(history->Undo());
  EXPECT_EQ(doc.value, 0);
  EXPECT_EQ(history->GetChangeCount(), 0);
}

TEST_F(HistoryTest, RingWrapsAroundManyTimes) {
  std::vector<long long> values{0};
  for (int step = 1; step <= 37; ++step) values.push_back(Apply(step));
  EXPECT_EQ(history->GetRingPosition(), 7);
  for (int i = 1; i <= 10; ++i) {
    ASSERT_TRUE(history->Undo());
    EXPECT_EQ(doc.value, values[37 - i]);
  }
  for (int i = 1; i <= 10; ++i) {
    ASSERT_TRUE(history->Redo());
    EXPECT_EQ(doc.value, values[27 + i]);
  }
  EXPECT_EQ(doc.aliveCommands, 10);
}

TEST_F(HistoryTest, FailedUndoOrRedoChangesNothing) {
  Apply(1);
  FakeCommand* second = Make(2);
  ASSERT_TRUE(history->Do(second, true));
  const long long v2 = doc.value;
  const int changesBefore = history->stateChanges;

  second->undoOutcome = Outcome::Fail;
  EXPECT_FALSE(history->Undo());
  EXPECT_EQ(doc.value, v2);
  ExpectCounters(2, 2, 0, 2);
  EXPECT_EQ(doc.aliveCommands, 2);  // the transient undo command did not leak

  second->undoOutcome = Outcome::Throw;
  EXPECT_THROW(history->Undo(), std::runtime_error);
  ExpectCounters(2, 2, 0, 2);
  EXPECT_EQ(doc.aliveCommands, 2);

  second->canUndo = false;
  EXPECT_FALSE(history->Undo());
  ExpectCounters(2, 2, 0, 2);
  EXPECT_EQ(history->stateChanges, changesBefore);

  second->canUndo = true;
  second->undoOutcome = Outcome::Succeed;
  ASSERT_TRUE(history->Undo());
  second->executeOutcome = Outcome::Fail;
  EXPECT_FALSE(history->Redo());
  ExpectCounters(1, 1, 1, 1);
  second->executeOutcome = Outcome::Throw;
  EXPECT_THROW(history->Redo(), std::runtime_error);
  ExpectCounters(1, 1, 1, 1);
  second->executeOutcome = Outcome::Succeed;
  ASSERT_TRUE(history->Redo());
  EXPECT_EQ(doc.value, v2);
  ExpectCounters(2, 2, 0, 2);
  EXPECT_EQ(doc.aliveCommands, 2);
}

TEST_F(HistoryTest, ClearHistoryDeletesStepsButNotThePending) {
  for (int step = 1; step <= 4; ++step) Apply(step);
  ASSERT_TRUE(history->Undo());
  FakeCommand* pending = Make(7);
  ASSERT_TRUE(history->DoPending(pending, true));
  const int changes = history->stateChanges;
  history->ClearHistory();
  ExpectCounters(0, 0, 0, 0);
  EXPECT_EQ(history->stateChanges, changes + 1);
  EXPECT_EQ(history->GetPendingCommand(), pending);
  EXPECT_EQ(doc.aliveCommands, 1);
  for (int slot = 0; slot < 10; ++slot) EXPECT_EQ(history->GetSlot(slot), nullptr);
  EXPECT_FALSE(history->CanUndo());
  EXPECT_FALSE(history->CanRedo());
  history.reset();  // the destructor deletes the pending command
  EXPECT_EQ(doc.aliveCommands, 0);
}

TEST_F(HistoryTest, DestructorDeletesEveryStep) {
  for (int step = 1; step <= 12; ++step) Apply(step);
  ASSERT_TRUE(history->Undo());
  ASSERT_TRUE(history->DoPending(Make(40), true));
  EXPECT_EQ(doc.aliveCommands, 11);
  history.reset();
  EXPECT_EQ(doc.aliveCommands, 0);
}

// --- The pending path of the resize, scale and stretch dialogs -----------------------------

TEST_F(HistoryTest, PendingCommandRunsButIsNotStored) {
  Apply(1);
  const long long v1 = doc.value;
  FakeCommand* cmd = Make(2);
  ASSERT_TRUE(history->DoPending(cmd, true));
  EXPECT_EQ(doc.value, v1 * 31 + 2);
  EXPECT_EQ(history->GetPendingCommand(), cmd);
  ExpectCounters(1, 1, 0, 1);
  EXPECT_EQ(history->done.back(), "step 2");

  // Revert: the image comes back, the command stays pending.
  ASSERT_TRUE(history->UndoPending());
  EXPECT_EQ(doc.value, v1);
  EXPECT_EQ(history->GetPendingCommand(), cmd);
  ExpectCounters(1, 1, 0, 1);
  EXPECT_EQ(history->doPendingCalls, 2);  // the undo went through the overridable DoPending

  // Done with Revert disabled: the command is dropped.
  ASSERT_TRUE(history->CommitPending(false));
  EXPECT_EQ(history->GetPendingCommand(), nullptr);
  EXPECT_EQ(doc.aliveCommands, 1);
  ExpectCounters(1, 1, 0, 1);
  EXPECT_FALSE(history->CommitPending(true));
  EXPECT_FALSE(history->UndoPending());
}

TEST_F(HistoryTest, CommittedPendingCommandBecomesAnUndoStep) {
  Apply(1);
  const long long v1 = doc.value;
  ASSERT_TRUE(history->DoPending(Make(2), true));
  const long long v2 = doc.value;
  ASSERT_TRUE(history->CommitPending(true));
  EXPECT_EQ(history->GetPendingCommand(), nullptr);
  ExpectCounters(2, 2, 0, 2);
  ASSERT_TRUE(history->Undo());
  EXPECT_EQ(doc.value, v1);
  ASSERT_TRUE(history->Redo());
  EXPECT_EQ(doc.value, v2);
  EXPECT_EQ(doc.aliveCommands, 2);
}

TEST_F(HistoryTest, SecondApplyDiscardsTheFirstPendingWithoutRestoring) {
  FakeCommand* first = Make(2);
  ASSERT_TRUE(history->DoPending(first, true));
  const long long afterFirst = doc.value;
  FakeCommand* second = Make(3);  // made now, so it remembers the image after the first apply
  ASSERT_TRUE(history->DoPending(second, true));
  EXPECT_EQ(history->GetPendingCommand(), second);
  EXPECT_EQ(doc.aliveCommands, 1);
  EXPECT_EQ(doc.value, afterFirst * 31 + 3);  // the first was not undone
  ASSERT_TRUE(history->UndoPending());
  EXPECT_EQ(doc.value, afterFirst);  // as it was before the second apply
}

TEST_F(HistoryTest, FailedPendingCommandIsDeletedAndKeepsThePreviousOne) {
  FakeCommand* first = Make(2);
  ASSERT_TRUE(history->DoPending(first, true));
  FakeCommand* failing = Make(3);
  failing->executeOutcome = Outcome::Fail;
  EXPECT_FALSE(history->DoPending(failing, true));
  EXPECT_EQ(history->GetPendingCommand(), first);
  EXPECT_EQ(doc.aliveCommands, 1);
  FakeCommand* throwing = Make(4);
  throwing->executeOutcome = Outcome::Throw;
  EXPECT_THROW(history->DoPending(throwing, true), std::runtime_error);
  EXPECT_EQ(history->GetPendingCommand(), first);
  EXPECT_EQ(doc.aliveCommands, 1);

  first->undoOutcome = Outcome::Fail;
  EXPECT_FALSE(history->UndoPending());
  EXPECT_EQ(history->GetPendingCommand(), first);
  EXPECT_EQ(doc.aliveCommands, 1);

  // Without keep the executed command is deleted at once and the pending one stays.
  ASSERT_TRUE(history->DoPending(Make(5), false));
  EXPECT_EQ(history->GetPendingCommand(), first);
  EXPECT_EQ(doc.aliveCommands, 1);
  ExpectCounters(0, 0, 0, 0);
}

TEST_F(HistoryTest, CommitAfterUndosDropsTheRedoSteps) {
  for (int step = 1; step <= 3; ++step) Apply(step);
  ASSERT_TRUE(history->Undo());
  ASSERT_TRUE(history->DoPending(Make(8), true));
  EXPECT_TRUE(history->CanRedo());  // nothing is stored yet
  ASSERT_TRUE(history->CommitPending(true));
  EXPECT_FALSE(history->CanRedo());
  ExpectCounters(3, 3, 0, 3);
  EXPECT_EQ(doc.aliveCommands, 3);
}

// --- Macros ------------------------------------------------------------------------------

TEST_F(HistoryTest, MacroReportsEachMemberAndUndoesInReverse) {
  auto macro = std::make_unique<CCommandMacro>("two steps");
  macro->AddCommand(std::make_unique<FakeCommand>(doc, 1, "first"));
  macro->AddCommand(std::make_unique<FakeCommand>(doc, 2, "second"));
  macro->AddCommand(nullptr);
  EXPECT_EQ(macro->GetCommands().size(), 2u);
  EXPECT_EQ(macro->GetCommandType(), kMacroCommand);
  ASSERT_TRUE(history->Do(macro.release(), true));
  EXPECT_EQ(doc.value, 1 * 31 + 2);
  EXPECT_EQ(history->done, (std::vector<std::string>{"first", "second"}));
  ExpectCounters(1, 1, 0, 1);

  doc.executed.clear();
  ASSERT_TRUE(history->Undo());
  EXPECT_EQ(doc.value, 0);
  EXPECT_EQ(doc.executed, (std::vector<std::string>{"undo second", "undo first"}));
  ASSERT_TRUE(history->Redo());
  EXPECT_EQ(doc.value, 1 * 31 + 2);
  EXPECT_EQ(doc.aliveCommands, 2);
}

TEST_F(HistoryTest, FailingMacroTakesBackItsFinishedMembers) {
  auto macro = std::make_unique<CCommandMacro>("three steps");
  macro->AddCommand(std::make_unique<FakeCommand>(doc, 1, "first"));
  macro->AddCommand(std::make_unique<FakeCommand>(doc, 2, "second"));
  auto third = std::make_unique<FakeCommand>(doc, 3, "third");
  third->executeOutcome = Outcome::Fail;
  macro->AddCommand(std::move(third));
  // Members remember the value at construction: both first and second saw 0, so undoing
  // second then first ends at 0 either way.
  EXPECT_FALSE(history->Do(macro.release(), true));
  EXPECT_EQ(doc.value, 0);
  EXPECT_EQ(doc.aliveCommands, 0);
  ExpectCounters(0, 0, 0, 0);
  EXPECT_TRUE(history->done.empty());
}

TEST_F(HistoryTest, MacroWithAMemberThatCannotUndoHasNoUndo) {
  auto macro = std::make_unique<CCommandMacro>("steps");
  auto member = std::make_unique<FakeCommand>(doc, 1);
  member->canUndo = false;
  macro->AddCommand(std::move(member));
  EXPECT_EQ(macro->CreateUndoCommand(), nullptr);
  ASSERT_TRUE(history->Do(macro.release(), true));
  EXPECT_FALSE(history->Undo());  // no undo command: the step stays applied and counted
  ExpectCounters(1, 1, 0, 1);
  EXPECT_EQ(doc.aliveCommands, 1);
}

// --- Against a plain model ----------------------------------------------------------------
// A linear list of states with the position of the current one and the lowest position still
// reachable by undoing. The ring must agree with it on every value and counter.
TEST_F(HistoryTest, AgreesWithALinearModelOverRandomSequences) {
  std::mt19937 random(20260307);
  for (int round = 0; round < 40; ++round) {
    history = std::make_unique<RecordingHistory>();
    doc = FakeDocument{};
    std::vector<long long> states{0};
    int current = 0;
    int lowest = 0;
    int step = 0;
    for (int op = 0; op < 300; ++op) {
      const int choice = static_cast<int>(random() % 100);
      if (choice < 45) {
        ++step;
        Apply(step);
        states.resize(current + 1);
        states.push_back(doc.value);
        ++current;
        lowest = std::max(lowest, current - 10);
      } else if (choice < 75) {
        const bool can = current > lowest;
        EXPECT_EQ(history->Undo(), can);
        if (can) --current;
      } else if (choice < 97) {
        const bool can = current + 1 < static_cast<int>(states.size());
        EXPECT_EQ(history->Redo(), can);
        if (can) ++current;
      } else {
        history->ClearHistory();
        states = {doc.value};
        current = 0;
        lowest = 0;
      }
      ASSERT_EQ(doc.value, states[current]) << "round " << round << " op " << op;
      ASSERT_EQ(history->GetUndoCount(), current - lowest);
      ASSERT_EQ(history->GetRedoCount(), static_cast<int>(states.size()) - 1 - current);
      ASSERT_LE(history->GetUndoCount() + history->GetRedoCount(), 10);
      // Zero exactly when the state of the last clear is the current one and was never
      // dropped out of reach.
      ASSERT_EQ(history->GetChangeCount() == 0, current == 0 && lowest == 0);
      ASSERT_GE(history->GetChangeCount(), history->GetUndoCount());
      ASSERT_EQ(doc.aliveCommands,
                history->GetUndoCount() + history->GetRedoCount());
    }
  }
}

}  // namespace
