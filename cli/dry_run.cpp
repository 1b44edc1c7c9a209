#include "cli/dry_run.h"

#include <sys/stat.h>

#include "engine/error_numbers.h"

namespace velmora::cli {
namespace {

// "&Ja" to every question.
class AlwaysYes : public RunDialogs {
 public:
  int AskDialog(const std::string&, const std::string&, const RunFlags&) override {
    return kAnswerYes;
  }
  int AskDialog2(const std::string&) override { return kAnswerYes; }
};

class Collector : public CommitObserver {
 public:
  void Committed(const std::string& source, const std::string& destination) override {
    steps.push_back({source, destination});
  }
  std::vector<PlannedStep> steps;
};

class NoLog : public LogWriter {
 public:
  void WriteLog(const std::string&, int) override {}
};

Error NotFound() { return {kErrFileNotFound, "No such file or directory"}; }
Error Exists() { return {kErrFileExists, "File exists"}; }

}  // namespace

std::vector<PlannedStep> DryRunSteps(RunKind kind, const RenameJob& job,
                                     const std::vector<FoundEntry>& found,
                                     const std::string& destPath, ErrorReporter& reporter,
                                     MessageSink& messages) {
  DryFileSystem disk;
  AlwaysYes dialogs;
  NoLog log;
  Collector collector;
  RunServices services{disk, dialogs, messages, reporter, log};
  services.committed = &collector;
  RunState state;
  state.context.destPath = destPath;
  RenameJob copy = job;
  RunCommand(kind, state, copy, found, services, /*logOn=*/false);
  return std::move(collector.steps);
}

bool DryFileSystem::RealEntry(const std::string& path, bool follow, FileId& id,
                              bool& regular) const {
  struct stat st {};
  if ((follow ? ::stat(path.c_str(), &st) : ::lstat(path.c_str(), &st)) != 0) return false;
  id = {static_cast<unsigned long long>(st.st_dev), static_cast<unsigned long long>(st.st_ino)};
  regular = S_ISREG(st.st_mode);
  return gone_.count(id) == 0;
}

bool DryFileSystem::IsFile(const std::string& path) const {
  if (added_.count(path) != 0) return true;
  FileId id{};
  bool regular = false;
  return RealEntry(path, true, id, regular) && regular;
}

bool DryFileSystem::IsOccupied(const std::string& path) const {
  if (added_.count(path) != 0) return true;
  FileId id{};
  bool regular = false;
  return RealEntry(path, false, id, regular);
}

void DryFileSystem::Remove(const std::string& path) {
  if (added_.erase(path) != 0) return;
  struct stat st {};
  if (::lstat(path.c_str(), &st) == 0) {
    gone_.insert({static_cast<unsigned long long>(st.st_dev),
                     static_cast<unsigned long long>(st.st_ino)});
  }
}

Error DryFileSystem::GetFile(const std::string& path) { return IsFile(path) ? Error{} : NotFound(); }

Error DryFileSystem::Move(const std::string& source, const std::string& target) {
  if (!IsFile(source)) return NotFound();
  if (IsOccupied(target)) return Exists();
  Remove(source);
  added_.insert(target);
  return {};
}

Error DryFileSystem::Copy(const std::string& source, const std::string& target) {
  if (!IsFile(source)) return NotFound();
  if (IsOccupied(target)) return Exists();
  added_.insert(target);
  return {};
}

Error DryFileSystem::Delete(const std::string& path) {
  if (!IsOccupied(path)) return NotFound();
  Remove(path);
  return {};
}

bool DryFileSystem::SameFile(const std::string& a, const std::string& b) {
  if (a == b) return IsFile(a);
  if (added_.count(a) != 0 || added_.count(b) != 0) return false;
  FileId ia{}, ib{};
  bool ra = false, rb = false;
  if (!RealEntry(a, true, ia, ra) || !RealEntry(b, true, ib, rb)) return false;
  return !(ia < ib) && !(ib < ia);
}

}  // namespace velmora::cli
