// The commands that change names: rename, copy and move run the job over
// every entry of the found list; undo takes the records of a journal back.
#pragma once

#include "cli/cli_options.h"

namespace velmora::cli {

// Each returns the exit status (kExitOk, kExitFailure or kExitUsage).
int RenameMain(const CliOptions& options);
int CopyMain(const CliOptions& options);
int MoveMain(const CliOptions& options);
int UndoMain(const CliOptions& options);

}  // namespace velmora::cli
