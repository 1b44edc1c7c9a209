#include "services/session_journal.h"

#include <ctime>

#include "engine/path.h"
#include "services/posix_file_system.h"

namespace velmora {
namespace {

constexpr char kDefaultCommand[] = "tag";

}  // namespace

SessionJournal::SessionJournal(const std::string& path, ErrorReporter& reporter, FileSystem* disk)
    : file_(path.empty() ? DefaultJournalPath() : path, disk),
      realDisk_(disk == nullptr),
      reporter_(reporter),
      command_(kDefaultCommand) {}

SessionJournal::~SessionJournal() { Finished(); }

Error SessionJournal::Intent(FileOp op, const std::string& source, const std::string& target,
                             const FileIdentity* known, std::string_view payload) {
  if (!writer_) {
    // A folder that cannot be made fails the journal's first write, which reports it.
    if (realDisk_) (void)MakeFolders(SplitPath(file_.path(), true), 0700);
    auto writer = std::make_unique<JournalWriter>(file_, reporter_);
    if (Error error = writer->Begin(command_)) {
      reporter_.ReportError(Location::kNone, error.number, kJournalWriteContext, file_.path(),
                            error.description);
      return error;
    }
    ownRuns_.push_back(writer->run());
    writer->DeferDoneRecords(groupCommit_);
    file_.KeepLockBriefly(groupCommit_);
    writer->Foresee(std::move(foreseen_));
    foreseen_.clear();
    writer_ = std::move(writer);
  }
  return writer_->Intent(op, source, target, known, payload);
}

void SessionJournal::Foresee(std::vector<ForeseenStep> steps) {
  if (writer_) {
    writer_->Foresee(std::move(steps));
  } else {
    foreseen_ = std::move(steps);
  }
}

Error SessionJournal::Settle() { return writer_ ? writer_->Settle() : Error{}; }

Error SessionJournal::Done(FileOp op, const std::string& source, const std::string& target) {
  return writer_ ? writer_->Done(op, source, target) : Error{};
}

Error SessionJournal::DoneAs(FileOp op, const std::string& source, const std::string& target,
                             const FileIdentity& made) {
  return writer_ ? writer_->DoneAs(op, source, target, made) : Error{};
}

void SessionJournal::Abandoned(FileOp op, const std::string& source, const std::string& target) {
  if (writer_) writer_->Abandoned(op, source, target);
}

void SessionJournal::Finished() {
  if (writer_) writer_->End();
  writer_.reset();
  file_.KeepLockBriefly(false);
  command_ = kDefaultCommand;
  groupCommit_ = false;
  foreseen_.clear();
}

std::string LocalRunTime(const std::string& began) {
  std::tm utc{};
  const char* end = ::strptime(began.c_str(), "%Y-%m-%dT%H:%M:%SZ", &utc);
  if (end == nullptr || *end != '\0') return began;
  const std::time_t when = ::timegm(&utc);
  std::tm local{};
  ::localtime_r(&when, &local);
  char text[32];
  std::strftime(text, sizeof text, "%d.%m.%Y %H:%M:%S", &local);
  return text;
}

}  // namespace velmora
