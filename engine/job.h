// The rename job: three slots, each with an operation code (0 = inactive,
// 1..20) and two text fields, plus the state the name operations read while a
// run is going on (run kind, destination folder, numbering counter).
#pragma once

#include <array>
#include <string>

#include "engine/error_reporter.h"

namespace velmora {

struct FileFields;
struct SlotPatterns;

inline constexpr int kSlotCount = 3;
inline constexpr int kOperationCount = 21;  // codes 0..20

// What the user set up: read afresh by every operation call.
struct RenameJob {
  std::array<int, kSlotCount> slotCode{};              // 0..20
  std::array<std::string, kSlotCount> txtSource;       // first field
  std::array<std::string, kSlotCount> txtDestination;  // second field
  std::array<std::string, kSlotCount> auswahlText{     // combo text, for the log
                                                  "nicht aktiv", "nicht aktiv", "nicht aktiv"};
  // The counter's options beside the slots: what each numbering call adds
  // (checked with the slots), and one counter per folder of the found files.
  std::string numberStep = "1";
  bool restartPerFolder = false;
};

// What a run does with each file; kNone outside a run and undo.
enum class RunKind : char { kNone, kRename, kMove, kCopy };

// The kind's name in the journal and on the command line: "rename", "copy"
// or "move"; "" for kNone.
constexpr const char* RunKindName(RunKind kind) {
  switch (kind) {
    case RunKind::kRename:
      return "rename";
    case RunKind::kCopy:
      return "copy";
    case RunKind::kMove:
      return "move";
    case RunKind::kNone:
      break;
  }
  return "";
}

// Copies and moves put their results into the destination folder.
inline bool IntoFolder(RunKind kind) { return kind == RunKind::kMove || kind == RunKind::kCopy; }

// Everything besides the job that an operation reads or advances.
struct NameContext {
  RunKind kind = RunKind::kNone;
  std::string destPath;   // ends in the separator while copying or moving
  int numberCounter = 0;  // 0 = numbering not started in this run
  int numberWidth = 0;
  int numberStep = 1;                  // added by each numbering call, taken off by a give-back
  ErrorReporter* reporter = nullptr;   // may be null: failures then go unreported
  const FileFields* fields = nullptr;  // the file's as it was found, for "Name aus Tags"
  SlotPatterns* patterns = nullptr;    // compiled once per walk; null outside one
  // Room a walk lends the operations for the next new name (its content is
  // of no meaning), so that a walk of many files allocates none per step.
  std::string spare;
};

// One row of the operation catalogue: the combo's list text and the captions
// of the slot's two fields.
struct CatalogueEntry {
  const char* listText;
  const char* firstCaption;
  const char* secondCaption;
};

// The twenty-one catalogue rows, indexed by operation code.
const std::array<CatalogueEntry, kOperationCount>& Catalogue();

// True for the numbering codes 10, 11, 12, whose skipped steps give their
// number back.
inline bool IsNumberingCode(int code) { return code >= 10 && code <= 12; }

// Applies the operation of `slot` (per job.slotCode) to sourcePath and returns
// the new full path, or "" when it does not apply or fails (failures are
// reported at OperationLocation(code)). Code 0 or out of range returns "".
std::string ApplyOperation(const RenameJob& job, int slot, const std::string& sourcePath,
                           NameContext& ctx);

// The job's counter step as a number; 1 when the text is not a valid step.
int NumberStep(const RenameJob& job);

// Checks all three slots' fields before a run. On the first failing slot shows
// its message through `messages` and returns false. Besides missing texts and
// zeros it refuses negative counts and start numbers, and start numbers
// outside the 32-bit range (one-line message), and, with a numbering slot
// active, a step that is not a whole number from 1 to 2^31-1.
bool CheckSlotInputs(const RenameJob& job, MessageSink& messages);

}  // namespace velmora
