// Scripted answers and recorders for everything a run talks to besides the
// disk, so that tests drive runs and undo without a window.
#pragma once

#include <csignal>
#include <deque>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "engine/batch_run.h"
#include "engine/batch_run_state.h"
#include "engine/plan.h"
#include "tests/support/fake_file_system.h"

namespace velmora::testing {

// Slot i of the job runs operation code with its two fields.
inline RenameJob& SetSlot(RenameJob& job, int i, int code, std::string first = "",
                          std::string second = "") {
  job.slotCode[i] = code;
  job.txtSource[i] = std::move(first);
  job.txtDestination[i] = std::move(second);
  return job;
}

// Answers each question from its queue; an empty queue answers "&Abbrechen"
// and counts as unexpected.
class ScriptedDialogs : public RunDialogs {
 public:
  std::deque<Answer> dialogAnswers, dialog2Answers;
  std::vector<std::string> asked;  // "src -> dest", or "delete dest"
  int unexpected = 0;

  Answer AskDialog(const std::string& src, const std::string& dest, RunKind) override {
    asked.push_back(src + " -> " + dest);
    return Next(dialogAnswers);
  }
  Answer AskDialog2(const std::string& dest) override {
    asked.push_back("delete " + dest);
    return Next(dialog2Answers);
  }
  Answer AskDialog2Unplanned(const std::string& dest) override {
    asked.push_back("delete unplanned " + dest);
    return Next(dialog2Answers);
  }

 private:
  Answer Next(std::deque<Answer>& answers) {
    if (answers.empty()) return ++unexpected, Answer::kCancel;
    const Answer answer = answers.front();
    answers.pop_front();
    return answer;
  }
};

// The start of a recorded report: "location number ".
inline std::string Reported(Location location, int number) {
  return std::to_string(LocationNumber(location)) + " " + std::to_string(number) + " ";
}

// Reports as "location number context|file|description"; log entries with a
// location as "@location text".
class Recorders : public ErrorReporter, public MessageSink, public LogWriter, public ProgressBar {
 public:
  std::vector<std::string> errors, messages, logLines;
  std::vector<int> progress;

  void ReportError(Location location, int number, const std::string& context,
                   const std::string& file, const std::string& description) override {
    errors.push_back(Reported(location, number) + context + "|" + file + "|" + description);
  }
  void ShowMessage(const std::string& text) override { messages.push_back(text); }
  void WriteLog(const std::string& text, Location location) override {
    logLines.push_back(location == Location::kNone
                           ? text
                           : "@" + std::to_string(LocationNumber(location)) + " " + text);
  }
  void SetMaximum(int) override {}
  void SetValue(int value) override { progress.push_back(value); }
};

// Each step the run took, as "source -> destination".
struct CommitLog : CommitObserver {
  std::vector<std::string> steps;
  void Committed(const std::string& source, const std::string& destination) override {
    steps.push_back(source + " -> " + destination);
  }
};

// Stops at the n-th look (0: never); dies after the n-th commit (0: never).
class Interrupter : public StopSignal, public CommitObserver {
 public:
  Interrupter(int stopAt, int killAt) : stopAt_(stopAt), killAt_(killAt) {}
  bool StopRequested() override { return ++looks_ == stopAt_; }
  void Committed(const std::string&, const std::string&) override {
    if (++commits_ == killAt_) std::raise(SIGKILL);  // its done record not written
  }

 private:
  int stopAt_, killAt_, looks_ = 0, commits_ = 0;
};

// A run's services over the given disk, answered and recorded here. The run
// plans over the fake disk; over the real one it has no plan.
struct ScriptedRun {
  explicit ScriptedRun(FileSystem& disk)
      : services{disk, dialogs, recorders, recorders, recorders, &recorders} {
    services.planDisk = dynamic_cast<FakeFileSystem*>(&disk);
  }
  ScriptedDialogs dialogs;
  Recorders recorders;
  RunServices services;
};

// A run as the front ends start one: the job checked, then run.
inline void CheckAndRun(RunKind kind, RunState& state, const RenameJob& job,
                        const std::vector<FoundEntry>& found, RunServices& services, bool logOn) {
  if (const std::optional<CheckedJob> checked = CheckJob(job, services.messages)) {
    state.context.reporter = &services.reporter;
    RunCommand(kind, state, *checked, found, services, logOn);
  }
}

}  // namespace velmora::testing
