#include "services/context_link.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "engine/path.h"
#include "services/posix_file_system.h"

namespace velmora {
namespace {

std::string WithSeparator(std::string folder) {
  if (!folder.empty() && folder.back() != kPathSeparator) folder += kPathSeparator;
  return folder;
}

std::string Trimmed(const std::string& text) {
  const std::size_t first = text.find_first_not_of(" \t\r");
  if (first == std::string::npos) return {};
  const std::size_t last = text.find_last_not_of(" \t\r");
  return text.substr(first, last - first + 1);
}

// Writes content to path through a temporary file beside it, so a reader
// never sees half an entry and a failed write leaves nothing behind.
Error WriteWhole(const std::string& path, const std::string& content) {
  std::string temp = path + ".XXXXXX";
  const int fd = ::mkstemp(temp.data());
  if (fd < 0) return ErrorFromErrno(errno);
  Error error = WriteAll(fd, content);
  if (!error && ::fchmod(fd, 0644) != 0) error = ErrorFromErrno(errno);
  if (::close(fd) != 0 && !error) error = ErrorFromErrno(errno);
  if (!error && ::rename(temp.c_str(), path.c_str()) != 0) error = ErrorFromErrno(errno);
  if (error) ::unlink(temp.c_str());
  return error;
}

}  // namespace

std::string UserApplicationsFolder() {
  const char* dataHome = std::getenv("XDG_DATA_HOME");
  std::string base;
  if (dataHome != nullptr && dataHome[0] == kPathSeparator) {
    base = dataHome;
  } else {
    const char* home = std::getenv("HOME");
    if (home == nullptr || home[0] != kPathSeparator) return {};
    base = WithSeparator(home) + ".local" + kPathSeparator + "share";
  }
  return WithSeparator(base) + "applications";
}

std::string ContextLinkPath(const std::string& folder, const std::string& entryName) {
  std::string file;
  for (char c : entryName) file += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
  return WithSeparator(folder) + file + ".desktop";
}

std::string QuoteExecArgument(const std::string& argument) {
  // First the quoting of the Exec rules, then the escapes of a string value.
  std::string quoted = "\"";
  for (char c : argument) {
    if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
    quoted += c;
  }
  quoted += '"';
  std::string value;
  for (char c : quoted) {
    switch (c) {
      case '\\':
        value += "\\\\";
        break;
      case '\n':
        value += "\\n";
        break;
      case '\t':
        value += "\\t";
        break;
      case '\r':
        value += "\\r";
        break;
      case '%':
        value += "%%";
        break;
      default:
        value += c;
    }
  }
  return value;
}

std::string ContextLinkCommand(const std::string& programPath) {
  return QuoteExecArgument(programPath) + " %f";
}

std::string ContextLinkEntry(const std::string& entryName, const std::string& programPath) {
  // NoDisplay keeps it out of the application menus; file managers still
  // offer it for folders.
  return "[Desktop Entry]\n"
         "Type=Application\n"
         "Name=" +
         entryName +
         "\n"
         "Comment=Dateien in diesem Ordner umbenennen\n"
         "Icon=velmora\n"
         "Exec=" +
         ContextLinkCommand(programPath) +
         "\n"
         "MimeType=inode/directory;\n"
         "NoDisplay=true\n"
         "Terminal=false\n";
}

std::string ReadLinkCommand(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::string line;
  bool inMainGroup = false;
  while (std::getline(in, line)) {
    const std::string text = Trimmed(line);
    if (text.empty() || text[0] == '#') continue;
    if (text[0] == '[') {
      inMainGroup = text == "[Desktop Entry]";
      continue;
    }
    if (!inMainGroup) continue;
    const std::size_t equals = text.find('=');
    if (equals != std::string::npos && Trimmed(text.substr(0, equals)) == "Exec") {
      return Trimmed(text.substr(equals + 1));
    }
  }
  return {};
}

LinkToggle ToggleExplorerLink(const std::string& entryName, const std::string& programPath,
                              const std::string& folder) {
  LinkToggle result;
  // Without an applications folder there is no entry to read; never fall back
  // to a file of that name in the working folder.
  const std::string path = folder.empty() ? std::string() : ContextLinkPath(folder, entryName);
  if (!path.empty() && !ReadLinkCommand(path).empty()) {
    result.message = kLinkDeletedMessage;
    if (::unlink(path.c_str()) != 0 && errno != ENOENT) result.error = ErrorFromErrno(errno);
    return result;
  }
  result.created = true;
  const std::string command = ContextLinkCommand(programPath);
  result.message = std::string(kLinkCreatedMessage) + '\r' + command;
  if (folder.empty()) {
    result.error = ErrorFromErrno(ENOENT);
    return result;
  }
  result.error = MakeFolders(folder, 0755);
  if (!result.error) result.error = WriteWhole(path, ContextLinkEntry(entryName, programPath));
  return result;
}

}  // namespace velmora
