// Saved jobs on the command line: --job reads one into the options before
// the arguments are parsed, --save-job writes the one the options describe.
// The file itself is services/job_file.h, shared with the window.
#pragma once

#include <string>

#include "cli/cli_options.h"

namespace velmora::cli {

// Reads path into the job part of options; false with the reason in problem
// (the file cannot be read, a newer version, an unknown operation name).
bool LoadJobOptions(const std::string& path, CliOptions& options, std::string& problem);

// --save-job: checks the job as a run would and writes it; an exit status.
int SaveJob(const CliOptions& options);

}  // namespace velmora::cli
