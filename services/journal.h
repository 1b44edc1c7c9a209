// The journal: the one record of what runs of the window and the command line
// did to the disk, kept in text files so that "Zurück" and `velmora-cli undo`
// can take it back, and written so that a run killed at any moment, or a
// power cut, still leaves enough to restore every file.
//
// Format, version 3 (any bytes, LF line ends): a first line
//   # velmora journal 3
// then one record a line, fields separated by a tab, the last field of each
// the CRC-32C of the bytes before its tab as 8 lowercase hex digits:
//   B  RUN  TIME  COMMAND  CRC              a run begins
//   F  RUN  FOLDER  ID  CRC                 a folder the run works in, before
//                                           its first intent there
//   I  RUN  SEQ  KIND  OLD  NEW  ID  PAYLOAD  CRC
//                                           before a file operation: OLD is to
//                                           become NEW
//   D  RUN  SEQ  ID  CRC                    after it went through
//   A  RUN  SEQ  CRC                        it did not happen (an intent
//                                           written ahead: never began)
//   U  RUN  SEQ  CRC                        an undo took it back
//   E  RUN  TIME  CRC                       the run ended
//   X  RUN  TIME  CRC                       the run was dismissed: it counts as
//                                           ended, nothing taken back
// RUN names the run ("PID-NANOSECONDS" of its process; letters, digits and
// "-"), SEQ counts its operations from 1, TIME is UTC ("2026-12-06T23:50:50Z").
// KIND is "1" rename, "2" move, "3" copy, "4" tag write (OLD and NEW are the
// same file); kinds not known here are kept and reported as not undoable.
// ID is six fields SIZE MTIME DEV INO FSID STABLE: in an intent the file at
// OLD before the step, in a done record the file the step produced at NEW;
// MTIME in nanoseconds, FSID the file system's statfs f_fsid (it survives a
// reboot and a re-plug, the device number does not), STABLE "1" where the file
// system keeps inode numbers (not vfat, exFAT, NTFS, FUSE, overlayfs), else
// "0"; "-" each when unknown. PAYLOAD is three fields OFFSET LENGTH CRC of
// bytes in the run file (below), "-" each when the step has none; a tag
// write keeps there its edits (PackTagEdits in tags/tag_undo.h). In OLD,
// NEW, FOLDER and COMMAND a backslash is written "\\", a tab "\t", a line feed
// "\n" and a carriage return "\r". Lines starting with "#" are comments;
// records of other letters are kept as they are.
//
// Intents may be written ahead of their steps, several in one write (group
// commit, JournalWriter::DeferDoneRecords), while no two steps whose records
// are not all written share a path: each is settled on its own.
//
// Reading drops a last line without its LF (a write cut short) and skips a
// line whose checksum or fields are wrong, naming it in the contents'
// warnings; the rest is read. An append first cuts such a torn tail off. An
// intent without done or abandoned record is settled when read back, from
// the disk.
//
// Files beside the journal JOURNAL:
//   JOURNAL              the segment being appended to
//   JOURNAL.seg-N        older segments (N counts up), read before it
//   JOURNAL.run-RUN      the run file: the run's payloads, appended to, and
//                        the lock that says the run goes on (an
//                        open-file-description write lock held for the
//                        run's whole life); removed with the run's records,
//                        or at its end when it holds no payload
//   JOURNAL.lock         byte 0 locked (same lock family) by every append,
//                        trim and compaction
// A segment is sealed (renamed JOURNAL.seg-N) when it passes a few MiB.
// Trimming deletes whole segments, oldest first, while the newer ones keep
// at least kMaxJournalSteps steps and every run with records in the segment
// is ended, dismissed, or has nothing left to take back and no lock.
//
// Version 2 ("# velmora journal 2": no checksums, four ID fields, tag bytes
// in side files "JOURNAL.RUN.SEQ") is still read, and converted to version 3
// by the first append. Version 1 is no longer read.
//
// No file is opened through a symbolic link; all must be regular files of
// the user. Every call on the journal's files, the looks at the files of its
// steps, liveness and undo go through a FileSystem (OpenOwn and its open
// files' locks): a failed look never counts as a file gone or a run over.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "engine/error_reporter.h"
#include "engine/run_journal.h"
#include "engine/user_text.h"
#include "services/journal_buffer.h"

namespace velmora {

inline constexpr char kJournalHeader[] = "# velmora journal 3";
inline constexpr char kJournalHeaderV2[] = "# velmora journal 2";
inline constexpr char kJournalWriteContext[] =
    VELMORA_TEXT("velmora", "Fehler beim Schreiben des Journals");
inline constexpr std::size_t kMaxJournalSteps = 32767;

// text with backslash, tab, line feed and carriage return escaped.
std::string EscapeJournalText(std::string_view text);

// What undo needs to know that a file is still the one a step produced.
struct StepIdentity {
  bool known = false;
  std::int64_t size = 0;
  std::int64_t mtimeNs = 0;
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  std::uint64_t fsid = 0;    // statfs f_fsid of the file system holding it
  bool inodeStable = false;  // that file system keeps inode numbers
};

// A StepIdentity's six ID fields as a record holds them, so that an intent
// and its done record share one formatting (FormatIdentityFields).
struct IdentityText {
  char text[112];  // five 64-bit numbers, their tabs and the flag
  std::size_t size = 0;
  [[nodiscard]] std::string_view view() const { return {text, size}; }
};

// A sequence number as text, counted up in place from the one before: a
// run's records mostly name the step after the last.
struct SeqText {
  long value = -1;
  std::size_t size = 0;
  char text[24] = {};
  // Writes seq at at, which needs room for 20 bytes; returns its end.
  char* Put(char* at, long seq);
};

// The identity of the file (or, with folder, the folder) at path itself, a
// link not followed, with its file system's; unknown when there is none or
// the look failed.
StepIdentity IdentityOf(FileSystem& disk, const std::string& path, bool folder = false);

// Both known, same size and modification time.
bool SameIdentity(const StepIdentity& a, const StepIdentity& b);

enum class StepState { kPending, kDone, kAbandoned, kUndone };

// Bytes of a step kept in its run file.
struct JournalPayload {
  bool present = false;
  std::int64_t offset = 0;
  std::int64_t length = 0;
  std::uint32_t crc = 0;  // CRC-32C
};

// One file operation, from its intent and the records after it.
struct JournalStep {
  std::string run;
  long seq = 0;
  char kind = '0';
  std::string source;
  std::string target;
  StepIdentity before;  // the file at source when the step was announced
  StepIdentity after;   // the file the step produced (done records)
  JournalPayload payload;
  StepState state = StepState::kPending;
};

struct JournalRun {
  std::string id;
  std::string began;  // time of the begin record
  std::string ended;  // time of the end record; empty while none
  std::string command;
  bool dismissed = false;  // ended by the user without undoing it
};

// A folder a run worked in, as it was when the run first touched it.
struct JournalFolder {
  std::string run;
  std::string path;
  StepIdentity id;
};

struct JournalContents {
  std::string path;                    // the journal it was read from
  std::vector<JournalRun> runs;        // in order of their begin records
  std::vector<JournalStep> steps;      // in order of their intents
  std::vector<JournalFolder> folders;  // in order of their records
  std::vector<std::string> foreign;    // records of unknown letters, verbatim
  std::vector<std::string> warnings;   // "FILE:LINE" of each record skipped as damaged
};

// Adds the records of one segment's text (version 2 or 3) to contents; name
// is the segment's path for warnings. Fails with 321 ("Falsches
// Datei-Format") on text of another version.
Error ParseJournal(std::string_view text, JournalContents& contents,
                   const std::string& name = "journal");

// The version-3 text of contents, header included.
std::string FormatJournal(const JournalContents& contents);

// True while run has no end or dismissed record and its run file beside the
// journal at journalPath is locked: a process still works on it. Also true
// when that cannot be told (failure set): a run is never taken for over on
// a failed look.
bool RunInProgress(FileSystem& disk, const std::string& journalPath, const JournalRun& run,
                   Error* failure = nullptr);
// False when no run of the journal at journalPath can have been
// interrupted, told without parsing it, so the check before each run stays
// cheap; true when one may have been, or a segment could not be read.
bool JournalMayHoldInterruptedRuns(FileSystem& disk, const std::string& journalPath);

// $XDG_STATE_HOME/velmora/journal, else ~/.local/state/velmora/journal. The
// caller creates its folder.
std::string DefaultJournalPath();

// The run file of run beside the journal at journalPath.
std::string RunFilePath(const std::string& journalPath, const std::string& run);

// The journal at journalPath and every file beside it that belongs to it
// now (lock, segments, run files), whether or not each exists: a run must
// never rename them.
std::vector<std::string> JournalFilePaths(FileSystem& disk, const std::string& journalPath);

// The journal at path with its segments, run files and lock file, on disk
// (the real disk when null; tests pass a fake one that can fail any call).
// Each call takes the append lock for its duration. Appends keep the segment
// open between calls and check under the lock that the path still names that
// file (a seal or a compaction by another process replaces it).
class SegmentScans;

// What the writer of records knows of them: all are of run, none begins,
// ends or dismisses it, and intents of them are intents. The segment's
// summary is then kept without reading them back.
struct RecordsOf {
  std::string_view run;
  std::size_t intents = 0;
};

class JournalFile {
 public:
  explicit JournalFile(std::string path, FileSystem* disk = nullptr);
  ~JournalFile();
  JournalFile(const JournalFile&) = delete;
  JournalFile& operator=(const JournalFile&) = delete;

  [[nodiscard]] const std::string& path() const { return path_; }
  FileSystem& disk() { return *disk_; }

  // Appends framed records (FrameRecord) in one write, creating the journal
  // with its header when missing, cutting off a torn tail and converting a
  // version-2 journal first. On failure nothing is appended.
  Error Append(std::string_view records, const RecordsOf* of = nullptr);

  // With keep set, Append keeps the lock for up to a few milliseconds of
  // appends, so that a fast run takes it once per batch, not per record.
  void KeepLockBriefly(bool keep) { keepLock_ = keep; }
  // Gives a kept lock back (before the run waits for the user, at its end).
  void ReleaseLock();

  // JournalMayHoldInterruptedRuns for this journal; a sealed segment it
  // looks at is not read again by Trim.
  bool MayHoldInterruptedRuns();

  // Reads every segment; no journal at all is the platform's "not found".
  // Damaged records are skipped and named in contents.warnings.
  Error Read(JournalContents& contents);

  // Deletes the segments that hold nothing left to take back, with the run
  // files of their runs. stepsLeft: the steps still open in the journal.
  Error Compact(int* stepsLeft = nullptr);

  // Deletes the oldest segments while the newer ones hold at least maxSteps
  // steps and every run in them is over (see the top of this file).
  Error Trim(std::size_t maxSteps);

  // Appends the dismissed record of run: it counts as ended, and its steps
  // leave the journal with their segments.
  Error Dismiss(const std::string& run);

  // The payload of step from its run file, its checksum verified (321 when
  // it does not match, or the step has none).
  Error ReadPayload(const JournalStep& step, std::string& bytes);

  // A segment is sealed once it is larger than this (tests make it small).
  void SetSegmentBytes(std::int64_t bytes) { segmentBytes_ = bytes; }

 private:
  class Lock;
  struct SegmentInfo;
  Error OpenLock();
  Error LockAppends();
  void Unlock();
  // The segment held open for appends, (re)opened when the path no longer
  // names it, its torn tail cut off; size is its length now. Lock held.
  Error HoldJournal(std::int64_t& size);
  // Appends records with the lock held; held says the segment is open and
  // keptSize_ its length.
  Error AppendLocked(std::string_view records, bool held, const RecordsOf* of);
  Error OpenCurrent(std::int64_t& size);
  Error ConvertVersion2();
  void DropJournal();
  void SealIfLarge(std::int64_t size);
  Error Replace(const std::string& text);
  // Every segment, oldest first, the current one last, what each held in
  // segments. With openSteps the steps are only counted: contents keeps
  // none, openSteps holds the open ones of each run by its index in
  // contents.runs. Lock held.
  Error ReadLocked(JournalContents& contents, bool& missing,
                   std::vector<SegmentInfo>* segments = nullptr,
                   std::vector<std::size_t>* openSteps = nullptr);

  std::string path_;
  std::unique_ptr<FileSystem> ownDisk_;  // when none was given
  FileSystem* disk_;
  std::unique_ptr<OpenFile> lock_;
  std::unique_ptr<SegmentScans> scans_;  // the sealed segments looked at
  std::unique_ptr<OpenFile> journal_;    // the segment held open for appends
  std::uint64_t journalDevice_ = 0;
  std::uint64_t journalInode_ = 0;
  bool keepLock_ = false;
  bool lockKept_ = false;
  std::int64_t keptSize_ = 0;     // the segment's length while the lock is kept
  std::int64_t knownEnd_ = -1;    // its length after this object's last write
  std::int64_t keptSinceNs_ = 0;  // monotonic
  std::int64_t segmentBytes_ = 4 << 20;
};

// The journal of one run: begin and end records, a folder record before the
// first intent in a folder, and an intent before and a done record after
// each file operation. The run holds the lock of its run file from Begin to
// End.
class JournalWriter : public RunJournal {
 public:
  JournalWriter(JournalFile& file, ErrorReporter& reporter);
  ~JournalWriter() override;

  // With deferDone, group commit: a done record waits for the next write,
  // and the intents of the foreseen steps after the one announced go out in
  // the same write, ahead of their steps, as long as no two steps whose
  // records are not all written share a path (as old or new name) and each
  // source lies on a file system with stable inode numbers. A step through a
  // rename temporary, or on a file system without them, is written alone and
  // its done record at once. A step that is not the next one written ahead
  // first settles those as abandoned. Settle() writes everything waiting and
  // abandons the intents written ahead; call it before the run waits for the
  // user.
  void DeferDoneRecords(bool deferDone) { deferDone_ = deferDone; }
  Error Settle();

  // Takes the run's lock, trims the journal and writes the begin record; a
  // failure is returned, not reported.
  Error Begin(const std::string& command);
  void End();

  // A tag write (kTag) keeps payload, or when it is empty the bytes the
  // write may replace, in the run file before its intent.
  Error Intent(FileOp op, const std::string& source, const std::string& target,
               const FileIdentity* known, std::string_view payload = {}) override;
  Error Done(FileOp op, const std::string& source, const std::string& target) override;
  // On a file system with stable inode numbers the record takes after as
  // it is; elsewhere it looks at target, as Done does.
  Error DoneAs(FileOp op, const std::string& source, const std::string& target,
               const FileIdentity& after) override;
  void Abandoned(FileOp op, const std::string& source, const std::string& target) override;
  void Foresee(std::vector<ForeseenStep> steps) override;
  // With deferDone, the intents of tag writes on files of their own and on
  // file systems with stable inode numbers, in one write ahead of them, their
  // payloads in one write to the run file before.
  void Announce(const std::vector<AnnouncedStep>& steps) override;
  bool LookedAhead(FileOp op, const std::string& source, const std::string& target,
                   FileIdentity& known) override;

  // Appends "U" records for the step of run and seq (none when run is empty)
  // and for every step this writer announced since the last call, in one
  // write: the undo of one step counts as a whole or not at all.
  Error Undone(const std::string& run, long seq);
  // Appends the "A" record that settles a pending step as not done.
  Error NotDone(const std::string& run, long seq);
  // Forgets the steps announced since the last call.
  std::vector<long> TakeOwnSteps();

  [[nodiscard]] const std::string& run() const { return run_; }

 private:
  // The fields before the sequence number of the run's intents and done
  // records, and their checksum, framed from there on.
  struct RecordHead {
    RecordHead(char letter, const std::string& run);
    std::string text;
    std::uint32_t crc;
  };

  // An intent written ahead of its step, which has not begun.
  struct Ahead {
    // Made in place without clearing the room of idText first.
    Ahead(long seq, std::size_t index, const StepIdentity& id, bool plain)
        : seq(seq), index(index), id(id), plain(plain) {}
    long seq = 0;
    std::size_t index = 0;  // in foreseen_
    StepIdentity id;
    IdentityText idText;  // the intent's ID fields, for its done record
    bool plain = false;   // a step of the run's own, through no rename temporary
  };

  // Appends waiting records and records in one write; a failure is reported
  // when report says so. intents: how many intents records holds when all
  // are of this run and none a begin or end record, else -1.
  Error Write(std::string_view records, bool report = true, long intents = -1);
  // Appends the records waiting_ holds, intents as in Write; they are kept
  // on failure.
  Error Flush(long intents, bool report = true);
  void AppendIntent(RecordBuffer& out, long seq, FileOp op, const std::string& source,
                    const std::string& target, const IdentityText& id,
                    const JournalPayload& payload) const;
  // True when the step is the next one written ahead, which it then begins.
  bool TakeWrittenAhead(FileOp op, const std::string& source, const std::string& target,
                        const FileIdentity* known);
  // "A" records for the intents written ahead, forgotten.
  std::string AbandonAhead();
  // Appends to records the intents of the foreseen steps after the one
  // announced (source to target), as far as group commit allows, and their
  // folder records (those folders named in newFolders); the group's
  // records begin at start.
  void WriteAhead(FileOp op, const std::string& source, const std::string& target,
                  RecordBuffer& records, std::size_t start, std::vector<std::string>& newFolders);
  Error StorePayload(FileOp op, const std::string& source, std::string_view payload,
                     JournalPayload& stored);
  // Folder records for the folders of source and target not recorded yet,
  // each named in added when given; targetStable: whether target's folder
  // keeps inode numbers.
  void FolderRecords(RecordBuffer& records, const std::string& source, const std::string& target,
                     bool* targetStable = nullptr, std::vector<std::string>* added = nullptr);
  // The file (or folder) at path itself with its file system's traits.
  StepIdentity LookUp(const std::string& path, bool folder = false);
  // The done record of the step announced last, with after as the file's
  // identity (null: looked at as Done does).
  Error RecordDone(FileOp op, const std::string& source, const std::string& target,
                   const FileIdentity* after);
  // The same for a step's source written ahead; unknown unless a file (or a
  // link to one) is there.
  StepIdentity LookUpFile(const std::string& path);
  // id's file system, told by path (a file's, else with isFolder the
  // folder's own).
  void AddFileSystem(StepIdentity& id, const std::string& path, bool isFolder = false);
  void ForgetFolders() {
    folders_.clear();
    lastFolder_.clear();
  }
  void ForgetFolder(const std::string& folder) {
    folders_.erase(folder);
    lastFolder_.clear();
  }
  void ReportOnce(const Error& error);

  JournalFile& file_;
  ErrorReporter& reporter_;
  std::string run_;
  RecordHead intentHead_{'I', run_};
  RecordHead doneHead_{'D', run_};
  mutable SeqText intentSeq_;          // of the intent written last
  SeqText doneSeq_;                    // of the done record written last
  std::unique_ptr<OpenFile> runFile_;  // locked while the run lives
  std::int64_t runFileSize_ = 0;
  long seq_ = 0;
  std::vector<long> ownSteps_;
  // Folders with a folder record: whether their file system keeps inode
  // numbers.
  std::unordered_map<std::string, bool> folders_;
  std::string lastFolder_;  // the folder looked up last, "" for none
  bool lastStable_ = false;
  std::unordered_map<std::uint64_t, StepIdentity> fileSystems_;  // by device
  // The one looked up last; its node stays where it is.
  const std::pair<const std::uint64_t, StepIdentity>* lastFileSystem_ = nullptr;
  StepIdentity announced_;      // the source of the last intent
  IdentityText announcedText_;  // its ID fields
  bool reported_ = false;
  bool deferDone_ = false;
  RecordBuffer waiting_;         // deferred done records
  bool waitingForeign_ = false;  // some of them are of another run
  std::vector<ForeseenStep> foreseen_;
  std::size_t next_ = 0;      // the first foreseen step not yet announced
  std::vector<Ahead> ahead_;  // oldest first, from aheadStart_
  std::size_t aheadStart_ = 0;
  long current_ = 0;           // the step begun last
  bool currentPlain_ = false;  // it was written ahead as a plain step
  // The step LookedAhead matched to the next one written ahead, until the
  // intent that follows: that intent need not compare the paths again.
  const std::string* lookedSource_ = nullptr;
  const std::string* lookedTarget_ = nullptr;
  FileOp lookedOp_ = FileOp::kRename;
  long lookedSeq_ = 0;
  long killAfter_ = 0;  // test hook: die after this many operations
  long operations_ = 0;
};

}  // namespace velmora
