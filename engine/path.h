// Cutting paths into folder and file name, and file names into base name and
// extension. Positions and lengths elsewhere count Unicode characters; these
// cut at ASCII separators, which never occur inside a UTF-8 sequence.
#pragma once

#include <string>
#include <string_view>

#include "engine/error_reporter.h"
#include "engine/job.h"

namespace velmora {

// The platform's path separator; the only place it is spelled.
inline constexpr char kPathSeparator = '/';
inline constexpr std::string_view kPathSeparatorText = "/";

// wantFolder false: the file-name part (after the last separator, the whole
// path without one). wantFolder true: a copy or a move (IntoFolder(kind)) ?
// destPath : the folder part with its trailing separator ("" without one).
std::string SplitPath(const std::string& path, bool wantFolder, RunKind kind = RunKind::kNone,
                      const std::string& destPath = {});

// wantBase false: the extension (after the last dot; the whole name without a
// dot). wantBase true: the base name; a name without a dot sets `error` to
// the invalid-argument failure (5) and returns "".
std::string SplitExtension(const std::string& name, bool wantBase, Error* error = nullptr);

// The byte offset where the file-name part of `path` begins (just behind the
// last separator; 0 without one).
std::size_t FileNameStart(std::string_view path);

// folder with a separator appended unless it already ends in one; "" gives
// the separator alone. Destination folders and the log folder take this form
// so that file names can be appended.
std::string WithTrailingSeparator(std::string folder);

// The folder part of `path` with its trailing separator ("" without one),
// ignoring the run flags; a view into `path`.
std::string_view FolderOf(std::string_view path);

// The file-name part of `path`; a view into `path`.
std::string_view FileNameOf(std::string_view path);

// True when name is one path component: not empty, not "." or "..", and
// without a separator or NUL. A new name that is not would lead the file
// out of its folder or nowhere.
bool IsSingleName(std::string_view name);

// The file systems whose own name rules are known.
enum class FileSystemKind { kUnknown, kFat, kExfat, kNtfs };

// True when a file system of this kind refuses name: on vfat and exFAT a
// control character, any of : * ? " < > | \ or a trailing dot or blank.
// Other kinds refuse nothing here.
bool NameRefusedOn(FileSystemKind kind, std::string_view name);

}  // namespace velmora
