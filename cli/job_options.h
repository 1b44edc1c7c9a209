// The rename job as the command line gives it: an operation per slot by code
// or by name (engine/operation_names.h), and the slot's two fields.
#pragma once

#include <array>
#include <string>

#include "cli/cli_options.h"
#include "engine/job.h"
#include "engine/operation_names.h"

namespace velmora::cli {

// Fills job from the slot options, with each combo text as the window would
// show it. Returns false, with the reason on standard error, when an
// operation is unknown or no slot is active.
bool JobFromOptions(const CliOptions& options, RenameJob& job);

}  // namespace velmora::cli
