// Every error number the program raises, by name, and the one map from a
// system call's errno to them. A number is raised only by its name here, so
// a search for the name finds every place it comes from; its English and
// German texts live in services/error_text.cpp.
#pragma once

#include "engine/error_reporter.h"

namespace velmora {

inline constexpr int kInvalidArgument = 5;      // Invalid procedure call or argument
inline constexpr int kOverflow = 6;             // Overflow
inline constexpr int kOutOfMemory = 7;          // Out of memory
inline constexpr int kTypeMismatch = 13;        // Type mismatch
inline constexpr int kInternalError = 51;       // Internal error
inline constexpr int kBadFileName = 52;         // Bad file name or number
inline constexpr int kFileNotFound = 53;        // File not found
inline constexpr int kDeviceIoError = 57;       // Device I/O error
inline constexpr int kFileExists = 58;          // File already exists
inline constexpr int kDiskFull = 61;            // Disk full
inline constexpr int kInputPastEnd = 62;        // Input past end of file
inline constexpr int kBadRecordNumber = 63;     // Bad record number
inline constexpr int kTooManyFiles = 67;        // Too many files
inline constexpr int kDeviceUnavailable = 68;   // Device unavailable
inline constexpr int kPermissionDenied = 70;    // Permission denied
inline constexpr int kRenameAcrossDrives = 74;  // Can't rename with different drive
inline constexpr int kPathFileAccess = 75;      // Path/File access error
inline constexpr int kPathNotFound = 76;        // Path not found
inline constexpr int kInvalidFileFormat = 321;  // Invalid file format
inline constexpr int kFieldMissing = 770;       // Field not found in file
inline constexpr int kNameTemplateError = 771;  // Invalid name template
inline constexpr int kRegexLimit = 772;         // Regular expression limit reached

// Invalid procedure call or argument.
inline Error InvalidArgumentError() {
  return {kInvalidArgument, "Invalid procedure call or argument"};
}

inline Error OverflowError() { return {kOverflow, "Overflow"}; }

inline Error BadFileNameError() { return {kBadFileName, "Bad file name or number"}; }

inline Error TypeMismatchError() { return {kTypeMismatch, "Type mismatch"}; }

// Who turns an errno into a number: the callers read a few values their own
// way, everything else is common.
enum class ErrnoUse {
  kFile,    // whole files: moves, copies, deletes, the journal and the log
  kFolder,  // opening a folder to list it: a missing one is a path not found
  kTag,     // a tag file: a read-only file system or a busy file is a permission problem
};

// The error for errno value err (0 gives success), described by strerror:
// ENOENT 53, EEXIST 58, ENOSPC 61, EACCES/EPERM 70, EROFS 75, EIO 57, ENOTDIR
// 76, ENAMETOOLONG 52, EXDEV 74, others as nearest; use overrides a few.
Error ErrorFromErrno(int err, ErrnoUse use = ErrnoUse::kFile);

}  // namespace velmora
