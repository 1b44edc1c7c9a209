// What a signal must not leave behind: partial copies, which are deleted, and
// rename temporaries, which hold the user's only copy of a file and are moved
// back to their original name, never deleted. The registry has a fixed size
// and is filled before the handler may look at it, so the handler allocates
// nothing and takes no lock. Files are found through the registry only,
// never by their names.
#pragma once

#include <fcntl.h>

#include <string>

namespace velmora {

// A guard that could not be set (registry full, path too long).
inline constexpr int kNoGuard = -1;

// Guards the partial file at path, which this process has just created.
// Returns a handle for Unguard. With a folder descriptor dir, path is taken
// relative to it, and the guard keeps a descriptor of its own.
int GuardPartialFile(const std::string& path, int dir = AT_FDCWD);

// Guards the rename temporary temp, whose file belongs at original. With a
// folder descriptor dir, both lie in it and only their last names are used.
int GuardTemporary(const std::string& temp, const std::string& original, int dir = AT_FDCWD);

// The handle guarding temp, or kNoGuard.
int GuardOf(const std::string& temp);

// Ends a guard; kNoGuard is ignored.
void Unguard(int handle);

// Deletes every guarded partial file and moves every guarded temporary back
// to its original name unless that name is taken (the file then stays under
// the temporary name). Async-signal-safe.
void CleanUpGuardedFiles();

// Cleans up, then ends the process through sig with the default action, so
// the parent sees how it ended. Async-signal-safe.
[[noreturn]] void DieBySignal(int sig);

// Makes SIGINT, SIGTERM and SIGHUP end the process through DieBySignal.
void InstallCrashHandler();

// For tests of a signal mid-operation: when the test hook
// VELMORA_TEST_SIGNAL_AT (services/test_hooks.h) reads "POINT:SIG[,SIG...]", the first call with
// that point raises the listed signals in order. Points: "copy" (a partial copy holds its first
// bytes), "temporary" (a rename temporary is held), "committed" (the command line printed the first
// step that went through).
void TestSignalPoint(const char* point);

// For tests of a folder changed between steps: when VELMORA_TEST_RUN_AFTER
// reads "N:COMMAND", the shell runs COMMAND once, after the N-th file moved
// or copied.
void TestStepDone();

}  // namespace velmora
