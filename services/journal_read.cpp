// JournalFile: reading every segment, converting a version-2 journal, the
// payloads of the run files, and dismissing a run.
#include <cctype>

#include "services/journal_disk.h"
#include "services/journal_format.h"
#include "services/journal_lock.h"
#include "services/posix_file_system.h"

namespace velmora {
namespace {

// Version 2 kept a tag write's bytes in a side file per step.
std::string SideFilePath(const std::string& journalPath, const JournalStep& step) {
  return journalPath + '.' + step.run + '.' + std::to_string(step.seq);
}

// Appends bytes to the run file of run; where they went in payload.
Error AppendPayload(FileSystem& disk, const std::string& journalPath, const std::string& run,
                    const std::string& bytes, JournalPayload& payload) {
  Error error;
  const std::unique_ptr<OpenFile> file =
      disk.OpenOwn(RunFilePath(journalPath, run), OwnFileMode::kCreate, error);
  if (!file) return error;
  FileStamp stamp;
  if (!(error = file->Stamp(stamp))) {
    error = file->WriteAt(stamp.identity.size, bytes.data(), bytes.size());
  }
  if (Error closed = file->Close(); closed && !error) error = closed;
  if (!error) {
    payload = {true, stamp.identity.size, static_cast<std::int64_t>(bytes.size()), Crc32c(bytes)};
  }
  return error;
}

}  // namespace

Error JournalFile::Read(JournalContents& contents) {
  const Lock lock(*this);
  if (lock.error()) return lock.error();
  bool missing = false;
  return ReadLocked(contents, missing);
}

Error JournalFile::ReadLocked(JournalContents& contents, bool& missing,
                              std::vector<SegmentInfo>* segments,
                              std::vector<std::size_t>* openSteps) {
  contents = {};
  contents.path = path_;
  JournalParser parser(contents, /*statesOnly=*/openSteps != nullptr);
  std::vector<std::string> paths = SegmentPaths(*disk_, path_);
  paths.push_back(path_);
  // Room for the steps of every segment at once: grown step by step, they
  // were moved and their pages touched twice over. Room never used costs
  // no page.
  std::int64_t bytes = 0;
  for (const std::string& path : paths) {
    FileIdentity id;
    if (disk_->Identify(path, id)) bytes += id.size;
  }
  constexpr std::int64_t kStepBytes = 150;  // about an intent record, the least a step takes
  parser.Reserve(static_cast<std::size_t>(bytes / kStepBytes));
  missing = true;
  std::string text;  // one buffer for every segment
  for (const std::string& path : paths) {
    bool gone = false;
    Error error = ReadOwnFile(*disk_, path, text, gone);
    if (gone) continue;
    if (!error && path == path_ && text.starts_with(kJournalHeaderV2)) {
      // Converted once, so that undo finds the tag bytes in the run files.
      error = ConvertVersion2();
      if (!error) error = ReadOwnFile(*disk_, path, text, gone);
    }
    if (error) return error;
    missing = false;
    SegmentInfo info{path, {}};
    if (Error bad = parser.Add(text, path, &info.seen)) return bad;
    if (segments != nullptr) segments->push_back(std::move(info));
  }
  if (openSteps != nullptr) *openSteps = parser.OpenSteps();
  return missing ? ErrorFromErrno(ENOENT) : Error{};
}

// The current segment in version 2 becomes version 3: checksums, six ID
// fields, and each tag write's side file moved into its run's run file.
Error JournalFile::ConvertVersion2() {
  std::string text;
  bool missing = false;
  if (Error error = ReadOwnFile(*disk_, path_, text, missing)) return error;
  JournalContents contents;
  if (Error error = ParseJournal(text, contents, path_)) return error;
  std::vector<std::string> sideFiles;
  for (JournalStep& step : contents.steps) {
    if (step.kind != '4') continue;
    std::string bytes;
    const std::string side = SideFilePath(path_, step);
    if (ReadOwnFile(*disk_, side, bytes, missing))
      continue;  // without it the step cannot be taken back
    if (Error error = AppendPayload(*disk_, path_, step.run, bytes, step.payload)) return error;
    sideFiles.push_back(side);
  }
  if (Error error = Replace(FormatJournal(contents))) return error;
  for (const std::string& side : sideFiles) (void)disk_->Delete(side);
  return {};
}

Error JournalFile::ReadPayload(const JournalStep& step, std::string& bytes) {
  bytes.clear();
  const JournalPayload& payload = step.payload;
  if (!payload.present) return {kInvalidFileFormat, "the step keeps no bytes"};
  Error error;
  const std::unique_ptr<OpenFile> file =
      disk_->OpenOwn(RunFilePath(path_, step.run), OwnFileMode::kExisting, error);
  if (!file) return error;
  bytes.resize(static_cast<std::size_t>(payload.length));
  error = file->ReadAt(payload.offset, bytes.data(), bytes.size());
  if (error.number == kInputPastEnd) error = {kInvalidFileFormat, "run file too short"};
  if (!error && Crc32c(bytes) != payload.crc) {
    error = {kInvalidFileFormat, "the kept bytes are damaged"};
  }
  if (error) bytes.clear();
  return error;
}

Error JournalFile::Dismiss(const std::string& run) {
  for (char c : run) {
    if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '-')) {
      return {kInvalidFileFormat, "not a run: " + run};
    }
  }
  if (run.empty()) return {kInvalidFileFormat, "not a run"};
  return Append(FrameRecord("X\t" + run + '\t' + JournalNow()));
}

}  // namespace velmora
