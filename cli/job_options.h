// The rename job as the command line gives it: an operation per slot by code
// (0 to 17) or by name, and the slot's two fields.
#pragma once

#include <array>
#include <string>

#include "cli/cli_options.h"
#include "engine/job.h"

namespace velmora::cli {

// The command-line names of the operations by code; code 0 has none.
const std::array<const char*, kOperationCount>& OperationNames();

// The code named by text ("0" to "17" or a name from OperationNames()); -1
// when text names none.
int OperationCode(const std::string& text);

// Fills job from the slot options, with each combo text as the window would
// show it. Returns false, with the reason on standard error, when an
// operation is unknown or no slot is active.
bool JobFromOptions(const CliOptions& options, RenameJob& job);

}  // namespace velmora::cli
