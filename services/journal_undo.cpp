#include "services/journal_undo.h"

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "engine/commit.h"
#include "engine/path.h"
#include "engine/report_contexts.h"
#include "services/journal_disk.h"
#include "services/language.h"
#include "services/settle_first.h"
#include "services/step_identity.h"
#include "tags/tag_undo.h"

namespace velmora {
namespace {

// Undo asks each step as a run does, but never overwrites: a taken target
// keeps the step in the journal, whatever was answered in advance.
class NoOverwriteDialogs : public RunDialogs {
 public:
  explicit NoOverwriteDialogs(RunDialogs& inner) : inner_(inner) {}
  Answer AskDialog(const std::string& source, const std::string& target, RunKind kind) override {
    return ClosedAsCancel(inner_.AskDialog(source, target, kind));
  }
  Answer AskDialog2(const std::string&) override { return Answer::kCancel; }

 private:
  RunDialogs& inner_;
};

// The journal's kind digit as a run kind; a tag write ('4') is asked as a
// rename of the file onto itself.
RunKind KindOf(char kind) {
  switch (kind) {
    case '2':
      return RunKind::kMove;
    case '3':
      return RunKind::kCopy;
    default:
      return RunKind::kRename;
  }
}

bool KnownKind(char kind) { return kind >= '1' && kind <= '4'; }

FileOp OpOf(const JournalStep& step) { return step.kind == '2' ? FileOp::kMove : FileOp::kRename; }

bool Open(const JournalStep& step) {
  return step.state == StepState::kDone || step.state == StepState::kPending;
}

class Undo {
 public:
  Undo(JournalFile& file, const std::vector<JournalFolder>& folders, UndoServices& services)
      : file_(file),
        folders_(folders),
        disk_(file.disk()),
        writer_(file, services.reporter),
        dialogs_(services.dialogs),
        settleFirst_([this] { (void)writer_.Settle(); }, dialogs_, services.messages,
                     services.reporter),
        services_(services),
        run_{disk_, dialogs_, settleFirst_, settleFirst_, services.log} {
    run_.committed = &services.output;
    run_.journal = &writer_;
    ResetRunFlags(state_);
    // A done record rides with the next write; every question, message and
    // report settles first.
    writer_.DeferDoneRecords(true);
  }

  ~Undo() {
    file_.KeepLockBriefly(false);
    disk_.UnpinFolders();
  }

  JournalWriter& writer() { return writer_; }

  // The open steps of the chosen runs, newest first.
  void Walk(std::vector<JournalStep>& steps, const std::set<std::string>& chosen) {
    steps_ = &steps;
    chosen_ = &chosen;
    for (std::size_t i = steps.size(); i-- > 0;) {
      JournalStep& step = steps[i];
      if (chosen.count(step.run) == 0 || !Open(step)) continue;
      at_ = i;
      if (!Step(step)) break;
    }
  }

  // False ends the walk: "&Abbrechen", a stop, or the journal cannot be written.
  bool Step(JournalStep& step) {
    if (services_.stop != nullptr && services_.stop->StopRequested()) return false;
    if (!KnownKind(step.kind)) return Untold(step);  // the same words
    if (FolderReplaced(step)) return true;
    if (step.state == StepState::kPending) {
      const std::optional<bool> done = SettledDone(step);
      if (!done) return Untold(step);
      if (!*done) return NotDone(step);
    }
    // One look at the new name; the old one is looked at only when the move
    // back cannot tell by itself whether it is free.
    const bool plain = all_ && (step.kind == '1' || step.kind == '2') && step.after.known;
    if (plain) ForeseeFrom(at_);
    bool isFile = false;
    const Seen seenTarget = plain ? LookAhead(step, isFile) : LookFile(step.target, isFile);
    const bool quick = plain && isFile && ProvesSame(AsNow(step.after), *seenTarget);
    if (!quick) return Judge(step, seenTarget, Look(step.source));
    return QuickMoveBack(step, *seenTarget);
  }

  void End() {
    state_.context.kind = RunKind::kNone;
    writer_.End();
  }

 private:
  // What a look at a path found: the file, nothing (known false), or
  // nullopt when the look failed and the file may be there.
  using Seen = std::optional<StepIdentity>;

  void Refuse(const std::string& text) { settleFirst_.ShowMessage(text); }

  // A look failed: the step stays, named.
  bool Untold(const JournalStep& step) {
    Refuse(Tr("velmora", "Schritt kann nicht zurückgenommen werden:") + " " + step.source + " -> " +
           step.target);
    return true;
  }

  // The step judged by looks at both names: taken back, refused (named), or
  // asked about.
  bool Judge(JournalStep& step, const Seen& seenTarget, const Seen& seenSource) {
    if (!seenTarget || !seenSource) return Untold(step);
    const StepIdentity& now = *seenTarget;
    const StepIdentity& atSource = *seenSource;
    if (!now.known) {
      // Back at its old path already: a signal moved it out of its rename
      // temporary. Nothing is lost, and nothing is left to do.
      if (step.kind == '1' && ProvesSame(step.after.known ? step.after : step.before, atSource)) {
        return !writer_.Undone(step.run, step.seq);
      }
      Refuse(Tr("velmora", "Datei nicht mehr vorhanden, nicht zurückgenommen:") + " " +
             step.target);
      return true;
    }
    // Without a recorded identity (version 1) a copy must still match its original.
    const bool same = step.after.known   ? ProvesSame(AsNow(step.after), now)
                      : step.kind == '3' ? SameIdentity(now, atSource)
                                         : true;
    if (!same) {
      Refuse(Tr("velmora", "Datei seit dem Lauf geändert, nicht zurückgenommen:") + " " +
             step.target);
      return true;
    }
    // Only a source still there can be the target under another spelling.
    const bool sameFile = step.kind != '4' && atSource.known && SameEntry(step.target, step.source);
    if (step.kind != '3' && step.kind != '4' && atSource.known && !sameFile) {
      Refuse(Tr("velmora", "Ziel vorhanden, nicht zurückgenommen:") + " " + step.source);
      return true;
    }

    state_.context.kind = KindOf(step.kind);
    const Answer answer =
        all_ ? Answer::kYes : settleFirst_.AskDialog(step.target, step.source, state_.context.kind);
    if (answer == Answer::kCancel) return false;
    if (answer == Answer::kNo) return true;
    if (answer == Answer::kAll && !all_) {
      all_ = true;
      // No question follows: the lock may be kept over a few steps, as in a run.
      file_.KeepLockBriefly(true);
    }
    if (step.kind == '4') return RestoreTag(step);
    return step.kind == '3' ? RemoveCopy(step, sameFile) : MoveBack(step);
  }

  // A plain move back, every question already answered: the file at the new
  // name is the one the step produced and a file, so the rename's own refusal
  // tells whether the old name is free. Anything in the way is judged as
  // before, with fresh looks.
  bool QuickMoveBack(JournalStep& step, const StepIdentity& now) {
    state_.context.kind = KindOf(step.kind);
    const FileIdentity known{now.device, now.inode, now.size, now.mtimeNs};
    bool stop = false;
    const Error error = Journaled(OpOf(step), step.target, step.source, run_, stop, &known);
    if (stop || !error) {
      if (!error) services_.output.Committed(step.target, step.source);
      return !stop && !writer_.Undone(step.run, step.seq);
    }
    // Its intent is settled as abandoned: not this step's to take back.
    writer_.TakeOwnSteps();
    bool isFile = false;
    const Seen seenTarget = LookFile(step.target, isFile);
    return Judge(step, seenTarget, Look(step.source));
  }

  // What the journal found at the new name as it wrote the step's intent
  // ahead (a file), else a look of its own.
  Seen LookAhead(const JournalStep& step, bool& isFile) {
    FileIdentity known;
    if (!writer_.LookedAhead(OpOf(step), step.target, step.source, known)) {
      return LookFile(step.target, isFile);
    }
    isFile = true;
    return WithFileSystem(known, step.target);
  }

  // The plain moves back from index on, in folders entered, for the journal to
  // write their intents ahead in groups; anew past the last one or a new folder.
  void ForeseeFrom(std::size_t index) {
    if (index >= foreseenEnd_ && enteredCount_ == entered_.size()) return;
    constexpr std::size_t kMostForeseen = 1024;
    constexpr std::size_t kMostLooked = 4096;
    std::vector<ForeseenStep> steps;
    std::string_view lastFolder;
    bool lastEntered = false;
    const auto entered = [&](const std::string& path) {
      const std::string_view folder = JournalFolderView(path);
      if (folder != lastFolder) {
        lastFolder = folder;
        lastEntered = entered_.count(std::string(folder)) != 0;
      }
      return lastEntered;
    };
    std::size_t i = index + 1;
    for (std::size_t looked = 0; i-- > 0 && looked < kMostLooked && steps.size() < kMostForeseen;
         ++looked) {
      const JournalStep& step = (*steps_)[i];
      if (step.state != StepState::kDone || chosen_->count(step.run) == 0 ||
          (step.kind != '1' && step.kind != '2') || !step.after.known || !entered(step.target) ||
          !entered(step.source)) {
        continue;
      }
      steps.push_back({OpOf(step), &step.target, &step.source});
    }
    foreseenEnd_ = i + 1;
    enteredCount_ = entered_.size();
    writer_.Foresee(std::move(steps));
  }

  // Look, by the one lstat that also tells whether a file is there (a link
  // to one counts) for a disk that answers so.
  Seen LookFile(const std::string& path, bool& isFile) {
    std::optional<FileIdentity> found;
    const Error error = disk_.GetFile(path, found);
    isFile = found && !error;
    return found ? WithFileSystem(*found, path) : Look(path);
  }

  // IdentityOf with one file-system look per device instead of one per file.
  Seen Look(const std::string& path) {
    FileIdentity found;
    if (!disk_.Identify(path, found)) {
      const int number = disk_.GetFile(path).number;
      if (number == kFileNotFound || number == kPathNotFound) return StepIdentity{};
      return std::nullopt;
    }
    return WithFileSystem(found, path);
  }

  StepIdentity WithFileSystem(const FileIdentity& found, const std::string& path) {
    StepIdentity id{true, found.size, found.modified, found.device, found.inode};
    auto fs = fileSystems_.find(found.device);
    if (fs != fileSystems_.end()) {
      id.fsid = fs->second.fsid;
      id.inodeStable = fs->second.inodeStable;
    } else if (FileSystemIdentity traits; disk_.IdentifyFileSystem(JournalFolderOf(path), traits)) {
      id.fsid = traits.fsid;
      id.inodeStable = traits.inodeStable;
    }
    return id;
  }

  // Not done when the file is still at its source; a file at neither path
  // is lost to this step, and said so.
  bool NotDone(const JournalStep& step) {
    const Seen atSource = Look(step.source);
    if (!atSource) return Untold(step);
    if (atSource->known) return !writer_.NotDone(step.run, step.seq);
    Refuse(Tr("velmora", "Datei nicht mehr vorhanden, nicht zurückgenommen:") + " " + step.source);
    return true;
  }

  // A pending step went through when its source is gone (a copy's stays) and
  // its target holds the file the intent saw. A pending tag write went
  // through as soon as the file changed: its run file still holds the old
  // bytes. nullopt when a look failed.
  std::optional<bool> SettledDone(JournalStep& step) {
    const Seen now = Look(step.target);
    if (!now) return std::nullopt;
    if (step.kind == '4') {
      if (!now->known || ProvesSame(step.before, *now)) return false;
      step.after = *now;
      step.state = StepState::kDone;
      return true;
    }
    const Seen atSource = Look(step.source);
    if (!atSource) return std::nullopt;
    // Only a rename keeps the inode; a copy, and a move to another file
    // system, make a new file with the old size and modification time.
    const bool keepsInode = step.kind == '1' || (step.kind == '2' && now->fsid == step.before.fsid);
    const bool same = keepsInode ? ProvesSame(step.before, *now) : SameIdentity(step.before, *now);
    if (!same || !(step.kind == '3' || !atSource->known)) return false;
    step.after = *now;
    step.state = StepState::kDone;
    return true;
  }

  // One entry under two names (another spelling); a link is not followed, so
  // a copied link is never taken for the link it was copied from.
  bool SameEntry(const std::string& a, const std::string& b) {
    FileIdentity first, second;
    return disk_.Identify(a, first) && disk_.Identify(b, second) && first.device == second.device &&
           first.inode == second.inode;
  }

  // A folder the run worked in that is another one now (a link or a folder
  // put in its place) is never entered: the step stays, named. Judged by
  // inode and file system where those last, as the run recorded them.
  // A folder found unchanged is pinned at once and then reached through its
  // descriptor, so it is judged once.
  bool FolderReplaced(const JournalStep& step) {
    for (const std::string* path : {&step.source, &step.target}) {
      // Most steps lie in the folder of the step before.
      if (JournalFolderView(*path) == lastEntered_) continue;
      std::string folder = JournalFolderOf(*path);
      if (entered_.count(folder) != 0) {
        lastEntered_ = std::move(folder);
        continue;
      }
      for (const JournalFolder& recorded : folders_) {
        if (recorded.run != step.run || recorded.path != folder) continue;
        if (!recorded.id.known || !recorded.id.inodeStable) break;
        const StepIdentity now = IdentityOf(disk_, folder, /*folder=*/true);
        if (now.known && now.inode == recorded.id.inode && now.fsid == recorded.id.fsid) break;
        Refuse(Tr("velmora", "Ordner seit dem Lauf ersetzt, nicht zurückgenommen:") + " " + folder);
        return true;
      }
      Enter(*path);
      lastEntered_ = *entered_.insert(std::move(folder)).first;
    }
    return false;
  }

  // Each folder the undo touches is opened once and worked through; its
  // file system is looked up once.
  void Enter(const std::string& path) {
    const std::string folder(FolderOf(path));
    if (!folder.empty()) (void)disk_.PinFolder(folder);
    const StepIdentity id = IdentityOf(disk_, JournalFolderOf(path), /*folder=*/true);
    if (id.known) fileSystems_.emplace(id.device, id);
  }

  // The write's own edits taken back, the old modification time included,
  // so that the records before this one still know the file.
  bool RestoreTag(const JournalStep& step) {
    std::string payload;
    if (file_.ReadPayload(step, payload) || !step.before.known) {
      Refuse(Tr("velmora", "Schritt kann nicht zurückgenommen werden:") + " " + step.target);
      return true;
    }
    if (const Error error = UndoTagWrite(disk_, step.target, payload)) {
      settleFirst_.ReportError(Location::kWriteTag, error.number, kTagWriteContext, step.target,
                               error.description);
      return true;
    }
    // A failed look leaves the later steps unproven: they stay.
    const Seen now = Look(step.target);
    if (now && now->known && now->inode != step.before.inode) {
      renumbered_[{step.before.fsid, step.before.inode}] = now->inode;
    }
    services_.output.Committed(step.target, step.source);
    return !writer_.Undone(step.run, step.seq);
  }

  // A tag rewrite, and its undo, give the file a new inode; the steps
  // before it knew the file by the old one.
  [[nodiscard]] StepIdentity AsNow(StepIdentity id) const {
    const auto found = renumbered_.find({id.fsid, id.inode});
    if (found != renumbered_.end()) id.inode = found->second;
    return id;
  }

  // The copy goes; the original, edited since or not, stays.
  bool RemoveCopy(const JournalStep& step, bool sameFile) {
    if (!sameFile) {
      if (const Error error = disk_.Delete(step.target)) {
        settleFirst_.ReportError(Location::kNone, error.number,
                                 VELMORA_TEXT("velmora", "Fehler beim Löschen"), step.target,
                                 error.description);
        return true;
      }
      services_.output.Removed(step.target);
    }
    return !writer_.Undone(step.run, step.seq);
  }

  bool MoveBack(const JournalStep& step) {
    const CommitResult result = CommitFile(state_, step.target, step.source, run_);
    if (result == CommitResult::kStopRun) return false;
    if (result == CommitResult::kCommitted) return !writer_.Undone(step.run, step.seq);
    // Not taken back: this undo's own steps for it cancel out when the file
    // is where it was; otherwise they stay for the next undo.
    const Seen back = Look(step.target);
    if (back && ProvesSame(AsNow(step.after.known ? step.after : step.before), *back)) {
      return !writer_.Undone("", 0);
    }
    writer_.TakeOwnSteps();
    return true;
  }

  JournalFile& file_;
  const std::vector<JournalFolder>& folders_;
  FileSystem& disk_;
  JournalWriter writer_;
  NoOverwriteDialogs dialogs_;
  SettleFirst settleFirst_;
  UndoServices& services_;
  RunServices run_;
  RunState state_;
  bool all_ = false;
  std::unordered_set<std::string> entered_;    // folders judged and pinned
  std::vector<JournalStep>* steps_ = nullptr;  // of the walk
  const std::set<std::string>* chosen_ = nullptr;
  std::size_t at_ = 0;                  // the step at hand
  std::size_t foreseenEnd_ = SIZE_MAX;  // the lowest index looked at when told to the journal
  std::size_t enteredCount_ = 0;
  std::string lastEntered_;                                      // the folder of the step before
  std::unordered_map<std::uint64_t, StepIdentity> fileSystems_;  // by device
  std::map<std::pair<std::uint64_t, std::uint64_t>, std::uint64_t> renumbered_;
};

}  // namespace

bool RunHasSteps(const JournalContents& contents, const std::string& run) {
  for (const JournalStep& step : contents.steps) {
    if (step.run == run && Open(step)) return true;
  }
  return false;
}

std::vector<std::string> RunsToUndo(JournalFile& file, const JournalContents& contents,
                                    bool lastRunOnly, UndoOutput& output, ErrorReporter* reporter) {
  std::vector<std::string> runs;
  for (auto run = contents.runs.rbegin(); run != contents.runs.rend(); ++run) {
    Error failure;
    if (RunInProgress(file.disk(), file.path(), *run, &failure)) {
      if (failure && reporter != nullptr) {
        reporter->ReportError(Location::kNone, failure.number, kJournalReadContext,
                              RunFilePath(file.path(), run->id), failure.description);
      }
      output.RunStays(run->id);
      continue;
    }
    if (!RunHasSteps(contents, run->id)) continue;
    runs.push_back(run->id);
    if (lastRunOnly) break;
  }
  return runs;
}

std::vector<JournalRun> InterruptedRuns(JournalFile& file, const JournalContents& contents) {
  std::vector<JournalRun> runs;
  for (const JournalRun& run : contents.runs) {
    if (run.ended.empty() && !run.dismissed && RunHasSteps(contents, run.id) &&
        !RunInProgress(file.disk(), file.path(), run)) {
      runs.push_back(run);
    }
  }
  return runs;
}

int UndoJournalRuns(JournalFile& file, JournalContents& contents,
                    const std::vector<std::string>& runs, UndoServices& services) {
  const std::set<std::string> chosen(runs.begin(), runs.end());
  Undo undo(file, contents.folders, services);
  if (const Error error = undo.writer().Begin("undo")) {
    services.reporter.ReportError(Location::kNone, error.number, kJournalWriteContext, file.path(),
                                  error.description);
    return -1;
  }
  undo.Walk(contents.steps, chosen);
  undo.End();
  int left = 0;
  if (const Error error = file.Compact(&left)) {
    services.reporter.ReportError(Location::kNone, error.number, kJournalWriteContext, file.path(),
                                  error.description);
    return -1;
  }
  return left;
}

}  // namespace velmora
