// The search behind every command that takes FOLDER: the found list exactly
// as the window's search button fills it, without storing the search in the
// window's settings (a script must not change where the window opens).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli/console.h"
#include "engine/batch_run.h"
#include "engine/file_system.h"
#include "search/name_order.h"

namespace velmora::cli {

// The folder named by text (relative to the working folder), absolute and
// without a trailing separator; nullopt, with "Pfad nicht gefunden" on
// standard error, when text names no folder that can be opened.
std::optional<std::string> FolderArgument(const std::string& text);

// FolderArgument of each text, in order; nullopt when one names no folder.
std::optional<std::vector<std::string>> FolderArguments(const std::vector<std::string>& texts);

// The found lists of folders one after the other, as one list: a file found
// through two of them (a folder given twice, or inside another with
// subdirs) is listed once, where it was found first.
std::vector<FoundEntry> SearchFolders(const std::vector<std::string>& folders,
                                      const std::string& pattern, bool subdirs,
                                      const ListOrder& order, bool markAll, Reporting& reporting,
                                      FileSystem* disk = nullptr);

// The order --order and --reverse ask for (--order is checked by the parser).
ListOrder OrderOption(const std::string& name, bool reverse);

// The found list of folder for pattern in order, with or without sub-folders, every
// entry marked when markAll is set. Folders that cannot be read are reported
// and left out. The folders are listed through disk where given, which then
// knows what the search saw when the run pins them.
std::vector<FoundEntry> SearchFound(const std::string& folder, const std::string& pattern,
                                    bool subdirs, const ListOrder& order, bool markAll,
                                    Reporting& reporting, FileSystem* disk = nullptr);

}  // namespace velmora::cli
