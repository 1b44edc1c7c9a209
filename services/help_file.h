// The help text `Hilfe.txt`: where the program finds it (beside itself, or in
// the data folder of an installed program) and reading it line by line.
#pragma once

#include <string>
#include <vector>

namespace velmora {

inline constexpr const char* kHelpFileName = "Hilfe.txt";
inline constexpr const char* kEnglishHelpFileName = "Help.txt";

// The data folder of a program installed in programFolder: the data folder
// as the install layout places it relative to the program's folder.
std::string InstalledDataFolder(const std::string& programFolder);

// The help file for a program in programFolder: programFolder/Hilfe.txt when
// it is there, else the installed copy in InstalledDataFolder. Under English,
// Help.txt the same way first. When none exists, the path of Hilfe.txt beside
// the program, so that opening it fails.
std::string FindHelpFile(const std::string& programFolder);

// The lines of a help file and whether it could be read completely.
struct HelpText {
  std::vector<std::string> lines;
  bool ok = false;
};

// Reads the file at path: a line ends at CR, CR LF or LF and is kept without
// its end; a last line without an end counts too. UTF-8 text is taken as it
// is, anything else as Windows-1252. ok is false when the file cannot be
// opened or read; lines then holds what was read before.
HelpText ReadHelpFile(const std::string& path);

}  // namespace velmora
