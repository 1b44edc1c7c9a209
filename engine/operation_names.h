// The operations' command-line names: what velmora-cli takes after --slotN
// and what a saved job file names its operations by. One table for both
// front ends, so a job saved in the window runs on the command line.
#pragma once

#include <array>
#include <string>

#include "engine/job.h"

namespace velmora {

// The command-line names of the operations by code; code 0 has none.
const std::array<const char*, kOperationCount>& OperationNames();

// The code named by text ("0" to the last code, or a name from
// OperationNames()); -1 when text names none.
int OperationCode(const std::string& text);

}  // namespace velmora
