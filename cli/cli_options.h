// What one call of velmora-cli asked for, once the arguments are parsed, and
// the exit statuses every command returns. The parser (main.cpp) fills it;
// the commands read it and never see the argument text.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "engine/job.h"

namespace velmora::cli {

inline constexpr int kExitOk = 0;        // everything went through
inline constexpr int kExitFailure = 1;   // at least one failure was reported
inline constexpr int kExitUsage = 2;     // bad arguments, refused input, no folder
inline constexpr int kExitConflict = 3;  // --check found a conflict in the plan

// The tag fields in the order the tag run fills them.
enum TagField {
  kTagTitle,
  kTagArtist,
  kTagAlbum,
  kTagComment,
  kTagYear,
  kTagGenre,
  kTagFieldCount
};

struct CliOptions {
  // Search inputs.
  std::string pattern = "*.*";
  bool subdirs = false;
  std::vector<std::string> folders;  // searched one after the other
  bool print0 = false;               // search: NUL after each path, the path unescaped
  std::string order = "name";        // --order: name, natural, modified or size
  bool reverse = false;              // --reverse

  // The job: operation as typed (code or name) and the two fields per slot.
  std::array<std::string, kSlotCount> slotOperation{"0", "0", "0"};
  std::array<std::string, kSlotCount> slotSource;
  std::array<std::string, kSlotCount> slotDestination;
  std::string numberStep = "1";   // --number-step, checked with the slots
  bool restartPerFolder = false;  // --restart-per-folder
  std::string jobFile;            // --job: read before the other options
  std::string saveJob;            // --save-job: write the job there, run nothing

  // Copy and move.
  std::string dest;

  // Answers given in advance, run outputs.
  bool yesAll = false;
  bool overwriteAll = false;
  bool dryRun = false;
  bool check = false;
  bool log = false;
  bool resolveChains = true;  // off with --no-resolve-chains
  std::string journal;        // "" = the default journal
  bool lastRun = false;       // undo: only the newest run
  std::string dismiss;        // undo: end this interrupted run without undoing it

  // tag: separator and one source per field ("aus", "1", "2", "3", "=TEXT").
  std::string separator;
  std::array<std::string, kTagFieldCount> tagSource{"aus", "aus", "aus", "aus", "aus", "aus"};
  std::string id3v2 = "auto";  // "auto", "always" or "never"

  // read-tag.
  bool json = false;
  std::vector<std::string> files;
};

}  // namespace velmora::cli
