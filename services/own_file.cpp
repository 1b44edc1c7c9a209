#include "services/own_file.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "engine/path.h"
#include "engine/plan_model.h"
#include "services/posix_file_system.h"

namespace velmora {

Error OpenOwnFile(const std::string& path, int flags, mode_t mode, int& fd) {
  fd = ::open(path.c_str(), flags | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, mode);
  if (fd < 0) {
    if (errno == ELOOP) return {kPathFileAccess, "symbolic link in the file's place, not followed"};
    return ErrorFromErrno(errno);
  }
  struct stat st {};
  Error error;
  const bool looked = ::fstat(fd, &st) == 0;
  if (looked && !S_ISREG(st.st_mode)) {
    error = {kPathFileAccess, "not a regular file"};
  } else if (looked && st.st_uid != ::geteuid()) {
    error = {kPermissionDenied, "the file belongs to another user"};
  } else if (!looked || ::fcntl(fd, F_SETFL, flags & O_APPEND) != 0) {  // blocking again
    error = ErrorFromErrno(errno);
  }
  if (error) {
    ::close(fd);
    fd = -1;
  }
  return error;
}

Error OpenOwnFileForAppend(const std::string& path, mode_t mode, int& fd) {
  return OpenOwnFile(path, O_WRONLY | O_APPEND | O_CREAT, mode, fd);
}

void LeaveOutOwnFile(std::vector<FoundEntry>& found, const std::string& path) {
  LeaveOutOwnFiles(found, {path});
}

void LeaveOutOwnFiles(std::vector<FoundEntry>& found, const std::vector<std::string>& paths) {
  struct Own {
    std::string_view name;
    struct stat st;
  };
  std::vector<Own> own;
  for (const std::string& path : paths) {
    struct stat st {};
    if (!path.empty() && ::stat(path.c_str(), &st) == 0) {
      own.push_back({std::string_view(path).substr(FileNameStart(path)), st});
    }
  }
  // A run harms its own file only through the file's own name, however its
  // folder is reached and whatever the case: only such entries are looked at.
  for (FoundEntry& entry : found) {
    const std::string_view name = std::string_view(entry.path).substr(FileNameStart(entry.path));
    for (const Own& file : own) {
      struct stat st {};
      if (entry.marked && EqualCaseless(name, file.name) && ::stat(entry.path.c_str(), &st) == 0 &&
          st.st_dev == file.st.st_dev && st.st_ino == file.st.st_ino) {
        entry.marked = false;
      }
    }
  }
}

std::string StateFolder() {
  std::string base;
  if (const char* state = std::getenv("XDG_STATE_HOME"); state != nullptr && state[0] == '/') {
    base = state;
  } else {
    const char* home = std::getenv("HOME");
    if (home == nullptr || home[0] == '\0') {
      const passwd* user = ::getpwuid(::geteuid());
      home = user != nullptr ? user->pw_dir : "";
    }
    if (home[0] == '\0') return {};
    base = std::string(home) + kPathSeparator + ".local" + kPathSeparator + "state";
  }
  return base + kPathSeparator + "velmora";
}

}  // namespace velmora
