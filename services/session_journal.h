// The window's journal: the default journal, a run begun on its first file
// operation and ended when the run is over, and the runs this window began,
// which "Zurück" takes back while the window stays open. A run marked by
// GroupCommit writes its records as the command line does (intents ahead of
// their steps, done records with the next write); its questions and
// messages then go through a SettleFirst that calls Settle.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "services/journal.h"

namespace velmora {

class SessionJournal : public RunJournal {
 public:
  // The journal at path ("" = DefaultJournalPath()) on disk (the real one
  // when null); failures go to reporter.
  SessionJournal(const std::string& path, ErrorReporter& reporter, FileSystem* disk = nullptr);
  ~SessionJournal() override;

  JournalFile& file() { return file_; }

  // The command of the next run, written into its begin record.
  void SetCommand(std::string command) { command_ = std::move(command); }
  // The next run uses group commit, until Finished.
  void GroupCommit() { groupCommit_ = true; }
  // Writes every record held back and gives the append lock back: before
  // the run waits for the user. Reports its own failure.
  Error Settle();

  Error Intent(FileOp op, const std::string& source, const std::string& target,
               const FileIdentity* known, std::string_view payload = {}) override;
  Error Done(FileOp op, const std::string& source, const std::string& target) override;
  Error DoneAs(FileOp op, const std::string& source, const std::string& target,
               const FileIdentity& made) override;
  void Abandoned(FileOp op, const std::string& source, const std::string& target) override;
  void Foresee(std::vector<ForeseenStep> steps) override;
  void Finished() override;

  // The runs this window began, oldest first.
  [[nodiscard]] const std::vector<std::string>& ownRuns() const { return ownRuns_; }

 private:
  JournalFile file_;
  bool realDisk_;  // the journal's folder is made when missing
  ErrorReporter& reporter_;
  std::unique_ptr<JournalWriter> writer_;  // while a run is open
  std::string command_;
  bool groupCommit_ = false;
  std::vector<ForeseenStep> foreseen_;  // for the writer of a run not begun yet
  std::vector<std::string> ownRuns_;
};

// The local time of a begin record's UTC time as "dd.mm.yyyy hh:mm:ss"; the
// text itself when it is no such time.
std::string LocalRunTime(const std::string& began);

}  // namespace velmora
