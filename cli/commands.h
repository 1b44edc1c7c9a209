// The table of velmora-cli's sub-commands: each row names a command, the
// groups of options it takes and the function that carries it out. Adding a
// command is one row and one function; the parser builds its options from
// the groups.
#pragma once

#include <span>

#include "cli/cli_options.h"

namespace velmora::cli {

// Option groups a command takes; the parser adds the options of each.
enum OptionGroup : unsigned {
  kSearchOptions = 1u << 0,   // --pattern, --subdirs, FOLDER
  kSlotOptions = 1u << 1,     // --slotN, --srcN, --dstN
  kDestOption = 1u << 2,      // --dest DIR (required)
  kAnswerOptions = 1u << 3,   // --yes-all, --overwrite-all
  kRunOptions = 1u << 4,      // --dry-run, --check, --log, --no-resolve-chains, --journal FILE
  kUndoJournal = 1u << 5,     // --journal FILE, --last, --dismiss RUN
  kTagOptions = 1u << 6,      // --separator, --title ... --genre, --id3v2, --dry-run, --yes-all,
                              // --log, --journal FILE
  kReadTagOptions = 1u << 7,  // --json, FILE...
  kPrint0Option = 1u << 8,    // -0, --print0
};

struct Command {
  const char* name;
  const char* summary;  // one line for --help
  unsigned groups;      // OptionGroup bits
  int (*run)(const CliOptions& options);
};

// Every command, in the order --help lists them.
std::span<const Command> Commands();

// search: prints the found list, one full path a line, in list order
// (with --print0 each path as it is, ended by a NUL byte).
int SearchMain(const CliOptions& options);

}  // namespace velmora::cli
