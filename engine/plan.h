// The plan of a run: what "Umbenennen", "Kopieren" or "Verschieben" would do
// to the marked entries if every question were answered "&Ja" or "&Alle"
// (a "&Nein" on a numbering step shifts the later numbers), worked out
// without touching a file. The plan walks the list with the run's own step
// walk (operations, chained slots, numbering with its give-back) over a model
// of the disk built from one listing per folder, and marks every entry where
// a file would be overwritten or the run would fail.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/batch_run.h"
#include "engine/checked_job.h"
#include "engine/file_system.h"
#include "engine/path.h"

namespace velmora {

// The state of one planned entry, in rising order of weight: an entry that
// meets several keeps the weightiest.
enum class PlanState {
  kUnchanged,  // no step changes its name
  kChanged,    // it gets a new name and nothing is in the way
  kResolved,   // a target is another marked entry's current name, and the run
               // orders the steps (or parks a file) so that it is free by then
  kExists,     // a target is taken by another file: the run asks `Dialog2`
  kCaseOnly,   // a target differs only in letter case from an existing name
               // on a file system that ignores case
  kFailed,     // a step fails (failure holds the report the run would make)
  kDuplicate,  // two marked entries end at the same name: the later step is refused
  kChain,      // a target is a file the run still needs (another marked entry's
               // current name, or made by an earlier step): the step is refused
};

// True for every state but kUnchanged, kChanged and kResolved.
bool IsConflict(PlanState state);

// A failure as the run would hand it to the error reporter.
struct PlannedFailure {
  std::size_t entry = 0;  // index in the found list
  Location location = Location::kNone;
  int number = 0;
  std::string context;
  std::string file;
  std::string description;
};

// One file operation the run would try, in run order.
// The small fields come first: a plan holds one step per file and slot.
struct PlanStep {
  std::size_t entry = 0;  // index in the found list
  int slot = 0;
  PlanState state = PlanState::kChanged;  // kUnchanged when source is destination
  int waitsFor = -1;                      // with chains resolved: the plan row whose listed file
                                          // must leave this step's target first, or -1
  bool refused = false;                   // the run refuses it: its target is a file the run needs
  std::string source;
  std::string destination;
};

// One turn of a run with resolved chains: all steps of a plan row, or its
// parking, which moves its file to a rename temporary to break a cycle.
struct ChainTurn {
  int row = 0;
  bool park = false;
};

// A file outside the run that a step deletes after "&Ja" in `Dialog2`: its
// path as the step names it and the file found there while planning.
struct PlannedDeletion {
  std::string path;
  FileIdentity identity;
};

// What a row's conflict is about.
struct RowConflict {
  std::string path;          // the path in conflict, "" for none
  std::string other;         // the other marked entry concerned (its listed path), or ""
  bool overwritten = false;  // the conflict is that another entry's step replaces this file
  PlannedFailure failure;    // meaningful for kFailed
};

// One marked entry. Its conflict is held apart: most rows have none, and a
// plan of tens of thousands of rows stays small.
struct PlanRow {
  std::size_t entry = 0;  // index in the found list
  std::string finalPath;  // the path after its last step; its own path when none
  PlanState state = PlanState::kUnchanged;
  std::shared_ptr<const RowConflict> conflict;  // null while there is none

  // The conflict, empty when there is none.
  [[nodiscard]] const RowConflict& Conflict() const;
  // The conflict to change; a copy of the row keeps the one it had.
  RowConflict& EditConflict();
};

struct RunPlan {
  std::string refusal;                     // the slot check's message when it refuses
  std::vector<PlanRow> rows;               // one per marked entry, in list order
  std::vector<PlanStep> steps;             // every commit the run would try (if asked for)
  std::vector<PlannedFailure> failures;    // every failure the run would report
  std::vector<PlannedDeletion> deletions;  // files outside the run it would delete
  std::vector<ChainTurn> order;            // with chains resolved: the run's order of
                                           // rows; empty when list order does
  int changes = 0;                         // rows whose path changes
  int conflicts = 0;                       // rows in a conflict state

  // The row of found-list entry `entry`, or null when it is not marked.
  [[nodiscard]] const PlanRow* RowFor(std::size_t entry) const;
};

// The plan of a `kind` run of job over the marked entries of found, copies
// and moves going into destPath (ending in the separator). Without
// withSteps the plan's steps stay empty (a preview needs the rows only).
// With resolveChains (rename and move only), a step onto another marked
// entry's listed file is no conflict: when list order does not free it in
// time, the plan orders the rows (order) and the names are fixed as planned.
// With keepExisting, "Löschen ???" is answered as a script without
// --overwrite-all answers it: a taken target stays, the step is left out
// (its row still shows the conflict) and later slots go on from the name
// the file has. Reports nothing: failures are returned in the plan.
RunPlan PlanRun(RunKind kind, const CheckedJob& job, const std::vector<FoundEntry>& found,
                const std::string& destPath, FileSystem& disk, bool withSteps = true,
                bool resolveChains = false, bool keepExisting = false);

// The same for a job not yet checked: a job the slot check refuses gives a
// plan of unchanged rows with the check's message as refusal.
RunPlan PlanRun(RunKind kind, const RenameJob& job, const std::vector<FoundEntry>& found,
                const std::string& destPath, FileSystem& disk, bool withSteps = true,
                bool resolveChains = false, bool keepExisting = false);

}  // namespace velmora
