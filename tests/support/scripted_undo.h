// Undo of a journal's runs without a window: every question answered
// "&Alle", reports and the runs left recorded.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "services/journal_undo.h"
#include "tests/support/scripted_run.h"

namespace velmora::testing {

class RecordedUndo : public UndoOutput {
 public:
  void Committed(const std::string&, const std::string&) override {}
  void Removed(const std::string&) override {}
  void RunStays(const std::string& run) override { stays.push_back(run); }
  std::vector<std::string> stays;
};

// Takes back every run of file; the number of steps left.
inline int UndoAll(JournalFile& file, Recorders& recorders, RecordedUndo& output) {
  JournalContents contents;
  EXPECT_FALSE(file.Read(contents));
  ScriptedDialogs dialogs;
  dialogs.dialogAnswers = {Answer::kAll};
  UndoServices services{dialogs, recorders, recorders, recorders, output};
  return UndoJournalRuns(file, contents, RunsToUndo(file, contents, false, output, &recorders),
                         services);
}

}  // namespace velmora::testing
