// The folder entry in the file manager's context menu. Linux file managers
// offer folder actions through desktop entries, so the link is a desktop
// entry for `inode/directory` in the user's applications folder whose command
// starts the program with the chosen folder on its command line. Whether the
// link is there is decided each time by reading the entry's command.
#pragma once

#include <string>

#include "engine/error_reporter.h"

namespace velmora {

// The name of the entry, shown as the menu text.
inline constexpr const char* kContextLinkName = "Velmora";

inline constexpr const char* kLinkCreatedMessage = "Created Context-Menu for Explorer";
inline constexpr const char* kLinkDeletedMessage = "Deleted Context-Menu for Explorer";

// $XDG_DATA_HOME/applications, or $HOME/.local/share/applications when that
// variable is unset, empty or relative; "" when neither gives an absolute
// folder.
std::string UserApplicationsFolder();

// The entry file of entryName in folder: its name in lower case plus
// ".desktop" ("Velmora" gives velmora.desktop).
std::string ContextLinkPath(const std::string& folder, const std::string& entryName);

// One Exec argument as the Desktop Entry rules want it: in double quotes,
// with ", `, $ and \ escaped by a backslash, and the result escaped once more
// as a string value (\ doubled, newline, tab and CR as \n, \t, \r); a
// literal % is doubled.
std::string QuoteExecArgument(const std::string& argument);

// The entry's command: the quoted program path, a blank and %f, which the
// file manager replaces by the chosen folder.
std::string ContextLinkCommand(const std::string& programPath);

// The whole entry file for entryName starting programPath.
std::string ContextLinkEntry(const std::string& entryName, const std::string& programPath);

// The command (the Exec value, blanks around it removed) of the entry file at
// path; "" when the file is missing or unreadable or has no command.
std::string ReadLinkCommand(const std::string& path);

// What a toggle did: created is true when the entry was added (or was to be),
// false when removed; message is the text to show; error is set when the file
// could not be written or removed.
struct LinkToggle {
  bool created = false;
  std::string message;
  Error error;
};

// Removes the entry of entryName from folder when it has a command, else
// writes it anew (creating folder when missing; the file is replaced whole,
// never left half written). The message is kLinkDeletedMessage, or
// kLinkCreatedMessage, a CR and the command.
LinkToggle ToggleExplorerLink(const std::string& entryName, const std::string& programPath,
                              const std::string& folder);

}  // namespace velmora
