// A saved job: a small INI file that holds what a rename, copy or move does,
// never the answers, the folders or the journal.
//
//   # Velmora job
//   [Job]
//   Version=1
//   Pattern=*.mp3
//   Subdirs=1
//   Order=natural            name, natural, modified or size
//   OrderReverse=0
//   NumberStep=1
//   RestartPerFolder=0
//   ResolveChains=1
//   [Slot1]                  Slot1 to Slot3; a slot left out is inactive
//   Operation=number-before  the command-line name of the operation
//   First=1
//   Second=.mp3
//
// A value is everything after the first "=", blanks included; a backslash,
// a line feed, a carriage return and a tab in it are written \\, \n, \r, \t.
// Lines starting with "#" or ";" are comments; unknown keys are skipped.
#pragma once

#include <string>

#include "cli/cli_options.h"

namespace velmora::cli {

inline constexpr int kJobFileVersion = 1;

// Writes the job part of options to path; false with the reason in problem.
bool WriteJobFile(const std::string& path, const CliOptions& options, std::string& problem);

// Reads path into the job part of options; false with the reason in problem
// (the file cannot be read, a newer version, an unknown operation name).
bool ReadJobFile(const std::string& path, CliOptions& options, std::string& problem);

// --save-job: checks the job as a run would and writes it; an exit status.
int SaveJob(const CliOptions& options);

}  // namespace velmora::cli
