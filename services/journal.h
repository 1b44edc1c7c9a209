// The journal: the one record of what runs of the window and the command line
// did to the disk, kept in a text file so that "Zurück" and `velmora-cli undo`
// can take it back, and written so that a run killed at any moment still
// leaves enough to restore every file.
//
// Format, version 2 (any bytes, LF line ends): a first line
//   # velmora journal 2
// then one record a line, fields separated by a tab:
//   B  RUN  TIME  COMMAND              a run begins (one CLI command, one press
//                                      of a run button in the window)
//   I  RUN  SEQ  KIND  OLD  NEW  ID    before a file operation: OLD is to become NEW
//   D  RUN  SEQ  ID                    after it went through
//   A  RUN  SEQ                        it did not happen
//   U  RUN  SEQ                        an undo took it back
//   E  RUN  TIME                       the run ended
// RUN names the run ("PID-NANOSECONDS" of its process; letters, digits and
// "-"), SEQ counts its operations from 1, TIME is UTC ("2026-12-06T23:50:50Z").
// KIND is "1" rename, "2" move, "3" copy, "4" tag write (OLD and NEW are the
// same file); kinds not known here are kept and reported as not undoable. ID is four fields SIZE
// MTIME DEV INO (MTIME in nanoseconds) of the file: in an intent the file at OLD before the step,
// in a done record the file the step produced at NEW; "-" each when unknown. Size and mtime prove
// the identity; device and inode are a hint only (they change when a stick is plugged in again). In
// OLD, NEW and COMMAND a backslash is written "\\", a tab "\t", a line feed "\n" and a carriage
// return "\r". Lines starting with "#" are comments; records of other letters are kept as they are.
// An intent without done or abandoned record is settled when read back: the source gone (a copy:
// still there) and NEW holding a file with the intent's size and mtime means done. A payload too
// large for a line goes into the side file "JOURNAL.RUN.SEQ" beside the journal, written before the
// record naming it. A tag write has one: the bytes the write may replace (PackTagBytes in
// tags/tag_undo.h: the old length, the old last 128 bytes and the old ID3v2 region), so that undo
// puts them back with the intent's modification time. A tag intent without
// its side file (the file could not be read) cannot be taken back. Side
// files go when their step leaves the journal.
//
// At most kMaxJournalSteps steps are kept: a new run first drops the oldest
// runs, whole, never one still in progress.
//
// Version 1 ("# velmora journal 1", then "KIND <TAB> OLD <TAB> NEW" per step
// that went through) is still read, as one finished run without identities;
// the first append or undo rewrites it as version 2.
//
// Every append and rewrite holds an exclusive flock on "JOURNAL.lock": a
// lock on the journal itself would be lost when a rewrite replaces the file.
// Neither file is opened through a symbolic link; both must be regular files
// of the user.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/error_reporter.h"
#include "engine/run_journal.h"
#include "engine/user_text.h"

namespace velmora {

inline constexpr char kJournalHeader[] = "# velmora journal 2";
inline constexpr char kJournalWriteContext[] =
    VELMORA_TEXT("velmora", "Fehler beim Schreiben des Journals");
inline constexpr std::size_t kMaxJournalSteps = 32767;

// The side file of the step seq of run in the journal at journalPath.
std::string SideFilePath(const std::string& journalPath, const std::string& run, long seq);

// The whole side file at path (never through a link).
Error ReadSideFile(const std::string& path, std::string& bytes);

// text with backslash, tab, line feed and carriage return escaped.
std::string EscapeJournalText(std::string_view text);

// What undo needs to know that a file is still the one a step produced.
struct StepIdentity {
  bool known = false;
  std::int64_t size = 0;
  std::int64_t mtimeNs = 0;
  std::uint64_t device = 0;  // hints only
  std::uint64_t inode = 0;
  std::uint64_t fsid = 0;    // statfs f_fsid of the file's file system
  bool inodeStable = false;  // the inode number survives a remount (not vfat, FUSE...)
};

// The identity of the file at path itself (a link is not followed); unknown
// when there is none.
StepIdentity IdentityOf(const std::string& path);

// Both known, same size and modification time.
bool SameIdentity(const StepIdentity& a, const StepIdentity& b);

enum class StepState { kPending, kDone, kAbandoned, kUndone };

// One file operation, from its intent and the records after it.
struct JournalStep {
  std::string run;
  long seq = 0;
  char kind = '0';
  std::string source;
  std::string target;
  StepIdentity before;  // the file at source when the step was announced
  StepIdentity after;   // the file the step produced (done records)
  StepState state = StepState::kPending;
};

struct JournalRun {
  std::string id;
  std::string began;  // time of the begin record
  std::string ended;  // time of the end record; empty while none
  std::string command;
  bool dismissed = false;  // ended by the user without undo
};

struct JournalContents {
  std::vector<JournalRun> runs;      // in order of their begin records
  std::vector<JournalStep> steps;    // in order of their intents
  std::vector<std::string> foreign;  // records of unknown letters, verbatim
};

// Reads journal text of version 1 or 2. Fails with 321 ("Falsches
// Datei-Format", the line number in the description) on a malformed line.
Error ParseJournal(std::string_view text, JournalContents& contents);

// The version-2 text of contents.
std::string FormatJournal(const JournalContents& contents);

// True while the process that began run (another one) still lives and the
// run has no end record: its records must stay.
bool RunInProgress(const JournalRun& run);
// The same for run of the journal at journalPath.
bool RunInProgress(const std::string& journalPath, const JournalRun& run);
// Marks the runs named by dismissal records of contents.foreign.
void MarkDismissedRuns(JournalContents& contents);
// False when every run the journal at journalPath began has ended or was
// dismissed, without parsing it: the check before each run stays cheap.
bool JournalMayHoldInterruptedRuns(const std::string& journalPath);

// Drops taken-back and abandoned steps and finished runs with no step left.
void CompactJournal(JournalContents& contents);

// $XDG_STATE_HOME/velmora/journal, else ~/.local/state/velmora/journal. The
// caller creates its folder.
std::string DefaultJournalPath();

// The journal file at path with its lock file. Each call takes the lock for
// its duration. Appends keep the journal open between calls and check under
// the lock that the path still names that file (a rewrite by another process
// replaces it; the new one is then opened with the same checks).
class JournalFile {
 public:
  explicit JournalFile(std::string path) : path_(std::move(path)) {}
  ~JournalFile();
  JournalFile(const JournalFile&) = delete;
  JournalFile& operator=(const JournalFile&) = delete;

  const std::string& path() const { return path_; }

  // Appends lines (each ending in LF) in one write, creating the journal
  // with its header when missing and converting a version-1 journal first.
  // On failure nothing is appended.
  Error Append(const std::string& lines);

  // With keep set, Append keeps the lock for up to a few milliseconds of
  // appends, so that a fast run takes it once per batch, not per record;
  // nobody can rewrite the journal meanwhile, so the path needs no check.
  // Other processes wait no longer than that, plus one file operation.
  void KeepLockBriefly(bool keep) { keepLock_ = keep; }
  // Gives a kept lock back (before the run waits for the user, at its end).
  void ReleaseLock();

  // Reads the whole journal; a missing file is the platform's error.
  Error Read(JournalContents& contents);

  // Rewrites the journal compacted, through a temporary file beside it, so
  // that a failure leaves the old journal whole. Records appended by other
  // processes meanwhile are kept: the file is read again under the lock.
  Error Compact(int* stepsLeft = nullptr);

  // Appends a record that ends run without undoing it.
  Error Dismiss(const std::string& run);

  // Drops the oldest runs not in progress, whole, until at most maxSteps
  // steps are left or no such run remains; rewrites only when it drops any.
  Error Trim(std::size_t maxSteps);

 private:
  class Lock;
  Error OpenLock();
  void Unlock();
  // The journal held open for appends, (re)opened when the path no longer
  // names it; size is its length now. Lock held.
  Error HoldJournal(std::int64_t& size);
  void DropJournal();
  // The whole journal, parsed; missing is set when there is none. Lock held.
  Error ReadLocked(JournalContents& contents, bool& missing);
  Error Replace(const std::string& text);
  // Rewrites the journal as contents, removing the side files of steps that
  // were in before but are not any more.
  Error ReplaceWith(const JournalContents& before, const JournalContents& contents);

  std::string path_;
  int lockFd_ = -1;
  int journalFd_ = -1;
  std::uint64_t journalDevice_ = 0;
  std::uint64_t journalInode_ = 0;
  unsigned owner_ = 0;  // the effective user when it was opened
  bool keepLock_ = false;
  bool lockKept_ = false;
  std::int64_t keptSize_ = 0;     // the journal's length while the lock is kept
  std::int64_t keptSinceNs_ = 0;  // monotonic
};

// The journal of one run: begin and end records, and an intent before and a
// done record after each file operation, each written through at once.
class JournalWriter : public RunJournal {
 public:
  JournalWriter(JournalFile& file, ErrorReporter& reporter);
  ~JournalWriter() override;

  // With deferDone, a done record waits for the next record and goes out in
  // one write with it: still before the next operation, half the writes.
  // Settle() writes a waiting one on its own; call it before the run waits
  // for the user.
  void DeferDoneRecords(bool deferDone) { deferDone_ = deferDone; }
  Error Settle();

  // The begin record, after trimming the journal; a failure is returned, not
  // reported.
  Error Begin(const std::string& command);
  void End();

  Error Intent(FileOp op, const std::string& source, const std::string& target,
               const FileIdentity* known) override;
  Error Done(FileOp op, const std::string& source, const std::string& target) override;
  void Abandoned(FileOp op, const std::string& source, const std::string& target) override;

  // A tag write (kTag) first puts the bytes it may replace into its side file.
  // Appends "U" records for the step of run and seq (none when run is empty)
  // and for every step this writer announced since the last call, in one
  // write: the undo of one step counts as a whole or not at all.
  Error Undone(const std::string& run, long seq);
  // Appends the "A" record that settles a pending step as not done.
  Error NotDone(const std::string& run, long seq);
  // Forgets the steps announced since the last call.
  std::vector<long> TakeOwnSteps();

  const std::string& run() const { return run_; }

 private:
  Error Write(const std::string& line);

  JournalFile& file_;
  ErrorReporter& reporter_;
  std::string run_;
  long seq_ = 0;
  std::vector<long> ownSteps_;
  StepIdentity announced_;  // the source of the last intent
  bool reported_ = false;
  bool deferDone_ = false;
  std::string waiting_;  // a deferred done record
  long killAfter_ = 0;   // test hook: die after this many operations
  long operations_ = 0;
};

}  // namespace velmora
