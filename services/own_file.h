// The program's own files (the log file, the journal): opened for appending
// so that nothing planted in their place is written through (not a symbolic
// link, not a FIFO or device, not another user's file), and kept out of runs.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

#include "engine/batch_run.h"
#include "engine/error_reporter.h"

namespace velmora {

// Opens path with flags (open(2)'s), creating it with mode where flags say
// so. Never follows a symbolic link at path and never blocks on opening;
// refuses anything but a regular file owned by the effective user (75, or 70
// for another user's file). Sets fd and returns no error, or returns the
// failure with fd -1.
Error OpenOwnFile(const std::string& path, int flags, mode_t mode, int& fd);

// Opens path for appending, creating it with mode when missing. Never follows
// a symbolic link at path and never blocks; refuses anything but a regular
// file owned by the effective user. Sets fd and returns no error, or returns
// the failure (a refused file: 75, or 70 for another user's) with fd -1.
Error OpenOwnFileForAppend(const std::string& path, mode_t mode, int& fd);

// Unmarks the entries that are the file at path under its own name, however
// the folder is reached and in any letter case: the log file and the journal
// are never steps of a run. Another link to the file may stay: a run moves
// or copies the link, never the file's own name. Nothing happens when path
// names no file.
void LeaveOutOwnFile(std::vector<FoundEntry>& found, const std::string& path);

// LeaveOutOwnFile for each of paths, looking at each entry once.
void LeaveOutOwnFiles(std::vector<FoundEntry>& found, const std::vector<std::string>& paths);

// The folder of the program's state (the journal, the log when it cannot lie
// beside the program): $XDG_STATE_HOME/velmora when that is absolute, else
// HOME/.local/state/velmora, HOME from the effective user's password entry
// when unset or empty. "" when no home is known. Not created here.
std::string StateFolder();

}  // namespace velmora
