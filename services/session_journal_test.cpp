#include "services/session_journal.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "services/posix_file_system.h"
#include "services/settle_first.h"
#include "tests/support/scripted_undo.h"
#include "tests/support/shell_tools.h"

namespace velmora {
namespace {

using testing::ReadFile;
using testing::TempFolder;

const char* const kNames[] = {"a.txt", "b.txt", "c.txt", "d.txt", "e.txt"};

// The steps of the journal at path left unsettled, as another process
// reading the file now sees them.
long Unsettled(const std::string& path) {
  JournalContents contents;
  (void)ParseJournal(ReadFile(path), contents, path);
  return std::count_if(contents.steps.begin(), contents.steps.end(),
                       [](const JournalStep& step) { return step.state == StepState::kPending; });
}

class Inspecting : public testing::ScriptedDialogs {
 public:
  explicit Inspecting(std::string journal) : journal_(std::move(journal)) {}
  Answer AskDialog(const std::string& source, const std::string& target, RunKind kind) override {
    unsettled.push_back(Unsettled(journal_));
    return ScriptedDialogs::AskDialog(source, target, kind);
  }
  std::vector<long> unsettled;  // at each question

 private:
  std::string journal_;
};

// An upper-case rename of kNames in folder, journaled as the window does.
void RunAsTheWindow(const std::string& folder, const std::string& journal, RunDialogs& dialogs,
                    CommitObserver* committed = nullptr) {
  PosixFileSystem disk, planDisk;
  testing::Recorders recorders;
  SessionJournal session(journal, recorders);
  SettleFirst settle([&session] { (void)session.Settle(); }, dialogs, recorders, recorders);
  RunServices services{disk, settle, settle, settle, recorders};
  services.journal = &session;
  services.planDisk = &planDisk;
  services.committed = committed;
  RenameJob job;
  testing::SetSlot(job, 0, 16);
  RunState state;
  state.resolveChains = true;  // the plan's steps, for intents ahead
  std::vector<FoundEntry> found;
  for (const char* name : kNames) {
    testing::WriteFile(folder + name, name);
    found.push_back({folder + name, true});
  }
  session.GroupCommit();
  testing::CheckAndRun(RunKind::kRename, state, job, found, services, false);
  session.Finished();
  EXPECT_TRUE(recorders.errors.empty());
}

// Intents ahead and done records held back are on disk before every
// question, whatever the answers.
TEST(SessionJournal, NothingIsHeldBackWhileAQuestionWaits) {
  const TempFolder folder, state;
  Inspecting dialogs(state / "j");
  dialogs.dialogAnswers = {Answer::kYes, Answer::kNo, Answer::kYes, Answer::kYes, Answer::kYes};
  RunAsTheWindow(folder.path(), state / "j", dialogs);
  EXPECT_EQ(dialogs.unsettled, (std::vector<long>{0, 0, 0, 0, 0}));
  EXPECT_EQ(Unsettled(state / "j"), 0);
}

// Killed after a step, its intents written ahead: undo brings every file
// back, contents compared.
TEST(SessionJournal, AKilledRunIsUndoneFully) {
  for (int kill : {1, 3}) {
    SCOPED_TRACE(kill);
    const TempFolder folder, state;
    ASSERT_TRUE(WIFSIGNALED(testing::InChild([&] {
      testing::ScriptedDialogs dialogs;
      dialogs.dialogAnswers = {Answer::kAll};
      testing::Interrupter killer(0, kill);
      RunAsTheWindow(folder.path(), state / "j", dialogs, &killer);
    })));
    EXPECT_GT(testing::CountIn(state / "j", "\nI\t"), kill);  // intents written ahead
    JournalFile file(state / "j");
    testing::Recorders recorders;
    testing::RecordedUndo output;
    EXPECT_EQ(testing::UndoAll(file, recorders, output), 0);
    EXPECT_TRUE(recorders.messages.empty() && recorders.errors.empty());
    for (const char* name : kNames) EXPECT_EQ(ReadFile(folder / name), name);
  }
}

}  // namespace
}  // namespace velmora
